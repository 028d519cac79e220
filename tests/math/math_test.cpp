#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <numbers>

#include "math/matrix.h"
#include "math/random.h"
#include "math/vector.h"
#include "support/expect_vec.h"

namespace tavrik {
namespace {

using testing::expectVec;

constexpr float kEps = 1e-5f;

TEST(MathLayout, TypesMatchTheDeviceRecords) {
  EXPECT_EQ(sizeof(Vec3), 12u);
  EXPECT_EQ(sizeof(Matrix4), 64u);
  EXPECT_EQ(sizeof(Vertex), 32u);
  EXPECT_EQ(offsetof(Vertex, normal), 12u);
  EXPECT_EQ(offsetof(Vertex, tu), 24u);
  Matrix4 m{};
  m(3, 1) = 5.0f;
  EXPECT_EQ(m.m[13], 5.0f);  // row-major: (row, column) at row * 4 + column
}

TEST(MathVector, Operations) {
  const Vec3 a(1, 2, 3);
  const Vec3 b(4, -5, 6);
  expectVec(a + b, {5, -3, 9}, kEps);
  expectVec(a - b, {-3, 7, -3}, kEps);
  expectVec(-a, {-1, -2, -3}, kEps);
  expectVec(a * 2.0f, {2, 4, 6}, kEps);
  expectVec(2.0f * a, {2, 4, 6}, kEps);
  expectVec(b / 2.0f, {2, -2.5f, 3}, kEps);
  EXPECT_FLOAT_EQ(Dot(a, b), 4 - 10 + 18);
  expectVec(Cross(a, b), {2 * 6 - 3 * -5, 3 * 4 - 1 * 6, 1 * -5 - 2 * 4}, kEps);
  EXPECT_FLOAT_EQ(LengthSquared(a), 14.0f);
  EXPECT_FLOAT_EQ(Length(Vec3(3, 4, 0)), 5.0f);
  expectVec(Normalize(Vec3(0, 0, -7)), {0, 0, -1}, kEps);

  Vec3 c(1, 1, 1);
  (c += a) *= 2.0f;
  expectVec(c, {4, 6, 8}, kEps);
  (c -= Vec3(2, 2, 2)) /= 2.0f;
  expectVec(c, {1, 2, 3}, kEps);
}

TEST(MathVector, ZeroLengthNormalisesToZeroNotNaN) {
  const Vec3 n = Normalize(Vec3(0, 0, 0));
  EXPECT_TRUE(IsFinite(n));
  expectVec(n, {0, 0, 0}, kEps);
}

TEST(MathMatrix, RotationsTurnTheAxesTheWayTheSceneRelies) {
  Matrix4 m;
  Vec3 out;
  SetRotationY(m, static_cast<float>(std::numbers::pi / 2));
  TransformPoint(m, Vec3(1, 0, 0), out);
  expectVec(out, {0, 0, -1}, kEps);  // +x turns towards -z
  SetRotationX(m, static_cast<float>(std::numbers::pi / 2));
  TransformPoint(m, Vec3(0, 1, 0), out);
  expectVec(out, {0, 0, 1}, kEps);
  SetRotationZ(m, static_cast<float>(std::numbers::pi / 2));
  TransformPoint(m, Vec3(1, 0, 0), out);
  expectVec(out, {0, 1, 0}, kEps);
}

TEST(MathMatrix, BuildersFillEveryElement) {
  Matrix4 m;
  for (float& e : m.m) {
    e = 99.0f;
  }
  SetTranslation(m, 1, 2, 3);
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      const float expected = r == 3 && c < 3 ? static_cast<float>(c + 1) : (r == c ? 1.0f : 0.0f);
      EXPECT_EQ(m(r, c), expected) << r << "," << c;
    }
  }
  SetScale(m, 2, 3, 4);
  EXPECT_EQ(m(0, 0), 2.0f);
  EXPECT_EQ(m(1, 1), 3.0f);
  EXPECT_EQ(m(2, 2), 4.0f);
  EXPECT_EQ(m(3, 3), 1.0f);
  EXPECT_EQ(m(3, 0), 0.0f);
  SetZero(m);
  for (float e : m.m) {
    EXPECT_EQ(e, 0.0f);
  }
}

TEST(MathMatrix, LookAtAlongZIsATranslation) {
  Matrix4 m;
  SetLookAt(m, Vec3(0, 0, -10), Vec3(0, 0, 0), 0.0f);
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 4; ++c) {
      EXPECT_NEAR(m(r, c), r == c ? 1.0f : 0.0f, kEps);
    }
  }
  EXPECT_NEAR(m(3, 0), 0.0f, kEps);
  EXPECT_NEAR(m(3, 1), 0.0f, kEps);
  EXPECT_NEAR(m(3, 2), 10.0f, kEps);
  Vec3 out;
  TransformPoint(m, Vec3(0, 0, 0), out);
  expectVec(out, {0, 0, 10}, kEps);
}

