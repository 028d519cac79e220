#pragma once

#include <cmath>

// Unevaluated sums of two doubles, built from IEEE additions and multiplications only, so that
// every compiler and processor that rounds to nearest gives the same bits. The build forbids
// fused multiply-adds; the exact product below does without them.
namespace tavrik::dd {

struct DD {
  double hi;
  double lo;
};

// hi + lo == a + b exactly, for any a and b.
constexpr DD TwoSum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  const double err = (a - (s - bb)) + (b - bb);
  return {s, err};
}

// The same when a is zero or |a| >= |b|.
constexpr DD FastTwoSum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

// a == hi + lo with each half on 26 bits, so their products are exact.
constexpr DD Split(double a) {
  const double c = 134217729.0 * a;
  const double hi = c - (c - a);
  return {hi, a - hi};
}

// hi + lo == a * b exactly, given the halves of a and b.
constexpr DD TwoProd(double a, const DD& as, double b, const DD& bs) {
  const double p = a * b;
  const double err = ((as.hi * bs.hi - p) + as.hi * bs.lo + as.lo * bs.hi) + as.lo * bs.lo;
  return {p, err};
}

constexpr DD TwoProd(double a, double b) {
  return TwoProd(a, Split(a), b, Split(b));
}

constexpr DD Add(const DD& a, const DD& b) {
  const DD s = TwoSum(a.hi, b.hi);
  const DD t = TwoSum(a.lo, b.lo);
  const DD u = FastTwoSum(s.hi, s.lo + t.hi);
  return FastTwoSum(u.hi, u.lo + t.lo);
}

constexpr DD Add(const DD& a, double b) {
  const DD s = TwoSum(a.hi, b);
  return FastTwoSum(s.hi, s.lo + a.lo);
}

constexpr DD Neg(const DD& a) {
  return {-a.hi, -a.lo};
}

constexpr DD Mul(const DD& a, const DD& b) {
  const DD p = TwoProd(a.hi, b.hi);
  return FastTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

constexpr DD Mul(const DD& a, double b) {
  const DD p = TwoProd(a.hi, b);
  return FastTwoSum(p.hi, p.lo + a.lo * b);
}

constexpr DD Div(const DD& a, const DD& b) {
  const double q1 = a.hi / b.hi;
  const DD r = Add(a, Neg(Mul(b, q1)));
  const double q2 = r.hi / b.hi;
  const DD r2 = Add(r, Neg(Mul(b, q2)));
  const double q3 = r2.hi / b.hi;
  return Add(FastTwoSum(q1, q2), q3);
}

// For a > 0: one Newton step from the correctly rounded root of the high half.
inline DD Sqrt(const DD& a) {
  const double s = std::sqrt(a.hi);
  const DD sq = TwoProd(s, s);
  const double rest = ((a.hi - sq.hi) - sq.lo) + a.lo;
  return FastTwoSum(s, rest / (2.0 * s));
}

}  // namespace tavrik::dd
