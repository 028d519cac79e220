#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "camera/camera.h"
#include "config/settings.h"
#include "math/random.h"
#include "scene/scene.h"
#include "support/flight_settings.h"

namespace tavrik {
namespace {

using testing::flightSettings;

std::unique_ptr<Scene> cameraScene() {
  auto scene = std::make_unique<Scene>();
  for (int i = 0; i < kHarrierTableSize; ++i) {
    scene->harriers[i].drawPosition = Vec3(100.0f * i, 50.0f, 20.0f * i);
  }
  scene->flockCentre = Vec3(300.0f, 60.0f, 700.0f);
  scene->quarryPosition = Vec3(1650.0f, 150.0f, 2750.0f);
  scene->lookAheadPoint = Vec3(1700.0f, 180.0f, 2600.0f);
  return scene;
}

// The camera of a fresh scene over frames 31 seconds apart from 60 s on, so that a cut falls
// due at every one; check(before, after) sees the camera state around each step. Stops at the
// first fatal failure.
template <typename Check>
void flyCamera(uint32_t seed, const Settings& settings, int frames, Check check) {
  CameraState camera;
  auto scene = cameraScene();
  Random random{seed};
  for (int frame = 0; frame < frames; ++frame) {
    const CameraState before = camera;
    scene->nowMs = 60000 + 31000u * static_cast<uint32_t>(frame);
    stepCamera(camera, *scene, settings, random);
    check(before, camera, *scene);
    if (::testing::Test::HasFatalFailure()) {
      return;
    }
  }
}

// The value of the draw that left the generator in this state, and the state before it.
int drawnValue(uint32_t state) {
  return static_cast<int>((state >> 16) & 0x7FFFu);
}
uint32_t previousState(uint32_t state) {
  // 214013 is odd, so it has an inverse modulo 2^32 (Newton's iteration doubles the bits).
  uint32_t inverse = 214013u;
  for (int k = 0; k < 5; ++k) {
    inverse *= 2u - 214013u * inverse;
  }
  return (state - 2531011u) * inverse;
}
// The unit values of the last count draws, oldest first.
void lastUnits(uint32_t state, int count, float* out) {
  for (int k = count - 1; k >= 0; --k) {
    out[k] = static_cast<float>(drawnValue(state)) / 32767.0f;
    state = previousState(state);
  }
}

bool isFixedShot(ShotCode shot) {
  const auto code = static_cast<int32_t>(shot);
  return code >= 1000 && code < 2000;
}
bool isTrackingShot(ShotCode shot) {
  const auto code = static_cast<int32_t>(shot);
  return code >= 2000 && code < 3000;
}

bool matrixFinite(const Matrix4& m) {
  for (float e : m.m) {
    if (!std::isfinite(e)) {
      return false;
    }
  }
  return true;
}

TEST(Camera, StartsInTheStateOfTheTable) {
  const CameraState camera;
  EXPECT_EQ(camera.shotCode, ShotCode::harrierRideAlong);
  EXPECT_EQ(camera.shotDurationMs, 10000u);
  EXPECT_EQ(camera.lastCutMs, 0u);
  EXPECT_EQ(camera.fixedGroupNext, 0);
  EXPECT_EQ(camera.openingPending, 1);
  EXPECT_EQ(camera.cameraEye.x, 100.0f);
  EXPECT_EQ(camera.cameraTarget.x, 1.0f);
}

TEST(Camera, PreviousStateUndoesADraw) {
  Random random{12345};
  const uint32_t before = random.state;
  const int value = random.next();
  EXPECT_EQ(previousState(random.state), before);
  EXPECT_EQ(drawnValue(random.state), value);
}

TEST(Camera, FirstFrameOpensWithTheFlockEvenEarlyAfterBoot) {
  for (uint32_t now : {0u, 3000u, 10000u, 60016u}) {
    CameraState camera;
    auto scene = cameraScene();
    scene->nowMs = now;
    Random random{now + 7};
    stepCamera(camera, *scene, flightSettings(15, kFormationNone), random);
    EXPECT_EQ(camera.shotCode, ShotCode::flockOpening);
    EXPECT_EQ(camera.shotDurationMs, 12000u);
    EXPECT_EQ(camera.lastCutMs, now);
    EXPECT_EQ(camera.openingPending, 0);
    EXPECT_EQ(camera.fixedGroupNext, 1);
    // The opening draws last: lens, distance, elevation.
    float u[3];
    lastUnits(random.state, 3, u);
    EXPECT_EQ(camera.lensTangent, 0.1f * u[0] + 0.5f);
    const Vec3 offset = shotOffset((0.2f * u[1] + 1.0f) * 250.0f, 0.261798f * u[2] + 0.0174532f);
    EXPECT_EQ(camera.eyeOffset.y, offset.y);
    EXPECT_EQ(camera.eyeOffset.z, offset.z);
    EXPECT_EQ(camera.cameraTarget.x, scene->flockCentre.x);
    EXPECT_EQ(camera.cameraEye.z, scene->flockCentre.z + offset.z);
    EXPECT_TRUE(matrixFinite(scene->view));
    EXPECT_TRUE(matrixFinite(scene->projection));
    EXPECT_NE(scene->projection(0, 0), 0.0f);
  }
}

TEST(Camera, HighOpeningFollowsOneHarrierFromAbove) {
  for (int formation : {kFormationNone, kFormationTriangle, kFormationLine}) {
    CameraState camera;
    auto scene = cameraScene();
    scene->highOpening = 1;
    scene->nowMs = 70000;
    Random random{99};
    const Settings settings = flightSettings(10, formation);
    stepCamera(camera, *scene, settings, random);
    EXPECT_EQ(camera.shotCode, ShotCode::harrierTelephoto);
    EXPECT_EQ(camera.shotDurationMs, 12000u);
    EXPECT_EQ(camera.targetHarrier, formation == kFormationNone ? 0u : 1u);
    float u[3];
    lastUnits(random.state, 3, u);
    EXPECT_EQ(camera.lensTangent, 0.005f * u[0] + 0.015f);
    EXPECT_EQ(camera.fixedEye.x, 0.5f * kCloudSpan);
    EXPECT_EQ(camera.fixedEye.y, 100.0f * u[1] + 1000.0f);
    EXPECT_EQ(camera.fixedEye.z, 50.0f * u[2] - 100.0f);
    const Vec3 target = scene->harriers[camera.targetHarrier].drawPosition;
    EXPECT_EQ(camera.cameraTarget.x, target.x);
    EXPECT_EQ(camera.cameraEye.y, camera.fixedEye.y);
  }
}

TEST(Camera, EqualityDoesNotCutTheNextMillisecondDoes) {
  CameraState camera;
  camera.openingPending = 0;
  camera.lastCutMs = 20000;
  camera.shotDurationMs = 5000;
  EXPECT_FALSE(cutDue(camera, 24999));
  EXPECT_FALSE(cutDue(camera, 25000));
  EXPECT_TRUE(cutDue(camera, 25001));
}

TEST(Camera, CutTimingSurvivesTheTimerWrap) {
  CameraState camera;
  camera.openingPending = 0;
  camera.lastCutMs = 4294967000u;
  camera.shotDurationMs = 5000;
  // A wrapped sum (lastCutMs + duration = 4704) would cut at once, right after the last cut.
  EXPECT_FALSE(cutDue(camera, 4294967100u));
  EXPECT_FALSE(cutDue(camera, 3000));
  EXPECT_FALSE(cutDue(camera, 4704));
  EXPECT_TRUE(cutDue(camera, 4705));
  // A shot starting just before the wrap is not held for 49 days either.
  camera.lastCutMs = 100;
  camera.shotDurationMs = 30000;
  EXPECT_FALSE(cutDue(camera, 30100));
  EXPECT_TRUE(cutDue(camera, 30101));
}

TEST(Camera, CutsAlternateBetweenTheGroupsAfterTheOpening) {
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    CameraState camera;
    auto scene = cameraScene();
    scene->highOpening = seed % 5 == 0 ? 1 : 0;
    Random random{seed};
    const Settings settings = flightSettings(15, static_cast<int>(seed % 3));
    scene->nowMs = 60000;
    stepCamera(camera, *scene, settings, random);
    ASSERT_TRUE(camera.shotCode == ShotCode::flockOpening ||
                camera.shotCode == ShotCode::harrierTelephoto);
    for (int cut = 1; cut <= 60; ++cut) {
      // The frame at the end of the shot keeps it; the next millisecond cuts.
      scene->nowMs = camera.lastCutMs + camera.shotDurationMs;
      const ShotCode before = camera.shotCode;
      stepCamera(camera, *scene, settings, random);
      ASSERT_EQ(camera.shotCode, before);
      scene->nowMs += 1;
      stepCamera(camera, *scene, settings, random);
      ASSERT_EQ(camera.lastCutMs, scene->nowMs);
      if (cut % 2 == 1) {
        ASSERT_TRUE(isFixedShot(camera.shotCode)) << "seed " << seed << " cut " << cut;
      } else {
        ASSERT_TRUE(isTrackingShot(camera.shotCode)) << "seed " << seed << " cut " << cut;
      }
      ASSERT_GE(camera.shotDurationMs, 1000u);
      ASSERT_LE(camera.shotDurationMs, 30000u);
      ASSERT_TRUE(matrixFinite(scene->view));
      ASSERT_TRUE(matrixFinite(scene->projection));
    }
  }
}

TEST(Camera, LateFrameDoesNotShortenTheNextShot) {
  CameraState camera;
  auto scene = cameraScene();
  Random random{4};
  const Settings settings = flightSettings(15, kFormationNone);
  scene->nowMs = 60000;
  stepCamera(camera, *scene, settings, random);
  scene->nowMs = 60000 + 12000 + 7000;  // seven seconds late
  stepCamera(camera, *scene, settings, random);
  EXPECT_EQ(camera.lastCutMs, 79000u);
  const ShotCode shot = camera.shotCode;
  scene->nowMs = 79000 + camera.shotDurationMs;
  stepCamera(camera, *scene, settings, random);
  EXPECT_EQ(camera.shotCode, shot);
  EXPECT_EQ(camera.lastCutMs, 79000u);
}

TEST(Camera, FormationShotsNeverFollowTheLeader) {
  for (int formation : {kFormationTriangle, kFormationLine}) {
    bool sawLast = false;
    for (uint32_t seed = 1; seed <= 30; ++seed) {
      flyCamera(seed, flightSettings(10, formation), 200,
                [&](const CameraState&, const CameraState& camera, const Scene&) {
                  if (camera.shotCode == ShotCode::harrierRideAlong ||
                      camera.shotCode == ShotCode::harrierTelephoto) {
                    ASSERT_GE(camera.targetHarrier, 1u);
                    ASSERT_LE(camera.targetHarrier, 9u);
                    sawLast = sawLast || camera.targetHarrier == 9u;
                  }
                });
      ASSERT_FALSE(HasFatalFailure());
    }
    EXPECT_TRUE(sawLast);
  }
}

TEST(Camera, FreeFlightWithOneHarrierAlwaysFollowsHarrierZero) {
  flyCamera(321, flightSettings(1, kFormationNone), 300,
            [](const CameraState&, const CameraState& camera, const Scene&) {
              ASSERT_EQ(camera.targetHarrier, 0u);
            });
}

TEST(Camera, FormationOfOneHarrierDoesNotDivideByZero) {
  flyCamera(5, flightSettings(1, kFormationTriangle), 300,
            [](const CameraState&, const CameraState&, const Scene& scene) {
              ASSERT_TRUE(matrixFinite(scene.view));
            });
}

TEST(Camera, FixedShotsAndQuarryFollowKeepTheLens) {
  int checked = 0;
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    flyCamera(seed, flightSettings(15, kFormationNone), 100,
              [&](const CameraState& before, const CameraState& camera, const Scene&) {
                if (isFixedShot(camera.shotCode) || camera.shotCode == ShotCode::quarryFollow) {
                  ASSERT_EQ(camera.lensTangent, before.lensTangent);
                  ++checked;
                } else {
                  ASSERT_GT(camera.lensTangent, 0.0f);
                }
              });
    ASSERT_FALSE(HasFatalFailure());
  }
  EXPECT_GT(checked, 500);
}

