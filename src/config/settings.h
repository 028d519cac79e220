// The Settings record: six persisted values and three derived at run start. The persisted
// fields are declared once, in settingFields, which drives loading, saving, the command-line
// overrides and the XScreenSaver description.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "math/random.h"

namespace tavrik {

struct DisplayModes;

struct Settings {
  int32_t numHarriers;
  int32_t mode;
  int32_t cloudSurface;
  int32_t withGround;
  int32_t formation;
  int32_t numHARRIERStriangle;

  uint16_t screenWidth = 640;
  uint16_t screenHeight = 480;
  int32_t cloudPrimitive = 5;

  // The defaults every platform shares: the first display mode.
  Settings();
  // The defaults of one platform's table (see settingFields).
  explicit Settings(const DisplayModes& modes);
};

inline constexpr int32_t kFormationNone = 0;
inline constexpr int32_t kFormationTriangle = 1;
inline constexpr int32_t kFormationLine = 2;
inline constexpr int32_t kFormationRandom = 100;

inline constexpr int32_t kPrimitiveLineList = 2;
inline constexpr int32_t kPrimitiveTriangleStrip = 5;

inline constexpr int kMaxHarriers = 31;

// A word that stands for a stored value on the command line ("triangle" for formation 1).
struct SettingChoice {
  const char* word;
  int32_t value;
};

struct SettingField {
  const char* name;    // the stored value's name
  const char* option;  // the command-line override, or nullptr when there is none
  int32_t Settings::*member;
  int32_t defaultValue;
  int32_t low;  // the range the settings dialog produces
  int32_t high;
  const SettingChoice* choices;  // nullptr: the option takes a number from low to high
  int choiceCount;
};

// Mode 3, "screen": the picture drawn at the size of its window, whatever that is. Where only
// the three 4:3 display modes are offered, any other stored mode reads as 640 by 480.
inline constexpr int32_t kModeScreen = 3;

// The display modes a host offers. The core does not know which platform it runs on: the host
// passes its own, and the table, the overrides and the dialog follow what it passes.
struct DisplayModes {
  std::span<const SettingChoice> choices;  // mode 0, 1, ... in order
  int32_t defaultMode = 0;                 // what a new settings store starts at
  bool screenAtWindowSize = false;         // mode "screen" draws at its window's size
};

inline constexpr SettingChoice kFixedResolutions[] = {
    {"640x480", 0}, {"800x600", 1}, {"1024x768", 2}};
inline constexpr SettingChoice kWindowSizeResolutions[] = {
    {"640x480", 0}, {"800x600", 1}, {"1024x768", 2}, {"screen", kModeScreen}};
// The three 4:3 display modes alone, as the Windows saver changes the display to them.
inline constexpr DisplayModes kFixedModes{kFixedResolutions, 0, false};
// Those and "screen", which follows the window: a new settings store starts there; an existing
// one keeps what it holds.
inline constexpr DisplayModes kWindowSizeModes{kWindowSizeResolutions, kModeScreen, true};

// The largest picture drawn at a window's own size, a side.
inline constexpr int kMaxScreenSide = 8192;
inline constexpr SettingChoice kCloudChoices[] = {{"surface", 1}, {"wire", 0}};
inline constexpr SettingChoice kFormationChoices[] = {{"none", kFormationNone},
                                                      {"triangle", kFormationTriangle},
                                                      {"line", kFormationLine},
                                                      {"random", kFormationRandom}};
inline constexpr SettingChoice kTriangleChoices[] = {{"9", 9}, {"16", 16}, {"25", 25}};

inline constexpr int kSettingFieldCount = 6;
using SettingTable = std::array<SettingField, kSettingFieldCount>;

// Where each field stands in the table, and so in SettingsOverrides::values.
inline constexpr int kFieldHarriers = 0;
inline constexpr int kFieldMode = 1;
inline constexpr int kFieldClouds = 2;
inline constexpr int kFieldGround = 3;
inline constexpr int kFieldFormation = 4;
inline constexpr int kFieldTriangle = 5;

// The table for one platform's display modes, in the order in which the values are always read
// and written. Only the mode's words, range and default differ from one platform to another.
constexpr SettingTable settingFields(const DisplayModes& modes) {
  const int modeCount = static_cast<int>(modes.choices.size());
  return {{
      {"numHarriers", "harriers", &Settings::numHarriers, 15, 1, 30, nullptr, 0},
      {"mode", "resolution", &Settings::mode, modes.defaultMode, 0, modeCount - 1,
       modes.choices.data(), modeCount},
      {"cloudSurface", "clouds", &Settings::cloudSurface, 1, 0, 1, kCloudChoices, 2},
      {"withGround", nullptr, &Settings::withGround, 1, 0, 1, nullptr, 0},
      {"formation", "formation", &Settings::formation, 0, 0, 100, kFormationChoices, 4},
      {"numHARRIERStriangle", "triangle", &Settings::numHARRIERStriangle, 16, 9, 25,
       kTriangleChoices, 3},
  }};
}

// The names, the members and the ranges every platform shares; the mode's words are left out.
inline constexpr SettingTable kSharedSettingFields = settingFields(DisplayModes{});

static_assert(settingFields(kWindowSizeModes)[kFieldHarriers].member == &Settings::numHarriers);
static_assert(settingFields(kWindowSizeModes)[kFieldMode].member == &Settings::mode);
static_assert(settingFields(kWindowSizeModes)[kFieldClouds].member == &Settings::cloudSurface);
static_assert(settingFields(kWindowSizeModes)[kFieldGround].member == &Settings::withGround);
static_assert(settingFields(kWindowSizeModes)[kFieldFormation].member == &Settings::formation);
static_assert(settingFields(kWindowSizeModes)[kFieldTriangle].member ==
              &Settings::numHARRIERStriangle);

// Values given on the command line for one run; they are never saved.
struct SettingsOverrides {
  std::array<std::optional<int32_t>, kSettingFieldCount> values;
};

// Parses the value of the override for field index; false when the text is not one of its
// words (for the mode, one of the platform's) or not a whole number within the field's range.
bool parseOverrideValue(int field, std::string_view text, int32_t& value,
                        const DisplayModes& modes);
void applyOverrides(Settings& settings, const SettingsOverrides& overrides);

// A persistent per-user store of named 32-bit values that tells, when opened, whether it was
// just created (the registry key on Windows, a small file on Linux).
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // Opens the store, creating it when it does not exist yet.
  virtual void open(bool& created) = 0;
  // False when the value is missing or unreadable; the value is then left alone.
  virtual bool readValue(const char* name, int32_t& value) = 0;
  virtual void writeValue(const char* name, int32_t value) = 0;
  // Ends the session; false when values written could not be stored.
  virtual bool close() = 0;
};

// A new store receives the current values; an existing one supplies every value it holds.
bool loadSettings(Settings& settings, SettingsStore& store);
// Writes all six persisted values; false when they could not be stored.
bool saveSettings(const Settings& settings, SettingsStore& store);
// The run-start derivation after loading (and after any overrides): forced ground, resolved
// random formation, the live harrier count, screen size and cloud primitive.
void deriveRunSettings(Settings& settings, Random& random);
// True when the run draws at its window's size (mode "screen"); the host then gives the size,
// at the start and whenever the window changes, through followWindow.
bool drawsAtWindowSize(const Settings& settings, const DisplayModes& modes);
// Sets the picture's size from the window's, within 1 to kMaxScreenSide a side.
void followWindow(Settings& settings, int width, int height);
// The whole preparation, from the platform's defaults: load, overrides, derivation.
void prepareRunSettings(Settings& settings, SettingsStore& store, Random& random,
                        const SettingsOverrides& overrides, const DisplayModes& modes);

}  // namespace tavrik
