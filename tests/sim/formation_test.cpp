#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "config/settings.h"
#include "scene/scene.h"
#include "sim/formation.h"
#include "support/expect_vec.h"
#include "support/flight_settings.h"

namespace tavrik {
namespace {

using testing::expectVec;
using testing::flightSettings;

// A leader at (1000, 200, 500) heading along +x, climbing a little; its side vector tilted by a
// bank, so the flattening of both matters.
std::unique_ptr<Scene> formationScene(int count) {
  auto scene = std::make_unique<Scene>();
  for (int k = 1; k < count; ++k) {
    const int r = static_cast<int>(std::sqrt(static_cast<double>(k - 1)));
    scene->formationRow[k] = -(r + 1);
    scene->formationColumn[k] = (k - 1) - r * r - r;
  }
  Harrier& leader = scene->harriers[0];
  leader.position = Vec3(1000.0f, 200.0f, 500.0f);
  leader.forward = Normalize(Vec3(1.0f, 0.2f, 0.0f));
  leader.side = Normalize(Vec3(0.0f, 0.3f, -1.0f));
  leader.up = Cross(leader.forward, leader.side);
  scene->startMs = 1000;
  scene->nowMs = 1000 + 20000;
  return scene;
}

TEST(Formation, TriangleTablesMatchTheRows) {
  auto scene = formationScene(26);
  EXPECT_EQ(scene->formationRow[1], -1);
  EXPECT_EQ(scene->formationColumn[1], 0);
  EXPECT_EQ(scene->formationRow[4], -2);
  EXPECT_EQ(scene->formationColumn[4], 1);
  EXPECT_EQ(scene->formationRow[5], -3);
  EXPECT_EQ(scene->formationColumn[5], -2);
  EXPECT_EQ(scene->formationRow[25], -5);
  EXPECT_EQ(scene->formationColumn[25], 4);
}

TEST(Formation, TriangleSlotsBehindTheLeader) {
  auto scene = formationScene(10);
  const Settings settings = flightSettings(10, kFormationTriangle);
  const Vec3 p0 = scene->harriers[0].position;
  const Vec3 fh(1.0f, 0.0f, 0.0f);
  const Vec3 sh(0.0f, 0.0f, -1.0f);
  expectVec(formationSlot(*scene, settings, 10, 1), p0 - 60.0f * fh, 1e-3f);
  expectVec(formationSlot(*scene, settings, 10, 4), p0 - 120.0f * fh + 30.0f * sh, 1e-3f);
  expectVec(formationSlot(*scene, settings, 10, 5), p0 - 180.0f * fh - 60.0f * sh, 1e-3f);
  expectVec(formationSlot(*scene, settings, 10, 0), p0, 0.0f);
}

TEST(Formation, LineSlotsAlongWorldZ) {
  auto scene = formationScene(16);
  const Settings settings = flightSettings(16, kFormationLine);
  const Vec3 p0 = scene->harriers[0].position;
  for (int i = 1; i < 16; ++i) {
    const Vec3 slot = formationSlot(*scene, settings, 16, i);
    EXPECT_EQ(slot.x, p0.x);
    EXPECT_EQ(slot.y, p0.y);
    EXPECT_FLOAT_EQ(slot.z - p0.z, -400.0f + 50.0f * static_cast<float>(i));
  }
  const Vec3 eighth = formationSlot(*scene, settings, 16, 8);
  EXPECT_EQ(eighth.z, p0.z);
  // n / 2 is a real division: 7.5 for fifteen harriers.
  EXPECT_FLOAT_EQ(formationSlot(*scene, flightSettings(15, kFormationLine), 15, 1).z - p0.z,
                  -325.0f);
}

TEST(Formation, TrianglePullIsStifferAlongHeadingAndUp) {
  auto scene = formationScene(2);
  const Settings settings = flightSettings(2, kFormationTriangle);
  const Harrier& leader = scene->harriers[0];
  const Vec3 slot = formationSlot(*scene, settings, 2, 1);
  const Vec3 offset(3.0f, -4.0f, 5.0f);
  scene->harriers[1].position = slot + offset;
  Vec3 e = -1.5e-6f * offset;
  e = e + (3.5f * Dot(e, leader.forward)) * leader.forward;
  e = e + Dot(e, leader.up) * leader.up;
  expectVec(formationPull(*scene, settings, 2, 1), e, 1e-12f);
  // Along the heading alone the pull is 4.5 times the plain gain.
  scene->harriers[1].position = slot + 10.0f * leader.forward;
  const Vec3 along = formationPull(*scene, settings, 2, 1);
  EXPECT_NEAR(Dot(along, leader.forward), -1.5e-6f * 10.0f * 4.5f, 1e-9f);
}

TEST(Formation, LinePullIsSofterAlongHeadingAndUp) {
  auto scene = formationScene(4);
  const Settings settings = flightSettings(4, kFormationLine);
  const Harrier& leader = scene->harriers[0];
  const Vec3 slot = formationSlot(*scene, settings, 4, 3);
  scene->harriers[3].position = slot + 10.0f * leader.forward;
  const Vec3 along = formationPull(*scene, settings, 4, 3);
  EXPECT_NEAR(Dot(along, leader.forward), -3e-6f * 10.0f * 0.9f, 1e-9f);
}

TEST(Formation, LeaderGetsNoPull) {
  for (int formation : {kFormationTriangle, kFormationLine}) {
    auto scene = formationScene(5);
    const Vec3 pull = formationPull(*scene, flightSettings(5, formation), 5, 0);
    EXPECT_EQ(pull.x, 0.0f);
    EXPECT_EQ(pull.y, 0.0f);
    EXPECT_EQ(pull.z, 0.0f);
  }
}

TEST(Formation, FollowerInItsPlaceGetsNoPull) {
  auto scene = formationScene(5);
  const Settings settings = flightSettings(5, kFormationTriangle);
  scene->harriers[3].position = formationSlot(*scene, settings, 5, 3);
  const Vec3 pull = formationPull(*scene, settings, 5, 3);
  EXPECT_EQ(pull.x, 0.0f);
  EXPECT_EQ(pull.y, 0.0f);
  EXPECT_EQ(pull.z, 0.0f);
}

TEST(Formation, FreeFlightHasNoPull) {
  auto scene = formationScene(3);
  scene->harriers[2].position = Vec3(0.0f, 0.0f, 0.0f);
  for (int formation : {kFormationNone, 5, -1}) {
    const Vec3 pull = formationPull(*scene, flightSettings(3, formation), 3, 2);
    EXPECT_EQ(pull.x, 0.0f);
    EXPECT_EQ(pull.z, 0.0f);
  }
}

TEST(Formation, EasedInOverTenSeconds) {
  auto scene = formationScene(3);
  const Settings settings = flightSettings(3, kFormationTriangle);
  scene->harriers[2].position = Vec3(0.0f, 0.0f, 0.0f);
  scene->nowMs = scene->startMs + 10000;
  const Vec3 full = formationPull(*scene, settings, 3, 2);
  scene->nowMs = scene->startMs + 60000;
  expectVec(formationPull(*scene, settings, 3, 2), full, 0.0f);
  scene->nowMs = scene->startMs + 5000;
  expectVec(formationPull(*scene, settings, 3, 2), 0.5f * full, 1e-12f);
  scene->nowMs = scene->startMs;
  expectVec(formationPull(*scene, settings, 3, 2), Vec3(0.0f, 0.0f, 0.0f), 0.0f);
  scene->nowMs = scene->startMs + 9999;
  EXPECT_LT(std::fabs(formationPull(*scene, settings, 3, 2).x), std::fabs(full.x));
}

TEST(Formation, AgeSurvivesTheTimerWrap) {
  auto scene = formationScene(3);
  const Settings settings = flightSettings(3, kFormationLine);
  scene->harriers[2].position = Vec3(0.0f, 0.0f, 0.0f);
  scene->startMs = 4294965296u;  // 2000 ms before the wrap
  scene->nowMs = 3000;           // 5000 ms after the start
  const Vec3 half = formationPull(*scene, settings, 3, 2);
  scene->nowMs = 8000;
  const Vec3 full = formationPull(*scene, settings, 3, 2);
  expectVec(half, 0.5f * full, 1e-12f);
  // 49.7 days on the timer's difference is small again; the run is not new.
  scene->elapsedMs = (uint64_t{1} << 32) + 5000;
  scene->nowMs = 3000;
  expectVec(formationPull(*scene, settings, 3, 2), full, 0.0f);
}

TEST(Formation, LeaderFlyingStraightUpGivesFiniteSlots) {
  auto scene = formationScene(10);
  Harrier& leader = scene->harriers[0];
  leader.forward = Vec3(0.0f, 1.0f, 0.0f);
  leader.side = Vec3(0.0f, 1.0f, 0.0f);
  leader.up = Vec3(0.0f, 0.0f, 0.0f);
  const Settings settings = flightSettings(10, kFormationTriangle);
  for (int i = 0; i < 10; ++i) {
    EXPECT_TRUE(IsFinite(formationSlot(*scene, settings, 10, i)));
    EXPECT_TRUE(IsFinite(formationPull(*scene, settings, 10, i)));
  }
}

}  // namespace
}  // namespace tavrik
