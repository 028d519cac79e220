#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "scene/scene.h"
#include "sim/quarry.h"

namespace tavrik {
namespace {

std::unique_ptr<Scene> emptyScene() {
  auto scene = std::make_unique<Scene>();
  scene->quarrySegmentCount = 12;
  return scene;
}

float spacingAt(float value) {
  return std::nextafter(std::fabs(value), 1e30f) - std::fabs(value);
}

TEST(Clock, FirstFrameAdvancesFromTheStartStamp) {
  auto scene = emptyScene();
  scene->previousFrameMs = 60000;
  stepClock(*scene, 60016);
  EXPECT_EQ(scene->nowMs, 60016u);
  EXPECT_EQ(scene->frameMs, 16u);
  EXPECT_EQ(scene->previousFrameMs, 60016u);
  EXPECT_EQ(scene->elapsedMs, 16u);
  EXPECT_FLOAT_EQ(scene->sceneTime, -199.872f);
}

TEST(Clock, TwoReadingsInOneMillisecondLeaveEverythingWhereItWas) {
  auto scene = emptyScene();
  scene->previousFrameMs = 1000;
  stepClock(*scene, 1500);
  stepQuarry(*scene);
  const float time = scene->sceneTime;
  const Vec3 quarry = scene->quarryPosition;
  const Matrix4 segment = scene->quarrySegmentMatrices[5];
  stepClock(*scene, 1500);
  stepQuarry(*scene);
  EXPECT_EQ(scene->frameMs, 0u);
  EXPECT_EQ(scene->sceneTime, time);
  EXPECT_EQ(scene->quarryPosition.x, quarry.x);
  EXPECT_EQ(scene->quarryPosition.y, quarry.y);
  EXPECT_EQ(scene->quarryPosition.z, quarry.z);
  for (int k = 0; k < 16; ++k) {
    EXPECT_EQ(scene->quarrySegmentMatrices[5].m[k], segment.m[k]);
  }
}

TEST(Clock, WrappedTimerGivesTheTrueElapsedTime) {
  auto scene = emptyScene();
  scene->previousFrameMs = 4294967290u;
  stepClock(*scene, 10);
  EXPECT_EQ(scene->frameMs, 16u);
  EXPECT_EQ(scene->elapsedMs, 16u);
  EXPECT_FLOAT_EQ(scene->sceneTime, -199.872f);
}

TEST(Clock, OrdinaryFramesAdvanceByTheirStepToFloatPrecision) {
  auto scene = emptyScene();
  float summed = -200.0f;
  uint32_t now = 5000;
  scene->previousFrameMs = now;
  for (int frame = 0; frame < 20000; ++frame) {
    const uint32_t step = 10 + static_cast<uint32_t>(frame % 13);
    const float before = scene->sceneTime;
    now += step;
    stepClock(*scene, now);
    summed = static_cast<float>(static_cast<double>(summed) + step * 0.008);
    // Each frame moves the clock by its own step, give or take the rounding of its two ends.
    const float spacing = std::fmax(spacingAt(before), spacingAt(scene->sceneTime));
    if (frame < 8) {
      EXPECT_NEAR(scene->sceneTime, summed, spacing) << "frame " << frame;
    }
    ASSERT_NEAR(scene->sceneTime - before, static_cast<float>(step) * 0.008f, 1.01f * spacing)
        << "frame " << frame;
  }
  EXPECT_NEAR(scene->sceneTime, -200.0f + 0.008f * static_cast<float>(now - 5000), 1e-3f);
}

TEST(Clock, KeepsAdvancingBeyondTwoToTheTwentySecond) {
  auto scene = emptyScene();
  // Six days in: sceneTime is past 2^22, where floats lie 0.5 apart and a 4 ms step (0.032
  // units, a frame at 240 Hz) added to a float clock would be lost every frame.
  scene->elapsedMs = 525000000;
  scene->previousFrameMs = 0;
  stepClock(*scene, 0);
  const float start = scene->sceneTime;
  ASSERT_GT(start, 4194304.0f);
  ASSERT_EQ(static_cast<float>(static_cast<double>(start) + 4 * 0.008), start);
  uint32_t now = 0;
  for (int frame = 0; frame < 1000; ++frame) {
    now += 4;
    stepClock(*scene, now);
  }
  EXPECT_NEAR(scene->sceneTime - start, 32.0f, 0.5f);
}

// A saver left running: from the given elapsed time on, ten seconds of 16 ms frames. The
// quarry's step from frame to frame changes smoothly (its speed varies slowly along the path), so
// each step lies within a few per cent of the mean of its two neighbours: 3 % where the float
// clock is at its coarsest, before it hands over, and far less on the exact clock. A clock that
// has lost its precision makes the steps jump (by 100 % after a day) or stop.
TEST(Clock, QuarryStaysSmoothAfterLongRuns) {
  const struct {
    const char* name;
    uint64_t elapsedMs;
  } cases[] = {
      {"first minute", 0},          {"where the float clock hands over", 8'216'000},
      {"1 day", 86'400'000},        {"7 days", 604'800'000},
      {"365 days", 31'536'000'000},
  };
  for (const auto& c : cases) {
    auto scene = emptyScene();
    scene->quarryPhase = 1.0f;
    scene->elapsedMs = c.elapsedMs;
    float steps[600];
    Vec3 previous;
    for (int frame = 0; frame <= 600; ++frame) {
      stepClock(*scene, static_cast<uint32_t>(frame * 16));
      stepQuarry(*scene);
      if (frame > 0) {
        steps[frame - 1] = Length(scene->quarryPosition - previous);
      }
      previous = scene->quarryPosition;
    }
    float worst = 0.0f;
    for (int i = 1; i + 1 < 600; ++i) {
      const float around = 0.5f * (steps[i - 1] + steps[i + 1]);
      worst = std::fmax(worst, std::fabs(steps[i] / around - 1.0f));
      ASSERT_GT(steps[i], 1.0f) << c.name << ": the quarry stood still at frame " << i;
    }
    EXPECT_LT(worst, 0.04f) << c.name;
  }
}

TEST(Quarry, PositionAtSceneTimeZero) {
  auto scene = emptyScene();
  scene->quarryPhase = 0.0f;
  const Vec3 p = quarryPathAt(*scene, 0.0f);
  EXPECT_NEAR(p.x, kCloudHalfSpan, 1e-3f);
  EXPECT_NEAR(p.y, 151.365f, 1e-3f);
  EXPECT_NEAR(p.z, kCloudHalfSpan + 1100.0f, 1e-3f);
}

TEST(Quarry, PositionAtSceneTimeOneHundred) {
  auto scene = emptyScene();
  scene->quarryPhase = 0.0f;
  ASSERT_EQ(kCloudHalfSpan, 1650.0f);
  const Vec3 p = quarryPathAt(*scene, 100.0f);
  EXPECT_NEAR(p.x, 1305.52f, 0.01f);
  EXPECT_NEAR(p.y, 209.96f, 0.01f);
  EXPECT_NEAR(p.z, 1299.27f, 0.01f);
}

TEST(Quarry, PhaseEntersTheAcrossTermsOnly) {
  auto scene = emptyScene();
  scene->quarryPhase = 1.0f;
  const Vec3 p = quarryPathAt(*scene, 0.0f);
  EXPECT_NEAR(p.x, 1100.0f * std::sin(1.0f) + kCloudHalfSpan, 1e-3f);
  EXPECT_NEAR(p.y, 151.365f, 1e-3f);
  EXPECT_NEAR(p.z, 1100.0f * std::cos(1.0f) + kCloudHalfSpan, 1e-3f);
}

TEST(Quarry, StepPlacesTheQuarryAndLooksSixteenUnitsAhead) {
  auto scene = emptyScene();
  scene->quarryPhase = 2.5f;
  scene->previousFrameMs = 0;
  stepClock(*scene, 30000);
  stepQuarry(*scene);
  const Vec3 ahead = scene->lookAheadPoint;
  const Vec3 expected = quarryPathAt(*scene, scene->sceneTime);
  EXPECT_EQ(scene->quarryPosition.x, expected.x);
  EXPECT_EQ(scene->quarryPosition.z, expected.z);
  EXPECT_EQ(scene->quarryTranslation(3, 0), expected.x);
  EXPECT_EQ(scene->quarryTranslation(3, 1), expected.y);
  EXPECT_EQ(scene->quarryTranslation(3, 2), expected.z);
  // Two seconds of frames later the quarry is where the look-ahead point was.
  for (uint32_t now = 30016; now <= 32000; now += 16) {
    stepClock(*scene, now);
  }
  stepQuarry(*scene);
  EXPECT_NEAR(scene->quarryPosition.x, ahead.x, 0.05f);
  EXPECT_NEAR(scene->quarryPosition.y, ahead.y, 0.05f);
  EXPECT_NEAR(scene->quarryPosition.z, ahead.z, 0.05f);
}

void expectSegmentSpacing(int count) {
  auto scene = emptyScene();
  scene->quarrySegmentCount = static_cast<uint16_t>(count);
  scene->sceneClock = 37.0;
  scene->quarryPhase = 0.3f;
  stepQuarry(*scene);
  const double step = 2.0 * kPi / count;
  for (int i = 0; i < count; ++i) {
    const Matrix4& m = scene->quarrySegmentMatrices[i];
    const double angle = 0.1 * 37.0 + step * i;
    EXPECT_NEAR(m(0, 0), std::cos(angle), 1e-5);
    EXPECT_NEAR(m(0, 2), -std::sin(angle), 1e-5);
    EXPECT_NEAR(m(2, 0), std::sin(angle), 1e-5);
    EXPECT_NEAR(m(2, 2), std::cos(angle), 1e-5);
    EXPECT_EQ(m(1, 1), 1.0f);
    // The segment is turned first, then moved to the quarry's centre.
    EXPECT_EQ(m(3, 0), scene->quarryPosition.x);
    EXPECT_EQ(m(3, 1), scene->quarryPosition.y);
    EXPECT_EQ(m(3, 2), scene->quarryPosition.z);
  }
  for (int i = count; i < kMaxQuarrySegments; ++i) {
    EXPECT_EQ(scene->quarrySegmentMatrices[i](3, 3), 0.0f) << "segment " << i << " was written";
  }
}

TEST(Quarry, TwelveSegmentsThirtyDegreesApart) {
  expectSegmentSpacing(12);
}
TEST(Quarry, TwentyFourSegmentsFifteenDegreesApart) {
  expectSegmentSpacing(24);
}

TEST(Quarry, PositiveAngleTurnsXTowardsMinusZ) {
  auto scene = emptyScene();
  scene->sceneClock = 0.0;
  scene->quarrySegmentCount = 12;
  stepQuarry(*scene);
  Vec3 turned;
  Matrix4 rotationOnly = scene->quarrySegmentMatrices[3];  // 90 degrees
  rotationOnly(3, 0) = rotationOnly(3, 1) = rotationOnly(3, 2) = 0.0f;
  TransformPoint(rotationOnly, Vec3(1.0f, 0.0f, 0.0f), turned);
  EXPECT_NEAR(turned.x, 0.0f, 1e-6f);
  EXPECT_NEAR(turned.z, -1.0f, 1e-6f);
}

TEST(Quarry, BadSegmentCountStaysInsideTheTable) {
  auto scene = emptyScene();
  scene->quarrySegmentCount = 1000;
  stepQuarry(*scene);
  EXPECT_EQ(scene->quarrySegmentMatrices[kMaxQuarrySegments - 1](3, 3), 1.0f);
  scene->quarrySegmentCount = 0;
  stepQuarry(*scene);
}

}  // namespace
}  // namespace tavrik
