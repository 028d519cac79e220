// What the Linux presenters do alike: the picture scaled into a window of any size.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "device/presenter.h"
#include "host/fit_picture.h"

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

}  // namespace tavrik
