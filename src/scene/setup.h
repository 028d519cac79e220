// The once-per-run scene set-up: random choices, geometry, materials, lights, render states,
// formation tables and the flock's starting state.
#pragma once

#include "config/settings.h"
#include "device/device.h"
#include "math/random.h"
#include "scene/scene.h"

namespace tavrik {

// settings must be prepared for the run (numHarriers 1 to 31). False when the device could not
// make a light or the material; the caller then releases the device. The caller stamps the
// start time right after (stampStartTime), as the set-up's last act.
bool buildScene(Scene& scene, const Settings& settings, Random& random, Device& device);
void stampStartTime(Scene& scene, uint32_t timerMs);

}  // namespace tavrik
