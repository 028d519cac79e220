#include "config/registry_store.h"

#include <windows.h>

#include <cstring>

namespace tavrik {

void RegistrySettingsStore::open(bool& created) {
  close();
  writeFailed_ = false;
  created = false;
  HKEY key = nullptr;
  DWORD disposition = 0;
  char noClass[] = "";
  if (RegCreateKeyExA(HKEY_CURRENT_USER, subKey_, 0, noClass, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS) {
    return;
  }
  key_ = key;
  created = disposition == REG_CREATED_NEW_KEY;
}

bool RegistrySettingsStore::readValue(const char* name, int32_t& value) {
  if (key_ == nullptr) {
    return false;
  }
  DWORD type = 0;
  BYTE data[4] = {};
  DWORD size = sizeof data;
  if (RegQueryValueExA(static_cast<HKEY>(key_), name, nullptr, &type, data, &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof data) {
    return false;
  }
  std::memcpy(&value, data, sizeof value);
  return true;
}

void RegistrySettingsStore::writeValue(const char* name, int32_t value) {
  BYTE data[4];
  std::memcpy(data, &value, sizeof data);
  if (key_ == nullptr || RegSetValueExA(static_cast<HKEY>(key_), name, 0, REG_DWORD, data,
                                        sizeof data) != ERROR_SUCCESS) {
    writeFailed_ = true;
  }
}

bool RegistrySettingsStore::close() {
  if (key_ != nullptr) {
    if (RegCloseKey(static_cast<HKEY>(key_)) != ERROR_SUCCESS) {
      writeFailed_ = true;
    }
    key_ = nullptr;
  }
  return !writeFailed_;
}

}  // namespace tavrik
