#include "host/linux/present/pixel_convert.h"

#include <cstring>

namespace tavrik {
namespace {

using Lanes8 = uint16_t __attribute__((vector_size(16)));
using Lanes16 = uint16_t __attribute__((vector_size(32)));

uint32_t widened(uint32_t p, ChannelLayout layout) {
  const Rgb888 c = widenPixel(static_cast<uint16_t>(p));
  return uint32_t{c.r} << layout.redShift | uint32_t{c.g} << layout.greenShift |
         uint32_t{c.b} << layout.blueShift;
}

// The channels are widened in 16-bit lanes, twice as many at a time as 32-bit lanes would take.
// A pixel's low lane holds its bytes 0 and 1, the high lane bytes 2 and 3; the factors place each
// channel in its byte (the compiler folds a factor of 0, 1 or 256), and interleaving the two
// lanes gives the 32-bit pixels. Returns how many pixels it converted.
template <typename Lanes, int RedShift, int GreenShift, int BlueShift>
__attribute__((always_inline)) inline int convertLanes(const uint16_t* source, uint32_t* out,
                                                       int width) {
  constexpr int count = sizeof(Lanes) / sizeof(uint16_t);
  const auto factor = [](int shift, int lane) { return shift / 16 == lane ? 1 << shift % 16 : 0; };
  constexpr uint16_t redLow = factor(RedShift, 0), redHigh = factor(RedShift, 1);
  constexpr uint16_t greenLow = factor(GreenShift, 0), greenHigh = factor(GreenShift, 1);
  constexpr uint16_t blueLow = factor(BlueShift, 0), blueHigh = factor(BlueShift, 1);
  int x = 0;
  for (; x + count <= width; x += count) {
    Lanes p;
    std::memcpy(&p, source + x, sizeof p);
    const Lanes red = ((p >> 8) & 0xF8) | (p >> 13);
    const Lanes green = ((p >> 3) & 0xFC) | ((p >> 9) & 0x03);
    const Lanes blue = ((p << 3) & 0xF8) | ((p >> 2) & 0x07);
    const Lanes low = red * redLow + green * greenLow + blue * blueLow;
    const Lanes high = red * redHigh + green * greenHigh + blue * blueHigh;
    Lanes first;
    Lanes second;
    if constexpr (count == 8) {
      first = __builtin_shufflevector(low, high, 0, 8, 1, 9, 2, 10, 3, 11);
      second = __builtin_shufflevector(low, high, 4, 12, 5, 13, 6, 14, 7, 15);
    } else {
      first = __builtin_shufflevector(low, high, 0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7,
                                      23);
      second = __builtin_shufflevector(low, high, 8, 24, 9, 25, 10, 26, 11, 27, 12, 28, 13, 29, 14,
                                       30, 15, 31);
    }
    std::memcpy(out + x, &first, sizeof first);
    std::memcpy(out + x + count / 2, &second, sizeof second);
  }
  return x;
}

// Any other layout: 32-bit lanes shifted at run time, eight pixels at a time.
int convertAnyLayout(const uint16_t* source, uint32_t* out, int width, ChannelLayout layout) {
  using Pixels32 = uint32_t __attribute__((vector_size(32)));
  int x = 0;
  for (; x + 8 <= width; x += 8) {
    Lanes8 packed;
    std::memcpy(&packed, source + x, sizeof packed);
    const Pixels32 p = __builtin_convertvector(packed, Pixels32);
    const Pixels32 r = p >> 11;
    const Pixels32 g = (p >> 5) & 0x3F;
    const Pixels32 b = p & 0x1F;
    const Pixels32 wide = ((r << 3 | r >> 2) << layout.redShift) |
                          ((g << 2 | g >> 4) << layout.greenShift) |
                          ((b << 3 | b >> 2) << layout.blueShift);
    std::memcpy(out + x, &wide, sizeof wide);
  }
  return x;
}

template <int RedShift, int GreenShift, int BlueShift>
int convertNarrow(const uint16_t* source, uint32_t* out, int width) {
  return convertLanes<Lanes8, RedShift, GreenShift, BlueShift>(source, out, width);
}

#if defined(__x86_64__) || defined(__i386__)
template <int RedShift, int GreenShift, int BlueShift>
__attribute__((target("avx2"))) int convertWide(const uint16_t* source, uint32_t* out, int width) {
  return convertLanes<Lanes16, RedShift, GreenShift, BlueShift>(source, out, width);
}
#else
template <int RedShift, int GreenShift, int BlueShift>
int convertWide(const uint16_t* source, uint32_t* out, int width) {
  return convertNarrow<RedShift, GreenShift, BlueShift>(source, out, width);
}
#endif

template <int RedShift, int GreenShift, int BlueShift>
int convertVectors(const uint16_t* source, uint32_t* out, int width, bool wide) {
  return wide ? convertWide<RedShift, GreenShift, BlueShift>(source, out, width)
              : convertNarrow<RedShift, GreenShift, BlueShift>(source, out, width);
}

bool wideVectorsAvailable() {
#if defined(__x86_64__) || defined(__i386__)
  static const bool available = __builtin_cpu_supports("avx2");
  return available;
#else
  return false;
#endif
}

}  // namespace

void convertRow(const uint16_t* source, uint32_t* out, int width, ChannelLayout layout, bool wide) {
  wide = wide && wideVectorsAvailable();
  int x = 0;
  // X servers and SDL surfaces keep red above blue; some visuals keep blue above red.
  if (layout.redShift == 16 && layout.greenShift == 8 && layout.blueShift == 0) {
    x = convertVectors<16, 8, 0>(source, out, width, wide);
  } else if (layout.redShift == 0 && layout.greenShift == 8 && layout.blueShift == 16) {
    x = convertVectors<0, 8, 16>(source, out, width, wide);
  } else {
    x = convertAnyLayout(source, out, width, layout);
  }
  for (; x < width; ++x) {
    out[x] = widened(source[x], layout);
  }
}

}  // namespace tavrik
