// The POSIX pieces of the frame pacer, for the Linux hosts: the monotonic clock, and nanosleep in
// whole microseconds, which a stop signal cuts short, as the frame loops want.
#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>

#include "host/frame_pacer.h"

namespace tavrik {

inline std::chrono::nanoseconds steadyNow() {
  return std::chrono::steady_clock::now().time_since_epoch();
}

inline void sleepMicroseconds(std::chrono::nanoseconds duration) {
  const int64_t microseconds =
      std::chrono::duration_cast<std::chrono::microseconds>(duration).count();
  timespec delay{};
  delay.tv_sec = static_cast<time_t>(microseconds / 1000000);
  delay.tv_nsec = static_cast<long>(microseconds % 1000000) * 1000;
  nanosleep(&delay, nullptr);
}

// Caps the frame rate at the display's refresh rate, or at one frame in delayMicroseconds (-delay)
// when that is given; each period counts from the end of the last sleep.
inline FramePacer linuxFramePacer(int refreshHz, uint32_t delayMicroseconds = 0) {
  const int64_t period = delayMicroseconds > 0 ? int64_t{delayMicroseconds}
                                               : 1000000 / (refreshHz > 0 ? refreshHz : 60);
  return FramePacer(std::chrono::microseconds(period), FramePacer::Rhythm::FromWake);
}

}  // namespace tavrik
