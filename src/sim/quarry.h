// The scene clock and the quarry's flight: a closed-form path of the scene time, so the quarry
// moves the same on a fast machine and a slow one.
#pragma once

#include <cstdint>

#include "math/vector.h"
#include "scene/scene.h"

namespace tavrik {

inline constexpr float kSceneTimeStart = -200.0f;
inline constexpr double kSceneUnitsPerMs = 0.008;
inline constexpr float kLookAheadUnits = 16.0f;

// The scene time after elapsedMs milliseconds of run. Derived from the exact count rather than
// summed frame by frame: a 32-bit sum stops advancing once its spacing outgrows the step.
// sceneClockAt is the time the scene's sines and cosines are taken of: the float clock in a run's
// first hours, the exact time after, so it stays smooth for years. sceneTimeAt is its float.
double sceneClockAt(uint64_t elapsedMs);
float sceneTimeAt(uint64_t elapsedMs);

// Takes this frame's one timer reading: nowMs, frameMs (an unsigned difference, so a wrap of the
// counter still gives the true elapsed time), the elapsed count, sceneClock and sceneTime.
void stepClock(Scene& scene, uint32_t nowMs);

// The quarry's centre at scene time t.
Vec3 quarryPathAt(const Scene& scene, double t);

// Places the quarry, the look-ahead point and the ring's segment matrices for this frame.
void stepQuarry(Scene& scene);

}  // namespace tavrik
