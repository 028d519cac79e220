// Embedded host: the saver drawn into a window that another program owns (-window-id, or -root
// with XSCREENSAVER_WINDOW), with the GL device through GLX where -device or a hardware renderer
// asks for it and the window's visual allows it, else with the software device and Xlib. It
// relies on asking the window for its size each frame, as no resize is reported to us, and on the
// window's destruction notice; it never reads input, which belongs to the window's owner, and
// never takes part in the single-instance rule.
#include "host/linux/modes/x11_embedded.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "config/file_store.h"
#include "host/frame_loop.h"
#include "host/frame_pacer_posix.h"
#include "host/headless/trace.h"
#include "host/instance_seed_posix.h"
#include "host/linux/gl/gl_probe.h"
#include "host/linux/gl/glx_target.h"
#include "host/linux/modes/window_device.h"
#include "host/linux/present/x11_presenter.h"
#include "host/linux/x11/x11_util.h"
#include "host/run_options.h"
#include "host/stop_signals.h"

namespace tavrik {

namespace {

// True when the window exists, with its attributes read, and tells us of its destruction.
bool watchWindow(Display* display, Window window, XWindowAttributes& attributes) {
  if (!queryWindow(display, window, &attributes)) {
    return false;
  }
  const unsigned long errors = xErrorCount();
  XSelectInput(display, window, StructureNotifyMask);
  XSync(display, False);
  return xErrorCount() == errors;
}

// True when the window's destruction has been announced.
bool destroyed(Display* display, Window window) {
  bool gone = false;
  while (XPending(display) > 0) {
    XEvent event;
    XNextEvent(display, &event);
    gone = gone || (event.type == DestroyNotify && event.xdestroywindow.window == window);
  }
  return gone;
}

// The foreign window's side of the device choice and of the frame loop: it offers GL straight
// into the window or a presenter; a stop signal or the window's end stop the run; before each
// frame its size, which nobody reports to us, is asked, and a new one is handed to what shows the
// frames (the GL target in the window, or the presenter).
class ForeignWindow : public FrameHost {
 public:
  ForeignWindow(Display* display, Window window, const XWindowAttributes& attributes,
                const LinuxCommand& command)
      : display_(display),
        window_(window),
        attributes_(attributes),
        pacer_(linuxFramePacer(60, command.delayMicroseconds)),
        glx_(display, window, command.fps) {
    glx_.setSize(attributes.width, attributes.height);
  }

  // GL only where the window's visual allows it, and not on windows larger than any screen,
  // whose buffers GL would have to make whole. GL that draws in software (only ever asked for)
  // draws into a buffer of its own; see PbufferTarget.
  WindowSurfaces surfaces(const LinuxCommand& command, const Settings& settings) {
    constexpr int kMax = X11Presenter::kMaxSide;
    WindowSurfaces offer;
    offer.gl =
        attributes_.width <= kMax && attributes_.height <= kMax && wantsGlDevice(command.device);
    offer.hardwareGl = offer.gl && hardwareGlRenderer();
    offer.openWindowGl = [this, &settings] {
      const bool open = glx_.open(settings.screenWidth, settings.screenHeight);
      return open ? WindowGl{&glx_, &glx_.meter()} : WindowGl{};
    };
    offer.openPresenter = [this, showFps = command.fps](bool forPixelBuffer) {
      presenter_.emplace();
      if (!presenter_->open(display_, window_, attributes_, !forPixelBuffer && showFps)) {
        return ShownFrames{};
      }
      return ShownFrames{&*presenter_, &presenter_->meter(), display_};
    };
    return offer;
  }
  // Why no device could draw in the window.
  std::string unsupported() const { return X11Presenter::unsupported(attributes_); }
  // What shows the frames, as the device was chosen; the software device draws only the top-left
  // corner of a window larger than the presenter takes, which is said once.
  void showWith(DrawPath path) {
    windowGl_ = path == DrawPath::WindowGl;
    sayTooLarge_ = path == DrawPath::Software;
  }

  bool nextFrame() override {
    return !stopRequested() && !destroyed(display_, window_) &&
           queryWindow(display_, window_, &attributes_);
  }
  void windowSize(int& width, int& height) override {
    width = attributes_.width;
    height = attributes_.height;
  }
  void resizeTo(int width, int height) override {
    if (windowGl_) {
      glx_.setSize(width, height);
      return;
    }
    constexpr int kMax = X11Presenter::kMaxSide;
    if (sayTooLarge_ && (width > kMax || height > kMax)) {
      std::fprintf(stderr, "tavrik: window 0x%lx is %dx%d; drawing into its top-left %dx%d\n",
                   window_, width, height, std::min(width, kMax), std::min(height, kMax));
      sayTooLarge_ = false;
    }
    presenter_->resize(width, height);
  }
  void frameDone() override { pacer_.pace(steadyNow, sleepMicroseconds); }

 private:
  Display* display_;
  Window window_;
  XWindowAttributes attributes_;  // as read before the choice, then before each frame
  FramePacer pacer_;
  GlxTarget glx_;
  std::optional<X11Presenter> presenter_;
  bool windowGl_ = false;
  bool sayTooLarge_ = false;
};

int drawInto(Display* display, const LinuxCommand& command) {
  const Window window =
      command.window != 0 ? static_cast<Window>(command.window) : DefaultRootWindow(display);
  XWindowAttributes attributes{};
  if (!watchWindow(display, window, attributes)) {
    std::fprintf(stderr, "tavrik: window 0x%lx%s does not exist\n", window,
                 command.windowFromEnvironment ? " (XSCREENSAVER_WINDOW)" : "");
    return 1;
  }
  WindowTrace trace(command.options);
  if (!trace.open()) {
    return 1;
  }
  auto run = std::make_unique<Run>();
  FileSettingsStore store(defaultSettingsPath());
  const uint32_t seed = instanceSeed(command.options);
  prepareRun(*run, store, seed, command.options.overrides, kWindowSizeModes);
  if (drawsAtWindowSize(run->settings, run->modes)) {
    followWindow(run->settings, attributes.width, attributes.height);
  }
  // Declared before the device, which draws into what the window holds.
  ForeignWindow foreign(display, window, attributes, command);
  WindowDevice chosen(command.fps);
  Device* device = chosen.choose(foreign.surfaces(command, run->settings), run->settings);
  if (device == nullptr) {
    std::fprintf(stderr, "tavrik: cannot draw into window 0x%lx: %s\n", window,
                 foreign.unsupported().c_str());
    return 1;
  }
  foreign.showWith(chosen.path());
  OptionsTimer timer(command.options);
  if (startRun(*run, *device, timer)) {
    trace.started(seed, *run);
    TracedFrames traced(foreign, trace, *run);
    runFrames(*run, *device, timer, traced);
    endRun(*device);
  }
  return trace.finish() ? 0 : 1;
}

}  // namespace

int runEmbedded(const LinuxCommand& command) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "tavrik: cannot open display '%s'\n", XDisplayName(nullptr));
    return 1;
  }
  const int code = drawInto(display, command);
  XCloseDisplay(display);
  return code;
}

}  // namespace tavrik
