// The device that draws a window's frames, chosen in one order for every Linux mode: OpenGL
// straight into the window (a hardware renderer), OpenGL into a pixel buffer of our own whose
// frames a presenter shows (a renderer that draws in software; see PbufferTarget), and the
// software device through a presenter. The first that comes up draws the run; with -fps one
// line says which. The chosen device and what it draws into live here for the run's length.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <optional>

#include "device/device.h"
#include "device/gl/gl_device.h"
#include "device/gl/gl_target.h"
#include "device/presenter.h"
#include "device/soft/soft_device.h"
#include "host/counting_device.h"
#include "host/linux/cli/command_line.h"
#include "host/linux/gl/pbuffer_target.h"
#include "host/readout.h"

namespace tavrik {

enum class DrawPath { WindowGl, PixelBufferGl, Software };

// A presenter of the host's, open, and the meter of its readout.
struct ShownFrames {
  Presenter* presenter = nullptr;
  FpsMeter* meter = nullptr;
};

// What a window offers the choice.
struct WindowSurfaces {
  // GL straight into the window, open and current, with its readout's meter; null where it is
  // not wanted or could not be had.
  GlTarget* windowGl = nullptr;
  FpsMeter* windowGlMeter = nullptr;
  // Whether GL into a pixel buffer is tried where windowGl is null.
  bool tryPixelBuffer = false;
  Display* display = nullptr;
  // Opens a fresh presenter for frames made in this process: the pixel buffer's, which carry
  // their own readout, or the software device's. A null presenter when the window cannot show
  // them.
  std::function<ShownFrames(bool forPixelBuffer)> openPresenter;
};

// True when the run should try GL: -device gl, or without -device a hardware renderer.
bool wantsGlDevice(DeviceChoice choice);

class WindowDevice {
 public:
  explicit WindowDevice(bool showFps) : showFps_(showFps) {}
  WindowDevice(const WindowDevice&) = delete;
  WindowDevice& operator=(const WindowDevice&) = delete;

  // The device for pictures of width x height, not yet brought up; null when nothing can draw
  // in the window.
  Device* choose(const WindowSurfaces& surfaces, int width, int height);
  DrawPath path() const { return path_; }

 private:
  Device& countedGl(GlTarget& target, FpsMeter& meter);

  bool showFps_;
  DrawPath path_ = DrawPath::Software;
  // Declared in the order they depend on each other, so each goes after what uses it.
  std::optional<PbufferTarget> pixelBuffer_;
  std::optional<GlDevice> gl_;
  std::optional<SoftDevice> soft_;
  std::optional<CountingDevice> counting_;
};

}  // namespace tavrik
