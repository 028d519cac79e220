#include "device/soft/soft_device.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "config/settings.h"
#include "math/random.h"
#include "scene/geometry.h"
#include "scene/scene.h"
#include "scene/setup.h"

namespace tavrik {
namespace {

constexpr uint16_t kMagenta = 0xF81F;  // lit by the test light: diffuse red + emissive blue
constexpr uint16_t kBlue = 0x001F;     // turned away from it: emissive blue only
const Vec3 kFacing(0.0f, 0.0f, -1.0f);
const Vec3 kAway(0.0f, 0.0f, 1.0f);

struct FrameCatcher : Presenter {
  int frames = 0;
  FrameView last{};
  void present(const FrameView& frame) override {
    ++frames;
    last = frame;
  }
};

// A device whose transforms are all identity, so vertex positions are clip coordinates, lit by
// one white light shining along +z.
class SoftDeviceTest : public ::testing::Test {
 protected:
  void bringUp(uint16_t width, uint16_t height) {
    ASSERT_TRUE(device.initDevice(width, height));
    ASSERT_TRUE(device.createLight(0));
    Light light{};
    light.dwSize = sizeof(Light);
    light.dltType = kLightDirectional;
    light.dcvColor = {1.0f, 1.0f, 1.0f, 0.0f};
    light.dvDirection = Vec3(0.0f, 0.0f, 1.0f);
    light.dwFlags = kLightActive;
    device.setLight(0, light);
    device.addLight(0);
    ASSERT_TRUE(device.createMaterial());
    Material material{};
    material.dwSize = sizeof(Material);
    material.diffuse = {1.0f, 0.0f, 0.0f, 0.0f};
    material.emissive = {0.0f, 0.0f, 1.0f, 0.0f};
    device.setMaterial(material);
    device.setRenderState(RenderState::CullMode, kCullCounterClockwise);
    device.setRenderState(RenderState::ZEnable, 1);
    device.colourFill(0);
    device.clearDepth(Rect{0, 0, width, height});
  }

  // The clip coordinates of pixel position (px, py) under the bring-up viewport.
  Vertex at(float px, float py, float z = 0.5f, const Vec3& normal = kFacing) const {
    const FrameView f = device.backBuffer();
    const float w = static_cast<float>(f.width);
    const float h = static_cast<float>(f.height);
    return Vertex(Vec3(px * 2.0f / w - 1.0f, (h - 2.0f * py) / w, z), normal, 0.0f, 0.0f);
  }

  std::vector<std::string> picture() const {
    const FrameView f = device.backBuffer();
    std::vector<std::string> rows;
    for (int y = 0; y < f.height; ++y) {
      std::string row;
      for (int x = 0; x < f.width; ++x) {
        const uint16_t p = f.pixels[y * f.pitch + x];
        row += p == 0 ? '.' : p == kMagenta ? 'A' : p == kBlue ? 'B' : p == 0xFFFF ? 'W' : '?';
      }
      rows.push_back(row);
    }
    return rows;
  }

  uint16_t pixel(int x, int y) const {
    const FrameView f = device.backBuffer();
    return f.pixels[y * f.pitch + x];
  }

