// Whole runs on the software device for the tests: settings as a fresh installation has them,
// a few overrides, a fixed seed and a simulated 16 ms clock.
#pragma once

#include <cstdint>

#include "host/run.h"

namespace tavrik::testing {

class DefaultsStore : public SettingsStore {
 public:
  void open(bool& created) override { created = true; }
  bool readValue(const char*, int32_t&) override { return false; }
  void writeValue(const char*, int32_t) override {}
  bool close() override { return true; }
};

class SixteenMsTimer : public MillisecondTimer {
 public:
  uint32_t readMs() override {
    const uint32_t now = next_;
    next_ += 16;
    return now;
  }

 private:
  uint32_t next_ = 60000;
};

// formation and clouds as their stored values; the resolution stays 640 x 480.
inline bool startTestRun(Run& run, Device& device, MillisecondTimer& timer, uint32_t seed,
                         int32_t formation, int32_t clouds) {
  DefaultsStore store;
  SettingsOverrides overrides;
  overrides.values[2] = clouds;
  overrides.values[4] = formation;
  run = Run{};
  prepareRun(run, store, seed, overrides);
  return startRun(run, device, timer);
}

}  // namespace tavrik::testing
