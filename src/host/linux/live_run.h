// What the live Linux modes (full-screen, windowed, embedded) share around the run sequence:
// their millisecond timer and their seed.
#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>

#include "host/headless/headless.h"
#include "host/run.h"

namespace tavrik {

// The system's monotonic clock in milliseconds, or, when --frame-ms asks for it, a simulated one
// that advances a fixed step per reading.
class LiveTimer : public MillisecondTimer {
 public:
  explicit LiveTimer(const HeadlessOptions& options)
      : simulated_(options.frameMs.has_value()),
        next_(options.clockStartMs),
        step_(options.frameMs.value_or(0)) {}

  uint32_t readMs() override {
    if (!simulated_) {
      const auto since = std::chrono::steady_clock::now().time_since_epoch();
      return static_cast<uint32_t>(
          std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
    }
    const uint32_t now = next_;
    next_ += step_;
    return now;
  }

 private:
  bool simulated_;
  uint32_t next_;
  uint32_t step_;
};

// The calendar time in seconds, as every run is seeded, unless --seed fixes it.
inline uint32_t runSeed(const HeadlessOptions& options) {
  return options.seed ? *options.seed : static_cast<uint32_t>(std::time(nullptr));
}

}  // namespace tavrik