  FrameCatcher catcher;
  SoftDevice device{&catcher};
};

using Picture = std::vector<std::string>;

TEST_F(SoftDeviceTest, StripOfTwoTrianglesCoversEveryPixelOnceWithFirstVertexColours) {
  bringUp(8, 6);
  const Vertex strip[4] = {at(1, 1, 0.5f, kFacing), at(7, 1, 0.5f, kAway), at(1, 5), at(7, 5)};
  device.drawPrimitive(PrimitiveType::TriangleStrip, strip, 4);
  EXPECT_EQ(picture(), (Picture{"........",  //
                                ".AAAAAA.",  //
                                ".AAAAAB.",  //
                                ".AAABBB.",  //
                                ".AABBBB.",  //
                                "........"}));
}

TEST_F(SoftDeviceTest, FanAroundOnePointLeavesNoGap) {
  bringUp(16, 12);
  // Eight triangles around (8, 6), alternating colours; together they form a diamond.
  const Vec3 normals[2] = {kFacing, kAway};
  const float rim[8][2] = {{8, 0}, {11, 3}, {14, 6}, {11, 9}, {8, 12}, {5, 9}, {2, 6}, {5, 3}};
  for (int i = 0; i < 8; ++i) {
    const Vertex tri[3] = {at(8, 6, 0.5f, normals[i % 2]), at(rim[i][0], rim[i][1]),
                           at(rim[(i + 1) % 8][0], rim[(i + 1) % 8][1])};
    device.drawPrimitive(PrimitiveType::TriangleList, tri, 3);
  }
  const Picture p = picture();
  // Every sample strictly inside the diamond |x - 8| / 6 + |y - 6| / 6 < 1 is drawn.
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 16; ++x) {
      const int inside = std::abs(x - 8) + std::abs(y - 6);
      if (inside < 6) {
        EXPECT_NE(p[y][x], '.') << x << "," << y;
      } else if (inside > 6) {
        EXPECT_EQ(p[y][x], '.') << x << "," << y;
      }
    }
  }
  // The row through the centre belongs to the triangles below it (their top edges).
  EXPECT_EQ(p[6], "..BBBBBBAAAAAA..");
}

TEST_F(SoftDeviceTest, ListCullsCounterClockwiseTriangles) {
  bringUp(8, 6);
  const Vertex list[6] = {at(1, 1),
                          at(4, 1),
                          at(1, 4),  // clockwise on the screen
                          at(7, 1, 0.5f, kAway),
                          at(4, 4),
                          at(7, 4)};  // counter-clockwise
  device.drawPrimitive(PrimitiveType::TriangleList, list, 6);
  EXPECT_EQ(picture(), (Picture{"........",  //
                                ".AAA....",  //
                                ".AA.....",  //
                                ".A......",  //
                                "........",  //
                                "........"}));
}

TEST_F(SoftDeviceTest, StripReversesEverySecondTriangleBeforeCulling) {
  bringUp(8, 6);
  // The mirror image of a front-facing strip: both triangles face away and are culled.
  const Vertex mirrored[4] = {at(1, 1), at(1, 5), at(7, 1), at(7, 5)};
  device.drawPrimitive(PrimitiveType::TriangleStrip, mirrored, 4);
  EXPECT_EQ(picture(), (Picture(6, "........")));

  // With culling off both show, the second coloured by its first vertex (index 1).
  device.setRenderState(RenderState::CullMode, 1);
  const Vertex coloured[4] = {at(1, 1), at(1, 5, 0.5f, kAway), at(7, 1), at(7, 5)};
  device.drawPrimitive(PrimitiveType::TriangleStrip, coloured, 4);
  EXPECT_EQ(picture(), (Picture{"........",  //
                                ".AAAAAA.",  //
                                ".AAAAAB.",  //
                                ".AAABBB.",  //
                                ".AABBBB.",  //
                                "........"}));

  // Culling clockwise instead keeps only what counter-clockwise culling removed.
  device.colourFill(0);
  device.clearDepth(Rect{0, 0, 8, 6});
  device.setRenderState(RenderState::CullMode, 2);
  const Vertex front[4] = {at(1, 1), at(7, 1), at(1, 5), at(7, 5)};
  device.drawPrimitive(PrimitiveType::TriangleStrip, front, 4);
  EXPECT_EQ(picture(), (Picture(6, "........")));
}

