// Windows settings store: REG_DWORD values under one key of HKEY_CURRENT_USER. It relies on the
// registry's own atomicity per value; the key stays open from open() to close().
#pragma once

#include <cstdint>

#include "config/settings.h"

namespace tavrik {

inline constexpr const char* kRegistryKey = "Software\\Tavrik10618";

class RegistrySettingsStore : public SettingsStore {
 public:
  // subKey lies under HKEY_CURRENT_USER; tests use a scratch key of their own.
  explicit RegistrySettingsStore(const char* subKey = kRegistryKey) : subKey_(subKey) {}
  ~RegistrySettingsStore() override { close(); }

  // A key that can be neither opened nor created behaves as an empty existing one: every value
  // keeps its default, and close() reports the writes as lost.
  void open(bool& created) override;
  // A value that is not a 4-byte REG_DWORD counts as missing.
  bool readValue(const char* name, int32_t& value) override;
  void writeValue(const char* name, int32_t value) override;
  bool close() override;

 private:
  const char* subKey_;
  void* key_ = nullptr;  // the open HKEY
  bool writeFailed_ = false;
};

}  // namespace tavrik
