// Span filling: one flat colour over a run of pixels of a row, depth-tested less-or-equal with
// depth writes, or drawn over whatever is there when the depth buffer is off.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "device/soft/soft_raster.h"

namespace tavrik::soft {

// Eight pixels at a time where SSE2 is there (every x86-64): depths are compared as signed
// 16-bit numbers after moving both sides down by 0x8000, which keeps their order.
template <bool kDepthTest>
struct SpanFiller {
  uint16_t* colour;
  uint16_t* depth;
  int pitch;
  uint16_t pixel;

  void span(int y, int xFirst, int xLast, int32_t z, int32_t zStep) {
    uint16_t* const colourRow = colour + static_cast<std::ptrdiff_t>(y) * pitch;
    if constexpr (kDepthTest) {
      uint16_t* const depthRow = depth + static_cast<std::ptrdiff_t>(y) * pitch;
      int x = xFirst;
#if defined(__SSE2__)
      if (xLast - xFirst >= 7) {
        const __m128i bias32 = _mm_set1_epi32(0x8000);
        const __m128i flip16 = _mm_set1_epi16(static_cast<int16_t>(0x8000));
        const __m128i paint = _mm_set1_epi16(static_cast<int16_t>(pixel));
        // Lanes past the span's end may wrap; they are never stored.
        const uint32_t s = static_cast<uint32_t>(zStep);
        const __m128i step4 = _mm_set1_epi32(static_cast<int32_t>(s * 4));
        const __m128i step8 = _mm_set1_epi32(static_cast<int32_t>(s * 8));
        __m128i zLow = _mm_add_epi32(
            _mm_set1_epi32(z),
            _mm_set_epi32(static_cast<int32_t>(s * 3), static_cast<int32_t>(s * 2), zStep, 0));
        __m128i zHigh = _mm_add_epi32(zLow, step4);
        for (; x + 7 <= xLast; x += 8) {
          const __m128i low = _mm_sub_epi32(_mm_srli_epi32(zLow, kDepthFractionBits), bias32);
          const __m128i high = _mm_sub_epi32(_mm_srli_epi32(zHigh, kDepthFractionBits), bias32);
          const __m128i value = _mm_packs_epi32(low, high);  // already biased
          __m128i* const depthAt = reinterpret_cast<__m128i*>(depthRow + x);
          __m128i* const colourAt = reinterpret_cast<__m128i*>(colourRow + x);
          const __m128i stored = _mm_xor_si128(_mm_loadu_si128(depthAt), flip16);
          const __m128i farther = _mm_cmpgt_epi16(value, stored);  // fails the test
          const __m128i newDepth =
              _mm_or_si128(_mm_and_si128(farther, stored), _mm_andnot_si128(farther, value));
          _mm_storeu_si128(depthAt, _mm_xor_si128(newDepth, flip16));
          const __m128i old = _mm_loadu_si128(colourAt);
          _mm_storeu_si128(colourAt, _mm_or_si128(_mm_and_si128(farther, old),
                                                  _mm_andnot_si128(farther, paint)));
          zLow = _mm_add_epi32(zLow, step8);
          zHigh = _mm_add_epi32(zHigh, step8);
        }
        z = static_cast<int32_t>(z + static_cast<int64_t>(zStep) * (x - xFirst));
      }
#endif
      // Unsigned, so that the step past the last pixel may wrap harmlessly.
      uint32_t depthAt = static_cast<uint32_t>(z);
      for (; x <= xLast; ++x) {
        const uint32_t value = depthAt >> kDepthFractionBits;
        if (value <= depthRow[x]) {
          depthRow[x] = static_cast<uint16_t>(value);
          colourRow[x] = pixel;
        }
        depthAt += static_cast<uint32_t>(zStep);
      }
    } else {
      for (int x = xFirst; x <= xLast; ++x) {
        colourRow[x] = pixel;
      }
    }
  }
};

}  // namespace tavrik::soft