TEST_F(SoftDeviceTest, DepthTestIsLessOrEqualWithWrites) {
  bringUp(8, 6);
  const Vertex nearA[3] = {at(0, 0, 0.25f), at(8, 0, 0.25f), at(0, 6, 0.25f)};
  const Vertex farB[3] = {at(0, 0, 0.75f, kAway), at(8, 0, 0.75f), at(0, 6, 0.75f)};
  const Vertex sameB[3] = {at(0, 0, 0.25f, kAway), at(8, 0, 0.25f), at(0, 6, 0.25f)};
  device.drawPrimitive(PrimitiveType::TriangleList, nearA, 3);
  device.drawPrimitive(PrimitiveType::TriangleList, farB, 3);
  EXPECT_EQ(pixel(1, 1), kMagenta);  // behind: hidden
  device.drawPrimitive(PrimitiveType::TriangleList, sameB, 3);
  EXPECT_EQ(pixel(1, 1), kBlue);                      // equal depth: drawn
  EXPECT_EQ(device.depthBuffer()[1 * 8 + 1], 16383);  // 0.25 of 65535, rounded down

  device.clearDepth(Rect{0, 0, 8, 6});
  EXPECT_EQ(device.depthBuffer()[1 * 8 + 1], 0xFFFF);
  device.drawPrimitive(PrimitiveType::TriangleList, farB, 3);
  device.drawPrimitive(PrimitiveType::TriangleList, nearA, 3);
  EXPECT_EQ(pixel(1, 1), kMagenta);  // nearer: drawn over

  device.setRenderState(RenderState::ZEnable, 0);
  device.drawPrimitive(PrimitiveType::TriangleList, farB, 3);
  EXPECT_EQ(pixel(1, 1), kBlue);  // no depth test
}

TEST_F(SoftDeviceTest, TriangleReachingBehindTheEyeIsClippedAtTheNearPlane) {
  bringUp(16, 12);
  // A perspective with the eye at the origin, 90 degrees wide, near 1 and far 100.
  const float q = 100.0f / 99.0f;
  Matrix4 projection;
  SetZero(projection);
  projection(0, 0) = 1.0f;
  projection(1, 1) = 1.0f;
  projection(2, 2) = q;
  projection(2, 3) = 1.0f;
  projection(3, 2) = -q;
  device.setTransform(TransformState::Projection, projection);
  Light light{};
  light.dltType = kLightDirectional;
  light.dcvColor = {1.0f, 1.0f, 1.0f, 0.0f};
  light.dvDirection = Vec3(0.0f, -3.0f, 0.0f);
  light.dwFlags = kLightActive;
  device.setLight(0, light);
  Material white{};
  white.diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
  device.setMaterial(white);
  // On the floor y = -1: two corners 4 ahead, the third 4 behind the eye.
  const Vec3 up(0.0f, 1.0f, 0.0f);
  const Vertex floor[3] = {Vertex(Vec3(-1, -1, 4), up, 0, 0), Vertex(Vec3(1, -1, 4), up, 0, 0),
                           Vertex(Vec3(0, -1, -4), up, 0, 0)};
  device.drawPrimitive(PrimitiveType::TriangleList, floor, 3);
  // Cut at z = 1 the triangle is a trapezoid from (6, 8)-(10, 8) widening by half a pixel a row.
  EXPECT_EQ(picture(), (Picture{"................",  //
                                "................",  //
                                "................",  //
                                "................",  //
                                "................",  //
                                "................",  //
                                "................",  //
                                "................",  //
                                "......WWWW......",  //
                                "......WWWWW.....",  //
                                ".....WWWWWW.....",  //
                                ".....WWWWWWW...."}));
}

TEST_F(SoftDeviceTest, FarPlaneClipsAndTrianglesWhollyOutsideAreDropped) {
  bringUp(8, 6);
  // z/w from 0.5 to 1.5: the part beyond z/w = 1 is cut off, right of x = 4.
  const Vertex crossing[3] = {at(0, 0, 0.5f), at(8, 0, 1.5f), at(0, 6, 0.5f)};
  device.drawPrimitive(PrimitiveType::TriangleList, crossing, 3);
  EXPECT_EQ(picture(), (Picture{"AAAA....",  //
                                "AAAA....",  //
                                "AAAA....",  //
                                "AAAA....",  //
                                "AAA.....",  //
                                "AA......"}));
  device.colourFill(0);
  const Vertex behind[3] = {at(0, 0, -0.5f), at(8, 0, -0.5f), at(0, 6, -0.5f)};
  device.drawPrimitive(PrimitiveType::TriangleList, behind, 3);
  EXPECT_EQ(picture(), (Picture(6, "........")));
}

