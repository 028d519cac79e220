#include "config/settings.h"

#include <algorithm>
#include <charconv>

namespace tavrik {

Settings::Settings() : Settings(DisplayModes{}) {}

Settings::Settings(const DisplayModes& modes) {
  for (const SettingField& field : settingFields(modes)) {
    this->*field.member = field.defaultValue;
  }
}

bool parseOverrideValue(int field, std::string_view text, int32_t& value,
                        const DisplayModes& modes) {
  const SettingField f = settingFields(modes)[static_cast<size_t>(field)];
  if (f.choices != nullptr) {
    for (int i = 0; i < f.choiceCount; ++i) {
      if (text == f.choices[i].word) {
        value = f.choices[i].value;
        return true;
      }
    }
    return false;
  }
  int32_t parsed = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, parsed);
  if (ec != std::errc() || ptr != end || parsed < f.low || parsed > f.high) {
    return false;
  }
  value = parsed;
  return true;
}

void applyOverrides(Settings& settings, const SettingsOverrides& overrides) {
  for (size_t i = 0; i < kSharedSettingFields.size(); ++i) {
    if (overrides.values[i]) {
      settings.*kSharedSettingFields[i].member = *overrides.values[i];
    }
  }
}

bool loadSettings(Settings& settings, SettingsStore& store) {
  bool created = false;
  store.open(created);
  if (created) {
    for (const SettingField& field : kSharedSettingFields) {
      store.writeValue(field.name, settings.*field.member);
    }
  } else {
    for (const SettingField& field : kSharedSettingFields) {
      store.readValue(field.name, settings.*field.member);
    }
  }
  return store.close();
}

bool saveSettings(const Settings& settings, SettingsStore& store) {
  bool created = false;
  store.open(created);
  for (const SettingField& field : kSharedSettingFields) {
    store.writeValue(field.name, settings.*field.member);
  }
  return store.close();
}

namespace {

// A stored count that the settings dialog could not have produced is brought back into the
// range it offers, so the live harrier count always fits the table of kMaxHarriers records.
void clampToTable(Settings& settings, int32_t Settings::*member) {
  for (const SettingField& field : kSharedSettingFields) {
    if (field.member == member) {
      settings.*member = std::clamp(settings.*member, field.low, field.high);
    }
  }
}

}  // namespace

void deriveRunSettings(Settings& settings, Random& random) {
  settings.withGround = 1;
  if (settings.formation == kFormationRandom) {
    settings.formation = random.next() % 2;
  }
  clampToTable(settings, &Settings::numHarriers);
  clampToTable(settings, &Settings::numHARRIERStriangle);
  if (settings.formation == kFormationLine) {
    settings.numHarriers += 1;
  }
  if (settings.formation == kFormationTriangle) {
    settings.numHarriers = settings.numHARRIERStriangle + 1;
  }
  switch (settings.mode) {
    case 0:
      settings.screenWidth = 640;
      settings.screenHeight = 480;
      break;
    case 1:
      settings.screenWidth = 800;
      settings.screenHeight = 600;
      break;
    case 2:
      settings.screenWidth = 1024;
      settings.screenHeight = 768;
      break;
    default:
      break;
  }
  settings.cloudPrimitive =
      settings.cloudSurface == 1 ? kPrimitiveTriangleStrip : kPrimitiveLineList;
}

bool drawsAtWindowSize(const Settings& settings, const DisplayModes& modes) {
  return modes.screenAtWindowSize && settings.mode == kModeScreen;
}

void followWindow(Settings& settings, int width, int height) {
  settings.screenWidth = static_cast<uint16_t>(std::clamp(width, 1, kMaxScreenSide));
  settings.screenHeight = static_cast<uint16_t>(std::clamp(height, 1, kMaxScreenSide));
}

void prepareRunSettings(Settings& settings, SettingsStore& store, Random& random,
                        const SettingsOverrides& overrides, const DisplayModes& modes) {
  settings = Settings(modes);
  loadSettings(settings, store);
  applyOverrides(settings, overrides);
  deriveRunSettings(settings, random);
}

}  // namespace tavrik
