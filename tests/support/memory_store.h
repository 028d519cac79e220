// A settings store kept in memory with the persistent store's behaviour: values survive between
// sessions, and opening tells whether the store was just created. It logs every write and can
// be told to fail when it stores.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "config/settings.h"

namespace tavrik::testing {

class MemoryStore : public SettingsStore {
 public:
  bool exists = false;
  bool failStoring = false;
  int opens = 0;
  std::map<std::string, int32_t> values;
  std::vector<std::pair<std::string, int32_t>> writes;

  void open(bool& created) override {
    ++opens;
    created = !exists;
    exists = true;
  }
  bool readValue(const char* name, int32_t& value) override {
    const auto it = values.find(name);
    if (it == values.end()) {
      return false;
    }
    value = it->second;
    return true;
  }
  void writeValue(const char* name, int32_t value) override {
    writes.emplace_back(name, value);
    if (!failStoring) {
      values[name] = value;
    }
  }
  bool close() override { return !failStoring; }
};

// A store that exists already and holds these values.
inline MemoryStore storedWith(std::map<std::string, int32_t> values) {
  MemoryStore store;
  store.exists = true;
  store.values = std::move(values);
  return store;
}

}  // namespace tavrik::testing
