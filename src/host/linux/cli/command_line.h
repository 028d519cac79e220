// The Linux command line: the screen-saver switches of the Windows convention, the options of an
// XScreenSaver hack (their rows in linux_options.h), the settings overrides and the headless
// runner's options (host/run_options.h). Pure parsing; it opens no display, so every mode's
// choice can be tested on its own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/run_options.h"
#include "host/switches.h"

namespace tavrik {

// A window id as hacks take it: decimal or 0x hexadecimal, nothing else in the text.
bool parseWindowId(std::string_view text, uint64_t& id);

enum class LinuxMode {
  Help,
  Version,
  Headless,
  Windowed,  // an ordinary window, as a hack runs with no arguments or -window
  Embedded,  // drawing into a foreign window: -window-id, or -root
  FullScreen,
  Preview,
  Password,
  Configure,
  AddToXScreenSaver,  // the hack's line added to ~/.xscreensaver
};

// -geometry WxH+X+Y as X programs take it: the size, the position, or both. A negative offset
// counts from the right or bottom edge of the screen.
struct WindowGeometry {
  bool hasSize = false;
  int width = 0;
  int height = 0;
  bool hasPosition = false;
  int x = 0;
  int y = 0;
  bool fromRight = false;
  bool fromBottom = false;
};

// Parses the text of -geometry; false when it is not of that form or a number is out of range.
bool parseGeometry(std::string_view text, WindowGeometry& geometry);

// Which device draws the picture (-device): the software device, OpenGL, or, without the option,
// OpenGL where its renderer is hardware and the software device elsewhere.
enum class DeviceChoice { Automatic, Soft, Gl };

// The longest -delay taken: a second a frame. Longer would leave a window deaf to its close button.
inline constexpr uint32_t kMaxDelayMicroseconds = 1000000;

struct LinuxCommand {
  // While parsing, -root's Embedded, or -help's or -version's mode; then the mode.
  LinuxMode mode = LinuxMode::Windowed;
  // The switch's window number (0: none given), or the foreign window of an embedded run (0 with
  // -root and no XSCREENSAVER_WINDOW: the root window).
  uint64_t window = 0;
  bool windowFromEnvironment = false;  // window came from XSCREENSAVER_WINDOW
  bool windowNamed = false;            // -window: --trace and --frames go with the window's run
  bool fps = false;
  std::string display;             // -display: the X display to use instead of $DISPLAY
  WindowGeometry geometry;         // -geometry, for -window
  uint32_t delayMicroseconds = 0;  // -delay: the least time a frame takes; 0: the refresh
  RunOptions options;              // the overrides, and the runner's options for a headless run
  DeviceChoice device = DeviceChoice::Automatic;
  std::string title;  // -title: the ordinary window's title instead of "Tavrik"
};

// Parses argv. xscreensaverWindow is the value of XSCREENSAVER_WINDOW, or nullptr. Returns false
// with a one-line message in error for unknown options and bad values.
bool parseLinuxCommandLine(int argc, char** argv, const char* xscreensaverWindow,
                           LinuxCommand& command, std::string& error);

// The text of --help.
std::string linuxUsage();
// The text of --version: the version, the copyright and the licence, the authors.
std::string linuxVersion();

}  // namespace tavrik
