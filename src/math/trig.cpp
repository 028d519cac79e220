#include "math/trig.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "math/double_double.h"

namespace tavrik {

namespace {

using dd::DD;

// pi/2 in pieces of 33 bits (times a quadrant count below 2^19 they multiply exactly), then the
// rest; and as a double-double for the wide reduction.
constexpr double kHalfPi1 = 0x1.921fb544p+0;
constexpr double kHalfPi2 = 0x1.0b4611a6p-34;
constexpr double kHalfPi3 = 0x1.3198a2ep-69;
constexpr double kHalfPi4 = 0x1.b839a252049c1p-104;
constexpr DD kHalfPi = {0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
constexpr double kRoundingShift = 0x1.8p52;
constexpr double kNarrowLimit = 0x1p19;
constexpr double kQuarterPi = 0x1.921fb54442d18p-1;
constexpr double kTiny = 0x1p-27;

// The bits of 2/pi after the point, 32 at a time: enough for the largest double.
constexpr uint32_t kTwoOverPiBits[] = {
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041, 0xFE5163AB, 0xDEBBC561,
    0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C, 0xFE1DEB1C, 0xB129A73E, 0xE88235F5, 0x2EBB4484,
    0xE99C7026, 0xB45F7E41, 0x3991D639, 0x835339F4, 0x9C845F8B, 0xBDF9283B, 0x1FF897FF, 0xDE05980F,
    0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF, 0x27CB09B7, 0x4F463F66, 0x9E5FEA2D, 0x7527BAC7, 0xEBE5F17B,
    0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1, 0x1F8D5D08, 0x56033046, 0xFC7B6BAB, 0xF0CFBC20, 0x9AF4361D,
    0xA9E39161, 0x5EE61B08, 0x6599855F, 0x14A06840};

// sin and cos of i/64 as double-doubles, i = 0..51, the nodes of the kernel below.
struct Node {
  double sinHi;
  double sinLo;
  double cosHi;
  double cosLo;
};
constexpr Node kNodes[] = {
    {0x0.0p+0, 0x0.0p+0, 0x1.0000000000000p+0, 0x0.0p+0},
    {0x1.fffaaaaeeeed5p-7, -0x1.2ab639a9f0776p-63, 0x1.fff000155549fp-1, 0x1.28a28a03a5ef3p-55},
    {0x1.ffeaaaeeee86fp-6, -0x1.cd406fb224ae2p-60, 0x1.ffc00155527d3p-1, -0x1.3b54492d89b5bp-55},
    {0x1.7fdc01032fba9p-5, -0x1.599bdf46e997ap-59, 0x1.ff7006bfdf99fp-1, -0x1.8b3b560648d5fp-56},
    {0x1.ffaaaeeed4edbp-5, -0x1.2d16d32684b69p-59, 0x1.ff0015549f4d3p-1, 0x1.328387b99426fp-55},
    {0x1.3facb12d1755bp-4, -0x1.921915299468bp-58, 0x1.fe7034129ef6fp-1, -0x1.cbf4337c96f97p-57},
    {0x1.7f701032550e4p-4, 0x1.afc2d1800501ap-60, 0x1.fdc06bf7e6b9bp-1, 0x1.31902b535f8dbp-55},
    {0x1.bf1b78568391dp-4, 0x1.e91841dea4cc8p-58, 0x1.fcf0c800e99b1p-1, 0x1.ea3d786d186acp-57},
    {0x1.feaaeee86ee36p-4, -0x1.afcb2bcc6f03bp-59, 0x1.fc015527d5bd3p-1, 0x1.b68f35094efb8p-55},
    {0x1.1f0d3d7afceafp-3, -0x1.6ef95099769a5p-57, 0x1.faf22263c4bd3p-1, -0x1.52ace133a2769p-58},
    {0x1.3eb312c5d66cbp-3, 0x1.47d666b66cb91p-57, 0x1.f9c340a7cc428p-1, 0x1.c5b6b063b7462p-55},
    {0x1.5e44fcfa126f3p-3, -0x1.6f443063f89b6p-57, 0x1.f874c2e1eecf6p-1, -0x1.c6514e1332b16p-55},
    {0x1.7dc102fbaf2b5p-3, 0x1.5ab50e23c97c3p-59, 0x1.f706bdf9ece1cp-1, -0x1.698c80c36dcb4p-55},
    {0x1.9d252d0cec312p-3, 0x1.9c43d80b1137dp-58, 0x1.f57948cff6797p-1, 0x1.e3a0d3e03b1d4p-57},
    {0x1.bc6f84edc6199p-3, 0x1.9c1a56a7b0cabp-57, 0x1.f3cc7c3b3d16ep-1, -0x1.21a3ad28a3494p-57},
    {0x1.db9e15fb5a5d0p-3, -0x1.32e20d6cc6fc2p-57, 0x1.f20073086649fp-1, 0x1.b940416c1984bp-56},
    {0x1.faaeed4f31577p-3, -0x1.15d88508e32b8p-57, 0x1.f01549f7deea1p-1, 0x1.d3c1e99e5cafdp-55},
    {0x1.0cd00cef36436p-2, -0x1.9fb0a0c93e2b4p-56, 0x1.ee0b1fbc0f11cp-1, -0x1.bfd2380bbc3b1p-59},
    {0x1.1c37d64c6b876p-2, 0x1.46076fe0dcff4p-56, 0x1.ebe214f76efa8p-1, -0x1.02f9f12ba543ep-55},
    {0x1.2b8ddc43eb49fp-2, 0x1.1553899f2d807p-57, 0x1.e99a4c3a7cd83p-1, -0x1.2264b1bc53ce8p-55},
    {0x1.3ad129769d3d8p-2, 0x1.03d550487839ap-63, 0x1.e733ea0193d40p-1, -0x1.6428b3546ce13p-55},
    {0x1.4a00c9b0f3d20p-2, 0x1.823ba6bb08eadp-56, 0x1.e4af14b2a449cp-1, -0x1.68ca02e8a6833p-55},
    {0x1.591bc9fa2f597p-2, 0x1.7c74bac3fe0cbp-57, 0x1.e20bf49acd6c1p-1, -0x1.660aec7ef636bp-58},
    {0x1.682138a38d7f7p-2, -0x1.d889202444aadp-56, 0x1.df4ab3ebd875ep-1, -0x1.e2d8a7e6736c4p-55},
    {0x1.7710255764214p-2, -0x1.6ead7314bb6cep-57, 0x1.dc6b7eb995912p-1, 0x1.4b364776dcd35p-58},
    {0x1.85e7a12826949p-2, 0x1.8a40e9b5face0p-56, 0x1.d96e82f71a9dcp-1, 0x1.ff61bd5d2039dp-55},
    {0x1.94a6be9f546c5p-2, -0x1.69ce13e683f58p-56, 0x1.d653f073e4040p-1, -0x1.76236434bec37p-55},
    {0x1.a34c91cc50ccap-2, -0x1.a310e3b50cecdp-58, 0x1.d31bf8d8d7c06p-1, 0x1.e60dd3089cbddp-56},
    {0x1.b1d8305321617p-2, -0x1.ae242cb99f519p-56, 0x1.cfc6cfa52ad9fp-1, 0x1.8b5b5508f2a0dp-55},
    {0x1.c048b17b140a3p-2, 0x1.19fe6757e9fa7p-57, 0x1.cc54aa2b2972ep-1, 0x1.4ee162ba83a98p-57},
    {0x1.ce9d2e3d4a51fp-2, -0x1.2fc8a12dae298p-57, 0x1.c8c5bf8ce1a84p-1, 0x1.ab3d1a1590123p-56},
    {0x1.dcd4c15329c9ap-2, 0x1.0d4c6e171fd9ap-56, 0x1.c51a48b8b175ep-1, -0x1.1bbb43b9aa880p-57},
    {0x1.eaee8744b05f0p-2, -0x1.789b43c9b027dp-58, 0x1.c1528065b7d50p-1, -0x1.892111312e828p-55},
    {0x1.f8e99e76abc97p-2, 0x1.9d950af2d00a3p-58, 0x1.bd6ea310294f5p-1, 0x1.31bbcc88c109dp-56},
    {0x1.0362939c69955p-1, -0x1.2d8cd78397b01p-55, 0x1.b96eeef58840ep-1, 0x1.45a3cc78fade0p-58},
    {0x1.0a4021e9e1001p-1, -0x1.6f643a13914f6p-55, 0x1.b553a410c104ep-1, 0x1.8ff7947027a15p-58},
    {0x1.110d0c4b69c3bp-1, 0x1.d918998809981p-55, 0x1.b11d04162a4c6p-1, 0x1.1dd561efbc0c2p-56},
    {0x1.17c8e5f2eedb0p-1, 0x1.35e57102e2488p-57, 0x1.accb526f69de5p-1, 0x1.8fb6a8dd6b6ccp-55},
    {0x1.1e7343236574cp-1, 0x1.22a3fa4f41d5ap-56, 0x1.a85ed4373e02dp-1, 0x1.9be06385ec792p-57},
    {0x1.250bb93788bbbp-1, 0x1.ea3d02457bccep-56, 0x1.a3d7d0352bdcfp-1, -0x1.68dbaeca19669p-55},
    {0x1.2b91dea88421ep-1, -0x1.fa371db216ab0p-55, 0x1.9f368ed912f85p-1, -0x1.1d200c5791606p-55},
    {0x1.32054b148bc4fp-1, 0x1.f6b42095a135bp-55, 0x1.9a7b5a36a6514p-1, 0x1.722cfcc9fa7a9p-55},
    {0x1.386597456282bp-1, -0x1.10fada93b07a8p-56, 0x1.95a67e00cb1fdp-1, -0x1.0befda21f862dp-55},
    {0x1.3eb25d36cd53ap-1, -0x1.be570e1570fc0p-58, 0x1.90b84784ddaf7p-1, -0x1.0feb10ab93b87p-56},
    {0x1.44eb381cf386bp-1, -0x1.3ed6c1e6a5505p-55, 0x1.8bb105a5dc900p-1, 0x1.863e03e9474c1p-55},
    {0x1.4b0fc46aab761p-1, 0x1.0da05738cc59cp-61, 0x1.869108d77a6c6p-1, 0x1.338ffe2bfe9ddp-56},
    {0x1.511f9fd7b351cp-1, -0x1.5c0e861c48831p-55, 0x1.8158a31916d5dp-1, -0x1.de8b90b8228dep-57},
    {0x1.571a6966d59b3p-1, 0x1.c843b4d0fb197p-58, 0x1.7c0827f09e54fp-1, -0x1.c73d6d72aee68p-57},
    {0x1.5cffc16bf8f0dp-1, 0x1.96cb370eb578ap-55, 0x1.769fec655211fp-1, -0x1.827d5cf8c68c5p-57},
    {0x1.62cf49921ac79p-1, -0x1.edd9855b6241ap-55, 0x1.712046fa77678p-1, 0x1.425b0a5029c81p-55},
    {0x1.6888a4e134b2fp-1, -0x1.6b7d37644d5e6p-55, 0x1.6b898fa9efb5dp-1, 0x1.15ac786ccf4b2p-56},
    {0x1.6e2b77c40bde1p-1, -0x1.0e729857fad53p-56, 0x1.65dc1fdeb8cbap-1, -0x1.97c1b47337c77p-58},
};

// The nodes with their high halves split once, for the exact products of the kernel.
struct SplitNode {
  Node node;
  DD sinSplit;
  DD cosSplit;
};
constexpr int kNodeCount = sizeof(kNodes) / sizeof(kNodes[0]);
struct SplitNodes {
  SplitNode at[kNodeCount];
};
constexpr SplitNodes splitNodes() {
  SplitNodes out{};
  for (int i = 0; i < kNodeCount; ++i) {
    out.at[i] = {kNodes[i], dd::Split(kNodes[i].sinHi), dd::Split(kNodes[i].cosHi)};
  }
  return out;
}
constexpr SplitNodes kSplitNodes = splitNodes();

// Taylor terms around a node, |t| <= 1/128: the last one left out is below 2^-74 of the result.
constexpr double kS3 = -0x1.5555555555555p-3;
constexpr double kS5 = 0x1.1111111111111p-7;
constexpr double kS7 = -0x1.a01a01a01a01ap-13;
constexpr double kC2 = -0.5;
constexpr double kC4 = 0x1.5555555555555p-5;
constexpr double kC6 = -0x1.6c16c16c16c17p-10;
constexpr double kC8 = 0x1.a01a01a01a01ap-16;

// The same series to 2^-110 in double-double, for the results the fast sum cannot round.
constexpr DD kSinSeries[] = {{1.0, 0.0},
                             {-0x1.5555555555555p-3, -0x1.5555555555555p-57},
                             {0x1.1111111111111p-7, 0x1.1111111111111p-63},
                             {-0x1.a01a01a01a01ap-13, -0x1.a01a01a01a01ap-73},
                             {0x1.71de3a556c734p-19, -0x1.c154f8ddc6c00p-73},
                             {-0x1.ae64567f544e4p-26, 0x1.c062e06d1f209p-80}};
constexpr DD kCosSeries[] = {{1.0, 0.0},
                             {-0.5, 0.0},
                             {0x1.5555555555555p-5, 0x1.5555555555555p-59},
                             {-0x1.6c16c16c16c17p-10, 0x1.f49f49f49f49fp-65},
                             {0x1.a01a01a01a01ap-16, 0x1.a01a01a01a01ap-76},
                             {-0x1.27e4fb7789f5cp-22, -0x1.cbbc05b4fa99ap-76},
                             {0x1.1eed8eff8d898p-29, -0x1.2aec959e14c06p-83}};

// The fast sum is within 2^-63 of the result (measured: 2^-65.9); four times that decides
// whether it rounds safely.
constexpr double kFastBound = 0x1p-61;

struct Reduced {
  DD r;  // in [-pi/4, pi/4], a little more where the quadrant estimate rounds the other way
  int quadrant;
};

// Cody-Waite: x - k pi/2 with every product exact, and the cancellation kept in two doubles.
Reduced reduceNarrow(double x) {
  const double k = (x * kTwoOverPi + kRoundingShift) - kRoundingShift;
  const double t1 = x - k * kHalfPi1;
  const DD s0 = dd::TwoSum(t1, -(k * kHalfPi2));
  const DD s1 = dd::TwoSum(s0.hi, -(k * kHalfPi3));
  const double lo = (s0.lo + s1.lo) - k * kHalfPi4;
  return {dd::FastTwoSum(s1.hi, lo), static_cast<int>(k) & 3};
}

// 32 bits of 2/pi from bit j on (bit 1 is the first after the point; bits before it are 0).
uint32_t twoOverPiBitsAt(int j) {
  const int pos = j + 63;
  const int word = pos / 32;
  const int shift = pos % 32;
  const auto at = [](int w) -> uint64_t { return w < 2 ? 0 : kTwoOverPiBits[w - 2]; };
  const uint64_t both = (at(word) << 32) | at(word + 1);
  return static_cast<uint32_t>(both >> (32 - shift));
}

// Payne-Hanek for x >= 2^19: x = m 2^e, and only the 192 bits of 2/pi that reach x 2/pi mod 4
// matter. Integer arithmetic, so it is exact up to the bits left out (below 2^-137).
Reduced reduceWide(double x) {
  uint64_t bits = 0;
  std::memcpy(&bits, &x, sizeof bits);
  const int e = static_cast<int>(bits >> 52) - 1075;
  const uint64_t m = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
  uint32_t w[6];
  for (int k = 0; k < 6; ++k) {
    w[5 - k] = twoOverPiBitsAt(e - 1 + 32 * k);
  }
  // p = m w mod 2^192, in 32-bit limbs, least significant first; its point is at bit 190.
  const uint64_t m0 = m & 0xffffffffu;
  const uint64_t m1 = m >> 32;
  uint32_t p[6];
  uint64_t carry = 0;
  for (int k = 0; k < 6; ++k) {
    const uint64_t acc = m0 * w[k] + carry;
    p[k] = static_cast<uint32_t>(acc);
    carry = acc >> 32;
  }
  carry = 0;
  for (int k = 1; k < 6; ++k) {
    const uint64_t acc = p[k] + m1 * w[k - 1] + carry;
    p[k] = static_cast<uint32_t>(acc);
    carry = acc >> 32;
  }
  int quadrant = static_cast<int>(p[5] >> 30);
  p[5] &= 0x3fffffffu;
  const bool upperHalf = (p[5] & 0x20000000u) != 0;
  if (upperHalf) {
    // The fraction f becomes f - 1, kept as 1 - f and negated below.
    ++quadrant;
    uint64_t borrow = 1;
    for (uint32_t& limb : p) {
      const uint64_t acc = static_cast<uint64_t>(static_cast<uint32_t>(~limb)) + borrow;
      limb = static_cast<uint32_t>(acc);
      borrow = acc >> 32;
    }
    p[5] &= 0x3fffffffu;
  }
  constexpr double kLimbScale[] = {0x1p-190, 0x1p-158, 0x1p-126, 0x1p-94, 0x1p-62, 0x1p-30};
  DD f = {0.0, 0.0};
  for (int k = 5; k >= 0; --k) {
    f = dd::Add(f, static_cast<double>(p[k]) * kLimbScale[k]);
  }
  const DD r = dd::Mul(f, kHalfPi);
  return {upperHalf ? dd::Neg(r) : r, quadrant & 3};
}

Reduced reduce(double x) {
  if (std::fabs(x) <= kQuarterPi) {
    return {{x, 0.0}, 0};
  }
  if (std::fabs(x) < kNarrowLimit) {
    return reduceNarrow(x);
  }
  if (x > 0.0) {
    return reduceWide(x);
  }
  const Reduced wide = reduceWide(-x);
  return {dd::Neg(wide.r), (4 - wide.quadrant) & 3};
}

// hi + lo rounded, when every value within the fast sum's bound of it rounds the same (hi >= 0);
// otherwise -1.
double settled(double hi, double lo) {
  const double e = kFastBound * hi;
  const double up = hi + (lo + e);
  return up == hi + (lo - e) ? up : -1.0;
}

// r = a + t, a = i/64 the nearest node, t = th + tl with th exact.
struct Offset {
  const SplitNode& node;
  double th;
  double tl;
};

Offset offsetOf(double ah, double al) {
  const int i = static_cast<int>(ah * 64.0 + 0.5);
  return {kSplitNodes.at[i], ah - static_cast<double>(i) * 0x1p-6, al};
}

// sin t and cos t around the node to 2^-104, for sin(a + t) and cos(a + t).
struct SeriesPair {
  DD sinT;
  DD cosT;
};

SeriesPair accurateSeries(const Offset& o) {
  const DD t = dd::TwoSum(o.th, o.tl);
  const DD tt = dd::Mul(t, t);
  DD s = kSinSeries[5];
  for (int k = 4; k >= 0; --k) {
    s = dd::Add(dd::Mul(s, tt), kSinSeries[k]);
  }
  DD c = kCosSeries[6];
  for (int k = 5; k >= 0; --k) {
    c = dd::Add(dd::Mul(c, tt), kCosSeries[k]);
  }
  return {dd::Mul(s, t), c};
}

double accurateSin(const Offset& o) {
  const SeriesPair t = accurateSeries(o);
  const DD sa = {o.node.node.sinHi, o.node.node.sinLo};
  const DD ca = {o.node.node.cosHi, o.node.node.cosLo};
  const DD y = dd::Add(dd::Mul(sa, t.cosT), dd::Mul(ca, t.sinT));
  return y.hi + y.lo;
}

double accurateCos(const Offset& o) {
  const SeriesPair t = accurateSeries(o);
  const DD sa = {o.node.node.sinHi, o.node.node.sinLo};
  const DD ca = {o.node.node.cosHi, o.node.node.cosLo};
  const DD y = dd::Add(dd::Mul(ca, t.cosT), dd::Neg(dd::Mul(sa, t.sinT)));
  return y.hi + y.lo;
}

// sin t - t and cos t - 1 without the low part of t, whose first-order effect the callers add.
double sinTail(double th, double t2) {
  return th * t2 * (kS3 + t2 * (kS5 + t2 * kS7));
}
double cosTail(double t2) {
  return t2 * (kC2 + t2 * (kC4 + t2 * (kC6 + t2 * kC8)));
}

// sin r for |r| <= pi/4 (a little more allowed).
double sinReduced(const DD& r) {
  const bool negative = r.hi < 0.0;
  const Offset o = negative ? offsetOf(-r.hi, -r.lo) : offsetOf(r.hi, r.lo);
  const Node& n = o.node.node;
  const double t2 = o.th * o.th;
  const DD p = dd::TwoProd(n.cosHi, o.node.cosSplit, o.th, dd::Split(o.th));
  const DD y = dd::FastTwoSum(n.sinHi, p.hi);
  const double lo = ((((n.cosLo * o.th + n.sinLo) + p.lo) + y.lo) + n.cosHi * o.tl) +
                    n.cosHi * sinTail(o.th, t2) + n.sinHi * (cosTail(t2) - o.th * o.tl);
  const double fast = settled(y.hi, lo);
  const double s = fast >= 0.0 ? fast : accurateSin(o);
  return negative ? -s : s;
}

// cos r for |r| <= pi/4 (a little more allowed).
double cosReduced(const DD& r) {
  const Offset o = r.hi < 0.0 ? offsetOf(-r.hi, -r.lo) : offsetOf(r.hi, r.lo);
  const Node& n = o.node.node;
  const double t2 = o.th * o.th;
  const DD p = dd::TwoProd(n.sinHi, o.node.sinSplit, o.th, dd::Split(o.th));
  const DD y = dd::FastTwoSum(n.cosHi, -p.hi);
  const double lo = ((((n.cosLo - n.sinLo * o.th) - p.lo) + y.lo) - n.sinHi * o.tl) -
                    n.sinHi * sinTail(o.th, t2) + n.cosHi * (cosTail(t2) - o.th * o.tl);
  const double fast = settled(y.hi, lo);
  return fast >= 0.0 ? fast : accurateCos(o);
}

// sin r and cos r for |r| <= pi/4 (a little more allowed) in plain doubles, Taylor series to
// r^15 and r^16 (measured: within 2^-52 of the result), enough to round to float. The terms
// are grouped in pairs so that the multiplications need not wait for one another.
double roughSin(const DD& r) {
  const double r2 = r.hi * r.hi;
  const double r4 = r2 * r2;
  const double p =
      (kS3 + kS5 * r2) + r4 * (kS7 + 0x1.71de3a556c734p-19 * r2) +
      r4 * r4 *
          ((-0x1.ae64567f544e4p-26 + 0x1.6124613a86d09p-33 * r2) + r4 * -0x1.ae7f3e733b81fp-41);
  return r.hi + (r.lo + r.hi * r2 * p);
}

double roughCos(const DD& r) {
  const double r2 = r.hi * r.hi;
  const double r4 = r2 * r2;
  const double p = (kC2 + kC4 * r2) + r4 * (kC6 + kC8 * r2) +
                   r4 * r4 *
                       ((-0x1.27e4fb7789f5cp-22 + 0x1.1eed8eff8d898p-29 * r2) +
                        r4 * (-0x1.93974a8c07c9dp-37 + 0x1.ae7f3e733b81fp-45 * r2));
  return 1.0 + (r2 * p - r.hi * r.lo);
}

// 2^-44 of the result covers the rough value's error and the one ulp by which the double result
// may stand off the exact value; when both ends of that interval round to the same float, that
// float is the double result's too, with no double rounding in between.
constexpr double kFloatMargin = 0x1p-44;

bool floatOf(double y, float& out) {
  const double m = kFloatMargin * std::fabs(y);
  out = static_cast<float>(y - m);
  return out == static_cast<float>(y + m);
}

// For the float forms: x - k pi/2 in plain doubles, within 2^-51 of r wherever |r| >= 2^-30;
// nearer a multiple of pi/2, and beyond the narrow range, the exact reduction.
Reduced roughReduce(double x) {
  if (std::fabs(x) < kNarrowLimit) {
    const double k = (x * kTwoOverPi + kRoundingShift) - kRoundingShift;
    const double r = ((x - k * kHalfPi1) - k * kHalfPi2) - k * kHalfPi3;
    if (std::fabs(r) >= 0x1p-30) {
      return {{r, 0.0}, static_cast<int>(k) & 3};
    }
  }
  return reduce(x);
}

// The quadrant's sine and cosine from those of r, with signs.
struct Quadrant {
  double s;
  double c;
};

Quadrant inQuadrant(int quadrant, double sr, double cr) {
  switch (quadrant) {
    case 0:
      return {sr, cr};
    case 1:
      return {cr, -sr};
    case 2:
      return {-sr, -cr};
    default:
      return {-cr, sr};
  }
}

}  // namespace

double Sin(double x) {
  if (std::fabs(x) < kTiny) {
    return x;
  }
  if (!std::isfinite(x)) {
    return x - x;
  }
  const Reduced red = reduce(x);
  switch (red.quadrant) {
    case 0:
      return sinReduced(red.r);
    case 1:
      return cosReduced(red.r);
    case 2:
      return -sinReduced(red.r);
    default:
      return -cosReduced(red.r);
  }
}

double Cos(double x) {
  if (std::fabs(x) < kTiny) {
    return 1.0;
  }
  if (!std::isfinite(x)) {
    return x - x;
  }
  const Reduced red = reduce(x);
  switch (red.quadrant) {
    case 0:
      return cosReduced(red.r);
    case 1:
      return -sinReduced(red.r);
    case 2:
      return -cosReduced(red.r);
    default:
      return sinReduced(red.r);
  }
}

void SinCos(double x, double& s, double& c) {
  if (std::fabs(x) < kTiny) {
    s = x;
    c = 1.0;
    return;
  }
  if (!std::isfinite(x)) {
    s = x - x;
    c = s;
    return;
  }
  const Reduced red = reduce(x);
  const Quadrant q = inQuadrant(red.quadrant, sinReduced(red.r), cosReduced(red.r));
  s = q.s;
  c = q.c;
}

float SinF(double x) {
  if (std::fabs(x) < kTiny || !std::isfinite(x)) {
    return static_cast<float>(Sin(x));
  }
  const Reduced red = roughReduce(x);
  const double y = (red.quadrant & 1) == 0 ? roughSin(red.r) : roughCos(red.r);
  float out = 0.0f;
  if (!floatOf(y, out)) {
    return static_cast<float>(Sin(x));
  }
  return red.quadrant >= 2 ? -out : out;
}

float CosF(double x) {
  if (std::fabs(x) < kTiny || !std::isfinite(x)) {
    return static_cast<float>(Cos(x));
  }
  const Reduced red = roughReduce(x);
  const double y = (red.quadrant & 1) == 0 ? roughCos(red.r) : roughSin(red.r);
  float out = 0.0f;
  if (!floatOf(y, out)) {
    return static_cast<float>(Cos(x));
  }
  return red.quadrant == 1 || red.quadrant == 2 ? -out : out;
}

void SinCosF(double x, float& s, float& c) {
  if (std::fabs(x) < kTiny || !std::isfinite(x)) {
    s = static_cast<float>(Sin(x));
    c = static_cast<float>(Cos(x));
    return;
  }
  const Reduced red = roughReduce(x);
  const Quadrant q = inQuadrant(red.quadrant, roughSin(red.r), roughCos(red.r));
  if (!floatOf(q.s, s)) {
    s = static_cast<float>(Sin(x));
  }
  if (!floatOf(q.c, c)) {
    c = static_cast<float>(Cos(x));
  }
}

}  // namespace tavrik