TEST(MathMatrix, LookAtKeepsTheWorldUpAndRollTurnsIt) {
  Matrix4 m;
  SetLookAt(m, Vec3(100, 50, 0), Vec3(0, 50, 0), 0.0f);  // looking along -x
  Vec3 out;
  TransformPoint(m, Vec3(0, 60, 0), out);
  EXPECT_NEAR(out.x, 0.0f, 1e-4f);
  EXPECT_NEAR(out.y, 10.0f, 1e-4f);  // above the target stays above
  EXPECT_NEAR(out.z, 100.0f, 1e-4f);
  TransformPoint(m, Vec3(0, 50, 10), out);
  EXPECT_NEAR(out.x, 10.0f, 1e-4f);  // +z lies to the right when looking along -x

  // A roll turns the world about z before the view is applied.
  Matrix4 rolled;
  SetLookAt(rolled, Vec3(100, 50, 0), Vec3(0, 50, 0), 0.3f);
  Matrix4 turn;
  SetRotationZ(turn, -0.3f);
  Matrix4 expected;
  Multiply(turn, m, expected);
  for (int i = 0; i < 16; ++i) {
    EXPECT_FLOAT_EQ(rolled.m[i], expected.m[i]) << i;
  }
}

TEST(MathMatrix, PerspectiveMapsNearToZeroAndFarToOne) {
  const float fov = static_cast<float>(2.0 * std::atan(0.5));
  Matrix4 m;
  SetPerspective(m, 10.0f, 3000.0f, fov);
  EXPECT_EQ(m(3, 3), 0.0f);
  EXPECT_EQ(m(0, 0), m(1, 1));  // no aspect ratio
  Vec3 out;
  TransformPoint(m, Vec3(0, 0, 10), out);
  EXPECT_NEAR(out.z, 0.0f, 1e-6f);
  TransformPoint(m, Vec3(0, 0, 3000), out);
  EXPECT_NEAR(out.z, 1.0f, 1e-6f);
  // A point at the edge of the field of view lands at x/w = 1.
  TransformPoint(m, Vec3(50, 0, 100), out);
  EXPECT_NEAR(out.x, 1.0f, 1e-5f);
}

TEST(MathMatrix, MultiplyAppliesTheLeftMatrixFirst) {
  Matrix4 a;
  Matrix4 b;
  Matrix4 out;
  SetTranslation(a, 1, 2, 3);
  SetRotationY(b, 0.7f);
  Multiply(a, b, out);
  Vec3 moved;
  TransformPoint(out, Vec3(0, 0, 0), moved);
  Vec3 expected;
  TransformPoint(b, Vec3(1, 2, 3), expected);
  expectVec(moved, {expected.x, expected.y, expected.z}, kEps);
}

TEST(MathMatrix, AffineTransformDividesByOne) {
  Matrix4 m;
  SetTranslation(m, 0.1f, 0.2f, 0.3f);
  Vec3 out;
  TransformPoint(m, Vec3(1e7f, 3.0f, -2.0f), out);
  EXPECT_EQ(out.x, 1e7f + 0.1f);
  EXPECT_EQ(out.y, 3.0f + 0.2f);
  EXPECT_EQ(out.z, -2.0f + 0.3f);
}

TEST(Random, FollowsTheLinearCongruence) {
  Random r;
  EXPECT_EQ(r.state, 1u);
  // state = 1 * 214013 + 2531011 = 2745024; (2745024 >> 16) & 0x7FFF = 41.
  EXPECT_EQ(r.next(), 41);
  EXPECT_EQ(r.state, 2745024u);
  r.state = 0xFFFFFFFFu;  // the product wraps modulo 2^32
  const uint32_t expected = 0xFFFFFFFFu * 214013u + 2531011u;
  EXPECT_EQ(r.next(), static_cast<int>((expected >> 16) & 0x7FFF));
  for (int i = 0; i < 1000; ++i) {
    const int v = r.next();
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 32767);
  }
}

TEST(Random, UnitCoversBothEnds) {
  // Scan states for draws of 0 and 32767 to check the scaling at both ends.
  Random r;
  bool sawZero = false;
  bool sawOne = false;
  for (uint32_t s = 0; s < (1u << 22) && !(sawZero && sawOne); s += 7) {
    r.state = s << 10;
    const float u = r.unit();
    ASSERT_GE(u, 0.0f);
    ASSERT_LE(u, 1.0f);
    sawZero = sawZero || u == 0.0f;
    sawOne = sawOne || u == 1.0f;
  }
  EXPECT_TRUE(sawZero);
  EXPECT_TRUE(sawOne);
}

TEST(Random, SeedAndStirDiscardsZeroToNineDraws) {
  for (uint32_t seed : {0u, 1u, 12345u, 1700000000u, 0xFFFFFFFFu}) {
    Random stirred;
    seedAndStir(stirred, seed);
    Random manual;
    manual.state = seed;
    const int r = manual.next();
    for (int i = 0; i < r % 10; ++i) {
      manual.next();
    }
    EXPECT_EQ(stirred.state, manual.state) << seed;
  }
}

}  // namespace
}  // namespace tavrik
