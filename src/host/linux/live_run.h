// What the live Linux modes (full-screen, windowed, embedded) share around the run sequence:
// their millisecond timer and their seed.
#pragma once

#include <cstdint>
#include <ctime>

#include "host/headless/headless.h"
#include "host/run.h"
#include "host/timers.h"

namespace tavrik {

// The system's monotonic clock in milliseconds, or, when --frame-ms asks for it, a simulated one
// that advances a fixed step per reading.
class LiveTimer : public MillisecondTimer {
 public:
  explicit LiveTimer(const HeadlessOptions& options)
      : simulated_(options.frameMs.has_value()),
        stepped_(options.clockStartMs, options.frameMs.value_or(0)) {}

  uint32_t readMs() override { return simulated_ ? stepped_.readMs() : steady_.readMs(); }

 private:
  bool simulated_;
  SteadyTimer steady_;
  SteppedTimer stepped_;
};

// The calendar time in seconds, as every run is seeded, unless --seed fixes it.
inline uint32_t runSeed(const HeadlessOptions& options) {
  return options.seed ? *options.seed : static_cast<uint32_t>(std::time(nullptr));
}

}  // namespace tavrik
