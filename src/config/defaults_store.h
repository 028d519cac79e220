// A settings store that holds nothing: every run starts from the defaults and nothing is written
// anywhere. For runs that must not see or change the user's settings (benchmarks, tests).
#pragma once

#include <cstdint>

#include "config/settings.h"

namespace tavrik {

class DefaultsStore : public SettingsStore {
 public:
  void open(bool& created) override { created = false; }
  bool readValue(const char*, int32_t&) override { return false; }
  void writeValue(const char*, int32_t) override {}
  bool close() override { return true; }
};

}  // namespace tavrik
