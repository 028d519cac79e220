// Preview host: a child window of class "TavrikWindow" in the host's preview area, showing the
// logo stretched over its whole size and repainted whenever it is exposed. It relies on Xlib
// alone (no SDL, no device, no settings); it reads the area's size once, as it is at creation,
// and ends when the area, and so the child with it, is destroyed. A display whose visual it
// cannot draw in is a failure, said in one line.
#include "host/linux/modes/x11_preview.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <cstdio>

#include "host/linux/cli/logo.h"
#include "host/linux/present/x11_presenter.h"
#include "host/linux/x11/x11_util.h"
#include "host/stop_signals.h"

namespace tavrik {

namespace {

Window createPreviewWindow(Display* display, Window parent, const XWindowAttributes& area) {
  const unsigned long black = BlackPixel(display, DefaultScreen(display));
  XSetWindowAttributes attributes{};
  attributes.background_pixel = black;
  attributes.event_mask = ExposureMask | StructureNotifyMask;
  const unsigned long errors = xErrorCount();
  const Window window = XCreateWindow(
      display, parent, 0, 0, static_cast<unsigned>(area.width), static_cast<unsigned>(area.height),
      0, CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
  XSync(display, False);
  if (xErrorCount() != errors) {
    return 0;
  }
  XClassHint hint{};
  char name[] = "tavrik";
  char className[] = TAVRIK_SAVER_WINDOW_CLASS;
  hint.res_name = name;
  hint.res_class = className;
  XSetClassHint(display, window, &hint);
  XStoreName(display, window, kSaverWindowTitle);
  XMapWindow(display, window);
  XFlush(display);
  return window;
}

// Waits for X events or a stop signal, without spinning.
void waitForEvents(Display* display) {
  if (XPending(display) > 0) {
    return;
  }
  pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {stopSignalFd(), POLLIN, 0}};
  poll(fds, stopSignalFd() >= 0 ? 2 : 1, 1000);
}

int showLogo(Display* display, Window parent) {
  XWindowAttributes area{};
  if (parent == 0 || !queryWindow(display, parent, &area) || area.width <= 0 || area.height <= 0) {
    return 0;  // no preview area, or one that does not exist: nothing to wait for
  }
  LogoImage logo;
  if (!decodeBmp8(logoBmpData(), logoBmpSize(), logo)) {
    return 0;
  }
  const Window window = createPreviewWindow(display, parent, area);
  if (window == 0) {
    return 0;
  }
  XWindowAttributes own{};
  X11Presenter presenter;
  const bool exists = queryWindow(display, window, &own);
  if (!exists || !presenter.open(display, window, own, false)) {
    XDestroyWindow(display, window);
    XSync(display, False);
    if (!exists) {
      return 0;  // the area went while the preview was being made
    }
    // A display the logo cannot be drawn on is no race with the settings program but a preview
    // that can never show: said as -window-id says it, and a failure, so the program can log it.
    std::fprintf(stderr, "tavrik: cannot draw into window 0x%lx: %s\n", parent,
                 X11Presenter::unsupported(own).c_str());
    return 1;
  }
  presenter.setStretch(true);
  const FrameView frame{logo.pixels.data(), logo.width, logo.height, logo.width};

  bool open = true;
  while (open && !stopRequested()) {
    waitForEvents(display);
    while (open && XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == Expose && event.xexpose.window == window && event.xexpose.count == 0) {
        presenter.present(frame);
      } else if (event.type == DestroyNotify && event.xdestroywindow.window == window) {
        open = false;
      }
    }
  }
  presenter.close();
  if (open) {
    XDestroyWindow(display, window);  // ended by a signal: leave the host's area as it was
    XSync(display, False);
  }
  return 0;
}

}  // namespace

int runPreview(uint64_t parent) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    return 0;
  }
  const int code = showLogo(display, static_cast<Window>(parent));
  XCloseDisplay(display);
  return code;
}

}  // namespace tavrik