TEST(Camera, SameSeedSameShots) {
  CameraState a;
  CameraState b;
  auto sceneA = cameraScene();
  auto sceneB = cameraScene();
  Random randomA{777};
  Random randomB{777};
  const Settings settings = flightSettings(20, kFormationNone);
  for (int frame = 0; frame < 100; ++frame) {
    sceneA->nowMs = sceneB->nowMs = 1000u * static_cast<uint32_t>(frame);
    stepCamera(a, *sceneA, settings, randomA);
    stepCamera(b, *sceneB, settings, randomB);
    ASSERT_EQ(a.shotCode, b.shotCode);
    ASSERT_EQ(a.shotDurationMs, b.shotDurationMs);
    ASSERT_EQ(a.cameraEye.x, b.cameraEye.x);
    ASSERT_EQ(a.cameraEye.y, b.cameraEye.y);
  }
}

TEST(FieldOverview, HeightOfMinus449IsKept) {
  const float r = 1000.0f;
  const float e = static_cast<float>(std::asin(-0.449));
  const Vec3 d = fieldOverviewOffset(r, e);
  EXPECT_NEAR(d.y, -449.0f, 1e-3f);
  EXPECT_EQ(d.y, shotOffset(r, e).y);
}

TEST(FieldOverview, HeightOfMinus451IsLiftedToTheGround) {
  const float r = 1000.0f;
  const Vec3 d = fieldOverviewOffset(r, static_cast<float>(std::asin(-0.451)));
  EXPECT_NEAR(d.y, -500.0f, 1e-3f);
  EXPECT_NEAR(std::sqrt(d.y * d.y + d.z * d.z), r, 1e-3f);
  EXPECT_LT(d.z, 0.0f);
  EXPECT_EQ(d.x, 0.0f);
}

