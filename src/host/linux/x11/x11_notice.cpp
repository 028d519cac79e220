// Password mode's message box: an Xlib window with the caption "TAVRIK", the notice in the
// locale's language drawn with Xft (fontconfig picks a face that has its glyphs) and an OK
// button; Return, Escape, the button or the window's close box dismiss it. It relies on Xlib and
// Xft only and holds no grab: a window manager may place it as it likes.
#include "host/linux/x11/x11_notice.h"

#include <X11/Xatom.h>
#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/linux/x11/x11_util.h"
#include "host/stop_signals.h"

namespace tavrik {

namespace {

constexpr const char* kButtonText = "OK";
constexpr int kMargin = 24;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 28;

struct Box {
  Display* display = nullptr;
  Window window = 0;
  XftFont* font = nullptr;
  XftDraw* draw = nullptr;
  XftColor text{};
  XftColor face{};
  XftColor edge{};
  int coloursAllocated = 0;  // text, face, edge in this order
  int width = 0;
  int height = 0;
  const char* notice = nullptr;  // the sentence and a line feed
  int textLength = 0;            // the sentence without its line feed
  XRectangle button{};
};

int textWidth(const Box& box, const char* text, int length) {
  XGlyphInfo extents{};
  XftTextExtentsUtf8(box.display, box.font, reinterpret_cast<const FcChar8*>(text), length,
                     &extents);
  return extents.xOff;
}

void paint(Box& box) {
  XClearWindow(box.display, box.window);
  const int baseline = kMargin + box.font->ascent;
  XftDrawStringUtf8(box.draw, &box.text, box.font, kMargin, baseline,
                    reinterpret_cast<const FcChar8*>(box.notice), box.textLength);
  const XRectangle& b = box.button;
  XftDrawRect(box.draw, &box.edge, b.x, b.y, b.width, b.height);
  XftDrawRect(box.draw, &box.face, b.x + 1, b.y + 1, b.width - 2, b.height - 2);
  const int labelLength = static_cast<int>(std::strlen(kButtonText));
  const int labelX = b.x + (b.width - textWidth(box, kButtonText, labelLength)) / 2;
  const int labelY = b.y + (b.height + box.font->ascent - box.font->descent) / 2;
  XftDrawStringUtf8(box.draw, &box.text, box.font, labelX, labelY,
                    reinterpret_cast<const FcChar8*>(kButtonText), labelLength);
  XFlush(box.display);
}

bool allocColour(Box& box, const char* name, XftColor& colour) {
  const int screen = DefaultScreen(box.display);
  if (XftColorAllocName(box.display, DefaultVisual(box.display, screen),
                        DefaultColormap(box.display, screen), name, &colour) == 0) {
    return false;
  }
  ++box.coloursAllocated;
  return true;
}

void setCaption(Display* display, Window window) {
  XStoreName(display, window, kNoticeCaption);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(kNoticeCaption),
                  static_cast<int>(std::strlen(kNoticeCaption)));
  const Atom dialog = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&dialog), 1);
  XClassHint hint{};
  char name[] = "tavrik";
  char className[] = "Tavrik";
  hint.res_name = name;
  hint.res_class = className;
  XSetClassHint(display, window, &hint);
}

