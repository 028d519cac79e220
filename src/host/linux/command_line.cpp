#include "host/linux/command_line.h"
#include "config/quote.h"

#include <array>
#include <charconv>
#include <cstring>

namespace tavrik {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// "--root" means "-root"; a lone "-" or a bare word stays as it is.
std::string_view optionName(std::string_view arg) {
  if (arg.size() > 2 && arg[0] == '-' && arg[1] == '-') {
    return arg.substr(2);
  }
  if (arg.size() > 1 && arg[0] == '-') {
    return arg.substr(1);
  }
  return {};
}

// A whole number of up to six digits (X coordinates and sizes stay far below a million).
bool takeNumber(std::string_view& text, int& value) {
  size_t digits = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
    ++digits;
  }
  if (digits == 0 || digits > 6) {
    return false;
  }
  value = 0;
  for (size_t i = 0; i < digits; ++i) {
    value = value * 10 + (text[i] - '0');
  }
  text.remove_prefix(digits);
  return true;
}

bool takeOffset(std::string_view& text, int& value, bool& fromEnd) {
  if (text.empty() || (text[0] != '+' && text[0] != '-')) {
    return false;
  }
  fromEnd = text[0] == '-';
  text.remove_prefix(1);
  return takeNumber(text, value);
}

constexpr const char* kDelayRange =
    "(microseconds a frame, 0 to 1000000; 0: the display's refresh)";

bool parseDelay(std::string_view value, uint32_t& delay) {
  const char* end = value.data() + value.size();
  uint32_t parsed = 0;
  const auto [ptr, ec] = std::from_chars(value.data(), end, parsed);
  if (value.empty() || ec != std::errc() || ptr != end || parsed > kMaxDelayMicroseconds) {
    return false;
  }
  delay = parsed;
  return true;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && isBlank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) {
      return false;
    }
  }
  return true;
}

// One -xrm resource line, "*delay: 20000" or "tavrik.fps: true": the resources that have an
// option of ours set it, as that option would; any other resource is the toolkit's and ignored.
bool takeResource(std::string_view line, LinuxCommand& command, std::string& error) {
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) {
    return true;
  }
  std::string_view resource = trimmed(line.substr(0, colon));
  const size_t last = resource.find_last_of(".*");
  if (last != std::string_view::npos) {
    resource.remove_prefix(last + 1);
  }
  const std::string_view value = trimmed(line.substr(colon + 1));
  if (equalsIgnoringCase(resource, "delay")) {
    if (!parseDelay(value, command.delayMicroseconds)) {
      error = "bad value in --xrm " + quotedValue(line) + " " + kDelayRange;
      return false;
    }
  } else if (equalsIgnoringCase(resource, "fps")) {
    static constexpr struct {
      const char* word;
      bool on;
    } kBooleans[] = {{"true", true},   {"on", true},   {"yes", true}, {"1", true},
                     {"false", false}, {"off", false}, {"no", false}, {"0", false}};
    bool known = false;
    for (const auto& boolean : kBooleans) {
      if (equalsIgnoringCase(value, boolean.word)) {
        known = true;
        command.fps = boolean.on;
      }
    }
    if (!known) {
      error = "bad value in --xrm " + quotedValue(line) + " (true or false)";
      return false;
    }
  }
  return true;
}

}  // namespace

bool parseGeometry(std::string_view text, WindowGeometry& geometry) {
  WindowGeometry g;
  if (!text.empty() && text[0] == '=') {
    text.remove_prefix(1);
  }
  if (!text.empty() && text[0] != '+' && text[0] != '-') {
    if (!takeNumber(text, g.width) || text.empty() || (text[0] != 'x' && text[0] != 'X')) {
      return false;
    }
    text.remove_prefix(1);
    if (!takeNumber(text, g.height) || g.width == 0 || g.height == 0) {
      return false;
    }
    g.hasSize = true;
  }
  if (!text.empty()) {
    if (!takeOffset(text, g.x, g.fromRight) || !takeOffset(text, g.y, g.fromBottom)) {
      return false;
    }
    g.hasPosition = true;
  }
  if (!text.empty() || (!g.hasSize && !g.hasPosition)) {
    return false;
  }
  geometry = g;
  return true;
}

