#include "host/linux/cli/command_line.h"
#include "config/quote.h"

#include <array>
#include <charconv>
#include <cstring>

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

static_assert(optionOf(OptionKind::Delay, kSaverProgram).high == kMaxDelayMicroseconds);

bool parseDelay(std::string_view value, uint32_t& delay) {
  return parseOptionNumber(optionOf(OptionKind::Delay, kSaverProgram), value, delay);
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
      error = "bad value in --xrm " + quotedValue(line) + " " +
              optionOf(OptionKind::Delay, kSaverProgram).range;
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

// Sets what one of the saver's own options gives; false with a one-line message in error when
// its value is bad.
bool applySaverOption(const OptionEntry& option, const std::string& dashed, std::string_view value,
                      LinuxCommand& command, std::string& error) {
  bool good = true;
  switch (option.kind) {
    case OptionKind::Display:
      if (value.empty()) {
        error = dashed + " needs a value";
        return false;
      }
      command.display = value;
      break;
    case OptionKind::Geometry:
      good = parseGeometry(value, command.geometry);
      break;
    case OptionKind::Delay:
      good = parseDelay(value, command.delayMicroseconds);
      break;
    case OptionKind::Device:
      good = isArgumentWord(option, value);
      if (good) {
        command.device = value == "gl" ? DeviceChoice::Gl : DeviceChoice::Soft;
      }
      break;
    case OptionKind::WindowId:
      good = parseWindowId(value, command.window) && command.window != 0;
      break;
    case OptionKind::Title:
      command.title = value;
      break;
    case OptionKind::Xrm:
      return takeResource(value, command, error);
    case OptionKind::FpsOn:
    case OptionKind::FpsOff:
      command.fps = option.kind == OptionKind::FpsOn;
      break;
    default:  // -window, -root and the toolkit's options change nothing here
      break;
  }
  if (!good) {
    error = badValue(dashed, value, option.range);
  }
  return good;
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
    const OptionEntry* option = findOption(argc, argv, i, kSaverProgram);
    if (option == nullptr) {
      error = "unknown option " + quotedValue(arg) + " (see --help)";
      return false;
    }
    if (option->kind == OptionKind::Help || option->kind == OptionKind::Version) {
      command.mode = option->kind == OptionKind::Help ? LinuxMode::Help : LinuxMode::Version;
      return true;
    }
    const std::string dashed = dashedName(arg);
    std::string_view value;
    if (option->argument != nullptr) {
      if (i + 1 >= argc) {
        error = dashed + " needs a value";
        return false;
      }
      value = argv[++i];
    }
    if (isRunOption(option->kind)) {
      headless = headless || startsHeadlessRun(option->kind);
      if (!applyRunOption(*option, dashed, value, command.options, error, kLinuxModes)) {
        return false;
      }
      continue;
    }
    root = root || option->kind == OptionKind::Root;
    windowId = windowId || option->kind == OptionKind::WindowId;
    if (!applySaverOption(*option, dashed, value, command, error)) {
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
      "Options:\n";
  text += optionUsage(OptionGroup::Switches) + "\n";
  text += optionUsage(OptionGroup::XScreenSaver) + "\n";
  text += optionUsage(OptionGroup::XToolkit) + "\n";
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
