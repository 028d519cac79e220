// What the Linux presenters do alike: the picture scaled into a window of any size, and the
// pace of frames when nothing waits for the display's refresh.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "device/presenter.h"
#include "host/fit_picture.h"
#include "host/frame_pacer.h"

namespace tavrik {

// Scales frame into fit, a rectangle of a 16- or 32-bit image (pitch in pixels), nearest pixel,
// through palette (RGB565 to the image's pixel values), and paints the rest of the image black.
// columns needs room for fit.width entries.
template <class Pixel>
void scalePicture(const FrameView& frame, const uint32_t* palette, Pixel* image, int imageWidth,
                  int imageHeight, int pitch, PictureRect fit, int* columns) {
  const Pixel black = static_cast<Pixel>(palette[0]);
  for (int x = 0; x < fit.width; ++x) {
    columns[x] = static_cast<int>(int64_t{x} * frame.width / fit.width);
  }
  for (int y = 0; y < imageHeight; ++y) {
    Pixel* out = image + static_cast<ptrdiff_t>(y) * pitch;
    if (y < fit.y || y >= fit.y + fit.height) {
      for (int x = 0; x < imageWidth; ++x) {
        out[x] = black;
      }
      continue;
    }
    const int sourceRow = static_cast<int>(int64_t{y - fit.y} * frame.height / fit.height);
    if (y > fit.y &&
        sourceRow == static_cast<int>(int64_t{y - 1 - fit.y} * frame.height / fit.height)) {
      // Scaled up, a row repeats the one above: copied, not looked up again.
      std::memcpy(out, out - pitch, static_cast<size_t>(imageWidth) * sizeof(Pixel));
      continue;
    }
    const uint16_t* source = frame.pixels + static_cast<ptrdiff_t>(sourceRow) * frame.pitch;
    for (int x = 0; x < fit.x; ++x) {
      out[x] = black;
    }
    Pixel* picture = out + fit.x;
    for (int x = 0; x < fit.width; ++x) {
      picture[x] = static_cast<Pixel>(palette[source[columns[x]]]);
    }
    for (int x = fit.x + fit.width; x < imageWidth; ++x) {
      out[x] = black;
    }
  }
}

// The Linux pieces of the frame pacer: the monotonic clock, and nanosleep in whole microseconds,
// which a stop signal cuts short, as the frame loops want.
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
