// The GL device's offscreen target, for comparing it with the software device: an OSMesa context
// (Mesa's llvmpipe) drawing into an RGB565 buffer with a 16-bit depth buffer, top row first, the
// picture filling it.
#pragma once

#include <cstdint>
#include <vector>

#include "device/gl/gl_target.h"

namespace tavrik {

class OsMesaTarget : public GlTarget {
 public:
  OsMesaTarget() = default;
  OsMesaTarget(const OsMesaTarget&) = delete;
  OsMesaTarget& operator=(const OsMesaTarget&) = delete;
  ~OsMesaTarget() override { close(); }

  bool open(int width, int height) override;
  void close() override;
  GlPlace place(int, int) override { return GlPlace{width_, height_, 0, 0, width_, height_}; }
  // Waits until the frame is finished in the buffer.
  void present() override;
  void* procAddress(const char* name) override;

  // RGB565, top row first.
  const uint16_t* pixels() const { return pixels_.data(); }

 private:
  void* context_ = nullptr;
  std::vector<uint16_t> pixels_;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace tavrik
