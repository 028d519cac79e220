// The full-screen window of a run: a borderless pop-up over the primary monitor that hides the
// cursor, ends on a key, a left or right button or the 22nd mouse move, and a loop that runs a
// frame whenever no message waits. Every other monitor gets a black, topmost window of the same
// class, so that the same input ends the run there and the cursor, hidden for the whole thread,
// stays hidden over it.
#pragma once

#include <windows.h>

#include <functional>

#include "host/saver_rules.h"

namespace tavrik {

inline constexpr const char* kIconName = "IDI_ICON";

// Registers the class "TavrikWindow" with the program's icon, the arrow cursor and a black
// background; both the full-screen and the preview window are of it, each in its own process.
bool registerSaverClass(HINSTANCE instance, UINT style, WNDPROC procedure);

// Registers the class and creates, shows and returns the window over the primary monitor
// (nullptr when the window itself could not be made). False only when the class cannot be
// registered.
bool createSaverWindow(HINSTANCE instance, int showCommand, const RECT& primary, HWND& window);

inline constexpr int kMaxOtherMonitors = 15;

struct MonitorLayout {
  RECT primary;
  RECT others[kMaxOtherMonitors];
  int otherCount;
};

// The monitors as the system reports them. The tests of a system that shows one monitor set
// TAVRIK_TEST_MONITORS to "left,top,right,bottom" rectangles separated by ";", the primary first,
// which then stand for the system's.
MonitorLayout readMonitorLayout();

// One window over each other monitor, shown without taking the focus from the primary's; returns
// how many were made.
int coverOtherMonitors(HINSTANCE instance, const MonitorLayout& layout, HWND* covers);

// Moves the windows onto the monitors again: a new display mode on the primary can move the
// others on the desktop.
void placeCovers(const MonitorLayout& layout, HWND* covers, int count);

// Takes one waiting message per pass, or runs frame() when none waits, until the quit message;
// returns its wParam.
WPARAM runFrameLoop(const std::function<void()>& frame);

}  // namespace tavrik
