#include "host/linux/present/x11_presenter.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <string>

#include "host/linux/x11/x11_util.h"

namespace tavrik {

namespace {

// Places an 8-bit channel value under a TrueColor mask.
uint32_t channel(uint32_t value8, unsigned long mask) {
  if (mask == 0) {
    return 0;
  }
  const int shift = std::countr_zero(mask);
  const int bits = std::popcount(mask);
  const uint32_t scaled = bits >= 8 ? value8 << (bits - 8) : value8 >> (8 - bits);
  return static_cast<uint32_t>((static_cast<unsigned long>(scaled) << shift) & mask);
}

uint32_t visualPixel(const Visual* visual, uint32_t r8, uint32_t g8, uint32_t b8) {
  return channel(r8, visual->red_mask) | channel(g8, visual->green_mask) |
         channel(b8, visual->blue_mask);
}

const char* visualClassName(int visualClass) {
  switch (visualClass) {
    case StaticGray:
      return "StaticGray";
    case GrayScale:
      return "GrayScale";
    case StaticColor:
      return "StaticColor";
    case PseudoColor:
      return "PseudoColor";
    case TrueColor:
      return "TrueColor";
    case DirectColor:
      return "DirectColor";
    default:
      return "unknown";
  }
}

}  // namespace

std::string X11Presenter::unsupported(const XWindowAttributes& attributes) {
  if (attributes.visual == nullptr) {
    return "it has no visual";
  }
  return std::string("its ") + std::to_string(attributes.depth) + "-bit " +
         visualClassName(attributes.visual->c_class) +
         " visual is not supported (TrueColor and DirectColor visuals are)";
}

bool X11Presenter::open(Display* display, Window window, const XWindowAttributes& attributes,
                        bool showFps) {
  close();
  if (attributes.visual == nullptr || attributes.visual->red_mask == 0) {
    return false;  // only TrueColor and DirectColor visuals
  }
  display_ = display;
  window_ = window;
  visual_ = attributes.visual;
  depth_ = attributes.depth;
  showFps_ = showFps;
  gc_ = XCreateGC(display_, window_, 0, nullptr);
  palette_.resize(65536);
  for (uint32_t v = 0; v < 65536; ++v) {
    const Rgb888 c = widenPixel(static_cast<uint16_t>(v));
    palette_[v] = visualPixel(visual_, c.r, c.g, c.b);
  }
  white_ = visualPixel(visual_, 255, 255, 255);
  // RGB565 itself: a 16-bit visual's frame at its own size is copied as it is.
  rgb565_ =
      visual_->red_mask == 0xF800 && visual_->green_mask == 0x07E0 && visual_->blue_mask == 0x001F;
  layout_ = channelLayout(visual_->red_mask, visual_->green_mask, visual_->blue_mask);
  // A server on another machine cannot share our memory; XShmAttach would fail there anyway.
  shmOffered_ = XShmQueryExtension(display_) == True;
  return resize(attributes.width, attributes.height);
}

void X11Presenter::dropImage() {
  if (image_ != nullptr) {
    image_->data = nullptr;  // the pixels are ours
    XDestroyImage(image_);
    image_ = nullptr;
  }
  if (shm_.shmaddr != nullptr) {
    XShmDetach(display_, &shm_);
    XSync(display_, False);
    shmdt(shm_.shmaddr);
    shm_ = XShmSegmentInfo{};
  }
  pixels_ = nullptr;
}

// An image in a shared memory segment that the server has attached; false (and nothing made)
// when the server or the system refuses.
bool X11Presenter::makeSharedImage(int width, int height) {
  image_ = XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, nullptr,
                           &shm_, static_cast<unsigned>(width), static_cast<unsigned>(height));
  if (image_ == nullptr) {
    return false;
  }
  const size_t bytes = static_cast<size_t>(image_->bytes_per_line) * static_cast<size_t>(height);
  shm_.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  void* memory = shm_.shmid >= 0 ? shmat(shm_.shmid, nullptr, 0) : reinterpret_cast<void*>(-1);
  if (memory == reinterpret_cast<void*>(-1)) {
    if (shm_.shmid >= 0) {
      shmctl(shm_.shmid, IPC_RMID, nullptr);
    }
    shm_ = XShmSegmentInfo{};
    dropImage();
    return false;
  }
  shm_.shmaddr = image_->data = static_cast<char*>(memory);
  shm_.readOnly = False;
  const unsigned long errors = xErrorCount();
  const bool attached = XShmAttach(display_, &shm_) == True;
  XSync(display_, False);
  // Marked for removal now, so the segment goes when both sides let go of it, whatever happens.
  shmctl(shm_.shmid, IPC_RMID, nullptr);
  if (!attached || xErrorCount() != errors) {
    shmdt(shm_.shmaddr);
    shm_ = XShmSegmentInfo{};
    dropImage();
    return false;
  }
  pixels_ = reinterpret_cast<uint32_t*>(memory);
  return true;
}

