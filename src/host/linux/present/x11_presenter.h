// Shows the software device's RGB565 frames in any X window, ours or a foreign one, at the size
// the window has now: an image of the window's size with the picture scaled into it and black
// bars around. The image lives in memory shared with the X server (MIT-SHM) where the server
// offers it, so a frame is not copied through the socket; else it goes with XPutImage.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <string>
#include <vector>

#include "device/presenter.h"
#include "host/linux/present/picture.h"
#include "host/linux/present/pixel_convert.h"
#include "host/readout.h"

namespace tavrik {

class X11Presenter : public Presenter {
 public:
  X11Presenter() = default;
  X11Presenter(const X11Presenter&) = delete;
  X11Presenter& operator=(const X11Presenter&) = delete;
  ~X11Presenter() override { close(); }

  // Why open() refuses a window of these attributes, for a message: "its 8-bit PseudoColor
  // visual is not supported (...)".
  static std::string unsupported(const XWindowAttributes& attributes);
  // Prepares to draw into window, whose attributes the caller has just read; false for visuals
  // other than TrueColor and DirectColor, of any depth.
  bool open(Display* display, Window window, const XWindowAttributes& attributes, bool showFps);
  void close();
  // Larger than any screen. A window beyond it (a virtual root across many monitors, say) gets a
  // picture of this size in its top-left corner rather than gigabytes of image.
  static constexpr int kMaxSide = 8192;

  // Follows the window to a new size; call between frames (it reallocates).
  bool resize(int width, int height);
  // Stretches the picture over the whole window instead of keeping its proportions.
  void setStretch(bool stretch) { stretch_ = stretch; }
  int width() const { return width_; }
  int height() const { return height_; }

  void present(const FrameView& frame) override;
  FpsMeter& meter() { return meter_; }

 private:
  void fill(int x, int y, int w, int h, uint32_t pixel);
  bool makeSharedImage(int width, int height);
  void dropImage();

  Display* display_ = nullptr;
  Window window_ = 0;
  Visual* visual_ = nullptr;
  int depth_ = 0;
  GC gc_ = nullptr;
  XImage* image_ = nullptr;
  std::vector<uint32_t> buffer_;  // the image's pixels when it is not shared
  uint32_t* pixels_ = nullptr;    // the image's pixels, shared or not
  XShmSegmentInfo shm_{};         // shmaddr is null when the image is not shared
  bool shmOffered_ = false;
  ChannelLayout layout_;
  std::vector<uint32_t> palette_;  // RGB565 value to the visual's pixel value
  std::vector<int> columns_;       // for each column of the picture, its column in the frame
  int width_ = 0;
  int height_ = 0;
  bool direct_ = false;    // 32-bit pixels in this machine's byte order: written without XPutPixel
  bool direct16_ = false;  // 16-bit pixels in this machine's byte order, likewise
  bool rgb565_ = false;    // the visual's pixels are RGB565 themselves
  uint32_t white_ = 0;
  bool stretch_ = false;
  bool showFps_ = false;
  FpsMeter meter_;
};

}  // namespace tavrik
