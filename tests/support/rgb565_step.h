// How two pictures of different devices are compared: a pixel agrees when each of its channels
// lies within one RGB565 step of the other picture's.
#pragma once

#include <cstdint>

namespace tavrik::testing {

inline bool withinOneStep(uint16_t a, uint16_t b) {
  const auto near = [](int x, int y) { return x - y <= 1 && y - x <= 1; };
  return near(a >> 11, b >> 11) && near(a >> 5 & 0x3F, b >> 5 & 0x3F) && near(a & 0x1F, b & 0x1F);
}

}  // namespace tavrik::testing
