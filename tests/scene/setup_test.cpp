#include <gtest/gtest.h>

#include <cmath>

#include "config/settings.h"
#include "scene/setup.h"
#include "support/recording_device.h"

namespace tavrik {
namespace {

using testing::RecordingDevice;

Scene& freshScene() {
  static Scene scene;
  scene = Scene{};
  return scene;
}

Settings runSettings(int32_t numHarriers, int32_t cloudSurface = 1) {
  Settings s;
  s.numHarriers = numHarriers;
  s.cloudSurface = cloudSurface;
  return s;
}

TEST(SceneSetup, DeviceCallsInOrder) {
  Scene& scene = freshScene();
  RecordingDevice device;
  Random random;
  ASSERT_TRUE(buildScene(scene, runSettings(3), random, device));
  const char* expected[] = {"createLight",    "setLight",          "addLight",
                            "createLight",    "setLight",          "addLight",
                            "createMaterial", "getMaterialHandle", "setLightState",
                            "setRenderState", "setRenderState",    "setRenderState"};
  ASSERT_EQ(device.calls.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(device.calls[i].name, expected[i]) << i;
  }
  EXPECT_EQ(device.calls[0].a, 0u);
  EXPECT_EQ(device.calls[3].a, 1u);
  EXPECT_EQ(device.calls[8].a, static_cast<uint32_t>(LightState::Material));
  EXPECT_EQ(device.calls[8].b, 7u);  // the handle the material object gave
  EXPECT_EQ(scene.materialHandle, 7u);
  EXPECT_EQ(device.calls[9].a, 22u);
  EXPECT_EQ(device.calls[9].b, 3u);
  EXPECT_EQ(device.calls[10].a, 9u);
  EXPECT_EQ(device.calls[10].b, 1u);
  EXPECT_EQ(device.calls[11].a, 7u);
  EXPECT_EQ(device.calls[11].b, 1u);

  const Light& key = device.calls[1].light;
  EXPECT_EQ(key.dwSize, 80u);
  EXPECT_EQ(key.dltType, 3u);
  EXPECT_EQ(key.dwFlags, 1u);
  EXPECT_EQ(key.dcvColor.r, 1.0f);
  EXPECT_EQ(key.dcvColor.a, 0.0f);
  EXPECT_EQ(key.dvDirection.x, 1.0f);
  EXPECT_EQ(key.dvDirection.y, -0.5f);
  EXPECT_EQ(key.dvDirection.z, 1.0f);
  const Light& fill = device.calls[4].light;
  EXPECT_EQ(fill.dcvColor.g, 0.4f);
  EXPECT_EQ(fill.dvPosition.z, -100.0f);
  EXPECT_EQ(fill.dvDirection.x, -1.0f);
  EXPECT_EQ(fill.dvDirection.y, 0.5f);
  EXPECT_EQ(fill.dvRange, 0.0f);
}

TEST(SceneSetup, AFailedLightOrMaterialFailsTheSetUp) {
  {
    RecordingDevice device;
    device.failLights = true;
    Random random;
    EXPECT_FALSE(buildScene(freshScene(), runSettings(3), random, device));
  }
  {
    RecordingDevice device;
    device.failMaterial = true;
    Random random;
    EXPECT_FALSE(buildScene(freshScene(), runSettings(3), random, device));
  }
}

// The draws of set-up, replayed in their documented order with a second generator.
TEST(SceneSetup, ChoicesAndStartingStateFollowTheDrawOrder) {
  for (uint32_t seed : {1u, 12345u, 777u, 4000000000u}) {
    for (int count : {1, 15, 31}) {
      Scene& scene = freshScene();
      RecordingDevice device;
      Random random;
      random.state = seed;
      Random r;
      r.state = seed;
      ASSERT_TRUE(buildScene(scene, runSettings(count), random, device));

      EXPECT_EQ(scene.highOpening, r.next() % 10 == 1 ? 1 : 0);
      EXPECT_EQ(scene.quarryPhase, r.unit() * 6.283f);
      EXPECT_EQ(scene.quarrySegmentCount, r.next() % 50 == 0 ? 24 : 12);
      EXPECT_EQ(scene.quarryYellow, r.next() % 20 == 1 ? 1 : 0);
      EXPECT_EQ(scene.groundRed, r.next() % 3 == 0 ? 1 : 0);
      EXPECT_EQ(scene.whiteFins, r.next() % 10 == 1 ? 1 : 0);
      EXPECT_EQ(scene.lane, r.next() % 5);
      for (int i = 0; i < count; ++i) {
        float u[14];
        for (int k = 1; k <= 12; ++k) {
          u[k] = r.unit();
        }
        const int hue = r.next() % 6;
        u[13] = r.unit();
        const Harrier& h = scene.harriers[i];
        EXPECT_EQ(h.position.z, 100.0f * static_cast<float>(i) + 20.0f * u[1]);
        EXPECT_EQ(h.position.y, 200.0f + 30.0f * u[2]);
        EXPECT_EQ(h.position.x, 500.0f * static_cast<float>(scene.lane) - 500.0f * u[3] - 3000.0f);
        EXPECT_EQ(h.velocity.z, 0.001f * u[4] - 0.001f * u[5]);
        EXPECT_EQ(h.velocity.y, 0.001f * u[6] - 0.001f * u[7]);
        EXPECT_EQ(h.velocity.x, 0.005f * u[8]);
        EXPECT_EQ(h.weavePhase, (u[9] - u[10]) * 3.14159f);
        EXPECT_EQ(h.wobblePhase, (u[11] - u[12]) * 3.14159f);
        const float channels[3] = {h.colour.r, h.colour.g, h.colour.b};
        const int full[6] = {0, 0, 1, 1, 2, 2};
        const int off[6] = {1, 2, 0, 2, 1, 0};
        EXPECT_EQ(channels[full[hue]], 1.2f);
        EXPECT_EQ(channels[off[hue]], 0.0f);
        EXPECT_EQ(channels[3 - full[hue] - off[hue]], u[13] * 1.2f);
        EXPECT_NEAR(Length(h.forward), h.speed > 0 ? 1.0f : 0.0f, 1e-5f);
        EXPECT_FLOAT_EQ(h.speed, Length(h.velocity));
      }
      EXPECT_EQ(random.state, r.state) << "set-up made extra draws";
      for (int i = count; i < kHarrierTableSize; ++i) {
        EXPECT_EQ(scene.harriers[i].position.x, 0.0f);
        EXPECT_EQ(scene.harriers[i].colour.r, 0.0f);
      }
    }
  }
}

TEST(SceneSetup, FormationTables) {
  Scene& scene = freshScene();
  RecordingDevice device;
  Random random;
  ASSERT_TRUE(buildScene(scene, runSettings(10), random, device));
  const int rows[] = {0, -1, -2, -2, -2, -3, -3, -3, -3, -3};
  const int columns[] = {0, 0, -1, 0, 1, -2, -1, 0, 1, 2};
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(scene.formationRow[i], rows[i]) << i;
    EXPECT_EQ(scene.formationColumn[i], columns[i]) << i;
  }
  EXPECT_EQ(scene.formationRow[10], 0);

