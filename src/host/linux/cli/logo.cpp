#include "host/linux/cli/logo.h"

namespace tavrik {

namespace {

uint32_t read32(const unsigned char* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

uint16_t read16(const unsigned char* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

}  // namespace

bool decodeBmp8(const unsigned char* data, size_t size, LogoImage& image) {
  if (data == nullptr || size < 54 || data[0] != 'B' || data[1] != 'M') {
    return false;
  }
  const uint32_t pixelOffset = read32(data + 10);
  const uint32_t infoSize = read32(data + 14);
  const int32_t width = static_cast<int32_t>(read32(data + 18));
  const int32_t rawHeight = static_cast<int32_t>(read32(data + 22));
  const uint16_t bits = read16(data + 28);
  const uint32_t compression = read32(data + 30);
  uint32_t colours = read32(data + 46);
  if (infoSize < 40 || bits != 8 || compression != 0 || width <= 0 || width > 4096 ||
      rawHeight == 0 || rawHeight < -4096 || rawHeight > 4096) {
    return false;
  }
  if (colours == 0 || colours > 256) {
    colours = 256;
  }
  const size_t tableOffset = 14 + size_t{infoSize};
  if (tableOffset + size_t{colours} * 4 > size) {
    return false;
  }
  const bool bottomUp = rawHeight > 0;
  const int32_t height = bottomUp ? rawHeight : -rawHeight;
  const size_t stride = (static_cast<size_t>(width) + 3) & ~size_t{3};
  if (pixelOffset > size || stride * static_cast<size_t>(height) > size - pixelOffset) {
    return false;
  }
  uint16_t table[256] = {};
  for (uint32_t i = 0; i < colours; ++i) {
    const unsigned char* entry = data + tableOffset + i * 4;  // blue, green, red, unused
    table[i] = static_cast<uint16_t>((entry[2] >> 3) << 11 | (entry[1] >> 2) << 5 | entry[0] >> 3);
  }
  image.width = width;
  image.height = height;
  image.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  for (int32_t y = 0; y < height; ++y) {
    const int32_t stored = bottomUp ? height - 1 - y : y;
    const unsigned char* row = data + pixelOffset + stride * static_cast<size_t>(stored);
    for (int32_t x = 0; x < width; ++x) {
      image.pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
          table[row[x]];
    }
  }
  return true;
}

}  // namespace tavrik
