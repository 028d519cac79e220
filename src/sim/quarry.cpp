#include "sim/quarry.h"

#include <cmath>

#include "math/matrix.h"
#include "math/trig.h"

namespace tavrik {

namespace {

constexpr double kPathRadius = 1100.0;
constexpr double kAcrossRateX = 0.06;
constexpr double kAcrossRateZ = 0.04356101;
constexpr double kClimbAmplitude = 200.0;
constexpr double kClimbPhase = 0.785;
constexpr float kBaseHeight = 10.0f;
constexpr double kTurnRate = 0.0010101;
constexpr double kSpinRate = 0.1;

// Below this the float clock's spacing (2^-8 at most) is under 3 % of a 16 ms frame's advance,
// and the scene runs on the float clock as it always has. Beyond it the float would make the
// quarry stutter within a day and stand still within a week, so the exact time is used there.
constexpr double kFloatClockLimit = 65536.0;

double onClock(double exact) {
  const float rounded = static_cast<float>(exact);
  return std::fabs(rounded) < kFloatClockLimit ? static_cast<double>(rounded) : exact;
}

}  // namespace

double sceneClockAt(uint64_t elapsedMs) {
  return onClock(static_cast<double>(kSceneTimeStart) +
                 kSceneUnitsPerMs * static_cast<double>(elapsedMs));
}

float sceneTimeAt(uint64_t elapsedMs) {
  return static_cast<float>(sceneClockAt(elapsedMs));
}

void stepClock(Scene& scene, uint32_t nowMs) {
  scene.nowMs = nowMs;
  scene.frameMs = nowMs - scene.previousFrameMs;
  scene.previousFrameMs = nowMs;
  scene.elapsedMs += scene.frameMs;
  scene.sceneClock = sceneClockAt(scene.elapsedMs);
  scene.sceneTime = static_cast<float>(scene.sceneClock);
}

Vec3 quarryPathAt(const Scene& scene, double time) {
  const double phase = static_cast<double>(scene.quarryPhase);
  const float xr = static_cast<float>(kPathRadius * Sin(kAcrossRateX * time + phase));
  const float y = static_cast<float>(
      kClimbAmplitude * Sin(static_cast<double>(kQuarryClimbRate) * time + kClimbPhase));
  const float zr = static_cast<float>(kPathRadius * Cos(kAcrossRateZ * time + phase));
  const double turn = kTurnRate * time;
  float s = 0.0f;
  float c = 0.0f;
  SinCosF(turn, s, c);
  return {xr * c + zr * s + kCloudHalfSpan, y + kBaseHeight, zr * c - xr * s + kCloudHalfSpan};
}

void stepQuarry(Scene& scene) {
  scene.quarryPosition = quarryPathAt(scene, scene.sceneClock);
  scene.lookAheadPoint = quarryPathAt(scene, onClock(scene.sceneClock + kLookAheadUnits));
  const Vec3& q = scene.quarryPosition;
  SetTranslation(scene.quarryTranslation, q.x, q.y, q.z);

  const int count = scene.quarrySegmentCount <= kMaxQuarrySegments ? scene.quarrySegmentCount
                                                                   : kMaxQuarrySegments;
  const double spacing = count > 0 ? 2.0 * kPi / count : 0.0;
  for (int i = 0; i < count; ++i) {
    const double angle = kSpinRate * scene.sceneClock + spacing * i;
    SetRotationY(scene.segmentRotation, static_cast<float>(angle));
    Multiply(scene.segmentRotation, scene.quarryTranslation, scene.quarrySegmentMatrices[i]);
  }
}

}  // namespace tavrik