bool createBox(Box& box, Window owner) {
  Display* display = box.display;
  const int screen = DefaultScreen(display);
  // Asking for the language lets fontconfig pick a face that has its glyphs.
  const bool japanese = box.notice == kPasswordNoticeJapanese;
  box.font = XftFontOpenName(
      display, screen, japanese ? "sans-serif:lang=ja:pixelsize=16" : "sans-serif:pixelsize=16");
  if (box.font == nullptr) {
    return false;
  }
  box.textLength = static_cast<int>(std::strlen(box.notice)) - 1;
  const int sentence = textWidth(box, box.notice, box.textLength);
  box.width = std::max(sentence, kButtonWidth) + 2 * kMargin;
  const int textHeight = box.font->ascent + box.font->descent;
  box.height = kMargin + textHeight + kMargin + kButtonHeight + kMargin / 2 + 4;
  box.button = {static_cast<short>((box.width - kButtonWidth) / 2),
                static_cast<short>(kMargin + textHeight + kMargin), kButtonWidth, kButtonHeight};

  const int x = (DisplayWidth(display, screen) - box.width) / 2;
  const int y = (DisplayHeight(display, screen) - box.height) / 2;
  if (!allocColour(box, "#000000", box.text) || !allocColour(box, "#e4e4e4", box.face) ||
      !allocColour(box, "#707070", box.edge)) {
    return false;
  }
  box.window =
      XCreateSimpleWindow(display, RootWindow(display, screen), x, y,
                          static_cast<unsigned>(box.width), static_cast<unsigned>(box.height), 1,
                          BlackPixel(display, screen), WhitePixel(display, screen));
  setCaption(display, box.window);
  XSizeHints* size = XAllocSizeHints();
  if (size != nullptr) {
    size->flags = PPosition | PMinSize | PMaxSize;
    size->x = x;
    size->y = y;
    size->min_width = size->max_width = box.width;
    size->min_height = size->max_height = box.height;
    XSetWMNormalHints(display, box.window, size);
    XFree(size);
  }
  if (owner != 0 && queryWindow(display, owner, nullptr)) {
    XSetTransientForHint(display, box.window, owner);
  }
  Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, box.window, &deleteWindow, 1);
  XSelectInput(
      display, box.window,
      ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask);
  box.draw = XftDrawCreate(display, box.window, DefaultVisual(display, screen),
                           DefaultColormap(display, screen));
  XMapRaised(display, box.window);
  XFlush(display);
  return box.draw != nullptr;
}

void destroyBox(Box& box) {
  Display* display = box.display;
  const int screen = DefaultScreen(display);
  if (box.draw != nullptr) {
    XftDrawDestroy(box.draw);
  }
  XftColor* colours[] = {&box.text, &box.face, &box.edge};
  for (int i = 0; i < box.coloursAllocated; ++i) {
    XftColorFree(display, DefaultVisual(display, screen), DefaultColormap(display, screen),
                 colours[i]);
  }
  if (box.font != nullptr) {
    XftFontClose(display, box.font);
  }
  if (box.window != 0) {
    XDestroyWindow(display, box.window);
    XSync(display, False);
  }
}

bool inButton(const Box& box, int x, int y) {
  const XRectangle& b = box.button;
  return x >= b.x && y >= b.y && x < b.x + b.width && y < b.y + b.height;
}

// Runs until the box is dismissed or a stop signal arrives.
void runBox(Box& box) {
  Display* display = box.display;
  const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
  const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  bool pressedInButton = false;
  bool open = true;
  while (open && !stopRequested()) {
    if (XPending(display) == 0) {
      pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {stopSignalFd(), POLLIN, 0}};
      poll(fds, stopSignalFd() >= 0 ? 2 : 1, 1000);
      continue;
    }
    XEvent event;
    XNextEvent(display, &event);
    switch (event.type) {
      case MapNotify:
        // A message box takes the keyboard, so Return dismisses it wherever the pointer is.
        XSetInputFocus(display, box.window, RevertToParent, CurrentTime);
        break;
      case Expose:
        if (event.xexpose.count == 0) {
          paint(box);
        }
        break;
      case KeyPress: {
        const KeySym key = XLookupKeysym(&event.xkey, 0);
        open = !(key == XK_Return || key == XK_KP_Enter || key == XK_Escape || key == XK_space);
        break;
      }
      case ButtonPress:
        pressedInButton =
            event.xbutton.button == Button1 && inButton(box, event.xbutton.x, event.xbutton.y);
        break;
      case ButtonRelease:
        open = !(pressedInButton && event.xbutton.button == Button1 &&
                 inButton(box, event.xbutton.x, event.xbutton.y));
        pressedInButton = false;
        break;
      case ClientMessage:
        open = !(event.xclient.message_type == protocols &&
                 static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow);
        break;
      case DestroyNotify:
        if (event.xdestroywindow.window == box.window) {
          box.window = 0;
          open = false;
        }
        break;
      default:
        break;
    }
  }
}

}  // namespace

int showPasswordNotice(uint64_t owner) {
  const char* notice =
      passwordNotice(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fputs(notice, stderr);
    return 0;
  }
  Box box;
  box.display = display;
  box.notice = notice;
  if (createBox(box, static_cast<Window>(owner))) {
    runBox(box);
  } else {
    std::fputs(notice, stderr);
  }
  destroyBox(box);
  XCloseDisplay(display);
  return 0;
}

}  // namespace tavrik
