// The software device's frames into wl_shm buffers of one surface: RGB565 buffers where the
// compositor takes them, so a frame is copied as it is, else XRGB8888 through the pixel
// conversion. A frame goes into a buffer the compositor has released, and its commit asks for
// the frame callback that lets the next one be drawn. The buffers are made when the surface's
// size changes, never per frame.
#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <vector>

#include "device/presenter.h"
#include "host/linux/present/pixel_convert.h"
#include "host/readout.h"

namespace tavrik {

class ShmPresenter : public Presenter {
 public:
  // Two buffers: one the compositor shows, one drawn into.
  static constexpr int kBuffers = 2;

  ShmPresenter(wl_shm* shm, bool rgb565, bool showFps);
  ~ShmPresenter() override;
  ShmPresenter(const ShmPresenter&) = delete;
  ShmPresenter& operator=(const ShmPresenter&) = delete;

  void attach(wl_surface* surface) { surface_ = surface; }
  // Buffers of the surface's size in pixels (kept when it is the size they have); false when
  // they cannot be had.
  bool resize(int width, int height);
  // A frame may be drawn: a buffer is free and no frame callback is awaited.
  bool ready() const;
  FpsMeter& meter() { return meter_; }

  void present(const FrameView& frame) override;

 private:
  struct Buffer {
    ShmPresenter* owner = nullptr;
    wl_buffer* buffer = nullptr;
    uint8_t* pixels = nullptr;
    bool busy = false;  // the compositor has it
  };

  static void released(void* data, wl_buffer* buffer);
  static void frameDone(void* data, wl_callback* callback, uint32_t time);
  void dropBuffers();
  void fill(uint8_t* pixels, int x, int y, int w, int h, uint32_t value) const;

  wl_shm* shm_;
  bool rgb565_;
  bool showFps_;
  ChannelLayout layout_;
  wl_surface* surface_ = nullptr;
  wl_callback* frameCallback_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int stride_ = 0;  // bytes
  void* memory_ = nullptr;
  size_t memorySize_ = 0;
  Buffer buffers_[kBuffers];
  // For a picture of another size than the surface: RGB565 to the buffer's pixels, and the
  // source column of each pixel of a row.
  std::vector<uint32_t> palette_;
  std::vector<int> columns_;
  FpsMeter meter_;
};

}  // namespace tavrik
