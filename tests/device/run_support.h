// Whole runs on the software device for the tests: settings as a fresh installation has them,
// a few overrides, a fixed seed and a simulated 16 ms clock.
#pragma once

#include <cstdint>
#include <optional>

#include "config/defaults_store.h"
#include "host/run.h"
#include "host/timers.h"
#include "support/host_modes.h"

namespace tavrik::testing {

// formation, clouds and the triangle's size as their stored values; the resolution stays
// 640 x 480 unless one of the display modes is given.
inline bool startTestRun(Run& run, Device& device, MillisecondTimer& timer, uint32_t seed,
                         int32_t formation, int32_t clouds, std::optional<int32_t> triangle = {},
                         std::optional<int32_t> mode = {}) {
  DefaultsStore store;
  SettingsOverrides overrides;
  overrides.values[kFieldClouds] = clouds;
  overrides.values[kFieldFormation] = formation;
  overrides.values[kFieldTriangle] = triangle;
  overrides.values[kFieldMode] = mode;
  run = Run{};
  prepareRun(run, store, seed, overrides, kHostModes);
  return startRun(run, device, timer);
}

}  // namespace tavrik::testing
