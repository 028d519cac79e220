// Embedded host: the saver drawn into a window that another program owns (-window-id, or -root
// with XSCREENSAVER_WINDOW), with the GL device through GLX where -device or a hardware renderer
// asks for it and the window's visual allows it, else with the software device and Xlib. It
// relies on asking the window for its size each frame, as no resize is reported to us, and on the
// window's destruction notice; it never reads input, which belongs to the window's owner, and
// never takes part in the single-instance rule.
#include "host/linux/x11/x11_embedded.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>

#include "config/file_store.h"
#include "device/gl/gl_device.h"
#include "device/soft/soft_device.h"
#include "host/counting_device.h"
#include "host/headless/headless.h"
#include "host/linux/gl/gl_host.h"
#include "host/linux/gl/glx_target.h"
#include "host/linux/gl/pbuffer_target.h"
#include "host/linux/present/x11_presenter.h"
#include "host/linux/stop_signals.h"
#include "host/linux/x11/x11_util.h"

namespace tavrik {

namespace {

// XScreenSaver starts one run per monitor at the same moment, so the calendar seconds alone would
// give every monitor the same flight: the process id and the clock's nanoseconds are mixed in.
uint32_t instanceSeed(const HeadlessOptions& options) {
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

// The frames until a stop signal or the window's end; follow(width, height) takes the window's
// size before each frame.
template <class Follow>
void runFrames(Display* display, Window window, Run& run, Device& device, MillisecondTimer& timer,
               uint32_t delayMicroseconds, Follow&& follow) {
  FramePacer pacer(60, delayMicroseconds);
  XWindowAttributes attributes{};
  while (!stopRequested() && !destroyed(display, window)) {
    if (!queryWindow(display, window, &attributes)) {
      break;
    }
    follow(attributes.width, attributes.height);
    runFrame(run, device, timer);
    pacer.pace(sleepMicroseconds);
  }
}

// The run on the GL device through a context already current; resizeTarget(width, height) tells
// the target the window's size before each frame.
template <class ResizeTarget>
void runWithGl(Display* display, Window window, Run& run, GlTarget& target, FpsMeter& meter,
               const LinuxCommand& command, ResizeTarget&& resizeTarget) {
  OptionsTimer timer(command.options);
  GlDevice gl(target);
  CountingDevice device(gl, meter);
  if (!startRun(run, device, timer)) {
    return;
  }
  const bool followsWindow = drawsAtWindowSize(run.settings, kLinuxModes);
  runFrames(display, window, run, device, timer, command.delayMicroseconds,
            [&](int width, int height) {
              resizeTarget(width, height);
              if (followsWindow) {
                followWindow(run.settings, width, height);
                device.resize(run.settings.screenWidth, run.settings.screenHeight);
              }
            });
  endRun(device);
}

int runWithSoft(Display* display, Window window, Run& run, const XWindowAttributes& attributes,
                const LinuxCommand& command) {
  X11Presenter presenter;
  if (!presenter.open(display, window, attributes, command.fps)) {
    std::fprintf(stderr, "tavrik: cannot draw into window 0x%lx: %s\n", window,
                 X11Presenter::unsupported(attributes).c_str());
    return 1;
  }
  OptionsTimer timer(command.options);
  SoftDevice soft(&presenter);
  CountingDevice device(soft, presenter.meter());
  if (!startRun(run, device, timer)) {
    return 0;
  }
  const bool followsWindow = drawsAtWindowSize(run.settings, kLinuxModes);
  bool toldTooLarge = false;
  runFrames(
      display, window, run, device, timer, command.delayMicroseconds, [&](int width, int height) {
        constexpr int kMax = X11Presenter::kMaxSide;
        if ((width > kMax || height > kMax) && !toldTooLarge) {
          std::fprintf(stderr, "tavrik: window 0x%lx is %dx%d; drawing into its top-left %dx%d\n",
                       window, width, height, std::min(width, kMax), std::min(height, kMax));
          toldTooLarge = true;
        }
        presenter.resize(width, height);
        if (followsWindow) {
          followWindow(run.settings, width, height);
          device.resize(run.settings.screenWidth, run.settings.screenHeight);
        }
      });
  endRun(device);
  return 0;
}

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
  if (drawsAtWindowSize(run->settings, kLinuxModes)) {
    followWindow(run->settings, attributes.width, attributes.height);
  }

  // GL only where the window's visual allows it, and not on windows larger than any screen,
  // whose buffers GL would have to make whole. GL that draws in software (only ever asked for)
  // draws into a buffer of its own; see PbufferTarget.
  constexpr int kMax = X11Presenter::kMaxSide;
  const int width = run->settings.screenWidth;
  const int height = run->settings.screenHeight;
  // Says which device draws (with -fps) and runs on GL when its target is up.
  const auto runIfUp = [&](auto& target, bool up, auto&& resizeTarget) {
    if (command.fps) {
      tellDevice(up);
    }
    if (up) {
      runWithGl(display, window, *run, target, target.meter(), command, resizeTarget);
    }
    return up;
  };
  if (attributes.width > kMax || attributes.height > kMax || !wantsGlDevice(command.device)) {
    if (command.fps) {
      tellDevice(false);
    }
  } else if (hardwareGlRenderer()) {
    GlxTarget target(display, window, command.fps);
    target.setSize(attributes.width, attributes.height);
    if (runIfUp(target, target.open(width, height), [&](int w, int h) { target.setSize(w, h); })) {
      return 0;
    }
  } else {
    X11Presenter presenter;
    PbufferTarget target(display, presenter, command.fps);
    if (runIfUp(target,
                presenter.open(display, window, attributes, false) && target.open(width, height),
                [&](int w, int h) { presenter.resize(w, h); })) {
      return 0;
    }
  }
  return runWithSoft(display, window, *run, attributes, command);
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