TEST(FieldOverview, OffsetIsOnTheMinusZSide) {
  const Vec3 level = shotOffset(200.0f, 0.0f);
  EXPECT_EQ(level.y, 0.0f);
  EXPECT_EQ(level.z, -200.0f);
  const Vec3 up = shotOffset(200.0f, 0.5f);
  EXPECT_NEAR(up.y, 200.0f * std::sin(0.5f), 1e-4f);
  EXPECT_NEAR(up.z, -200.0f * std::cos(0.5f), 1e-4f);
}

// A fixed-camera cut from a generator state whose first draw picks the wanted shot.
Random stateForFixedShot(int wanted, uint32_t seed) {
  Random random{seed};
  for (;;) {
    Random probe = random;
    const int s = probe.next() % 4;
    if (s == wanted) {
      return random;
    }
    random.next();
  }
}

TEST(FixedCut, QuarryAmbushRecipe) {
  CameraState camera;
  camera.openingPending = 0;
  camera.fixedGroupNext = 1;
  auto scene = cameraScene();
  scene->nowMs = 5000;
  Random random = stateForFixedShot(2, 11);
  Random replay = random;
  makeCut(camera, *scene, flightSettings(15, kFormationNone), random);
  replay.next();
  const float u1 = replay.unit();
  const float u2 = replay.unit();
  const float u3 = replay.unit();
  const float u4 = replay.unit();
  const float u5 = replay.unit();
  const float u6 = replay.unit();
  EXPECT_EQ(random.state, replay.state);
  EXPECT_EQ(camera.shotCode, ShotCode::quarryAmbush);
  EXPECT_EQ(camera.shotDurationMs, 6000u + static_cast<uint32_t>(1000.0f * u1));
  const float d = 500.0f + 1000.0f * u2;
  const float jy = (u3 - u4) * d / 7.0f;
  const float jx = (u5 - u6) * d / 7.0f;
  EXPECT_EQ(camera.fixedTarget.x, scene->lookAheadPoint.x + jx);
  EXPECT_EQ(camera.fixedTarget.y, scene->lookAheadPoint.y + jy);
  EXPECT_EQ(camera.fixedEye.z, camera.fixedTarget.z - d);
  EXPECT_EQ(camera.fixedGroupNext, 0);
  EXPECT_EQ(camera.lastCutMs, 5000u);
}

