#include "host/run.h"

#include "render/render.h"
#include "scene/setup.h"
#include "sim/harriers.h"
#include "sim/quarry.h"

namespace tavrik {

void prepareRun(Run& run, SettingsStore& store, uint32_t seed, const SettingsOverrides& overrides,
                const DisplayModes& modes) {
  run.modes = modes;
  seedAndStir(run.random, seed);
  prepareRunSettings(run.settings, store, run.random, overrides, modes);
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
  stepClock(run.scene, timer.readMs());
  stepQuarry(run.scene);
  stepHarriers(run.scene, run.settings);
  stepCamera(run.camera, run.scene, run.settings, run.random);
  renderFrame(run.scene, run.settings, device);
}

void endRun(Device& device) {
  device.releaseDevice();
}

}  // namespace tavrik
