#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <memory>

#include "config/settings.h"
#include "scene/scene.h"
#include "sim/harriers.h"
#include "sim/quarry.h"
#include "support/flight_settings.h"

namespace tavrik {
namespace {

using testing::flightSettings;

// A level harrier heading along +z at cruising speed.
void placeLevel(Harrier& h, const Vec3& position) {
  h.position = position;
  h.velocity = Vec3(0.0f, 0.0f, 0.4f);
  h.speed = 0.4f;
  h.forward = Vec3(0.0f, 0.0f, 1.0f);
  h.side = Vec3(1.0f, 0.0f, 0.0f);
  h.up = Vec3(0.0f, 1.0f, 0.0f);
  h.wobblePhase = 0.0f;
  h.weavePhase = 1.57079633f;
}

std::unique_ptr<Scene> workedScene() {
  auto scene = std::make_unique<Scene>();
  placeLevel(scene->harriers[0], Vec3(0.0f, 100.0f, 0.0f));
  scene->quarryPosition = Vec3(0.0f, 100.0f, 1000.0f);
  scene->sceneClock = 0.0;
  scene->frameMs = 16;
  scene->elapsedMs = 25000;
  return scene;
}

TEST(HarrierStep, WorkedFreeFlightStep) {
  auto scene = workedScene();
  stepHarriers(*scene, flightSettings(1, kFormationNone));
  const Harrier& h = scene->harriers[0];
  // The weave's phase is pi/2 only to float precision, which leaves a trace of sideways pull.
  EXPECT_NEAR(h.velocity.x, 0.0f, 1e-10f);
  // To within two float steps of the worked numbers.
  EXPECT_NEAR(h.velocity.y, 0.00032f, 1e-10f);
  EXPECT_NEAR(h.velocity.z, 0.40669922f, 6e-8f);
  EXPECT_NEAR(h.speed, 0.40669935f, 6e-8f);
  EXPECT_NEAR(h.side.x, 1.0f, 1e-6f);
  EXPECT_NEAR(h.side.y, 0.0f, 1e-6f);
  EXPECT_NEAR(h.side.z, 0.0f, 1e-6f);
  EXPECT_EQ(h.world(3, 0), 0.0f);
  EXPECT_EQ(h.world(3, 1), 100.0f);
  EXPECT_EQ(h.world(3, 2), 0.0f);
  EXPECT_EQ(h.world(3, 3), 1.0f);
  EXPECT_EQ(h.drawPosition.y, 100.0f);
  EXPECT_EQ(h.drawPosition.z, 0.0f);
  EXPECT_NEAR(h.position.x, 0.0f, 1e-9f);
  EXPECT_NEAR(h.position.y, 100.00512f, 1.5e-5f);
  EXPECT_NEAR(h.position.z, 6.50719f, 5e-6f);
  // The world matrix's rows are side, up and heading.
  EXPECT_EQ(h.world(2, 1), h.forward.y);
  EXPECT_EQ(h.world(2, 2), h.forward.z);
  EXPECT_EQ(h.world(1, 1), h.up.y);
  EXPECT_EQ(h.world(0, 0), h.side.x);
}

TEST(HarrierStep, OneHarrierHasNoSeparationAndIsTheFlockCentre) {
  auto scene = workedScene();
  scene->harriers[0].separation = Vec3(5.0f, 5.0f, 5.0f);
  stepHarriers(*scene, flightSettings(1, kFormationNone));
  EXPECT_EQ(scene->harriers[0].separation.x, 0.0f);
  EXPECT_EQ(scene->harriers[0].separation.y, 0.0f);
  EXPECT_EQ(scene->harriers[0].separation.z, 0.0f);
  EXPECT_EQ(scene->flockCentre.y, 100.0f);
  EXPECT_EQ(scene->flockCentre.z, 0.0f);
}

TEST(HarrierStep, FlockCentreIsTheMeanBeforeTheStep) {
  auto scene = workedScene();
  placeLevel(scene->harriers[1], Vec3(40.0f, 120.0f, 10.0f));
  placeLevel(scene->harriers[2], Vec3(-10.0f, 80.0f, 50.0f));
  stepHarriers(*scene, flightSettings(3, kFormationNone));
  EXPECT_FLOAT_EQ(scene->flockCentre.x, 10.0f);
  EXPECT_FLOAT_EQ(scene->flockCentre.y, 100.0f);
  EXPECT_FLOAT_EQ(scene->flockCentre.z, 20.0f);
}

// The separation pushes of harriers standing at these positions, the first at index 0.
std::unique_ptr<Scene> separatedAt(std::initializer_list<Vec3> positions) {
  auto scene = std::make_unique<Scene>();
  int count = 0;
  for (const Vec3& position : positions) {
    scene->harriers[count++].position = position;
  }
  computeSeparation(*scene, count);
  return scene;
}

TEST(Separation, ThreeAndAHalfApartPushWithLengthOne) {
  const auto scene = separatedAt({Vec3(10.0f, 0.0f, 0.0f), Vec3(13.5f, 0.0f, 0.0f)});
  EXPECT_FLOAT_EQ(scene->harriers[0].separation.x, -1.0f);
  EXPECT_FLOAT_EQ(scene->harriers[1].separation.x, 1.0f);
  EXPECT_EQ(scene->harriers[0].separation.y, 0.0f);
}

TEST(Separation, TwoApartPushIsCappedAtTen) {
  const auto scene = separatedAt({Vec3(0.0f, 5.0f, 0.0f), Vec3(0.0f, 5.0f, 2.0f)});
  EXPECT_FLOAT_EQ(scene->harriers[0].separation.z, -10.0f);
  EXPECT_FLOAT_EQ(scene->harriers[1].separation.z, 10.0f);
}

TEST(Separation, PushesAddUpOverAllPairs) {
  const auto scene =
      separatedAt({Vec3(0.0f, 0.0f, 0.0f), Vec3(3.5f, 0.0f, 0.0f), Vec3(0.0f, 0.0f, 4.5f)});
  EXPECT_FLOAT_EQ(scene->harriers[0].separation.x, -1.0f);
  EXPECT_FLOAT_EQ(scene->harriers[0].separation.z, -0.5f);
  const float d12 = std::sqrt(3.5f * 3.5f + 4.5f * 4.5f);
  EXPECT_FLOAT_EQ(scene->harriers[2].separation.z, 0.5f + (4.5f / d12) / (d12 - 2.5f));
  EXPECT_FLOAT_EQ(scene->harriers[1].separation.x, 1.0f + (3.5f / d12) / (d12 - 2.5f));
}

TEST(Separation, ChangesTheAccelerationByOneFiveThousandth) {
  auto apart = workedScene();
  placeLevel(apart->harriers[1], Vec3(3.5f, 100.0f, 0.0f));
  computeSeparation(*apart, 2);
  auto alone = workedScene();
  alone->harriers[0].separation = Vec3(0.0f, 0.0f, 0.0f);
  stepHarrier(*apart, flightSettings(2, kFormationNone), 2, 0, 0.0f, apart->quarryPosition, 16.0f);
  stepHarrier(*alone, flightSettings(1, kFormationNone), 1, 0, 0.0f, alone->quarryPosition, 16.0f);
  const float dvx = apart->harriers[0].velocity.x - alone->harriers[0].velocity.x;
  EXPECT_NEAR(dvx, -16.0f / 5000.0f, 1e-8f);
}

TEST(HarrierStep, FlyingAwayFromTheQuarryDropsThePursuit) {
  auto away = workedScene();
  away->quarryPosition = Vec3(0.0f, 100.0f, -1000.0f);
  auto none = workedScene();
  none->quarryPosition = Vec3(0.0f, 100.0f, 0.0f);  // on the harrier: no direction at all
  stepHarriers(*away, flightSettings(1, kFormationNone));
  stepHarriers(*none, flightSettings(1, kFormationNone));
  EXPECT_EQ(away->harriers[0].velocity.z, none->harriers[0].velocity.z);
  EXPECT_EQ(away->harriers[0].velocity.x, none->harriers[0].velocity.x);
}

TEST(HarrierStep, ZeroFrameRebuildsOrientationButDoesNotMove) {
  auto scene = workedScene();
  scene->frameMs = 0;
  Harrier& h = scene->harriers[0];
  h.side = Vec3(0.0f, 0.0f, 0.0f);
  h.world = Matrix4{};
  stepHarriers(*scene, flightSettings(1, kFormationNone));
  EXPECT_EQ(h.velocity.z, 0.4f);
  EXPECT_EQ(h.position.z, 0.0f);
  EXPECT_EQ(h.position.y, 100.0f);
  EXPECT_NEAR(h.side.x, 1.0f, 1e-6f);
  EXPECT_EQ(h.world(3, 1), 100.0f);
  EXPECT_EQ(h.world(3, 3), 1.0f);
}

TEST(HarrierStep, LevelFlightHasNeitherDiveNorClimb) {
  // Level, heading along +z, quarry straight ahead: only thrust, pursuit and drag act along z.
  auto scene = workedScene();
  stepHarriers(*scene, flightSettings(1, kFormationNone));
  const float az = (scene->harriers[0].velocity.z - 0.4f) / 16.0f;
  EXPECT_NEAR(az, 1.0f / 770.0f + 1.0f / 2500.0f - 0.064f / 50.0f, 2e-9f);
}

TEST(HarrierStep, DivingGainsSpeedAlongTheHeading) {
  auto scene = workedScene();
  Harrier& h = scene->harriers[0];
  h.velocity = Vec3(0.0f, -0.1f, 0.4f);
  auto level = workedScene();
  stepHarriers(*scene, flightSettings(1, kFormationNone));
  stepHarriers(*level, flightSettings(1, kFormationNone));
  // The dive adds (fx, fy/3, fz) * 0.1 / 80 on top; drag differs only through the velocity.
  const float extra = (h.velocity.z - level->harriers[0].velocity.z) / 16.0f;
  EXPECT_NEAR(extra, 0.1f / 80.0f, 1e-7f);
}

TEST(HarrierStep, FormationsChangeWobblePursuitAndWeave) {
  // Phases chosen so the wobble and the weave are both strong at T = 0.
  auto free = workedScene();
  free->harriers[0].wobblePhase = 1.0f;
  free->harriers[0].weavePhase = 0.0f;
  auto triangle = workedScene();
  triangle->harriers[0] = free->harriers[0];
  auto line = workedScene();
  line->harriers[0] = free->harriers[0];
  stepHarrier(*free, flightSettings(1, kFormationNone), 1, 0, 0.0f, free->quarryPosition, 16.0f);
  stepHarrier(*triangle, flightSettings(2, kFormationTriangle), 2, 0, 0.0f,
              triangle->quarryPosition, 16.0f);
  stepHarrier(*line, flightSettings(2, kFormationLine), 2, 0, 0.0f, line->quarryPosition, 16.0f);
  // Weave along the level side vector (1, 0, 0) with cos 0 = 1.
  EXPECT_NEAR(free->harriers[0].velocity.x, 16.0f / 15000.0f, 1e-9f);
  EXPECT_NEAR(triangle->harriers[0].velocity.x, 16.0f / 64000.0f, 1e-9f);
  EXPECT_NEAR(line->harriers[0].velocity.x, 16.0f / 15000.0f, 1e-9f);
  // The wobble is on in free flight only.
  const float wobble = 0.15f * std::sin(1.0f);
  EXPECT_NEAR(free->harriers[0].velocity.z - line->harriers[0].velocity.z, 16.0f * wobble / 770.0f,
              1e-7f);
}

TEST(HarrierStep, FollowersPursueWithAQuarterOfTheGain) {
  Settings settings = flightSettings(2, kFormationTriangle);
  auto scene = workedScene();
  scene->formationRow[1] = -1;
  scene->harriers[1] = scene->harriers[0];
  scene->harriers[1].position = Vec3(0.0f, 100.0f, -60.0f);  // exactly in its slot
  scene->nowMs = scene->startMs + 20000;
  const Vec3 q = scene->quarryPosition;
  auto reference = workedScene();
  reference->harriers[0] = scene->harriers[1];
  stepHarrier(*scene, settings, 2, 1, 0.0f, q, 16.0f);
  stepHarrier(*reference, settings, 2, 0, 0.0f, q, 16.0f);
  const float gap = reference->harriers[0].velocity.z - scene->harriers[1].velocity.z;
  EXPECT_NEAR(gap, 16.0f * (1.0f / 2500.0f - 1.0f / 10000.0f), 1e-7f);
}

TEST(HarrierStep, OtherFormationValuesFlyFree) {
  auto five = workedScene();
  five->harriers[0].wobblePhase = 1.0f;
  five->harriers[0].weavePhase = 0.0f;
  auto none = workedScene();
  none->harriers[0] = five->harriers[0];
  stepHarriers(*five, flightSettings(1, 5));
  stepHarriers(*none, flightSettings(1, kFormationNone));
  EXPECT_EQ(five->harriers[0].velocity.x, none->harriers[0].velocity.x);
  EXPECT_EQ(five->harriers[0].velocity.z, none->harriers[0].velocity.z);
}

bool harrierFinite(const Harrier& h) {
  bool finite = IsFinite(h.position) && IsFinite(h.drawPosition) && IsFinite(h.forward) &&
                IsFinite(h.side) && IsFinite(h.up) && IsFinite(h.separation) &&
                IsFinite(h.velocity) && std::isfinite(h.speed);
  for (float e : h.world.m) {
    finite = finite && std::isfinite(e);
  }
  return finite;
}

TEST(Degenerate, TwoHarriersOnOnePoint) {
  auto scene = workedScene();
  scene->harriers[1] = scene->harriers[0];
  stepHarriers(*scene, flightSettings(2, kFormationNone));
  EXPECT_TRUE(harrierFinite(scene->harriers[0]));
  EXPECT_TRUE(harrierFinite(scene->harriers[1]));
}

TEST(Degenerate, HarrierAtTheQuarrysCentre) {
  auto scene = workedScene();
  scene->quarryPosition = scene->harriers[0].position;
  stepHarriers(*scene, flightSettings(1, kFormationNone));
  EXPECT_TRUE(harrierFinite(scene->harriers[0]));
}

TEST(Degenerate, ZeroVelocityStartsMovingAgain) {
  auto scene = workedScene();
  Harrier& h = scene->harriers[0];
  h.velocity = Vec3(0.0f, 0.0f, 0.0f);
  h.speed = 0.0f;
  h.forward = Vec3(0.0f, 0.0f, 0.0f);
  h.side = Vec3(0.0f, 0.0f, 0.0f);
  h.up = Vec3(0.0f, 0.0f, 0.0f);
  for (int frame = 0; frame < 200; ++frame) {
    stepHarriers(*scene, flightSettings(1, kFormationNone));
    ASSERT_TRUE(harrierFinite(h)) << "frame " << frame;
  }
  EXPECT_GT(h.speed, 0.1f);
}

TEST(Degenerate, HeadingStraightUpOrDown) {
  for (float dir : {1.0f, -1.0f}) {
    auto scene = workedScene();
    Harrier& h = scene->harriers[0];
    h.velocity = Vec3(0.0f, 0.4f * dir, 0.0f);
    h.forward = Vec3(0.0f, dir, 0.0f);
    h.side = Vec3(1.0f, 0.0f, 0.0f);
    h.up = Vec3(0.0f, 0.0f, -dir);
    scene->quarryPosition = Vec3(0.0f, 100.0f + 1000.0f * dir, 0.0f);
    for (int frame = 0; frame < 50; ++frame) {
      stepHarriers(*scene, flightSettings(1, kFormationNone));
      ASSERT_TRUE(harrierFinite(h)) << "frame " << frame;
    }
  }
}

TEST(Degenerate, CountOutsideTheTableIsBroughtIntoRange) {
  auto scene = workedScene();
  EXPECT_EQ(liveHarrierCount(flightSettings(0, kFormationNone)), 1);
  EXPECT_EQ(liveHarrierCount(flightSettings(-5, kFormationNone)), 1);
  EXPECT_EQ(liveHarrierCount(flightSettings(400, kFormationNone)), kHarrierTableSize);
  stepHarriers(*scene, flightSettings(0, kFormationNone));
  EXPECT_TRUE(harrierFinite(scene->harriers[0]));
}

TEST(LateFrame, OneLongExplicitStepWouldDestroyTheFlock) {
  // Why late frames are split: a single explicit step over ten seconds overshoots the drag.
  auto scene = workedScene();
  Harrier& h = scene->harriers[0];
  for (int step = 0; step < 3 && std::isfinite(h.speed); ++step) {
    stepHarrier(*scene, flightSettings(1, kFormationNone), 1, 0, 0.0f, scene->quarryPosition,
                10000.0f);
  }
  EXPECT_FALSE(std::isfinite(h.speed) && h.speed < 10.0f);
}

TEST(LateFrame, FramesOfAHundredMillisecondsAreOneExactStep) {
  auto split = workedScene();
  auto direct = workedScene();
  split->frameMs = 100;
  stepHarriers(*split, flightSettings(1, kFormationNone));
  stepHarrier(*direct, flightSettings(1, kFormationNone), 1, 0, 0.0f, direct->quarryPosition,
              100.0f);
  EXPECT_EQ(split->harriers[0].position.z, direct->harriers[0].position.z);
  EXPECT_EQ(split->harriers[0].velocity.y, direct->harriers[0].velocity.y);
}

TEST(LateFrame, LongerFramesAreSplitIntoStepsOfAtMostAHundred) {
  auto split = workedScene();
  split->frameMs = 250;
  split->elapsedMs = 25000;
  split->sceneClock = sceneClockAt(25000);
  auto manual = workedScene();
  *manual = *split;
  const Settings settings = flightSettings(1, kFormationNone);
  stepHarriers(*split, settings);
  // 100, 100 and 50 ms, each against the clock and the quarry of its own end.
  const double t1 = sceneClockAt(25000 - 150);
  const double t2 = sceneClockAt(25000 - 50);
  stepHarrier(*manual, settings, 1, 0, t1, quarryPathAt(*manual, t1), 100.0f);
  stepHarrier(*manual, settings, 1, 0, t2, quarryPathAt(*manual, t2), 100.0f);
  stepHarrier(*manual, settings, 1, 0, manual->sceneClock, manual->quarryPosition, 50.0f);
  const Harrier& a = split->harriers[0];
  const Harrier& b = manual->harriers[0];
  EXPECT_EQ(a.position.x, b.position.x);
  EXPECT_EQ(a.position.y, b.position.y);
  EXPECT_EQ(a.position.z, b.position.z);
  EXPECT_EQ(a.velocity.z, b.velocity.z);
  EXPECT_EQ(a.drawPosition.z, b.drawPosition.z);
}

}  // namespace
}  // namespace tavrik
