// Small Xlib helpers shared by the Linux modes: survivable X errors, the single-instance search
// and the questions asked of foreign windows.
#pragma once

#include <X11/Xlib.h>

#include "host/saver_rules.h"

namespace tavrik {

// Makes X protocol errors countable instead of fatal, for every connection of the process, and
// makes a lost server connection end the process quietly with 0. Call before any connection.
void installXErrorTraps();
// Errors seen so far; compare two readings taken around an XSync.
unsigned long xErrorCount();

// True when a top-level window of class "TavrikWindow" exists: a child of the root, or the client
// inside a window manager's frame. Children of other windows (previews) never count.
bool saverWindowExists(Display* display);

// True when window exists on the display; fills attributes when given.
bool queryWindow(Display* display, Window window, XWindowAttributes* attributes);

// The window that has the user's attention: the window manager's active window, else the input
// focus; 0 when there is none.
Window foregroundWindow(Display* display);

}  // namespace tavrik
