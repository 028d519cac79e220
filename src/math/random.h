// The one linear congruential generator of a run. Every draw's place in the sequence is part of
// the behaviour, so callers draw in separate statements, never two draws in one expression.
#pragma once

#include <cstdint>

namespace tavrik {

struct Random {
  uint32_t state = 1;

  // A value from 0 to 32767.
  int next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
  }

  // One draw scaled to [0, 1], both ends possible.
  float unit() { return static_cast<float>(next()) / 32767.0f; }
};

// Seeds the generator and discards 0 to 9 draws, as every run starts.
inline void seedAndStir(Random& random, uint32_t seed) {
  random.state = seed;
  const int r = random.next();
  for (int i = 0; i < r % 10; ++i) {
    random.next();
  }
}

}  // namespace tavrik
