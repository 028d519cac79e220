// The run sequence every host shares: seed and stir, settings, device bring-up, scene, then one
// frame at a time, and the teardown. Hosts bring the window, the timer and the presenter.
#pragma once

#include <cstdint>

#include "camera/camera.h"
#include "config/settings.h"
#include "device/device.h"
#include "math/random.h"
#include "scene/scene.h"

namespace tavrik {

// The host's millisecond counter; elapsed times are unsigned 32-bit differences of its readings.
class MillisecondTimer {
 public:
  virtual ~MillisecondTimer() = default;
  virtual uint32_t readMs() = 0;
};

// One run's whole state; two runs side by side do not disturb each other.
struct Run {
  Settings settings;
  Random random;
  Scene scene{};
  CameraState camera;
  // The host's display modes, as prepareRun was given them.
  DisplayModes modes;
};

// Seeds and stirs the generator, loads the settings (from the defaults of the host's display
// modes), applies the overrides and derives the run values. Comes before the host makes its
// window, which needs the screen size.
void prepareRun(Run& run, SettingsStore& store, uint32_t seed, const SettingsOverrides& overrides,
                const DisplayModes& modes);
// Brings the device up and builds the scene; its last act stamps one timer reading as the start.
// On false the device has been released again and the run must end.
bool startRun(Run& run, Device& device, MillisecondTimer& timer);
// One frame, in the fixed order: clock and quarry, harriers, camera, render. Reads the timer once.
void runFrame(Run& run, Device& device, MillisecondTimer& timer);
void endRun(Device& device);

}  // namespace tavrik
