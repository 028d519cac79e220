#include <cmath>
#include <limits>

#include "math/double_double.h"
#include "math/trig.h"

namespace tavrik {

namespace {

using dd::DD;

constexpr DD kHalfPi = {0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};
constexpr double kTiny = 0x1p-27;
// Beyond this atan x is pi/2 less than a quarter of its ulp.
constexpr double kHuge = 0x1p60;

// atan(j/32) as double-doubles, j = 0..32.
constexpr DD kAtanNodes[] = {
    {0x0.0p+0, 0x0.0p+0},
    {0x1.ffd55bba97625p-6, -0x1.5ec431444912cp-60},
    {0x1.ff55bb72cfdeap-5, -0x1.c934d86d23f1dp-60},
    {0x1.7ee182602f10fp-4, -0x1.cfb654c0c3d98p-58},
    {0x1.fd5ba9aac2f6ep-4, -0x1.cd37686760c17p-59},
    {0x1.3d6eee8c6626cp-3, 0x1.61a3b0ce9281bp-57},
    {0x1.7b97b4bce5b02p-3, 0x1.347b0b4f881cap-58},
    {0x1.b90d7529260a2p-3, 0x1.17b10d2e0e5abp-61},
    {0x1.f5b75f92c80ddp-3, 0x1.8ab6e3cf7afbdp-57},
    {0x1.18bf5a30bf178p-2, 0x1.30ca4748b1bf9p-57},
    {0x1.362773707ebccp-2, -0x1.963a544b672d8p-57},
    {0x1.530ad9951cd4ap-2, -0x1.2566480884082p-57},
    {0x1.6f61941e4def1p-2, -0x1.c63aae6f6e918p-56},
    {0x1.8b24d394a1b25p-2, 0x1.b6d0ba3748fa8p-56},
    {0x1.a64eec3cc23fdp-2, -0x1.24dec1b50b7ffp-56},
    {0x1.c0db4c94ec9f0p-2, -0x1.cc1ce70934c34p-56},
    {0x1.dac670561bb4fp-2, 0x1.a2b7f222f65e2p-56},
    {0x1.f40dd0b541418p-2, -0x1.a3992dc382a23p-57},
    {0x1.0657e94db30d0p-1, -0x1.d5b495f6349e6p-56},
    {0x1.1255d9bfbd2a9p-1, -0x1.2bdaee1c0ee35p-58},
    {0x1.1e00babdefeb4p-1, -0x1.928df287a668fp-58},
    {0x1.2958e59308e31p-1, -0x1.09e73b0c6c087p-56},
    {0x1.345f01cce37bbp-1, 0x1.1021137c71102p-55},
    {0x1.3f13fb89e96f4p-1, 0x1.ecf8b492644f0p-56},
    {0x1.4978fa3269ee1p-1, 0x1.2419a87f2a458p-56},
    {0x1.538f57b89061fp-1, -0x1.1bb74abda520cp-55},
    {0x1.5d58987169b18p-1, 0x1.0028e4bc5e7cap-57},
    {0x1.66d663923e087p-1, -0x1.6ea6febe8bbbap-56},
    {0x1.700a7c5784634p-1, -0x1.8c34d25aadef6p-56},
    {0x1.78f6bbd5d315ep-1, 0x1.406a089803740p-55},
    {0x1.819d0b7158a4dp-1, -0x1.bf76229d3b917p-56},
    {0x1.89ff5ff57f1f8p-1, -0x1.55b9a5e177a1bp-55},
    {0x1.921fb54442d18p-1, 0x1.1a62633145c07p-55},
};

// atan v = v (1 - v^2/3 + v^4/5 - ...) for |v| <= 1/64, to 2^-108.
constexpr DD kAtanSeries[] = {{1.0, 0.0},
                              {-0x1.5555555555555p-2, -0x1.5555555555555p-56},
                              {0x1.999999999999ap-3, -0x1.999999999999ap-57},
                              {-0x1.2492492492492p-3, -0x1.2492492492492p-57},
                              {0x1.c71c71c71c71cp-4, 0x1.c71c71c71c71cp-58},
                              {-0x1.745d1745d1746p-4, 0x1.745d1745d1746p-59},
                              {0x1.3b13b13b13b14p-4, -0x1.3b13b13b13b14p-58},
                              {-0x1.1111111111111p-4, -0x1.1111111111111p-60},
                              {0x1.e1e1e1e1e1e1ep-5, 0x1.e1e1e1e1e1e1ep-61}};
constexpr int kAtanSeriesLength = sizeof(kAtanSeries) / sizeof(kAtanSeries[0]);

// atan u for 0 <= u <= 1 (a little more allowed): atan c + atan((u - c) / (1 + u c)) with c the
// nearest j/32.
DD atanUnit(const DD& u) {
  const int j = static_cast<int>(u.hi * 32.0 + 0.5);
  const double c = static_cast<double>(j) * 0x1p-5;
  const DD v = dd::Div(dd::Add(u, -c), dd::Add(dd::Mul(u, c), 1.0));
  const DD vv = dd::Mul(v, v);
  DD series = kAtanSeries[kAtanSeriesLength - 1];
  for (int k = kAtanSeriesLength - 2; k >= 0; --k) {
    series = dd::Add(dd::Mul(series, vv), kAtanSeries[k]);
  }
  return dd::Add(kAtanNodes[j], dd::Mul(series, v));
}

// atan a for 0 <= a <= 1 in doubles, the same way: hi + lo is within 2^-63.9 of the result over
// millions of arguments; sixteen times that decides whether it rounds safely (-1 when it does
// not).
constexpr double kA3 = -0x1.5555555555555p-2;
constexpr double kA5 = 0x1.999999999999ap-3;
constexpr double kA7 = -0x1.2492492492492p-3;
constexpr double kA9 = 0x1.c71c71c71c71cp-4;
constexpr double kA11 = -0x1.745d1745d1746p-4;
constexpr double kFastBound = 0x1p-60;

double fastAtanUnit(double a) {
  const int j = static_cast<int>(a * 32.0 + 0.5);
  const double c = static_cast<double>(j) * 0x1p-5;
  const double num = a - c;
  const DD p = dd::TwoProd(a, c);
  const DD den = dd::FastTwoSum(1.0, p.hi);
  const double q = num / den.hi;
  const DD qd = dd::TwoProd(q, den.hi);
  const double ql = (((num - qd.hi) - qd.lo) - q * (den.lo + p.lo)) / den.hi;
  const double q2 = q * q;
  const double tail = q * q2 * (kA3 + q2 * (kA5 + q2 * (kA7 + q2 * (kA9 + q2 * kA11))));
  const DD y = dd::FastTwoSum(kAtanNodes[j].hi, q);
  const double lo = ((y.lo + kAtanNodes[j].lo) + ql) + tail;
  const double e = kFastBound * y.hi;
  const double up = y.hi + (lo + e);
  return up == y.hi + (lo - e) ? up : -1.0;
}

double withSign(double magnitude, bool negative) {
  return negative ? -magnitude : magnitude;
}

}  // namespace

double Atan(double x) {
  const double a = std::fabs(x);
  if (a < kTiny || std::isnan(x)) {
    return x;
  }
  if (a > kHuge) {
    return withSign(kHalfPi.hi, x < 0.0);
  }
  if (a <= 1.0) {
    const double fast = fastAtanUnit(a);
    if (fast >= 0.0) {
      return withSign(fast, x < 0.0);
    }
    const DD y = atanUnit({a, 0.0});
    return withSign(y.hi + y.lo, x < 0.0);
  }
  const DD y = dd::Add(kHalfPi, dd::Neg(atanUnit(dd::Div({1.0, 0.0}, {a, 0.0}))));
  return withSign(y.hi + y.lo, x < 0.0);
}

// asin x = atan(x / sqrt(1 - x^2)), or pi/2 - atan(sqrt(1 - x^2) / x) above 1/sqrt 2, so the
// ratio is at most 1; 1 - x^2 is formed exactly, so nothing cancels.
double Asin(double x) {
  const double a = std::fabs(x);
  if (a < kTiny || std::isnan(x)) {
    return x;
  }
  if (a > 1.0) {
    return std::numeric_limits<double>::quiet_NaN();
  }
  if (a == 1.0) {
    return withSign(kHalfPi.hi, x < 0.0);
  }
  const DD square = dd::TwoProd(a, a);
  const DD rest = dd::Add(dd::TwoSum(1.0, -square.hi), -square.lo);
  const DD root = dd::Sqrt(rest);
  DD y;
  if (square.hi <= 0.5) {
    y = atanUnit(dd::Div({a, 0.0}, root));
  } else {
    y = dd::Add(kHalfPi, dd::Neg(atanUnit(dd::Div(root, {a, 0.0}))));
  }
  return withSign(y.hi + y.lo, x < 0.0);
}

}  // namespace tavrik