  Scene& big = freshScene();
  ASSERT_TRUE(buildScene(big, runSettings(26), random, device));
  EXPECT_EQ(big.formationRow[25], -5);
  EXPECT_EQ(big.formationColumn[17], -4);
  EXPECT_EQ(big.formationColumn[25], 4);
  EXPECT_EQ(big.formationRow[16], -4);
  EXPECT_EQ(big.formationColumn[16], 3);

  Scene& one = freshScene();
  ASSERT_TRUE(buildScene(one, runSettings(1), random, device));
  for (int i = 0; i < kHarrierTableSize; ++i) {
    EXPECT_EQ(one.formationRow[i], 0);
    EXPECT_EQ(one.formationColumn[i], 0);
  }
}

TEST(SceneSetup, Materials) {
  Scene& scene = freshScene();
  RecordingDevice device;
  Random random;
  ASSERT_TRUE(buildScene(scene, runSettings(2, 1), random, device));
  EXPECT_EQ(scene.cloudMaterial.dwSize, 80u);
  EXPECT_EQ(scene.cloudMaterial.diffuse.r, 1.8f);
  EXPECT_EQ(scene.cloudMaterial.diffuse.b, 2.0f);
  EXPECT_EQ(scene.cloudMaterial.dwRampSize, 1u);
  EXPECT_EQ(scene.cloudMaterial.emissive.r, 0.0f);
  EXPECT_EQ(scene.harrierMaterial.dwSize, 80u);
  EXPECT_EQ(scene.harrierMaterial.diffuse.r, 0.0f);
  EXPECT_EQ(scene.harrierMaterial.dwRampSize, 0u);

  const Material& q = scene.quarryMaterial;
  if (scene.quarryYellow) {
    EXPECT_EQ(q.diffuse.r, 1.3f);
    EXPECT_EQ(q.diffuse.b, 0.0f);
    EXPECT_EQ(q.emissive.r, 0.07f);
  } else {
    EXPECT_EQ(q.diffuse.r, 1.0f);
    EXPECT_EQ(q.emissive.g, 0.15f);
  }
  EXPECT_EQ(scene.groundMaterial.diffuse.g, scene.groundRed ? 0.6f : 1.0f);

  Scene& wire = freshScene();
  ASSERT_TRUE(buildScene(wire, runSettings(2, 0), random, device));
  EXPECT_EQ(wire.cloudMaterial.diffuse.r, 2.2f);
  EXPECT_EQ(wire.cloudMaterial.diffuse.b, 2.8f);
  Scene& odd = freshScene();
  ASSERT_TRUE(buildScene(odd, runSettings(2, 7), random, device));
  EXPECT_EQ(odd.cloudMaterial.diffuse.r, 1.8f);  // only 0 picks the wire colours
}

TEST(SceneSetup, FillMaterialKeepsSizeAndAlphas) {
  Material m{};
  m.dwSize = 80;
  m.diffuse.a = 0.25f;
  m.emissive.a = 0.5f;
  m.ambient = {9, 9, 9, 0.75f};
  FillMaterial(m, 1.0f, 0.5f, 0.0f);
  EXPECT_EQ(m.dwSize, 80u);
  EXPECT_EQ(m.diffuse.r, 1.0f);
  EXPECT_EQ(m.diffuse.g, 0.5f);
  EXPECT_EQ(m.diffuse.a, 0.25f);
  EXPECT_FLOAT_EQ(m.emissive.r, 0.3f);
  EXPECT_FLOAT_EQ(m.emissive.g, 0.15f);
  EXPECT_EQ(m.emissive.b, 0.0f);
  EXPECT_EQ(m.emissive.a, 0.5f);
  EXPECT_EQ(m.ambient.r, 0.0f);
  EXPECT_EQ(m.ambient.a, 0.75f);
  EXPECT_EQ(m.specular.g, 0.0f);
  EXPECT_EQ(m.power, 0.0f);
  EXPECT_EQ(m.dwRampSize, 1u);
  FillMaterial(m, 1.2f, 0, 0);
  EXPECT_EQ(m.diffuse.r, 1.2f);  // above 1 passes through
}

TEST(SceneSetup, FirstCameraAndStartStamp) {
  Scene& scene = freshScene();
  RecordingDevice device;
  Random random;
  ASSERT_TRUE(buildScene(scene, runSettings(2), random, device));
  Matrix4 view;
  SetLookAt(view, Vec3(-1800, 170, -400), Vec3(100, 50, 10), 0);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(scene.view.m[i], view.m[i]);
  }
  EXPECT_NEAR(scene.projection(0, 0), 2.0f / std::sqrt(5.0f), 1e-6f);  // cos(atan(0.5))
  EXPECT_EQ(scene.sceneTime, -200.0f);
  stampStartTime(scene, 4294967295u);
  EXPECT_EQ(scene.startMs, 4294967295u);
  EXPECT_EQ(scene.previousFrameMs, 4294967295u);
}

// Over many seeds each rare choice turns up about as often as its odds say.
TEST(SceneSetup, RareChoicesHaveTheirOdds) {
  int high = 0, segments24 = 0, yellow = 0, red = 0, fins = 0;
  const int runs = 3000;
  for (int seed = 0; seed < runs; ++seed) {
    Scene& scene = freshScene();
    RecordingDevice device;
    Random random;
    seedAndStir(random, static_cast<uint32_t>(seed) * 2654435761u);
    ASSERT_TRUE(buildScene(scene, runSettings(1), random, device));
    high += scene.highOpening;
    segments24 += scene.quarrySegmentCount == 24;
    yellow += scene.quarryYellow;
    red += scene.groundRed;
    fins += scene.whiteFins;
  }
  EXPECT_NEAR(high / double(runs), 0.1, 0.03);
  EXPECT_NEAR(segments24 / double(runs), 0.02, 0.012);
  EXPECT_NEAR(yellow / double(runs), 0.05, 0.02);
  EXPECT_NEAR(red / double(runs), 1.0 / 3, 0.05);
  EXPECT_NEAR(fins / double(runs), 0.1, 0.03);
}

}  // namespace
}  // namespace tavrik
