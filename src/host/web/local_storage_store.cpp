#include "host/web/local_storage_store.h"

#include <emscripten/emscripten.h>

// clang-format off
EM_JS(int, tavrikStoreOpen, (), {
  try {
    if (localStorage.getItem("tavrik.settings") !== null) return 0;
    localStorage.setItem("tavrik.settings", "1");
    return 1;
  } catch (e) {
    return 0;
  }
});

// The stored text when it is a whole 32-bit number, else a value outside that range.
EM_JS(double, tavrikStoreRead, (const char* name), {
  try {
    const text = localStorage.getItem("tavrik." + UTF8ToString(name));
    if (text === null || !/^-?[0-9]{1,10}$/.test(text)) return 1e10;
    return Number(text);
  } catch (e) {
    return 1e10;
  }
});

// 1 when the value was kept.
EM_JS(int, tavrikStoreWrite, (const char* name, int value), {
  try {
    localStorage.setItem("tavrik." + UTF8ToString(name), String(value));
    return 1;
  } catch (e) {
    return 0;
  }
});
// clang-format on

namespace tavrik {

void LocalStorageStore::open(bool& created) {
  created = tavrikStoreOpen() != 0;
}

bool LocalStorageStore::readValue(const char* name, int32_t& value) {
  const double read = tavrikStoreRead(name);
  if (read < -2147483648.0 || read > 2147483647.0) {
    return false;
  }
  value = static_cast<int32_t>(read);
  return true;
}

void LocalStorageStore::writeValue(const char* name, int32_t value) {
  kept_ = tavrikStoreWrite(name, value) != 0 && kept_;
}

}  // namespace tavrik