void X11Presenter::close() {
  dropImage();
  if (gc_ != nullptr) {
    XFreeGC(display_, gc_);
    gc_ = nullptr;
  }
  width_ = height_ = 0;
}

bool X11Presenter::resize(int width, int height) {
  if (display_ == nullptr || width <= 0 || height <= 0) {
    return false;
  }
  width = std::min(width, kMaxSide);
  height = std::min(height, kMaxSide);
  if (image_ != nullptr && width == width_ && height == height_) {
    return true;
  }
  dropImage();
  if (!shmOffered_ || !makeSharedImage(width, height)) {
    // Thirty-two bits a pixel covers every depth up to 32 that XCreateImage pads to.
    buffer_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    image_ = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0,
                          reinterpret_cast<char*>(buffer_.data()), static_cast<unsigned>(width),
                          static_cast<unsigned>(height), 32, 0);
    if (image_ == nullptr || int64_t{image_->bytes_per_line} * height >
                                 static_cast<int64_t>(buffer_.size() * sizeof(uint32_t))) {
      dropImage();
      width_ = height_ = 0;
      return false;
    }
    pixels_ = buffer_.data();
  } else {
    std::vector<uint32_t>().swap(buffer_);
  }
  columns_.reserve(static_cast<size_t>(width));  // so no frame has to allocate
  const int native = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
  const bool nativeOrder = image_->byte_order == native;
  direct_ = image_->bits_per_pixel == 32 && nativeOrder && image_->bytes_per_line == width * 4;
  // Rows of an odd number of 16-bit pixels are padded to whole 32-bit units.
  direct16_ = image_->bits_per_pixel == 16 && nativeOrder && image_->bytes_per_line % 2 == 0;
  width_ = width;
  height_ = height;
  return true;
}

void X11Presenter::fill(int x, int y, int w, int h, uint32_t pixel) {
  for (int row = y; row < y + h && row < height_; ++row) {
    for (int col = x; col < x + w && col < width_; ++col) {
      if (row >= 0 && col >= 0) {
        if (direct_) {
          pixels_[static_cast<size_t>(row) * static_cast<size_t>(width_) +
                  static_cast<size_t>(col)] = pixel;
        } else if (direct16_) {
          reinterpret_cast<uint16_t*>(
              pixels_)[static_cast<size_t>(row) * static_cast<size_t>(image_->bytes_per_line / 2) +
                       static_cast<size_t>(col)] = static_cast<uint16_t>(pixel);
        } else {
          XPutPixel(image_, col, row, pixel);
        }
      }
    }
  }
}

void X11Presenter::present(const FrameView& frame) {
  if (image_ == nullptr || frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0) {
    return;
  }
  const PictureRect fit = stretch_ ? PictureRect{0, 0, width_, height_}
                                   : fitPicture(width_, height_, frame.width, frame.height);
  columns_.resize(static_cast<size_t>(fit.width));  // within the capacity resize() reserved
  if (direct_) {
    showPicture(frame, palette_.data(), layout_, pixels_, width_, height_, width_, fit,
                columns_.data());
  } else if (direct16_) {
    showPicture(frame, palette_.data(), rgb565_, reinterpret_cast<uint16_t*>(pixels_), width_,
                height_, image_->bytes_per_line / 2, fit, columns_.data());
  } else {
    // Pixels of another size or byte order: slower, one pixel at a time.
    const uint32_t black = palette_[0];
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        uint32_t pixel = black;
        if (x >= fit.x && x < fit.x + fit.width && y >= fit.y && y < fit.y + fit.height) {
          const int sx = static_cast<int>(int64_t{x - fit.x} * frame.width / fit.width);
          const int sy = static_cast<int>(int64_t{y - fit.y} * frame.height / fit.height);
          pixel = palette_[frame.pixels[static_cast<ptrdiff_t>(sy) * frame.pitch + sx]];
        }
        XPutPixel(image_, x, y, pixel);
      }
    }
  }
  if (showFps_) {
    meter_.frame();
    drawReadoutInCorner(meter_.text(), height_, [this](int x, int y, int w, int h, ReadoutInk ink) {
      fill(x, y, w, h, ink == ReadoutInk::Text ? white_ : palette_[0]);
    });
  }
  const unsigned w = static_cast<unsigned>(width_);
  const unsigned h = static_cast<unsigned>(height_);
  if (shm_.shmaddr != nullptr) {
    // Waits until the server has read the pixels, which the next frame overwrites.
    XShmPutImage(display_, window_, gc_, image_, 0, 0, 0, 0, w, h, False);
    XSync(display_, False);
  } else {
    XPutImage(display_, window_, gc_, image_, 0, 0, 0, 0, w, h);
    XFlush(display_);
  }
}

}  // namespace tavrik
