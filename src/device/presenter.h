// Where the software device's finished frames go: an SDL window, an X window, PNG files, or
// nowhere. The device calls present() from flip(), with its RGB565 back buffer.
#pragma once

#include <cstdint>

namespace tavrik {

struct FrameView {
  const uint16_t* pixels;  // RGB565, row after row, top row first
  int width;
  int height;
  int pitch;  // pixels from one row to the next
};

class Presenter {
 public:
  virtual ~Presenter() = default;
  virtual void present(const FrameView& frame) = 0;
};

// An RGB565 pixel's channels as 8 bits each, widened by repeating their top bits, so that white
// stays 255 and black 0. Every place that shows or stores a frame in 8-bit channels widens so.
struct Rgb888 {
  uint8_t r, g, b;
};

constexpr Rgb888 widenPixel(uint16_t pixel) {
  const uint32_t r = pixel >> 11;
  const uint32_t g = (pixel >> 5) & 0x3F;
  const uint32_t b = pixel & 0x1F;
  return {static_cast<uint8_t>(r << 3 | r >> 2), static_cast<uint8_t>(g << 2 | g >> 4),
          static_cast<uint8_t>(b << 3 | b >> 2)};
}

// One row of RGB565 pixels as 8-bit RGB, width * 3 bytes.
inline void widenRow(const uint16_t* source, int width, uint8_t* out) {
  for (int x = 0; x < width; ++x) {
    const Rgb888 c = widenPixel(source[x]);
    *out++ = c.r;
    *out++ = c.g;
    *out++ = c.b;
  }
}

}  // namespace tavrik