TEST_F(SoftDeviceTest, ViewportMapsTheClipRectangleForAnyRatio) {
  bringUp(20, 10);  // 1:2, so y/w runs from -0.5 at the bottom to 0.5 at the top
  const Vertex big[3] = {Vertex(Vec3(-3, 3, 0.5f), kFacing, 0, 0),
                         Vertex(Vec3(9, 3, 0.5f), kFacing, 0, 0),
                         Vertex(Vec3(-3, -9, 0.5f), kFacing, 0, 0)};
  device.drawPrimitive(PrimitiveType::TriangleList, big, 3);
  for (const std::string& row : picture()) {
    EXPECT_EQ(row, std::string(20, 'A'));
  }
  device.colourFill(0);
  device.clearDepth(Rect{0, 0, 20, 10});
  // Clip coordinates (0, 0.5), (0.5, 0.5), (0, 0): pixels (10, 0), (15, 0), (10, 5).
  const Vertex small[3] = {Vertex(Vec3(0, 0.5f, 0.5f), kFacing, 0, 0),
                           Vertex(Vec3(0.5f, 0.5f, 0.5f), kFacing, 0, 0),
                           Vertex(Vec3(0, 0, 0.5f), kFacing, 0, 0)};
  device.drawPrimitive(PrimitiveType::TriangleList, small, 3);
  EXPECT_EQ(picture(), (Picture{"..........AAAAA.....",  //
                                "..........AAAA......",  //
                                "..........AAA.......",  //
                                "..........AA........",  //
                                "..........A.........",  //
                                "....................",  //
                                "....................",  //
                                "....................",  //
                                "....................",  //
                                "...................."}));
}

// Taller than wide, the rectangle is two units high: at 10 by 20, x/w runs from -0.5 to 0.5 and
// y/w from 1 down to -1, ten pixels a unit both ways, as a 20 by 10 picture maps them.
TEST_F(SoftDeviceTest, PortraitViewportKeepsTheVerticalField) {
  bringUp(10, 20);
  // Clip coordinates (0, 1), (0.5, 1), (0, 0.5): pixels (5, 0), (10, 0), (5, 5).
  const Vertex small[3] = {Vertex(Vec3(0, 1, 0.5f), kFacing, 0, 0),
                           Vertex(Vec3(0.5f, 1, 0.5f), kFacing, 0, 0),
                           Vertex(Vec3(0, 0.5f, 0.5f), kFacing, 0, 0)};
  device.drawPrimitive(PrimitiveType::TriangleList, small, 3);
  Picture expected(20, "..........");
  for (int row = 0; row < 5; ++row) {
    expected[row] = std::string(5, '.') + std::string(5 - row, 'A') + std::string(row, '.');
  }
  EXPECT_EQ(picture(), expected);
}

// A window that changes size: new buffers and viewport, while the lights, the material and
// the states set at bring-up stay and draw as before.
TEST_F(SoftDeviceTest, ResizeKeepsTheStatesAndTakesTheNewRatio) {
  bringUp(8, 8);
  ASSERT_TRUE(device.resize(20, 10));
  ASSERT_EQ(device.backBuffer().width, 20);
  ASSERT_EQ(device.backBuffer().height, 10);
  device.colourFill(0);
  device.clearDepth(Rect{0, 0, 20, 10});
  const Vertex big[3] = {Vertex(Vec3(-3, 3, 0.5f), kFacing, 0, 0),
                         Vertex(Vec3(9, 3, 0.5f), kFacing, 0, 0),
                         Vertex(Vec3(-3, -9, 0.5f), kFacing, 0, 0)};
  device.drawPrimitive(PrimitiveType::TriangleList, big, 3);
  EXPECT_EQ(picture(), Picture(10, std::string(20, 'A')));
  EXPECT_TRUE(device.resize(20, 10));
  EXPECT_FALSE(device.resize(0, 10));
  device.releaseDevice();
  EXPECT_FALSE(device.resize(20, 10));  // not before bring-up
}

