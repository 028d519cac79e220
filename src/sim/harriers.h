// The harriers' flight: a small force model of thrust, lift, pursuit, separation, height against
// speed, weave and drag, integrated over the milliseconds since the last frame.
#pragma once

#include <cstdint>

#include "config/settings.h"
#include "math/vector.h"
#include "scene/scene.h"

namespace tavrik {

// The longest interval integrated as one explicit step; longer ones are split, since one big
// step overshoots the drag and the speed runs away to infinity.
inline constexpr uint32_t kMaxStepMs = 100;
// The most flight one frame catches up: after a pause of hours the flock flies on from where it
// was rather than replaying the whole gap.
inline constexpr uint32_t kMaxCatchUpMs = 10000;

// The live harrier count of the run, brought into the table's range.
int liveHarrierCount(const Settings& settings);

// Writes flockCentre, the mean position of the live harriers.
void computeFlockCentre(Scene& scene, int count);

// Rewrites every live harrier's separation push from the current positions.
void computeSeparation(Scene& scene, int count);

// One step of harrier i over dt milliseconds at scene time `time`, the quarry at quarry.
void stepHarrier(Scene& scene, const Settings& settings, int count, int i, double time,
                 const Vec3& quarry, float dt);

// The frame's flight of the whole flock, from the clock and quarry of this frame.
void stepHarriers(Scene& scene, const Settings& settings);

}  // namespace tavrik