TEST(FixedCut, FieldLengthwiseRecipe) {
  CameraState camera;
  camera.openingPending = 0;
  camera.fixedGroupNext = 1;
  auto scene = cameraScene();
  Random random = stateForFixedShot(1, 12);
  Random replay = random;
  makeCut(camera, *scene, flightSettings(15, kFormationNone), random);
  replay.next();
  const bool longer = replay.next() % 3 == 0;
  const float u0 = replay.unit();
  const float u1 = replay.unit();
  const float u2 = replay.unit();
  const float u3 = replay.unit();
  const float u4 = replay.unit();
  EXPECT_EQ(random.state, replay.state);
  EXPECT_EQ(camera.shotCode, ShotCode::fieldLengthwise);
  EXPECT_EQ(camera.shotDurationMs, longer ? 5000u + static_cast<uint32_t>(6000.0f * u0)
                                          : 2000u + static_cast<uint32_t>(2000.0f * u0));
  const float x = (0.6f * u1 + 0.2f) * kCloudSpan;
  EXPECT_EQ(camera.fixedTarget.x, x);
  EXPECT_EQ(camera.fixedTarget.y, (0.2f * u2 - 0.2f) * kCloudSpan);
  EXPECT_EQ(camera.fixedTarget.z, kCloudSpan);
  EXPECT_EQ(camera.fixedEye.x, x);
  EXPECT_EQ(camera.fixedEye.y, (0.3f * u3 - 0.1f) * kCloudSpan);
  EXPECT_EQ(camera.fixedEye.z, -u4 * (0.4f * kCloudSpan));
}

