// The millisecond timers hosts hand to the run: the system's monotonic clock, and a simulated one
// for reproducible runs (headless runs, benchmarks, tests).
#pragma once

#include <chrono>
#include <cstdint>

#include "host/run.h"

namespace tavrik {

class SteadyTimer : public MillisecondTimer {
 public:
  uint32_t readMs() override {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
  }
};

// Each reading is a fixed step after the one before; the first is what set-up stamps.
class SteppedTimer : public MillisecondTimer {
 public:
  SteppedTimer(uint32_t start, uint32_t step) : next_(start), step_(step) {}
  uint32_t readMs() override {
    const uint32_t now = next_;
    next_ += step_;  // wraps like the real counter
    return now;
  }

 private:
  uint32_t next_;
  uint32_t step_;
};

}  // namespace tavrik
