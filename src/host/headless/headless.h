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
#include "host/run_options.h"

namespace tavrik {

// Makes the device a run with these settings draws with, handing its frames to pictures (nullptr
// without --output).
using DrawingDevice =
    std::function<std::unique_ptr<Device>(const Settings& settings, Presenter* pictures)>;

// Runs with the settings of store and returns the process exit code; messages go to standard
// error. Without drawing, the run draws on the software device when it writes frames and on no
// device at all otherwise. A stop signal ends the run after its current frame; stopSignal() then
// tells the caller which one, to end the process by it once the files are whole.
int runHeadless(const RunOptions& options, SettingsStore& store, const DisplayModes& modes,
                const DrawingDevice& drawing = {});

}  // namespace tavrik