TEST(FixedCut, FieldOverviewLooksAtTheGridCentreFromAboveTheGround) {
  for (uint32_t seed = 1; seed <= 200; ++seed) {
    CameraState camera;
    camera.openingPending = 0;
    camera.fixedGroupNext = 1;
    auto scene = cameraScene();
    Random random = stateForFixedShot(0, seed);
    makeCut(camera, *scene, flightSettings(15, kFormationNone), random);
    ASSERT_EQ(camera.shotCode, ShotCode::fieldOverview);
    EXPECT_EQ(camera.fixedTarget.x, kCloudCentre.x);
    EXPECT_EQ(camera.fixedTarget.y, 0.0f);
    EXPECT_GE(camera.fixedEye.y, -500.001f);
    EXPECT_EQ(camera.fixedEye.x, kCloudCentre.x);
  }
}

struct PlacementCase {
  ShotCode shot;
  float nearPlane;
  float farPlane;
  float lens;  // 0: the state's lensTangent
};

TEST(Placement, EachShotHasItsPlanesAndLens) {
  const PlacementCase cases[] = {
      {ShotCode::fieldOverview, 50.0f, 10000.0f, 0.75f},
      {ShotCode::fieldLengthwise, 10.0f, 5000.0f, 0.75f},
      {ShotCode::quarryAmbush, 40.0f, 5000.0f, 0.75f},
      {ShotCode::harrierRideAlong, 10.0f, 5000.0f, 0.0f},
      {ShotCode::harrierTelephoto, 100.0f, 6000.0f, 0.0f},
      {ShotCode::flockFollow, 10.0f, 5000.0f, 0.0f},
      {ShotCode::quarryFollow, 10.0f, 5000.0f, 0.6f},
      {ShotCode::flockOpening, 10.0f, 5000.0f, 0.0f},
  };
  for (const PlacementCase& c : cases) {
    CameraState camera;
    camera.shotCode = c.shot;
    camera.lensTangent = 0.3f;
    camera.targetHarrier = 3;
    camera.eyeOffset = Vec3(0.0f, 10.0f, -100.0f);
    camera.targetJitter = Vec3(1.0f, 2.0f, 0.0f);
    camera.fixedEye = Vec3(5.0f, 6.0f, 7.0f);
    camera.fixedTarget = Vec3(500.0f, 0.0f, 900.0f);
    auto scene = cameraScene();
    placeCamera(camera, *scene, flightSettings(15, kFormationNone));
    const float lens = c.lens > 0.0f ? c.lens : 0.3f;
    const double half = std::atan(static_cast<double>(lens));
    EXPECT_NEAR(scene->projection(0, 0), std::cos(half), 1e-6) << static_cast<int>(c.shot);
    EXPECT_NEAR(scene->projection(2, 3), std::sin(half), 1e-6) << static_cast<int>(c.shot);
    const float q = scene->projection(2, 2);
    EXPECT_NEAR(q, std::sin(half) / (1.0 - c.nearPlane / c.farPlane), 1e-6)
        << static_cast<int>(c.shot);
    EXPECT_NEAR(scene->projection(3, 2), -q * c.nearPlane, 1e-3) << static_cast<int>(c.shot);
  }
}