// Bring-up's viewport at 8 by 4: x/w from -1 to 1 onto pixels 0 to 8, y/w from 0.5 down to
// -0.5 onto pixels 0 to 4, four pixels a unit both ways; what reaches past it is cut at its edges.
TEST_F(SoftDeviceTest, BringUpViewportMapsTheClipRectangleOntoTheBuffer) {
  bringUp(8, 4);
  const Vertex big[3] = {Vertex(Vec3(-9, 9, 0.5f), kFacing, 0, 0),
                         Vertex(Vec3(27, 9, 0.5f), kFacing, 0, 0),
                         Vertex(Vec3(-9, -27, 0.5f), kFacing, 0, 0)};
  device.drawPrimitive(PrimitiveType::TriangleList, big, 3);
  // A triangle from clip (-1, 0.5) to (-0.5, 0.5) and (-1, -0.5): pixels (0, 0), (2, 0), (0, 4),
  // away-lit.
  const Vertex inner[3] = {Vertex(Vec3(-1, 0.5f, 0.25f), kAway, 0, 0),
                           Vertex(Vec3(-0.5f, 0.5f, 0.25f), kFacing, 0, 0),
                           Vertex(Vec3(-1, -0.5f, 0.25f), kFacing, 0, 0)};
  device.drawPrimitive(PrimitiveType::TriangleList, inner, 3);
  EXPECT_EQ(picture(), (Picture{"BBAAAAAA",  //
                                "BBAAAAAA",  //
                                "BAAAAAAA",  //
                                "BAAAAAAA"}));
}

TEST_F(SoftDeviceTest, LineListDrawsBothEndsColouredByTheFirst) {
  bringUp(8, 6);
  const Vertex lines[6] = {at(1, 1),
                           at(6, 1, 0.5f, kAway),  // across
                           at(1, 2, 0.5f, kAway),
                           at(5, 5),  // more across than down, halves rounded up the screen
                           at(7, 5),
                           at(7, 2)};  // up
  device.drawPrimitive(PrimitiveType::LineList, lines, 6);
  EXPECT_EQ(picture(), (Picture{"........",  //
                                ".AAAAAA.",  //
                                ".B.....A",  //
                                "..BB...A",  //
                                "....B..A",  //
                                ".....B.A"}));
}

TEST_F(SoftDeviceTest, LinesReachingFarOutsideAreClipped) {
  bringUp(8, 6);
  const Vertex lines[4] = {at(-500, 2), at(500, 2),           // across, beyond both sides
                           at(3, 0, -1.0f), at(3, 6, 2.0f)};  // in front of the eye from y 2 to 4
  device.drawPrimitive(PrimitiveType::LineList, lines, 4);
  EXPECT_EQ(picture(), (Picture{"........",  //
                                "........",  //
                                "AAAAAAAA",  //
                                "...A....",  //
                                "...A....",  //
                                "........"}));
}

TEST_F(SoftDeviceTest, BlackFillAndFlip) {
  bringUp(8, 6);
  device.colourFill(0xFFFF);
  EXPECT_EQ(picture(), (Picture(6, "WWWWWWWW")));
  device.colourFill(0);
  EXPECT_EQ(picture(), (Picture(6, "........")));
  device.flip();
  ASSERT_EQ(catcher.frames, 1);
  EXPECT_EQ(catcher.last.width, 8);
  EXPECT_EQ(catcher.last.height, 6);
  EXPECT_EQ(catcher.last.pitch, 8);
  EXPECT_EQ(catcher.last.pixels, device.backBuffer().pixels);
}

