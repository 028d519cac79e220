// RGB565 frames into 32-bit window pixels. A picture shown at its own size, as the "screen"
// resolution always is, goes through shifts and masks in vector registers: at 3840 x 2160 that
// conversion is most of what a frame costs. A scaled picture looks each pixel up in a
// 65536-entry palette.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "device/presenter.h"
#include "host/linux/present/picture.h"

namespace tavrik {

// Where a 32-bit pixel keeps its three 8-bit channels; valid only when each channel is a whole
// byte (the usual TrueColor visuals and SDL's RGB888 and ARGB8888 surfaces).
struct ChannelLayout {
  bool valid = false;
  int redShift = 0;
  int greenShift = 0;
  int blueShift = 0;
};

inline ChannelLayout channelLayout(uint64_t redMask, uint64_t greenMask, uint64_t blueMask) {
  const auto byteShift = [](uint64_t mask) {
    const int shift = mask != 0 ? std::countr_zero(mask) : -1;
    return shift >= 0 && shift <= 24 && shift % 8 == 0 && mask == uint64_t{0xFF} << shift ? shift
                                                                                          : -1;
  };
  ChannelLayout layout;
  layout.redShift = byteShift(redMask);
  layout.greenShift = byteShift(greenMask);
  layout.blueShift = byteShift(blueMask);
  layout.valid = layout.redShift >= 0 && layout.greenShift >= 0 && layout.blueShift >= 0;
  return layout;
}

// Each channel widened from its RGB565 bits by repeating its top bits, as the palette does, eight
// pixels at a time in vector registers; the usual layouts take sixteen at a time where the
// processor has AVX2, unless wide is false (the tests try both).
void convertRow(const uint16_t* source, uint32_t* out, int width, ChannelLayout layout,
                bool wide = true);

// The frame into a 32-bit image, placed at fit with black around it: converted row by row when
// it fills the image at its own size and the layout allows, else scaled through the palette.
inline void showPicture(const FrameView& frame, const uint32_t* palette, ChannelLayout layout,
                        uint32_t* image, int imageWidth, int imageHeight, int pitch,
                        PictureRect fit, int* columns) {
  if (layout.valid && fit.x == 0 && fit.y == 0 && fit.width == imageWidth &&
      fit.height == imageHeight && frame.width == imageWidth && frame.height == imageHeight) {
    for (int y = 0; y < imageHeight; ++y) {
      convertRow(frame.pixels + static_cast<ptrdiff_t>(y) * frame.pitch,
                 image + static_cast<ptrdiff_t>(y) * pitch, imageWidth, layout);
    }
    return;
  }
  scalePicture(frame, palette, image, imageWidth, imageHeight, pitch, fit, columns);
}

// The frame into a 16-bit image (a 16-bit X visual): its rows copied as they are when the
// image's pixels are RGB565 in this machine's byte order (rgb565) and the picture fills it at its
// own size, else scaled through the palette.
inline void showPicture(const FrameView& frame, const uint32_t* palette, bool rgb565,
                        uint16_t* image, int imageWidth, int imageHeight, int pitch,
                        PictureRect fit, int* columns) {
  if (rgb565 && fit.x == 0 && fit.y == 0 && fit.width == imageWidth && fit.height == imageHeight &&
      frame.width == imageWidth && frame.height == imageHeight) {
    for (int y = 0; y < imageHeight; ++y) {
      std::memcpy(image + static_cast<ptrdiff_t>(y) * pitch,
                  frame.pixels + static_cast<ptrdiff_t>(y) * frame.pitch,
                  static_cast<size_t>(imageWidth) * sizeof(uint16_t));
    }
    return;
  }
  scalePicture(frame, palette, image, imageWidth, imageHeight, pitch, fit, columns);
}

}  // namespace tavrik
