// Span filling: one flat colour over a run of pixels of a row, depth-tested less-or-equal with
// depth writes, or drawn over whatever is there when the depth buffer is off.
#pragma once

#include <cstddef>
#include <cstdint>

#include "device/soft/soft_raster.h"

namespace tavrik::soft {

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
      for (int x = xFirst; x <= xLast; ++x) {
        const uint32_t value = static_cast<uint32_t>(z) >> kDepthFractionBits;
        if (value <= depthRow[x]) {
          depthRow[x] = static_cast<uint16_t>(value);
          colourRow[x] = pixel;
        }
        z += zStep;
      }
    } else {
      for (int x = xFirst; x <= xLast; ++x) {
        colourRow[x] = pixel;
      }
    }
  }
};

}  // namespace tavrik::soft
