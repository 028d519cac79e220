// The options of a run, as every host takes them from its command line or its address: the seed,
// the timer, the frames and files of a headless run, and the settings overrides.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "config/settings.h"
#include "host/timers.h"

namespace tavrik {

struct RunOptions {
  std::optional<uint32_t> seed;     // else the calendar time
  std::optional<uint32_t> frameMs;  // else the system's monotonic timer
  uint32_t clockStartMs = 60000;    // the simulated timer's first reading
  uint32_t frames = 0;
  std::string tracePath;
  std::string outputDir;
  SettingsOverrides overrides;
  // --resolution WxH: a picture of that size, as a window of that size would draw at its own
  // size; 0 by 0 when not given (a run at the window's size without a window draws 640 by 480).
  int width = 0;
  int height = 0;
};

// What a run is seeded with: --seed, else the calendar time in seconds.
uint32_t runSeed(const RunOptions& options);

// The run's millisecond timer: a simulated one when --frame-ms asks for it, else the system's
// monotonic clock.
class OptionsTimer : public MillisecondTimer {
 public:
  explicit OptionsTimer(const RunOptions& options)
      : simulated_(options.frameMs.has_value()),
        stepped_(options.clockStartMs, options.frameMs.value_or(0)) {}

  uint32_t readMs() override { return simulated_ ? stepped_.readMs() : steady_.readMs(); }

 private:
  bool simulated_;
  SteadyTimer steady_;
  SteppedTimer stepped_;
};

}  // namespace tavrik