TEST_F(SoftDeviceTest, BadInputDrawsNothingAndDoesNotCrash) {
  bringUp(8, 6);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const Vertex bad[12] = {
      Vertex(Vec3(nan, 0, 0.5f), kFacing, 0, 0),
      at(7, 0),
      at(0, 5),
      Vertex(Vec3(inf, 0, 0.5f), kFacing, 0, 0),
      at(7, 0),
      at(0, 5),
      at(1, 1),
      at(1, 1),
      at(1, 1),  // a point
      at(1, 1),
      at(4, 4),
      at(6, 6),  // a line
  };
  device.drawPrimitive(PrimitiveType::TriangleList, bad, 12);
  device.drawPrimitive(PrimitiveType::TriangleStrip, bad + 6, 6);
  device.drawPrimitive(PrimitiveType::LineList, bad, 4);
  device.drawPrimitive(PrimitiveType::TriangleList, bad, 2);
  device.drawPrimitive(PrimitiveType::TriangleList, nullptr, 3);
  EXPECT_EQ(picture(), (Picture(6, "........")));

  const Vertex huge[3] = {Vertex(Vec3(-1e30f, 1e30f, 0.5f), kFacing, 0, 0),
                          Vertex(Vec3(3e30f, 1e30f, 0.5f), kFacing, 0, 0),
                          Vertex(Vec3(-1e30f, -3e30f, 0.5f), kFacing, 0, 0)};
  // Cutting these at the screen's edges needs more precision than a float has: what shows is
  // not defined, only that the draw stays inside the buffer.
  device.drawPrimitive(PrimitiveType::TriangleList, huge, 3);
  device.colourFill(0);
  device.clearDepth(Rect{0, 0, 8, 6});
  // Far outside the guard band: clipped, not wrapped.
  const Vertex wide[3] = {Vertex(Vec3(-1e6f, 1e6f, 0.5f), kFacing, 0, 0),
                          Vertex(Vec3(3e6f, 1e6f, 0.5f), kFacing, 0, 0),
                          Vertex(Vec3(-1e6f, -3e6f, 0.5f), kFacing, 0, 0)};
  device.drawPrimitive(PrimitiveType::TriangleList, wide, 3);
  EXPECT_EQ(picture(), (Picture(6, "AAAAAAAA")));

  Matrix4 nanMatrix;
  SetIdentity(nanMatrix);
  nanMatrix(3, 3) = nan;
  device.setTransform(TransformState::World, nanMatrix);
  device.colourFill(0);
  device.drawPrimitive(PrimitiveType::TriangleList, wide, 3);
  EXPECT_EQ(picture(), (Picture(6, "........")));
  device.clearDepth(Rect{-100, -100, 100000, 100000});
  device.clearDepth(Rect{5, 5, 2, 2});
  EXPECT_EQ(picture(), (Picture(6, "........")));
}

TEST(SoftDeviceLifetimeTest, ReleaseIsSafeTwiceAndBeforeBringUp) {
  SoftDevice device(nullptr);
  device.releaseDevice();
  EXPECT_FALSE(device.initDevice(0, 10));
  EXPECT_FALSE(device.createLight(0));
  const Vertex v[3] = {};
  device.drawPrimitive(PrimitiveType::TriangleList, v, 3);
  device.colourFill(0);
  device.clearDepth(Rect{0, 0, 10, 10});
  device.flip();
  ASSERT_TRUE(device.initDevice(4, 3));
  EXPECT_FALSE(device.createLight(kMaxLights));
  EXPECT_FALSE(device.createLight(-1));
  device.setLight(5, Light{});
  device.addLight(-3);
  device.flip();
  device.releaseDevice();
  device.releaseDevice();
  EXPECT_EQ(device.backBuffer().pixels, nullptr);
  device.drawPrimitive(PrimitiveType::TriangleList, v, 3);
  ASSERT_TRUE(device.initDevice(4, 3));
}

// The scene's lights, materials and tiles, seen through a camera above or below the tile.
class SceneColourTest : public ::testing::Test {
 protected:
  void build(int32_t cloudSurface, uint32_t seed) {
    Settings settings;
    settings.numHarriers = 1;
    settings.cloudSurface = cloudSurface;
    settings.screenWidth = 64;
    settings.screenHeight = 48;
    Random random;
    random.state = seed;
    ASSERT_TRUE(device.initDevice(64, 48));
    ASSERT_TRUE(buildScene(scene, settings, random, device));
  }

