#include "host/run_options.h"

#include <charconv>
#include <cstdio>
#include <ctime>

namespace tavrik {

namespace {

// The index in the settings table of the override called option, or -1.
constexpr int settingField(std::string_view option) {
  for (size_t f = 0; f < kSharedSettingFields.size(); ++f) {
    if (kSharedSettingFields[f].option != nullptr && option == kSharedSettingFields[f].option) {
      return static_cast<int>(f);
    }
  }
  return -1;
}

constexpr const char* kWholeNumber = "(a whole number from 0 to 4294967295)";

constexpr RunRow kRows[] = {
    {{.group = kRunGroup,
      .name = "frames",
      .argument = "N",
      .high = UINT32_MAX,
      .range = kWholeNumber,
      .headless = true,
      .withWindow = true,
      .help = "run N frames, then stop"},
     &RunOptions::frames},
    {{.group = kRunGroup,
      .name = "trace",
      .argument = "FILE",
      .text = TextRule::NotEmpty,
      .headless = true,
      .withWindow = true,
      .help = "write the run header and one line per frame (JSON Lines)"},
     &RunOptions::tracePath},
    {{.group = kRunGroup,
      .name = "output",
      .argument = "DIR",
      .text = TextRule::NotEmpty,
      .headless = true,
      .help = "write each frame as DIR/frame-00001.png, ..."},
     &RunOptions::outputDir},
    {{.group = kRunGroup,
      .name = "seed",
      .argument = "S",
      .high = UINT32_MAX,
      .range = kWholeNumber,
      .help = "seed the generator with S instead of the calendar time"},
     &RunOptions::seed},
    {{.group = kRunGroup,
      .name = "frame-ms",
      .argument = "MS",
      .high = UINT32_MAX,
      .range = kWholeNumber,
      .help = "simulated timer: each reading MS after the one before"},
     &RunOptions::frameMs},
    {{.group = kRunGroup,
      .name = "clock-start",
      .argument = "MS0",
      .high = UINT32_MAX,
      .range = kWholeNumber,
      .help = "the simulated timer's first reading (default 60000)"},
     &RunOptions::clockStartMs},

    {{.group = kSettingsGroup,
      .argument = "N",
      .field = settingField("harriers"),
      .help = "the harriers flown without a formation, 1 to 30"},
     SettingOverride{}},
    {{.group = kSettingsGroup,
      .argument = "none|triangle|line|random",
      .field = settingField("formation"),
      .help = "the formation flown (random: none or the triangle)"},
     SettingOverride{}},
    {{.group = kSettingsGroup,
      .argument = "9|16|25",
      .field = settingField("triangle"),
      .help = "the harriers of the triangle formation"},
     SettingOverride{}},
    // The same words on every system: a build without "screen" refuses it with its range.
    {{.group = kSettingsGroup,
      .argument = "640x480|800x600|1024x768|screen|WxH",
      .field = settingField("resolution"),
      .help = "the picture's size (screen: the window's own size; WxH any\n"
              "such size up to 8192x8192, drawn as a window of that size\n"
              "would be)"},
     SettingOverride{}},
    {{.group = kSettingsGroup,
      .argument = "surface|wire",
      .field = settingField("clouds"),
      .help = "the cloud tiles drawn as surfaces or as wire frames"},
     SettingOverride{}},
};

// Every settings override has its row, and every row of an override its field.
constexpr bool overridesListed() {
  for (const RunRow& row : kRows) {
    if (std::holds_alternative<SettingOverride>(row.to) != (row.rule.field >= 0)) {
      return false;
    }
  }
  for (size_t f = 0; f < kSharedSettingFields.size(); ++f) {
    bool listed = kSharedSettingFields[f].option == nullptr;
    for (const RunRow& row : kRows) {
      listed = listed || row.rule.field == static_cast<int>(f);
    }
    if (!listed) {
      return false;
    }
  }
  return true;
}
static_assert(overridesListed());

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

}  // namespace

const std::span<const RunRow> kRunRows = kRows;

uint32_t runSeed(const RunOptions& options) {
  return options.seed ? *options.seed : static_cast<uint32_t>(std::time(nullptr));
}

bool takeValue(TakenOption& taken, SettingOverride, RunOptions& options) {
  const int field = taken.rule.field;
  const DisplayModes& modes = taken.modes;
  int32_t parsed = 0;
  if (field == kFieldMode && !parseOverrideValue(field, taken.value, parsed, modes) &&
      parsePictureSize(taken.value, options, modes)) {
    parsed = kModeScreen;
  } else if (!parseOverrideValue(field, taken.value, parsed, modes)) {
    const SettingField setting = settingFields(modes)[static_cast<size_t>(field)];
    taken.error = badValue(taken.dashed, taken.value, valueRange(setting, modes).c_str());
    return false;
  }
  options.overrides.values[static_cast<size_t>(field)] = parsed;
  return true;
}

std::string runUsage() {
  return "Headless run (no window):\n" + optionUsage(kRunRows, kRunGroup, "--") + "\n" +
         "Settings for this run only (never saved):\n" +
         optionUsage(kRunRows, kSettingsGroup, "--");
}

bool parseRunnerCommandLine(int argc, char** argv, RunnerCommand& command, std::string& error,
                            const DisplayModes& modes) {
  return parseRunnerCommandLine(argc, argv, std::span<const RunRow>(), command.options, true,
                                command, error, modes);
}

}  // namespace tavrik
