#include "host/linux/cli/command_line.h"

#include <charconv>

#include "config/quote.h"
#include "host/linux/cli/linux_options.h"

namespace tavrik {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
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

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && isBlank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

// The mode a switch chooses; the arguments join into one text, as Windows passes them.
LinuxMode switchMode(int argc, char** argv, uint64_t& window) {
  std::string text;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) {
      text += ' ';
    }
    text += argv[i];
  }
  SaverMode mode = SaverMode::Configure;
  parseCommandLine(text, mode, window);
  switch (mode) {
    case SaverMode::Preview:
      return LinuxMode::Preview;
    case SaverMode::Run:
      return LinuxMode::FullScreen;
    case SaverMode::Password:
      return LinuxMode::Password;
    case SaverMode::Configure:
      break;
  }
  return LinuxMode::Configure;
}

// -root's window: XSCREENSAVER_WINDOW when it is set, else the root window (0).
bool environmentWindow(const char* xscreensaverWindow, LinuxCommand& command, std::string& error) {
  if (xscreensaverWindow == nullptr || *xscreensaverWindow == '\0') {
    return true;
  }
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

// One -xrm resource line, "*delay: 20000" or "tavrik.fps: true": the resources that have an
// option of ours set it, as that option would; any other resource is the toolkit's and ignored.
bool takeValue(TakenOption& taken, XResource, LinuxCommand& command) {
  const std::string_view line = taken.value;
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) {
    return true;
  }
  std::string_view resource = trimmed(line.substr(0, colon));
  const size_t last = resource.find_last_of(".*");
  if (last != std::string_view::npos) {
    resource.remove_prefix(last + 1);
  }
  for (const LinuxRow& row : kLinuxRows) {
    if (row.rule.resource && equalsIgnoringCase(resource, row.rule.name)) {
      TakenOption option{row.rule,    taken.dashed, trimmed(line.substr(colon + 1)),
                         taken.error, taken.modes,  true};
      if (!applyOption(row, option, command)) {
        taken.error = "bad value in --xrm " + quotedValue(line) + " " + row.rule.range;
        return false;
      }
    }
  }
  return true;
}

bool takeValue(TakenOption& taken, WindowGeometry& geometry) {
  if (!parseGeometry(taken.value, geometry)) {
    taken.error = badValue(taken.dashed, taken.value, taken.rule.range);
    return false;
  }
  return true;
}

bool takeValue(TakenOption& taken, DeviceChoice& device) {
  if (!isArgumentWord(taken.rule, taken.value)) {
    taken.error = badValue(taken.dashed, taken.value, taken.rule.range);
    return false;
  }
  device = taken.value == "gl" ? DeviceChoice::Gl : DeviceChoice::Soft;
  return true;
}

bool takeValue(TakenOption& taken, uint64_t& window) {
  if (!parseWindowId(taken.value, window) || window == 0) {
    taken.error = badValue(taken.dashed, taken.value, taken.rule.range);
    return false;
  }
  return true;
}

bool takeValue(TakenOption& taken, LinuxMode& mode) {
  mode = static_cast<LinuxMode>(taken.rule.sets);
  return true;
}

bool parseLinuxCommandLine(int argc, char** argv, const char* xscreensaverWindow,
                           LinuxCommand& command, std::string& error) {
  command = LinuxCommand{};
  if (argc > 1 && isSwitchArgument(argv[1])) {
    command.mode = switchMode(argc, argv, command.window);
    return true;
  }
  bool headless = false;  // an option that only a run without a window takes
  bool traced = false;    // --trace or --frames, which a named window's run takes too
  for (int i = 1; i < argc; ++i) {
    const OptionRule* taken = nullptr;
    if (!takeOption(kLinuxRows, argc, argv, i, command, error, kWindowSizeModes, taken)) {
      return false;
    }
    if (taken == nullptr) {
      if (!takeOption(kRunRows, argc, argv, i, command.options, error, kWindowSizeModes, taken)) {
        return false;
      }
      if (taken == nullptr) {
        error = unknownOption(argv[i]);
        return false;
      }
      headless = headless || (taken->headless && !taken->withWindow);
      traced = traced || taken->withWindow;
    }
    if (command.mode == LinuxMode::Help || command.mode == LinuxMode::Version ||
        command.mode == LinuxMode::AddToXScreenSaver) {
      return true;
    }
  }
  // A headless run wins over a window to draw into, and a window id over -root. A trace or a
  // frame count alone is a headless run too, unless -window, -root or -window-id names a window.
  const bool windowNamed =
      command.windowNamed || command.window != 0 || command.mode == LinuxMode::Embedded;
  if (headless || (traced && !windowNamed)) {
    command.mode = LinuxMode::Headless;
  } else if (command.window != 0) {
    command.mode = LinuxMode::Embedded;
  } else if (command.mode == LinuxMode::Embedded) {
    return environmentWindow(xscreensaverWindow, command, error);
  }
  return true;
}

std::string linuxUsage() {
  std::string text =
      "Usage: tavrik [options]\n"
      "  or:  tavrik -s | -p ID | -c [ID] | -a   (also /s, -S, /S, /c:ID, ...)\n"
      "\n"
      "With no arguments the saver runs in an ordinary window (Esc or q closes it).\n"
      "--trace and --frames with -window, -root or -window-id trace that window's run\n"
      "(on Wayland, the first output's) and end it after N frames; without a window\n"
      "named, and with --output, the run has no window.\n"
      "\n"
      "Options:\n";
  text += "Screen-saver switches (the first argument):\n" +
          optionUsage(kLinuxSwitches, kSwitchGroup, "-") + "\n";
  text += "XScreenSaver options (a doubled dash means the same):\n" +
          optionUsage(kLinuxRows, kHackGroup, "-") + "\n";
  text += "X toolkit options, taken as every hack takes them:\n" +
          optionUsage(kLinuxRows, kToolkitGroup, "-") + "\n";
  text += runUsage();
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
