#include "host/linux/x11/x11_util.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace tavrik {

namespace {

// Xlib's handlers take no context, so the count is process-wide by necessity.
std::atomic<unsigned long> errorCount{0};

int countError(Display*, XErrorEvent*) {
  errorCount.fetch_add(1);
  return 0;
}

// The server went away: nothing is left to draw on or to restore.
int endQuietly(Display*) {
  std::_Exit(0);
}

bool hasSaverClass(Display* display, Window window, bool& hasClass) {
  XClassHint hint{};
  hasClass = XGetClassHint(display, window, &hint) != 0;
  const bool match =
      hasClass && hint.res_class != nullptr && std::strcmp(hint.res_class, kSaverWindowClass) == 0;
  if (hint.res_name != nullptr) {
    XFree(hint.res_name);
  }
  if (hint.res_class != nullptr) {
    XFree(hint.res_class);
  }
  return match;
}

bool children(Display* display, Window window, Window*& list, unsigned int& count) {
  Window root = 0;
  Window parent = 0;
  list = nullptr;
  count = 0;
  return XQueryTree(display, window, &root, &parent, &list, &count) != 0;
}

}  // namespace

void installXErrorTraps() {
  XSetErrorHandler(countError);
  XSetIOErrorHandler(endQuietly);
}

unsigned long xErrorCount() {
  return errorCount.load();
}

bool saverWindowExists(Display* display) {
  Window* top = nullptr;
  unsigned int topCount = 0;
  if (!children(display, DefaultRootWindow(display), top, topCount)) {
    return false;
  }
  bool found = false;
  for (unsigned int i = 0; i < topCount && !found; ++i) {
    bool hasClass = false;
    found = hasSaverClass(display, top[i], hasClass);
    if (found || hasClass) {
      continue;
    }
    // A window without a class of its own may be a window manager's frame around the client.
    Window* inner = nullptr;
    unsigned int innerCount = 0;
    if (children(display, top[i], inner, innerCount)) {
      for (unsigned int j = 0; j < innerCount && !found; ++j) {
        found = hasSaverClass(display, inner[j], hasClass);
      }
    }
    if (inner != nullptr) {
      XFree(inner);
    }
  }
  if (top != nullptr) {
    XFree(top);
  }
  return found;
}

bool queryWindow(Display* display, Window window, XWindowAttributes* attributes) {
  XWindowAttributes local{};
  XWindowAttributes& out = attributes != nullptr ? *attributes : local;
  XSync(display, False);
  const unsigned long before = xErrorCount();
  const Status status = XGetWindowAttributes(display, window, &out);
  XSync(display, False);
  return status != 0 && xErrorCount() == before;
}

Window foregroundWindow(Display* display) {
  const Atom active = XInternAtom(display, "_NET_ACTIVE_WINDOW", True);
  if (active != None) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    Window window = 0;
    if (XGetWindowProperty(display, DefaultRootWindow(display), active, 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &after, &data) == Success &&
        type == XA_WINDOW && format == 32 && count == 1 && data != nullptr) {
      window = static_cast<Window>(*reinterpret_cast<unsigned long*>(data));
    }
    if (data != nullptr) {
      XFree(data);
    }
    if (window != 0) {
      return window;
    }
  }
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  return focus > PointerRoot ? focus : 0;
}

}  // namespace tavrik
