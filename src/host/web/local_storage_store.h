// The browser's settings store: the page's localStorage, one key per value ("tavrik.mode").
// Where the page may not use localStorage (a private window, a sandboxed frame) every read misses
// and nothing is kept, so the run starts from the defaults.
#pragma once

#include <cstdint>

#include "config/settings.h"

namespace tavrik {

class LocalStorageStore : public SettingsStore {
 public:
  void open(bool& created) override;
  bool readValue(const char* name, int32_t& value) override;
  void writeValue(const char* name, int32_t value) override;
  // False when a value written was not kept.
  bool close() override { return kept_; }

 private:
  bool kept_ = true;
};

}  // namespace tavrik
