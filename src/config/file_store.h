// Linux settings store: one small text file per user, one "name=value" line per value.
// It relies on POSIX files and rename(); it keeps nothing open between open() and close().
#pragma once

#include <cstdint>
#include <string>

#include "config/settings.h"

namespace tavrik {

// $XDG_CONFIG_HOME/tavrik/settings, else $HOME/.config/tavrik/settings; empty when neither
// variable gives an absolute path.
std::string defaultSettingsPath();

class FileSettingsStore : public SettingsStore {
 public:
  explicit FileSettingsStore(std::string path) : path_(std::move(path)) {}

  void open(bool& created) override;
  bool readValue(const char* name, int32_t& value) override;
  void writeValue(const char* name, int32_t value) override;
  bool close() override;

 private:
  struct Entry {
    bool present = false;
    int32_t value = 0;
  };
  // The file's values for the names of the settings table; anything else in it is ignored.
  Entry entries_[kSettingFieldCount];
  bool dirty_ = false;
  std::string path_;
};

}  // namespace tavrik
