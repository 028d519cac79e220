#include "host/wayland/shm_presenter.h"

#include <sys/mman.h>
#include <unistd.h>

#include "host/fit_picture.h"
#include "host/linux/present/picture.h"

namespace tavrik {

namespace {

// A shared-memory file no one else can open, for the compositor to map.
int anonymousFile(size_t size) {
  const int fd = memfd_create("tavrik-frames", MFD_CLOEXEC);
  if (fd < 0) {
    return -1;
  }
  if (ftruncate(fd, static_cast<off_t>(size)) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

ShmPresenter::ShmPresenter(wl_shm* shm, bool rgb565, bool showFps)
    : shm_(shm),
      rgb565_(rgb565),
      showFps_(showFps),
      layout_(channelLayout(0xFF0000, 0xFF00, 0xFF)),
      palette_(65536) {
  for (uint32_t pixel = 0; pixel < palette_.size(); ++pixel) {
    const Rgb888 c = widenPixel(static_cast<uint16_t>(pixel));
    palette_[pixel] = rgb565 ? pixel : uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b;
  }
}

ShmPresenter::~ShmPresenter() {
  if (frameCallback_ != nullptr) {
    wl_callback_destroy(frameCallback_);
  }
  dropBuffers();
}

void ShmPresenter::dropBuffers() {
  for (Buffer& b : buffers_) {
    if (b.buffer != nullptr) {
      wl_buffer_destroy(b.buffer);
    }
    b = Buffer{};
  }
  if (memory_ != nullptr) {
    munmap(memory_, memorySize_);
    memory_ = nullptr;
  }
  width_ = height_ = stride_ = 0;
}

bool ShmPresenter::resize(int width, int height) {
  if (width == width_ && height == height_ && memory_ != nullptr) {
    return true;
  }
  dropBuffers();
  if (width <= 0 || height <= 0) {
    return false;
  }
  const int bytesPerPixel = rgb565_ ? 2 : 4;
  // Rows of whole 4-byte words, as every compositor takes them.
  const int stride = (width * bytesPerPixel + 3) / 4 * 4;
  const size_t bufferSize = static_cast<size_t>(stride) * static_cast<size_t>(height);
  const size_t size = bufferSize * kBuffers;
  const int fd = anonymousFile(size);
  if (fd < 0) {
    return false;
  }
  void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (memory == MAP_FAILED) {
    close(fd);
    return false;
  }
  wl_shm_pool* pool = wl_shm_create_pool(shm_, fd, static_cast<int32_t>(size));
  close(fd);
  static constexpr wl_buffer_listener kBufferListener{released};
  const uint32_t format = rgb565_ ? WL_SHM_FORMAT_RGB565 : WL_SHM_FORMAT_XRGB8888;
  for (int i = 0; i < kBuffers; ++i) {
    Buffer& b = buffers_[i];
    b.owner = this;
    b.pixels = static_cast<uint8_t*>(memory) + bufferSize * static_cast<size_t>(i);
    b.buffer = wl_shm_pool_create_buffer(pool, static_cast<int32_t>(bufferSize) * i, width, height,
                                         stride, format);
    wl_buffer_add_listener(b.buffer, &kBufferListener, &b);
  }
  wl_shm_pool_destroy(pool);
  memory_ = memory;
  memorySize_ = size;
  width_ = width;
  height_ = height;
  stride_ = stride;
  columns_.assign(static_cast<size_t>(width), 0);
  return true;
}

bool ShmPresenter::ready() const {
  if (frameCallback_ != nullptr || memory_ == nullptr) {
    return false;
  }
  for (const Buffer& b : buffers_) {
    if (!b.busy) {
      return true;
    }
  }
  return false;
}

void ShmPresenter::released(void* data, wl_buffer*) {
  static_cast<Buffer*>(data)->busy = false;
}

void ShmPresenter::frameDone(void* data, wl_callback* callback, uint32_t) {
  auto* self = static_cast<ShmPresenter*>(data);
  wl_callback_destroy(callback);
  self->frameCallback_ = nullptr;
}

void ShmPresenter::fill(uint8_t* pixels, int x, int y, int w, int h, uint32_t value) const {
  for (int row = y; row < y + h && row < height_; ++row) {
    uint8_t* line = pixels + static_cast<ptrdiff_t>(row) * stride_;
    for (int column = x; column < x + w && column < width_; ++column) {
      if (rgb565_) {
        reinterpret_cast<uint16_t*>(line)[column] = static_cast<uint16_t>(value);
      } else {
        reinterpret_cast<uint32_t*>(line)[column] = value;
      }
    }
  }
}

void ShmPresenter::present(const FrameView& frame) {
  Buffer* target = nullptr;
  for (Buffer& b : buffers_) {
    if (!b.busy && b.buffer != nullptr) {
      target = &b;
      break;
    }
  }
  if (target == nullptr || surface_ == nullptr) {
    return;  // the frame loop steps only a surface with a free buffer
  }
  const PictureRect fit = frame.width == width_ && frame.height == height_
                              ? PictureRect{0, 0, width_, height_}
                              : fitPicture(width_, height_, frame.width, frame.height);
  if (rgb565_) {
    showPicture(frame, palette_.data(), true, reinterpret_cast<uint16_t*>(target->pixels), width_,
                height_, stride_ / 2, fit, columns_.data());
  } else {
    showPicture(frame, palette_.data(), layout_, reinterpret_cast<uint32_t*>(target->pixels),
                width_, height_, stride_ / 4, fit, columns_.data());
  }
  if (showFps_) {
    meter_.frame();
    const uint32_t white = rgb565_ ? 0xFFFF : 0xFFFFFF;
    drawReadoutInCorner(meter_.text(), height_, [&](int x, int y, int w, int h, ReadoutInk ink) {
      fill(target->pixels, x, y, w, h, ink == ReadoutInk::Text ? white : 0);
    });
  }
  static constexpr wl_callback_listener kFrameListener{frameDone};
  wl_surface_attach(surface_, target->buffer, 0, 0);
  wl_surface_damage_buffer(surface_, 0, 0, width_, height_);
  frameCallback_ = wl_surface_frame(surface_);
  wl_callback_add_listener(frameCallback_, &kFrameListener, this);
  wl_surface_commit(surface_);
  target->busy = true;
}

}  // namespace tavrik
