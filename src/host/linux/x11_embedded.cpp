// Embedded host: the saver drawn with Xlib into a window that another program owns (-window-id,
// or -root with XSCREENSAVER_WINDOW). It relies on asking the window for its size each frame, as
// no resize is reported to us, and on the window's destruction notice; it never reads input,
// which belongs to the window's owner, and never takes part in the single-instance rule.
#include "host/linux/x11_embedded.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>

#include "config/file_store.h"
#include "device/soft/soft_device.h"
#include "host/headless/headless.h"
#include "host/linux/stop_signals.h"
#include "host/linux/x11_presenter.h"
#include "host/linux/x11_util.h"

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

int drawInto(Display* display, const LinuxCommand& command) {
  const Window window =
      command.window != 0 ? static_cast<Window>(command.window) : DefaultRootWindow(display);
  XWindowAttributes attributes{};
  if (!queryWindow(display, window, &attributes)) {
    return 0;  // the window is already gone: there is nothing to draw on
  }
  const unsigned long errors = xErrorCount();
  XSelectInput(display, window, StructureNotifyMask);
  XSync(display, False);
  if (xErrorCount() != errors) {
    return 0;
  }

  auto run = std::make_unique<Run>();
  FileSettingsStore store(defaultSettingsPath());
  prepareRun(*run, store, instanceSeed(command.options), command.options.overrides);

  const bool followsWindow = drawsAtWindowSize(run->settings);
  if (followsWindow) {
    followWindow(run->settings, attributes.width, attributes.height);
  }
  X11Presenter presenter;
  if (!presenter.open(display, window, attributes, command.fps)) {
    std::fprintf(stderr, "tavrik: cannot draw into window 0x%lx (unsupported visual)\n", window);
    return 1;
  }
  OptionsTimer timer(command.options);
  SoftDevice device(&presenter);
  if (!startRun(*run, device, timer)) {
    return 0;
  }
  FramePacer pacer(60, command.delayMicroseconds);
  bool toldTooLarge = false;
  while (!stopRequested() && !destroyed(display, window)) {
    if (!queryWindow(display, window, &attributes)) {
      break;
    }
    constexpr int kMax = X11Presenter::kMaxSide;
    if ((attributes.width > kMax || attributes.height > kMax) && !toldTooLarge) {
      std::fprintf(stderr, "tavrik: window 0x%lx is %dx%d; drawing into its top-left %dx%d\n",
                   window, attributes.width, attributes.height, std::min(attributes.width, kMax),
                   std::min(attributes.height, kMax));
      toldTooLarge = true;
    }
    presenter.resize(attributes.width, attributes.height);
    if (followsWindow) {
      followWindow(run->settings, attributes.width, attributes.height);
      device.resize(run->settings.screenWidth, run->settings.screenHeight);
    }
    runFrame(*run, device, timer);
    pacer.pace(sleepMicroseconds);
  }
  endRun(device);
  return 0;
}

}  // namespace

int runEmbedded(const LinuxCommand& command) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "tavrik: cannot open the display '%s'\n", XDisplayName(nullptr));
    return 1;
  }
  const int code = drawInto(display, command);
  XCloseDisplay(display);
  return code;
}

}  // namespace tavrik
