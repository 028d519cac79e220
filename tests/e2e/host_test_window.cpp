// A plain X window for the host tests to embed into or preview in, standing for the window of a
// screen-saver host: host_test_window WIDTH HEIGHT prints the window's id, keeps the window
// until SIGTERM, and so destroys it when it is stopped. Its background is a dark grey (#303030 at
// any depth of the screen), so a test can tell our pixels from the window's own. host_test_window
// --cursor prints whether the pointer's cursor is "hidden" (every pixel transparent) or "visible".
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

volatile sig_atomic_t stop = 0;

void onStop(int) {
  stop = 1;
}

// The test's display went away first: nothing is left to clean up.
int onLostDisplay(Display*) {
  std::_Exit(0);
}

int printCursor(Display* display) {
  int event = 0;
  int error = 0;
  if (!XFixesQueryExtension(display, &event, &error)) {
    return 1;
  }
  XFixesCursorImage* image = XFixesGetCursorImage(display);
  if (image == nullptr) {
    return 1;
  }
  bool visible = false;
  for (int i = 0; i < image->width * image->height; ++i) {
    visible = visible || (image->pixels[i] >> 24) != 0;
  }
  std::printf("%s\n", visible ? "visible" : "hidden");
  XFree(image);
  return 0;
}

// The dark grey #303030 as a pixel of the screen's visual, whatever its depth.
unsigned long greyPixel(Display* display, int screen) {
  const Visual* visual = DefaultVisual(display, screen);
  const auto channel = [](unsigned long mask) {
    if (mask == 0) {
      return 0ul;
    }
    int shift = 0;
    while (((mask >> shift) & 1) == 0) {
      ++shift;
    }
    const unsigned long top = mask >> shift;  // the channel's largest value
    return ((0x30 * top + 127) / 255) << shift;
  };
  return channel(visual->red_mask) | channel(visual->green_mask) | channel(visual->blue_mask);
}

}  // namespace

int main(int argc, char** argv) {
  const int width = argc > 1 ? std::atoi(argv[1]) : 320;
  const int height = argc > 2 ? std::atoi(argv[2]) : 240;
  XSetIOErrorHandler(onLostDisplay);
  Display* display = XOpenDisplay(nullptr);
  if (display != nullptr && argc > 1 && std::string_view(argv[1]) == "--cursor") {
    const int code = printCursor(display);
    XCloseDisplay(display);
    return code;
  }
  if (display == nullptr || width <= 0 || height <= 0) {
    return 1;
  }
  struct sigaction action {};
  action.sa_handler = onStop;
  action.sa_flags = SA_RESTART;  // Xlib takes an interrupted read for a lost connection
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);

  const int screen = DefaultScreen(display);
  const Window window = XCreateSimpleWindow(
      display, RootWindow(display, screen), 10, 10, static_cast<unsigned>(width),
      static_cast<unsigned>(height), 0, BlackPixel(display, screen), greyPixel(display, screen));
  XClassHint hint{};
  char name[] = "host_test_window";
  char className[] = "TavrikTestHost";
  hint.res_name = name;
  hint.res_class = className;
  XSetClassHint(display, window, &hint);
  XStoreName(display, window, "TavrikTestHost");
  XMapWindow(display, window);
  XSync(display, False);
  std::printf("0x%lx\n", window);
  std::fflush(stdout);
  while (stop == 0) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
    }
    usleep(20000);
  }
  XDestroyWindow(display, window);
  XCloseDisplay(display);
  return 0;
}