TEST(Placement, TargetsAndEyesFollowTheirObjects) {
  CameraState camera;
  camera.targetHarrier = 3;
  camera.eyeOffset = Vec3(0.0f, 10.0f, -100.0f);
  camera.targetJitter = Vec3(1.0f, 2.0f, 0.0f);
  camera.fixedEye = Vec3(5.0f, 6.0f, 7.0f);
  auto scene = cameraScene();
  const Settings settings = flightSettings(15, kFormationNone);
  const Vec3 h3 = scene->harriers[3].drawPosition;

  camera.shotCode = ShotCode::harrierRideAlong;
  placeCamera(camera, *scene, settings);
  EXPECT_EQ(camera.cameraTarget.x, h3.x + 1.0f);
  EXPECT_EQ(camera.cameraTarget.y, h3.y + 2.0f);
  EXPECT_EQ(camera.cameraEye.z, h3.z - 100.0f);

  camera.shotCode = ShotCode::harrierTelephoto;
  placeCamera(camera, *scene, settings);
  EXPECT_EQ(camera.cameraTarget.x, h3.x);
  EXPECT_EQ(camera.cameraEye.x, 5.0f);

  camera.shotCode = ShotCode::quarryFollow;
  placeCamera(camera, *scene, settings);
  EXPECT_EQ(camera.cameraTarget.z, scene->quarryPosition.z);
  EXPECT_EQ(camera.cameraEye.y, scene->quarryPosition.y + 10.0f);

  camera.shotCode = ShotCode::flockFollow;
  placeCamera(camera, *scene, settings);
  EXPECT_EQ(camera.cameraTarget.x, scene->flockCentre.x);

  // The view matrix takes the eye to the origin.
  Vec3 eyeInView;
  TransformPoint(scene->view, camera.cameraEye, eyeInView);
  EXPECT_NEAR(eyeInView.x, 0.0f, 1e-3f);
  EXPECT_NEAR(eyeInView.z, 0.0f, 1e-3f);
}

TEST(Placement, TargetOutsideTheLiveFlockFallsBackToHarrierZero) {
  CameraState camera;
  camera.shotCode = ShotCode::harrierTelephoto;
  camera.targetHarrier = 4000000000u;
  auto scene = cameraScene();
  placeCamera(camera, *scene, flightSettings(4, kFormationNone));
  EXPECT_EQ(camera.cameraTarget.x, scene->harriers[0].drawPosition.x);
}

}  // namespace
}  // namespace tavrik
