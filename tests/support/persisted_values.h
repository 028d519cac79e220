// The six persisted values of a settings record in the table's order, to compare in one go.
#pragma once

#include <array>
#include <cstdint>

#include "config/settings.h"

namespace tavrik::testing {

using PersistedValues = std::array<int32_t, kSettingFieldCount>;

inline PersistedValues persistedValues(const Settings& settings) {
  PersistedValues values{};
  for (size_t i = 0; i < values.size(); ++i) {
    values[i] = settings.*kSharedSettingFields[i].member;
  }
  return values;
}

}  // namespace tavrik::testing
