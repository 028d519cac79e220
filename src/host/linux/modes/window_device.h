// The device that draws a window's frames, chosen in one order for every Linux mode with a
// window: OpenGL straight into the window (a hardware renderer), OpenGL into a pixel buffer of our
// own whose frames a presenter shows (a renderer that draws in software; see PbufferTarget), and
// the software device through a presenter. A mode only says what its window offers; the first
// that comes up draws the run, and with -fps one line says which. The chosen device and what it
// draws into live here for the run's length.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <optional>

#include "config/settings.h"
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

// GL straight into the window, open and current, with its readout's meter.
struct WindowGl {
  GlTarget* target = nullptr;
  FpsMeter* meter = nullptr;
};

// A presenter of the host's, open, the meter of its readout, and the X display it shows on, where
// a pixel buffer for GL can be made.
struct ShownFrames {
  Presenter* presenter = nullptr;
  FpsMeter* meter = nullptr;
  Display* display = nullptr;
};

// What a window offers the choice; each mode describes its own.
struct WindowSurfaces {
  // Whether the run may draw with GL in this window, and whether GL draws in hardware: then
  // straight into the window, else into a pixel buffer.
  bool gl = false;
  bool hardwareGl = false;
  // Whether hardware GL that cannot draw in the window draws into a pixel buffer instead.
  bool pixelBufferAfterWindowGl = false;
  // Brings GL up straight in the window and makes it current; {} when it cannot be had, the
  // window then left as it was.
  std::function<WindowGl()> openWindowGl;
  // Readies the window once GL in it is settled, either way: made where GL did not make it, and
  // the picture sized to it. Empty for a window that is there from the start; false when no
  // window can be had.
  std::function<bool()> readyWindow;
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

  // The device for the run's pictures, not yet brought up, at the size settings has once the
  // window is ready; null when nothing can draw in the window.
  Device* choose(const WindowSurfaces& surfaces, const Settings& settings);
  DrawPath path() const { return path_; }

 private:
  Device& countedGl(GlTarget& target, FpsMeter& meter);
  Device* pixelBufferGl(const WindowSurfaces& surfaces, int width, int height);
  Device* software(const WindowSurfaces& surfaces);

  bool showFps_;
  DrawPath path_ = DrawPath::Software;
  // Declared in the order they depend on each other, so each goes after what uses it.
  std::optional<PbufferTarget> pixelBuffer_;
  std::optional<GlDevice> gl_;
  std::optional<SoftDevice> soft_;
  std::optional<CountingDevice> counting_;
};

}  // namespace tavrik