bool parseWindowId(std::string_view text, uint64_t& id) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  if (text.empty() || text[0] == '+' || text[0] == '-') {
    return false;
  }
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, id, base);
  return ec == std::errc() && ptr == end;
}

bool parseLinuxCommandLine(int argc, char** argv, const char* xscreensaverWindow,
                           LinuxCommand& command, std::string& error) {
  command = LinuxCommand{};
  if (argc > 1 && isSwitchArgument(argv[1])) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
      if (i > 1) {
        text += ' ';
      }
      text += argv[i];
    }
    SaverMode mode = SaverMode::Configure;
    parseCommandLine(text, mode, command.window);
    switch (mode) {
      case SaverMode::Configure:
        command.mode = LinuxMode::Configure;
        break;
      case SaverMode::Preview:
        command.mode = LinuxMode::Preview;
        break;
      case SaverMode::Run:
        command.mode = LinuxMode::FullScreen;
        break;
      case SaverMode::Password:
        command.mode = LinuxMode::Password;
        break;
    }
    return true;
  }

  bool headless = false;
  bool root = false;
  bool windowId = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const std::string_view name = optionName(arg);
    if (name == "help" || name == "h") {
      command.mode = LinuxMode::Help;
      return true;
    }
    if (name == "version") {
      command.mode = LinuxMode::Version;
      return true;
    }
    if (name == "root") {
      root = true;
      continue;
    }
    if (name == "window") {
      continue;
    }
    if (name == "fps" || name == "no-fps") {
      command.fps = name == "fps";
      continue;
    }
    // Options of the X toolkit that mean nothing to a program that draws its own pixels.
    if (name == "install" || name == "noinstall" || name == "mono" || name == "pair" ||
        name == "sync" || name == "synchronous" || name == "iconic") {
      continue;
    }
    if (name == "visual" || name == "display" || name == "geometry" || name == "delay" ||
        name == "device" || name == "xrm" || name == "name" || name == "class" || name == "title" ||
        name == "bg" || name == "background" || name == "fg" || name == "foreground" ||
        name == "bw" || name == "borderwidth") {
      const std::string dashed = "--" + std::string(name);
      if (i + 1 >= argc) {
        error = dashed + " needs a value";
        return false;
      }
      const std::string_view value = argv[++i];
      if (name == "display") {
        if (value.empty()) {
          error = dashed + " needs a value";
          return false;
        }
        command.display = value;
      } else if (name == "geometry" && !parseGeometry(value, command.geometry)) {
        error = "bad value for --geometry: " + quotedValue(value) + " (WxH, WxH+X+Y or +X+Y)";
        return false;
      } else if (name == "delay" && !parseDelay(value, command.delayMicroseconds)) {
        error = "bad value for --delay: " + quotedValue(value) + " " + kDelayRange;
        return false;
      } else if (name == "device") {
        if (value != "soft" && value != "gl") {
          error = "bad value for --device: " + quotedValue(value) + " (soft or gl)";
          return false;
        }
        command.device = value == "gl" ? DeviceChoice::Gl : DeviceChoice::Soft;
      } else if (name == "title") {
        command.title = value;
      } else if (name == "xrm" && !takeResource(value, command, error)) {
        return false;
      }
      continue;
    }
    if (name == "window-id") {
      if (i + 1 >= argc) {
        error = "--window-id needs a value";
        return false;
      }
      if (!parseWindowId(argv[++i], command.window) || command.window == 0) {
        error = "bad value for --window-id: " + quotedValue(argv[i]) +
                " (a window id, decimal or 0x hexadecimal)";
        return false;
      }
      windowId = true;
      continue;
    }
    headless = headless || name == "frames" || name == "trace" || name == "output";
    bool known = false;
    if (!parseHeadlessOption(argc, argv, i, command.options, known, error, kLinuxModes)) {
      return false;
    }
    if (!known) {
      error = "unknown option " + quotedValue(arg) + " (see --help)";
      return false;
    }
  }

  if (headless) {
    command.mode = LinuxMode::Headless;
  } else if (windowId) {
    command.mode = LinuxMode::Embedded;
  } else if (root) {
    command.mode = LinuxMode::Embedded;
    command.window = 0;
    if (xscreensaverWindow != nullptr && *xscreensaverWindow != '\0') {
      std::string_view text = xscreensaverWindow;
      while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
      }
      if (!parseWindowId(text, command.window)) {
        error = "bad XSCREENSAVER_WINDOW: " + quotedValue(xscreensaverWindow) +
                " (a window id, decimal or 0x hexadecimal)";
        return false;
      }
      command.windowFromEnvironment = true;
    }
  } else {
    command.mode = LinuxMode::Windowed;
  }
  return true;
}

