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

}  // namespace tavrik
