// The full-screen window of a run: a borderless pop-up over the desktop that hides the cursor,
// ends on a key, a left or right button or the 22nd mouse move, and a loop that runs a frame
// whenever no message waits.
#pragma once

#include <windows.h>

#include <functional>

namespace tavrik {

inline constexpr const char* kSaverClass = "TavrikWindow";
inline constexpr const char* kSaverTitle = "Tavrik";
inline constexpr const char* kIconName = "IDI_ICON";

// Registers the class "TavrikWindow" with the program's icon, the arrow cursor and a black
// background; both the full-screen and the preview window are of it, each in its own process.
bool registerSaverClass(HINSTANCE instance, UINT style, WNDPROC procedure);

// Registers the class and creates, shows and returns the window (nullptr when the window itself
// could not be made). False only when the class cannot be registered.
bool createSaverWindow(HINSTANCE instance, int showCommand, HWND& window);

// Takes one waiting message per pass, or runs frame() when none waits, until the quit message;
// returns its wParam.
WPARAM runFrameLoop(const std::function<void()>& frame);

}  // namespace tavrik