std::string linuxUsage() {
  std::string text =
      "Usage: tavrik [options]\n"
      "  or:  tavrik -s | -p ID | -c [ID] | -a   (also /s, -S, /S, /c:ID, ...)\n"
      "\n"
      "With no arguments the saver runs in an ordinary window (Esc or q closes it).\n"
      "\n"
      "Options:\n"
      "Screen-saver switches (the first argument):\n"
      "  -s                    full screen until a key, a left or right button or mouse moves\n"
      "  -p ID                 the logo in a child window of window ID\n"
      "  -c [ID]               the settings dialog (tavrik-settings)\n"
      "  -a                    the password notice\n"
      "\n"
      "XScreenSaver options (a doubled dash means the same):\n"
      "  -window               run in an ordinary window\n"
      "  -geometry WxH+X+Y     the ordinary window's size and place (either may be left out;\n"
      "                        a size larger than the screen is brought down to the screen's)\n"
      "  -window-id ID         draw into window ID (decimal or 0x hexadecimal)\n"
      "  -root                 draw into $XSCREENSAVER_WINDOW, else the root window\n"
      "  -display NAME         the X display to use instead of $DISPLAY\n"
      "  -delay MICROSECONDS   the least time a frame takes, up to 1000000 (default 0: the\n"
      "                        display's refresh)\n"
      "  -fps, -no-fps         show or hide the frame rate, the device drawing and the\n"
      "                        triangles drawn per frame\n"
      "  -device soft|gl       draw with the software device or with OpenGL (default: OpenGL\n"
      "                        where its renderer is hardware, else the software device)\n"
      "  -help, --help         show this help and exit\n"
      "  -version, --version   show the version, the copyright and the licence, and exit\n"
      "\n"
      "X toolkit options, taken as every hack takes them:\n"
      "  -xrm RESOURCE         a resource line: '*delay: N' sets -delay and '*fps: true' (or\n"
      "                        false) sets -fps; any other resource is ignored\n"
      "  -title TITLE          the ordinary window's title\n"
      "  -name NAME, -class CLASS\n"
      "                        accepted and ignored: the window class stays TavrikWindow\n"
      "  -bg COLOUR, -background COLOUR, -fg COLOUR, -foreground COLOUR, -bw PIXELS\n"
      "                        accepted and ignored: the picture has colours of its own\n"
      "  -synchronous, -iconic, -install, -noinstall, -visual V, -mono, -pair, -sync\n"
      "                        accepted and ignored\n"
      "\n";
  text += headlessUsage();
  return text;
}

std::string linuxVersion() {
  return "tavrik " TAVRIK_VERSION
         "\n"
         "Copyright (c) 2026 The TAVRIK developers.\n"
         "Released under the MIT License; see /usr/share/doc/tavrik/copyright.\n"
         "\n"
         "Written by the TAVRIK developers.\n";
}

}  // namespace tavrik
