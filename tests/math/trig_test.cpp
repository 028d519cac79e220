#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "math/trig.h"

namespace tavrik {
namespace {

// Correctly rounded results, from MPFR: the same bits on every platform. Arguments from the
// motion's ranges, next to multiples of pi/2, at the narrow reduction's limit and far beyond it.
struct SineCase {
  double x;
  double sin;
  double cos;
};
constexpr SineCase kSineCases[] = {
    {0x1.0000000000000p-1, 0x1.eaee8744b05f0p-2, 0x1.c1528065b7d50p-1},
    {-0x1.4000000000000p+1, -0x1.326af0dcfcab1p-1, -0x1.9a2f7ef858b7dp-1},
    {0x1.9000000000000p+6, -0x1.03425b78c4db8p-1, 0x1.b981dbf665fdfp-1},
    {0x1.921fb54442d18p+0, 0x1.0000000000000p+0, 0x1.1a62633145c07p-54},
    {0x1.921fb54442d18p+1, 0x1.1a62633145c07p-53, -0x1.0000000000000p+0},
    {0x1.2d97c7f3321d2p+2, -0x1.0000000000000p+0, -0x1.a79394c9e8a0ap-53},
    {0x1.7f7ec53a8d491p+19, -0x1.eacd7c60e9693p-35, 0x1.0000000000000p+0},
    {0x1.2a05f20000000p+31, -0x1.fbdb4637488f7p-1, -0x1.0405c948a5d7bp-3},
    {-0x1.55cc000000000p+19, -0x1.fb44bc68252a3p-3, -0x1.f00bb84d2e073p-1},
    {0x1.0f0cf064dd592p+73, -0x1.b453ab76bf397p-1, 0x1.0be2cef01c8f4p-1},
    {0x1.7e43c8800759cp+996, -0x1.a2c16b010e385p-1, -0x1.2699022adc4c1p-1},
    {0x1.6ac5b262ca1ffp+849, 0x1.0000000000000p+0, -0x1.14ae72e6ba22fp-61},
    {0x1.fffffffffffffp+1023, 0x1.452fc98b34e97p-8, -0x1.fffe62ecfab75p-1},
    {0x1.c200000000000p+4, 0x1.30b3494a4eb8ap-3, -0x1.fa4d38a8b15b6p-1},
    {-0x1.34a456d5cfaadp+10, -0x1.3fa00084ee3ddp-4, -0x1.fe7053dc31387p-1},
    {0x1.12e0be826d695p-30, 0x1.12e0be826d695p-30, 0x1.0000000000000p+0},
    {0x1.921fb54442d18p-1, 0x1.6a09e667f3bccp-1, 0x1.6a09e667f3bcdp-1},
    {0x1.0000000000000p+19, 0x1.57481ec90fde3p-3, 0x1.f8c1986ca67fap-1},
    {0x1.ffffffffffffep+18, 0x1.57481ec51e5b0p-3, 0x1.f8c1986cd168bp-1},
};

struct ArcCase {
  double x;
  double y;
};
constexpr ArcCase kAsinCases[] = {
    {0x1.0000000000000p-1, 0x1.0c152382d7366p-1},   {-0x1.0000000000000p-2, -0x1.02be9ce0b87cdp-2},
    {0x1.ff7ced916872bp-1, 0x1.86ac9ad18f803p+0},   {-0x1.fffffffffb9a2p-2, -0x1.0c152382d4ac5p-1},
    {0x1.12e0be826d695p-30, 0x1.12e0be826d695p-30}, {0x1.6a09e667f3bcdp-1, 0x1.921fb54442d19p-1},
    {0x1.fffffffffffffp-1, 0x1.921fb50442d18p+0},
};
constexpr ArcCase kAtanCases[] = {
    {0x1.0000000000000p-1, 0x1.dac670561bb4fp-2},  {0x1.8000000000000p-1, 0x1.4978fa3269ee1p-1},
    {0x1.3333333333333p-1, 0x1.14b1dd5f90ce1p-1},  {0x1.47ae147ae147bp-7, 0x1.47ab48b1efb5dp-7},
    {0x1.89374bc6a7efap-9, 0x1.8936fe778db6ep-9},  {-0x1.8000000000000p+1, -0x1.3fc176b7a8560p+0},
    {0x1.2a05f20000000p+33, 0x1.921fb543d4de0p+0}, {0x1.0000000000000p+0, 0x1.921fb54442d18p-1},
    {0x1.f800000000000p-1, 0x1.8e17aa99cc05ep-1},
};

uint64_t bitsOf(double x) {
  return std::bit_cast<uint64_t>(x);
}

TEST(Trig, SineAndCosineAreCorrectlyRounded) {
  for (const SineCase& c : kSineCases) {
    SCOPED_TRACE(testing::Message() << std::hexfloat << c.x);
    EXPECT_EQ(bitsOf(Sin(c.x)), bitsOf(c.sin));
    EXPECT_EQ(bitsOf(Cos(c.x)), bitsOf(c.cos));
    EXPECT_EQ(bitsOf(Sin(-c.x)), bitsOf(-c.sin));
    EXPECT_EQ(bitsOf(Cos(-c.x)), bitsOf(c.cos));
    double s = 0.0;
    double co = 0.0;
    SinCos(c.x, s, co);
    EXPECT_EQ(bitsOf(s), bitsOf(c.sin));
    EXPECT_EQ(bitsOf(co), bitsOf(c.cos));
  }
}

TEST(Trig, ArcFunctionsAreCorrectlyRounded) {
  for (const ArcCase& c : kAsinCases) {
    SCOPED_TRACE(testing::Message() << "asin " << std::hexfloat << c.x);
    EXPECT_EQ(bitsOf(Asin(c.x)), bitsOf(c.y));
    EXPECT_EQ(bitsOf(Asin(-c.x)), bitsOf(-c.y));
  }
  for (const ArcCase& c : kAtanCases) {
    SCOPED_TRACE(testing::Message() << "atan " << std::hexfloat << c.x);
    EXPECT_EQ(bitsOf(Atan(c.x)), bitsOf(c.y));
    EXPECT_EQ(bitsOf(Atan(-c.x)), bitsOf(-c.y));
  }
}

// The float forms take a cheaper way but must give the double results' floats, bit for bit.
TEST(Trig, FloatFormsRoundTheDoubleResults) {
  uint64_t state = 88172645463325252u;
  const auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return static_cast<double>(state >> 11) * 0x1p-53;
  };
  for (int i = 0; i < 200000; ++i) {
    const double u = 2.0 * next() - 1.0;
    const double x = i % 3 == 0 ? 400.0 * u
                     : i % 3 == 1
                         ? std::ldexp(u, static_cast<int>(next() * 32.0))
                         : std::round(next() * 0x1p20) * 0x1.921fb54442d18p+0 * (1.0 + u * 0x1p-40);
    float s = 0.0f;
    float c = 0.0f;
    SinCosF(x, s, c);
    ASSERT_EQ(std::bit_cast<uint32_t>(s), std::bit_cast<uint32_t>(static_cast<float>(Sin(x))))
        << std::hexfloat << x;
    ASSERT_EQ(std::bit_cast<uint32_t>(c), std::bit_cast<uint32_t>(static_cast<float>(Cos(x))))
        << std::hexfloat << x;
    ASSERT_EQ(std::bit_cast<uint32_t>(SinF(x)), std::bit_cast<uint32_t>(s)) << std::hexfloat << x;
    ASSERT_EQ(std::bit_cast<uint32_t>(CosF(x)), std::bit_cast<uint32_t>(c)) << std::hexfloat << x;
  }
}

TEST(Trig, SpecialValues) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  constexpr double kHalfPi = 0x1.921fb54442d18p+0;
  EXPECT_EQ(bitsOf(Sin(-0.0)), bitsOf(-0.0));
  EXPECT_EQ(Cos(-0.0), 1.0);
  EXPECT_EQ(bitsOf(Atan(-0.0)), bitsOf(-0.0));
  EXPECT_EQ(bitsOf(Asin(-0.0)), bitsOf(-0.0));
  EXPECT_TRUE(std::isnan(Sin(kInf)));
  EXPECT_TRUE(std::isnan(Cos(-kInf)));
  EXPECT_TRUE(std::isnan(Sin(std::nan(""))));
  EXPECT_TRUE(std::isnan(Asin(1.5)));
  EXPECT_EQ(Asin(1.0), kHalfPi);
  EXPECT_EQ(Asin(-1.0), -kHalfPi);
  EXPECT_EQ(Atan(kInf), kHalfPi);
  EXPECT_EQ(Atan(-kInf), -kHalfPi);
}

}  // namespace
}  // namespace tavrik
