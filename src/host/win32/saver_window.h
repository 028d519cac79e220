// The full-screen window of a run: a borderless pop-up over the primary monitor that hides the
// cursor, ends on a key, a left or right button or the 22nd mouse move, and its side of the frame
// loop, which runs a frame whenever no message waits. Every other monitor gets a black, topmost
// window of the same class, so that the same input ends the run there and the cursor, hidden for
// the whole thread, stays hidden over it.
#pragma once

#include <windows.h>

#include "host/frame_loop.h"
#include "host/saver_rules.h"
#include "host/win32/win_pacing.h"

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

// The full-screen window's side of the frame loop: the messages that wait are handled before each
// frame, and the quit message ends the run; the picture follows the client area. A flip that
// waits for the display paces the frames by itself; where none waits (no vertical sync, as under
// Wine) the pacer keeps the loop from spinning a core, allowing a little more than the refresh
// rate so that it never holds back a flip that did wait. Frames shown through GDI wait for the
// compositor, else for the pacer at the refresh rate.
class SaverFrames : public FrameHost {
 public:
  // direct3D: the frames are Direct3D's page flips rather than pictures shown through GDI.
  SaverFrames(HWND window, bool direct3D);

  bool nextFrame() override;
  void windowSize(int& width, int& height) override;
  void frameDone() override;
  // The quit message's wParam, the process's exit code.
  WPARAM quitCode() const { return quitCode_; }

 private:
  HWND window_;
  bool direct3D_;
  CompositorWait compositor_;
  WinFramePacer pacer_;
  WPARAM quitCode_ = 0;
};

}  // namespace tavrik
