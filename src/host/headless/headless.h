// The headless runner: a whole run without a window, on a simulated or real millisecond timer,
// writing a JSON Lines trace (and, with a drawing device, PNG frames).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "config/settings.h"
#include "device/device.h"
#include "device/presenter.h"
#include "host/run.h"
#include "host/timers.h"

namespace tavrik {

struct HeadlessOptions {
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
uint32_t runSeed(const HeadlessOptions& options);

// The run's millisecond timer: a simulated one when --frame-ms asks for it, else the system's
// monotonic clock.
class OptionsTimer : public MillisecondTimer {
 public:
  explicit OptionsTimer(const HeadlessOptions& options)
      : simulated_(options.frameMs.has_value()),
        stepped_(options.clockStartMs, options.frameMs.value_or(0)) {}

  uint32_t readMs() override { return simulated_ ? stepped_.readMs() : steady_.readMs(); }

 private:
  bool simulated_;
  SteadyTimer steady_;
  SteppedTimer stepped_;
};

// Takes the option at argv[i] (and its value, advancing i) when it is one of the runner's or a
// settings override. Returns false with a one-line message in error when the option is known but
// its value is bad; unknown options leave known false.
bool parseHeadlessOption(int argc, char** argv, int& i, HeadlessOptions& options, bool& known,
                         std::string& error, const DisplayModes& modes);

// The runner's part of --help.
const char* headlessUsage();

// Makes the device a run with these settings draws with, handing its frames to pictures (nullptr
// without --output).
using DrawingDevice =
    std::function<std::unique_ptr<Device>(const Settings& settings, Presenter* pictures)>;

// Runs with the settings of store and returns the process exit code; messages go to standard
// error. Without drawing, the run draws on the software device when it writes frames and on no
// device at all otherwise.
int runHeadless(const HeadlessOptions& options, SettingsStore& store, const DisplayModes& modes,
                const DrawingDevice& drawing = {});

// The signal (SIGTERM, SIGINT, SIGHUP) that ended the last run after its current frame, or 0.
// The caller ends the process by it once the run has finished its files.
int headlessStopSignal();

}  // namespace tavrik
