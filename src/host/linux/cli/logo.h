// The 152 x 112 logo that Preview mode shows: resources/logo.bmp, built into the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavrik {

inline constexpr int kLogoWidth = 152;
inline constexpr int kLogoHeight = 112;

struct LogoImage {
  int width = 0;
  int height = 0;
  std::vector<uint16_t> pixels;  // RGB565, top row first
};

// Decodes an uncompressed 8-bit BMP with a colour table; false for anything else or anything
// that does not fit in size bytes.
bool decodeBmp8(const unsigned char* data, size_t size, LogoImage& image);

// The bytes of resources/logo.bmp.
const unsigned char* logoBmpData();
size_t logoBmpSize();

}  // namespace tavrik
