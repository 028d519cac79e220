#include "host/run.h"

#include "scene/setup.h"

namespace tavrik {

void prepareRun(Run& run, SettingsStore& store, uint32_t seed, const SettingsOverrides& overrides) {
  seedAndStir(run.random, seed);
  prepareRunSettings(run.settings, store, run.random, overrides);
}

bool startRun(Run& run, Device& device, MillisecondTimer& timer) {
  if (!device.initDevice(run.settings.screenWidth, run.settings.screenHeight)) {
    return false;
  }
  if (!buildScene(run.scene, run.settings, run.random, device)) {
    device.releaseDevice();
    return false;
  }
  stampStartTime(run.scene, timer.readMs());
  return true;
}

void runFrame(Run& run, Device& device, MillisecondTimer& timer) {
  // The frame's steps arrive with the simulation, the camera director and the render pass.
  (void)run;
  (void)device;
  (void)timer;
}

void endRun(Device& device) {
  device.releaseDevice();
}

}  // namespace tavrik
