// Runs that begin together need flights of their own: XScreenSaver starts a process per monitor
// and the Wayland host a flight per output, and the calendar seconds alone would make them twins.
// For the Linux hosts (POSIX: the process id and the monotonic clock).
#pragma once

#include <unistd.h>

#include <cstdint>
#include <ctime>

#include "host/run_options.h"

namespace tavrik {

// --seed plus index where given, else the calendar time with the process id, the clock's
// nanoseconds and index mixed in.
inline uint32_t instanceSeed(const RunOptions& options, uint32_t index = 0) {
  if (options.seed) {
    return *options.seed + index;
  }
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return runSeed(options) ^ static_cast<uint32_t>(getpid()) * 2654435761u ^
         static_cast<uint32_t>(now.tv_nsec) ^ index * 0x9E3779B9u;
}

}  // namespace tavrik
