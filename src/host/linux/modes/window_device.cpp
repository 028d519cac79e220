#include "host/linux/modes/window_device.h"

#include "host/linux/gl/gl_probe.h"
#include "host/linux/gl/gl_readout.h"

namespace tavrik {

bool wantsGlDevice(DeviceChoice choice) {
  if (choice != DeviceChoice::Automatic) {
    return choice == DeviceChoice::Gl;
  }
  return hardwareGlRenderer();
}

Device& WindowDevice::countedGl(GlTarget& target, FpsMeter& meter) {
  if (showFps_) {
    tellDevice(true);
  }
  gl_.emplace(target);
  return counting_.emplace(*gl_, meter);
}

Device* WindowDevice::choose(const WindowSurfaces& surfaces, const Settings& settings) {
  WindowGl windowGl;
  if (surfaces.gl && surfaces.hardwareGl) {
    windowGl = surfaces.openWindowGl();
  }
  if (surfaces.readyWindow && !surfaces.readyWindow()) {
    return nullptr;
  }
  if (windowGl.target != nullptr) {
    path_ = DrawPath::WindowGl;
    return &countedGl(*windowGl.target, *windowGl.meter);
  }
  const int width = settings.screenWidth;
  const int height = settings.screenHeight;
  if (surfaces.gl && (!surfaces.hardwareGl || surfaces.pixelBufferAfterWindowGl)) {
    if (Device* device = pixelBufferGl(surfaces, width, height)) {
      return device;
    }
  }
  return software(surfaces);
}

Device* WindowDevice::pixelBufferGl(const WindowSurfaces& surfaces, int width, int height) {
  const ShownFrames shown = surfaces.openPresenter(true);
  if (shown.presenter == nullptr || shown.display == nullptr) {
    return nullptr;
  }
  pixelBuffer_.emplace(shown.display, *shown.presenter, showFps_);
  if (!pixelBuffer_->open(width, height)) {
    pixelBuffer_.reset();  // before the presenter it shows through goes
    return nullptr;
  }
  path_ = DrawPath::PixelBufferGl;
  return &countedGl(*pixelBuffer_, pixelBuffer_->meter());
}

Device* WindowDevice::software(const WindowSurfaces& surfaces) {
  const ShownFrames shown = surfaces.openPresenter(false);
  if (shown.presenter == nullptr) {
    return nullptr;
  }
  if (showFps_) {
    tellDevice(false);
  }
  path_ = DrawPath::Software;
  soft_.emplace(shown.presenter);
  return &counting_.emplace(*soft_, *shown.meter);
}

}  // namespace tavrik
