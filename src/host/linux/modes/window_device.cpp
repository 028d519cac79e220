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

Device* WindowDevice::choose(const WindowSurfaces& surfaces, int width, int height) {
  if (surfaces.windowGl != nullptr) {
    path_ = DrawPath::WindowGl;
    return &countedGl(*surfaces.windowGl, *surfaces.windowGlMeter);
  }
  if (surfaces.tryPixelBuffer && surfaces.display != nullptr) {
    const ShownFrames shown = surfaces.openPresenter(true);
    if (shown.presenter != nullptr) {
      pixelBuffer_.emplace(surfaces.display, *shown.presenter, showFps_);
      if (pixelBuffer_->open(width, height)) {
        path_ = DrawPath::PixelBufferGl;
        return &countedGl(*pixelBuffer_, pixelBuffer_->meter());
      }
      pixelBuffer_.reset();  // before the presenter it shows through goes
    }
  }
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
