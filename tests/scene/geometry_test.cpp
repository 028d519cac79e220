#include <gtest/gtest.h>

#include "scene/geometry.h"
#include "scene/scene.h"
#include "support/expect_vec.h"

namespace tavrik {
namespace {

using testing::expectVec;

Vec3 translation(const Matrix4& m) {
  return {m(3, 0), m(3, 1), m(3, 2)};
}

TEST(SceneLayout, DerivedValues) {
  EXPECT_EQ(kCloudSpan, 3300.0f);
  EXPECT_EQ(kCloudHalfSpan, 1650.0f);
  EXPECT_EQ(kGroundSpan, 4900.0f);
  EXPECT_EQ(kGroundHalfSpan, 2450.0f);
  EXPECT_EQ(kGroundOffsetX, 800.0f);
  EXPECT_EQ(static_cast<double>(kQuarryClimbRate), 0.13332000374794006);
  expectVec(kCloudCentre, {1650, 0, 1650});
}

Scene* newScene() {
  static Scene scene;
  scene = Scene{};
  return &scene;
}

TEST(SceneGeometry, QuarryWedgeOfTwelveSegments) {
  Scene& s = *newScene();
  s.quarrySegmentCount = 12;
  buildQuarryWedge(s);
  expectVec(s.quarryTopVerts[0].position, {0, 4, 0});
  expectVec(s.quarryTopVerts[1].position, {17.3205f, 1, 10});
  expectVec(s.quarryTopVerts[2].position, {20, 1, 0});
  expectVec(s.quarryTopVerts[0].normal, {0.1482f, 0.9882f, 0.0397f});
  expectVec(s.quarryBottomVerts[0].normal, {0.1482f, -0.9882f, 0.0397f});
  expectVec(s.quarrySideVerts[0].normal, {0.9659f, 0, 0.2588f});
  expectVec(s.quarrySideVerts[3].position, {17.3205f, -1, 10});
  expectVec(s.quarryBottomVerts[0].position, {0, -4, 0});
  expectVec(s.quarryBottomVerts[1].position, {20, -1, 0});
  for (const Vertex& v : s.quarrySideVerts) {
    EXPECT_EQ(v.tu, 0.0f);
    EXPECT_EQ(v.tv, 0.0f);
  }
}

TEST(SceneGeometry, QuarryWedgeOfTwentyFourSegments) {
  Scene& s = *newScene();
  s.quarrySegmentCount = 24;
  buildQuarryWedge(s);
  expectVec(s.quarryTopVerts[1].position, {19.3185f, 1, 5.1764f});
  expectVec(s.quarryTopVerts[0].normal, {0.1483f, 0.9887f, 0.0195f});
  expectVec(s.quarryBottomVerts[2].normal, {0.1483f, -0.9887f, 0.0195f});
  expectVec(s.quarrySideVerts[1].normal, {0.9914f, 0, 0.1305f});
}

TEST(SceneGeometry, HarrierNormalsPointAwayFromTheBody) {
  Scene& s = *newScene();
  buildHarrierModel(s);
  const Vertex* b = s.harrierBodyVerts;
  expectVec(b[0].normal, {-0.1763f, 0.9795f, 0.0979f});
  expectVec(b[3].normal, {0.1763f, 0.9795f, 0.0979f});
  expectVec(b[6].normal, {-0.0895f, -0.9947f, 0.0497f});
  expectVec(b[9].normal, {0.0895f, -0.9947f, 0.0497f});
  expectVec(b[12].normal, {-0.1961f, 0, -0.9806f});
  expectVec(b[15].normal, {0.1961f, 0, -0.9806f});
  for (int t = 0; t < 6; ++t) {
    // Each face's normal points away from the body's centre, which lies near (0, 0.1, -0.5).
    const Vec3 centre = (b[3 * t].position + b[3 * t + 1].position + b[3 * t + 2].position) / 3.0f;
    EXPECT_GT(Dot(b[3 * t].normal, centre - Vec3(0, 0.1f, -0.5f)), 0.0f) << t;
    for (int k = 1; k < 3; ++k) {
      EXPECT_EQ(b[3 * t + k].normal.x, b[3 * t].normal.x);
    }
  }
  expectVec(b[0].position, {0, 0, 7});
  expectVec(b[14].position, {-5, 0, -2});
  expectVec(s.harrierFinVerts[0].position, {0, 1.0001f, -3});
  EXPECT_EQ(s.harrierFinVerts[1].position.y, 0.5001f);  // the float nearest, not 0.5
  expectVec(s.harrierFinVerts[0].normal, {-1, 0, 0});
  expectVec(s.harrierFinVerts[3].normal, {1, 0, 0});
  expectVec(s.harrierFinVerts[4].position, {0, 2.8f, -3.8f});
}

TEST(SceneGeometry, CloudGridIsAChequerboardOf145Tiles) {
  Scene& s = *newScene();
  buildCloudTiles(s);
  expectVec(translation(s.cloudTileMatrices[0]), {0, 0, 0});
  expectVec(translation(s.cloudTileMatrices[1]), {0, 0, 400});
  expectVec(translation(s.cloudTileMatrices[9]), {200, 0, 200});  // row 1 starts at cell (1, 1)
  expectVec(translation(s.cloudTileMatrices[144]), {3200, 0, 3200});
  expectVec(s.cloudTopVerts[1].position, {0, 0, 100});
  expectVec(s.cloudBottomVerts[1].position, {100, 0, 0});
  expectVec(s.cloudTopVerts[3].normal, {0, 1, 0});
  expectVec(s.cloudBottomVerts[3].normal, {0, -1, 0});
  EXPECT_EQ(s.cloudTileMatrices[5](3, 3), 1.0f);
}

TEST(SceneGeometry, GroundGridIsShiftedUnderTheClouds) {
  Scene& s = *newScene();
  buildGroundTiles(s);
  expectVec(translation(s.groundTileMatrices[0]), {-800, -500, 0});
  expectVec(translation(s.groundTileMatrices[312]), {4000, -500, 4800});
  expectVec(translation(s.groundTileMatrices[13]), {-600, -500, 200});
  EXPECT_EQ(s.groundTileMatrices[100](0, 0), 1.0f);
  EXPECT_EQ(s.groundTileMatrices[100](0, 3), 0.0f);
  expectVec(s.groundTopVerts[2].position, {100, 0, 0});
}

}  // namespace
}  // namespace tavrik
