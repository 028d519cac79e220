#include "host/run_options.h"

#include <charconv>
#include <cstdio>
#include <ctime>

#include "config/quote.h"

namespace tavrik {

namespace {

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

const char* nameOf(const OptionEntry& option) {
  return option.field >= 0 ? kSharedSettingFields[static_cast<size_t>(option.field)].option
                           : option.name;
}

bool parseUnsigned(std::string_view text, uint32_t& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return !text.empty() && ec == std::errc() && ptr == end;
}

// "WxH" with each side from 1 to the largest picture drawn at a window's size.
bool parsePictureSize(std::string_view text, RunOptions& options, const DisplayModes& modes) {
  if (!modes.screenAtWindowSize) {
    return false;  // a build that draws only at its display modes
  }
  const size_t x = text.find('x');
  uint32_t width = 0;
  uint32_t height = 0;
  if (x == std::string_view::npos || !parseUnsigned(text.substr(0, x), width) ||
      !parseUnsigned(text.substr(x + 1), height) || width == 0 || height == 0 ||
      width > kMaxScreenSide || height > kMaxScreenSide) {
    return false;
  }
  options.width = static_cast<int>(width);
  options.height = static_cast<int>(height);
  return true;
}

// What an override takes, for the message about a bad value: "(1 to 30)", "(surface or wire)".
// Written with append and snprintf: GCC 12 at -O3 takes std::string's operator+ here for an
// overlapping copy.
std::string valueRange(const SettingField& field, const DisplayModes& modes) {
  char number[64];
  if (field.choices == nullptr) {
    std::snprintf(number, sizeof number, "(%lld to %lld)", static_cast<long long>(field.low),
                  static_cast<long long>(field.high));
    return number;
  }
  // A build that draws at the window's size also takes any picture size.
  const bool anySize = field.member == &Settings::mode && modes.screenAtWindowSize;
  const int words = field.choiceCount + (anySize ? 1 : 0);
  std::string text = "(";
  for (int i = 0; i < words; ++i) {
    text.append(i == 0 ? "" : i + 1 == words ? " or " : ", ");
    if (i < field.choiceCount) {
      text.append(field.choices[i].word);
    } else {
      std::snprintf(number, sizeof number, "WxH up to %dx%d", kMaxScreenSide, kMaxScreenSide);
      text.append(number);
    }
  }
  text.append(")");
  return text;
}

bool applySetting(const OptionEntry& option, const std::string& dashed, std::string_view value,
                  RunOptions& options, std::string& error, const DisplayModes& modes) {
  const int field = option.field;
  const SettingField setting = settingFields(modes)[static_cast<size_t>(field)];
  int32_t parsed = 0;
  if (field == kFieldMode && !parseOverrideValue(field, value, parsed, modes) &&
      parsePictureSize(value, options, modes)) {
    parsed = kModeScreen;
  } else if (!parseOverrideValue(field, value, parsed, modes)) {
    error = badValue(dashed, value, valueRange(setting, modes).c_str());
    return false;
  }
  options.overrides.values[static_cast<size_t>(field)] = parsed;
  return true;
}

// The label --help gives an option: "-geometry WxH+X+Y", "-help, --help", "--frames N".
std::string label(const OptionEntry& option) {
  const bool doubled = option.group == OptionGroup::Replay || option.group == OptionGroup::Run ||
                       option.group == OptionGroup::Settings;
  std::string text = doubled ? "--" : "-";
  text += nameOf(option);
  if (option.bothDashes) {
    text.append(", --").append(nameOf(option));
  }
  if (option.argument != nullptr) {
    text.append(" ").append(option.argument);
  }
  return text;
}

const char* heading(OptionGroup group) {
  switch (group) {
    case OptionGroup::Switches:
      return "Screen-saver switches (the first argument):\n";
    case OptionGroup::XScreenSaver:
      return "XScreenSaver options (a doubled dash means the same):\n";
    case OptionGroup::XToolkit:
      return "X toolkit options, taken as every hack takes them:\n";
    case OptionGroup::Replay:
      return "";
    case OptionGroup::Run:
      return "Headless run (no window):\n";
    case OptionGroup::Settings:
      return "Settings for this run only (never saved):\n";
  }
  return "";
}

}  // namespace

uint32_t runSeed(const RunOptions& options) {
  return options.seed ? *options.seed : static_cast<uint32_t>(std::time(nullptr));
}

const OptionEntry* findOption(int argc, char** argv, int i, uint8_t program) {
  const std::string_view arg = argv[i];
  const std::string_view name = optionName(arg);
  for (const OptionEntry& option : kOptions) {
    if ((option.programs & program) == 0 || option.kind == OptionKind::Switch) {
      continue;
    }
    if (option.exact) {
      if (arg.size() > 2 && arg.substr(0, 2) == "--" && name == nameOf(option) && i + 1 < argc) {
        return &option;
      }
      continue;
    }
    if (name == nameOf(option) || (option.alias != nullptr && name == option.alias)) {
      return &option;
    }
  }
  return nullptr;
}

std::string dashedName(std::string_view arg) {
  return "--" + std::string(optionName(arg));
}

std::string badValue(const std::string& dashed, std::string_view value, const char* range) {
  std::string text = "bad value for " + dashed + ": " + quotedValue(value);
  if (range != nullptr) {
    text.append(" ").append(range);
  }
  return text;
}

bool parseOptionNumber(const OptionEntry& option, std::string_view text, uint32_t& value) {
  uint32_t parsed = 0;
  if (!parseUnsigned(text, parsed) || parsed < option.low || parsed > option.high) {
    return false;
  }
  value = parsed;
  return true;
}

bool isArgumentWord(const OptionEntry& option, std::string_view value) {
  std::string_view words = option.argument != nullptr ? option.argument : "";
  while (!words.empty()) {
    const size_t bar = words.find('|');
    if (words.substr(0, bar) == value) {
      return true;
    }
    words = bar == std::string_view::npos ? std::string_view() : words.substr(bar + 1);
  }
  return false;
}

bool isRunOption(OptionKind kind) {
  return kind == OptionKind::Frames || kind == OptionKind::Trace || kind == OptionKind::Output ||
         kind == OptionKind::Seed || kind == OptionKind::FrameMs ||
         kind == OptionKind::ClockStart || kind == OptionKind::Setting;
}

bool startsHeadlessRun(OptionKind kind) {
  return kind == OptionKind::Frames || kind == OptionKind::Trace || kind == OptionKind::Output;
}

bool applyRunOption(const OptionEntry& option, const std::string& dashed, std::string_view value,
                    RunOptions& options, std::string& error, const DisplayModes& modes) {
  if (option.kind == OptionKind::Setting) {
    return applySetting(option, dashed, value, options, error, modes);
  }
  if (option.kind == OptionKind::Trace || option.kind == OptionKind::Output) {
    if (value.empty()) {
      error = dashed + " needs a value";
      return false;
    }
    (option.kind == OptionKind::Trace ? options.tracePath : options.outputDir) = value;
    return true;
  }
  uint32_t number = 0;
  if (!parseOptionNumber(option, value, number)) {
    error = badValue(dashed, value, option.range);
    return false;
  }
  if (option.kind == OptionKind::Seed) {
    options.seed = number;
  } else if (option.kind == OptionKind::FrameMs) {
    options.frameMs = number;
  } else if (option.kind == OptionKind::ClockStart) {
    options.clockStartMs = number;
  } else {
    options.frames = number;
  }
  return true;
}

bool parseRunOption(int argc, char** argv, int& i, RunOptions& options, bool& known,
                    std::string& error, const DisplayModes& modes) {
  const OptionEntry* option = findOption(argc, argv, i, kRunnerProgram);
  known = option != nullptr && isRunOption(option->kind);
  if (!known) {
    return true;
  }
  const std::string dashed = dashedName(argv[i]);
  if (i + 1 >= argc) {
    error = dashed + " needs a value";
    return false;
  }
  return applyRunOption(*option, dashed, argv[++i], options, error, modes);
}

bool parseRunnerCommandLine(int argc, char** argv, uint8_t program, RunnerCommand& command,
                            std::string& error, const DisplayModes& modes) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    // The runners take these only as written; the Linux program's -help is in the table.
    if (arg == "--help" || arg == "-h") {
      command.help = true;
      return true;
    }
    if (program == kReplayProgram && arg == "--version") {
      command.version = true;
      return true;
    }
    const OptionEntry* option = findOption(argc, argv, i, program);
    if (option == nullptr) {
      command.unknown = i;
      error = "unknown option " + quotedValue(arg) + " (see --help)";
      return false;
    }
    const std::string dashed = dashedName(arg);
    if (i + 1 >= argc) {
      error = dashed + " needs a value";
      return false;
    }
    const std::string_view value = argv[++i];
    if (option->kind == OptionKind::ReplayDevice && isArgumentWord(*option, value)) {
      command.device = value;
    } else if (option->kind == OptionKind::FailAt) {
      if (!parseOptionNumber(*option, value, command.failAt)) {
        error = badValue(dashed, value, option->range);
        return false;
      }
    } else if (option->kind == OptionKind::ReplayDevice) {
      error = badValue(dashed, value, option->range);
      return false;
    } else if (!applyRunOption(*option, dashed, value, command.options, error, modes)) {
      return false;
    }
  }
  return true;
}

std::string optionUsage(OptionGroup group) {
  constexpr size_t kHelpColumn = 24;
  std::string text = heading(group);
  std::string names;
  for (const OptionEntry& option : kOptions) {
    if (option.group != group) {
      continue;
    }
    names.append(names.empty() ? "  " : ", ").append(label(option));
    if (option.help == nullptr) {
      continue;
    }
    // Names too long to leave two spaces before the help put the help on a line of its own.
    text += names;
    text += names.size() + 2 <= kHelpColumn ? std::string(kHelpColumn - names.size(), ' ')
                                            : "\n" + std::string(kHelpColumn, ' ');
    for (const char* c = option.help; *c != '\0'; ++c) {
      text += *c;
      if (*c == '\n') {
        text.append(kHelpColumn, ' ');
      }
    }
    text += '\n';
    names.clear();
  }
  return text;
}

std::string runUsage() {
  return optionUsage(OptionGroup::Run) + "\n" + optionUsage(OptionGroup::Settings);
}

}  // namespace tavrik
