// Embedded host: the saver drawn into a window that another program owns (-window-id, or -root
// with XSCREENSAVER_WINDOW), with the GL device through GLX where -device or a hardware renderer
// asks for it and the window's visual allows it, else with the software device and Xlib. It
// relies on asking the window for its size each frame, as no resize is reported to us, and on the
// window's destruction notice; it never reads input, which belongs to the window's owner, and
// never takes part in the single-instance rule.
#include "host/linux/modes/x11_embedded.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>

#include "config/file_store.h"
#include "host/frame_loop.h"
#include "host/linux/gl/gl_probe.h"
#include "host/linux/gl/glx_target.h"
#include "host/linux/modes/window_device.h"
#include "host/linux/present/x11_presenter.h"
#include "host/linux/x11/x11_util.h"
#include "host/run_options.h"
#include "host/stop_signals.h"

namespace tavrik {

namespace {

// XScreenSaver starts one run per monitor at the same moment, so the calendar seconds alone would
// give every monitor the same flight: the process id and the clock's nanoseconds are mixed in.
uint32_t instanceSeed(const RunOptions& options) {
  if (options.seed) {
    return *options.seed;
  }
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return runSeed(options) ^ static_cast<uint32_t>(getpid()) * 2654435761u ^
         static_cast<uint32_t>(now.tv_nsec);
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

// The foreign window's side of the frame loop: a stop signal or the window's end stop the run;
// before each frame its size, which nobody reports to us, is asked and handed to what shows the
// frames (the GL target in the window, or the presenter).
class EmbeddedFrames : public FrameHost {
 public:
  EmbeddedFrames(Display* display, Window window, uint32_t delayMicroseconds)
      : display_(display), window_(window), pacer_(linuxFramePacer(60, delayMicroseconds)) {}

  // Exactly one of these shows the frames.
  GlxTarget* windowGl = nullptr;
  X11Presenter* presenter = nullptr;
  // The software device draws only the top-left corner of a window larger than the presenter
  // takes; said once.
  bool sayTooLarge = false;

  bool nextFrame() override {
    return !stopRequested() && !destroyed(display_, window_) &&
           queryWindow(display_, window_, &attributes_);
  }
  void windowSize(int& width, int& height) override {
    width = attributes_.width;
    height = attributes_.height;
    if (windowGl != nullptr) {
      windowGl->setSize(width, height);
      return;
    }
    constexpr int kMax = X11Presenter::kMaxSide;
    if (sayTooLarge && (width > kMax || height > kMax)) {
      std::fprintf(stderr, "tavrik: window 0x%lx is %dx%d; drawing into its top-left %dx%d\n",
                   window_, width, height, std::min(width, kMax), std::min(height, kMax));
      sayTooLarge = false;
    }
    presenter->resize(width, height);
  }
  void frameDone() override { pacer_.pace(steadyNow, sleepMicroseconds); }

 private:
  Display* display_;
  Window window_;
  FramePacer pacer_;
  XWindowAttributes attributes_{};
};

int drawInto(Display* display, const LinuxCommand& command) {
  const Window window =
      command.window != 0 ? static_cast<Window>(command.window) : DefaultRootWindow(display);
  XWindowAttributes attributes{};
  bool exists = queryWindow(display, window, &attributes);
  if (exists) {
    const unsigned long errors = xErrorCount();
    XSelectInput(display, window, StructureNotifyMask);
    XSync(display, False);
    exists = xErrorCount() == errors;
  }
  if (!exists) {
    std::fprintf(stderr, "tavrik: window 0x%lx%s does not exist\n", window,
                 command.windowFromEnvironment ? " (XSCREENSAVER_WINDOW)" : "");
    return 1;
  }

  auto run = std::make_unique<Run>();
  FileSettingsStore store(defaultSettingsPath());
  prepareRun(*run, store, instanceSeed(command.options), command.options.overrides, kLinuxModes);
  if (drawsAtWindowSize(run->settings, run->modes)) {
    followWindow(run->settings, attributes.width, attributes.height);
  }

  // GL only where the window's visual allows it, and not on windows larger than any screen,
  // whose buffers GL would have to make whole. GL that draws in software (only ever asked for)
  // draws into a buffer of its own; see PbufferTarget.
  constexpr int kMax = X11Presenter::kMaxSide;
  const int width = run->settings.screenWidth;
  const int height = run->settings.screenHeight;
  const bool gl =
      attributes.width <= kMax && attributes.height <= kMax && wantsGlDevice(command.device);
  const bool hardware = gl && hardwareGlRenderer();
  GlxTarget glx(display, window, command.fps);
  glx.setSize(attributes.width, attributes.height);
  std::optional<X11Presenter> presenter;
  WindowSurfaces surfaces;
  if (hardware && glx.open(width, height)) {
    surfaces.windowGl = &glx;
    surfaces.windowGlMeter = &glx.meter();
  }
  surfaces.tryPixelBuffer = gl && !hardware;
  surfaces.display = display;
  surfaces.openPresenter = [&](bool forPixelBuffer) {
    presenter.emplace();
    if (!presenter->open(display, window, attributes, !forPixelBuffer && command.fps)) {
      return ShownFrames{};
    }
    return ShownFrames{&*presenter, &presenter->meter()};
  };
  WindowDevice chosen(command.fps);
  Device* device = chosen.choose(surfaces, width, height);
  if (device == nullptr) {
    std::fprintf(stderr, "tavrik: cannot draw into window 0x%lx: %s\n", window,
                 X11Presenter::unsupported(attributes).c_str());
    return 1;
  }
  OptionsTimer timer(command.options);
  if (startRun(*run, *device, timer)) {
    EmbeddedFrames frames(display, window, command.delayMicroseconds);
    if (chosen.path() == DrawPath::WindowGl) {
      frames.windowGl = &glx;
    } else {
      frames.presenter = &*presenter;
      frames.sayTooLarge = chosen.path() == DrawPath::Software;
    }
    runFrames(*run, *device, timer, frames);
    endRun(*device);
  }
  return 0;
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