  // Draws one tile face at the origin, looked at from height eyeY, and reads the centre pixel.
  uint16_t centreOf(const Vertex* face, const Material& material, float eyeY) {
    device.colourFill(0);
    device.clearDepth(Rect{0, 0, 64, 48});
    Matrix4 view, projection, world;
    SetLookAt(view, Vec3(50.0f, eyeY, -100.0f), Vec3(50.0f, 0.0f, 50.0f), 0.0f);
    SetPerspective(projection, 10.0f, 3000.0f, static_cast<float>(2.0 * std::atan(0.5)));
    SetIdentity(world);
    device.setTransform(TransformState::View, view);
    device.setTransform(TransformState::Projection, projection);
    device.setTransform(TransformState::World, world);
    device.setMaterial(material);
    device.drawPrimitive(PrimitiveType::TriangleStrip, face, 4);
    return device.backBuffer().pixels[24 * 64 + 32];
  }

  SoftDevice device{nullptr};
  Scene scene{};
};

// Key light towards (-2, 1, -2) / 3, grey 0.4 light towards (2, -1, 2) / 3. An upper face
// (normal +y) gets 1/3 of the key light only, a lower face 1/3 of the grey one.
TEST_F(SceneColourTest, CloudTileFacesAreLitByTheFormula) {
  build(1, 7);
  // Upper: 1.8/3, 1.8/3, 2.0/3 = 0.6, 0.6, 0.667 -> 19/31, 38/63, 21/31.
  EXPECT_EQ(centreOf(scene.cloudTopVerts, scene.cloudMaterial, 200.0f),
            (19 << 11) | (38 << 5) | 21);
  // Lower: 1.8 x 0.4/3, ..., 2.0 x 0.4/3 = 0.24, 0.24, 0.267 -> 7/31, 15/63, 8/31.
  EXPECT_EQ(centreOf(scene.cloudBottomVerts, scene.cloudMaterial, -200.0f),
            (7 << 11) | (15 << 5) | 8);
  // Seen from the wrong side, each face is culled.
  EXPECT_EQ(centreOf(scene.cloudTopVerts, scene.cloudMaterial, -200.0f), 0);
  EXPECT_EQ(centreOf(scene.cloudBottomVerts, scene.cloudMaterial, 200.0f), 0);
}

TEST_F(SceneColourTest, WireCloudMaterialIsBrighter) {
  build(0, 7);
  // 2.2/3, 2.2/3, 2.8/3 = 0.733, 0.733, 0.933 -> 23/31, 46/63, 29/31.
  EXPECT_EQ(centreOf(scene.cloudTopVerts, scene.cloudMaterial, 200.0f),
            (23 << 11) | (46 << 5) | 29);
}

TEST_F(SceneColourTest, GroundTileInBothColours) {
  bool seenRed = false;
  bool seenGreen = false;
  for (uint32_t seed = 1; seed < 40 && !(seenRed && seenGreen); ++seed) {
    scene = Scene{};
    device.releaseDevice();
    build(1, seed);
    const uint16_t centre = centreOf(scene.groundTopVerts, scene.groundMaterial, 200.0f);
    if (scene.groundRed != 0) {
      // 1.0/3, 0.6/3, 0.6/3 = 0.333, 0.2, 0.2 -> 10/31, 13/63, 6/31.
      EXPECT_EQ(centre, (10 << 11) | (13 << 5) | 6);
      seenRed = true;
    } else {
      // 0.6/3, 1.0/3, 0.6/3 = 0.2, 0.333, 0.2 -> 6/31, 21/63, 6/31.
      EXPECT_EQ(centre, (6 << 11) | (21 << 5) | 6);
      seenGreen = true;
    }
  }
  EXPECT_TRUE(seenRed);
  EXPECT_TRUE(seenGreen);
}

}  // namespace
}  // namespace tavrik
