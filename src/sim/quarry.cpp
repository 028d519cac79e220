#include "sim/quarry.h"

#include <cmath>

#include "math/matrix.h"

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

}  // namespace

float sceneTimeAt(uint64_t elapsedMs) {
  return static_cast<float>(static_cast<double>(kSceneTimeStart) +
                            kSceneUnitsPerMs * static_cast<double>(elapsedMs));
}

void stepClock(Scene& scene, uint32_t nowMs) {
  scene.nowMs = nowMs;
  scene.frameMs = nowMs - scene.previousFrameMs;
  scene.previousFrameMs = nowMs;
  scene.elapsedMs += scene.frameMs;
  scene.sceneTime = sceneTimeAt(scene.elapsedMs);
}

Vec3 quarryPathAt(const Scene& scene, float t) {
  const double time = static_cast<double>(t);
  const double phase = static_cast<double>(scene.quarryPhase);
  const float xr = static_cast<float>(kPathRadius * std::sin(kAcrossRateX * time + phase));
  const float y = static_cast<float>(
      kClimbAmplitude * std::sin(static_cast<double>(quarryClimbRate) * time + kClimbPhase));
  const float zr = static_cast<float>(kPathRadius * std::cos(kAcrossRateZ * time + phase));
  const double turn = kTurnRate * time;
  const float c = static_cast<float>(std::cos(turn));
  const float s = static_cast<float>(std::sin(turn));
  return {xr * c + zr * s + cloudHalfSpan, y + kBaseHeight, zr * c - xr * s + cloudHalfSpan};
}

void stepQuarry(Scene& scene) {
  scene.quarryPosition = quarryPathAt(scene, scene.sceneTime);
  scene.lookAheadPoint = quarryPathAt(scene, scene.sceneTime + kLookAheadUnits);
  const Vec3& q = scene.quarryPosition;
  SetTranslation(scene.quarryTranslation, q.x, q.y, q.z);

  const int count = scene.quarrySegmentCount <= kMaxQuarrySegments ? scene.quarrySegmentCount
                                                                   : kMaxQuarrySegments;
  const double spacing = count > 0 ? 2.0 * kPi / count : 0.0;
  for (int i = 0; i < count; ++i) {
    const double angle = kSpinRate * static_cast<double>(scene.sceneTime) + spacing * i;
    SetRotationY(scene.segmentRotation, static_cast<float>(angle));
    Multiply(scene.segmentRotation, scene.quarryTranslation, scene.quarrySegmentMatrices[i]);
  }
}

}  // namespace tavrik
