// The settings a flight test varies: how many harriers fly and in which formation; the rest
// keep the table's defaults.
#pragma once

#include <cstdint>

#include "config/settings.h"

namespace tavrik::testing {

inline Settings flightSettings(int32_t count, int32_t formation) {
  Settings settings;
  settings.numHarriers = count;
  settings.formation = formation;
  return settings;
}

}  // namespace tavrik::testing
