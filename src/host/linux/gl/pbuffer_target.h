// The GL device's target when GL draws in software: a pixel buffer of the picture's size that
// this process owns, read back after each frame and handed to a presenter as the software device
// hands over its frames. Mesa's software GL asks the X server for the size of the window it
// draws in and does not check the answer: when another program destroys the window mid-frame it
// sizes its buffers from garbage, and has taken gigabytes and minutes over one frame. No other
// program can destroy a buffer of ours, and the presenter's calls on a gone window only fail.
#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdint>
#include <vector>

#include "device/gl/gl_target.h"
#include "device/presenter.h"
#include "host/readout.h"

namespace tavrik {

class PbufferTarget : public GlTarget {
 public:
  PbufferTarget(Display* display, Presenter& frames, bool showFps)
      : display_(display), frames_(frames), showFps_(showFps) {}
  PbufferTarget(const PbufferTarget&) = delete;
  PbufferTarget& operator=(const PbufferTarget&) = delete;
  ~PbufferTarget() override { close(); }

  // A new size makes a new buffer (and the frame's storage) for the same context.
  bool open(int width, int height) override;
  void close() override;
  GlPlace place(int, int) override { return GlPlace{width_, height_, 0, 0, width_, height_}; }
  void present() override;
  void* procAddress(const char* name) override;
  FpsMeter& meter() { return meter_; }

 private:
  bool makeContext();

  Display* display_;
  Presenter& frames_;
  GLXFBConfig config_ = nullptr;
  GLXContext context_ = nullptr;
  GLXPbuffer pbuffer_ = 0;
  int width_ = 0;
  int height_ = 0;
  std::vector<uint16_t> pixels_;
  bool showFps_;
  FpsMeter meter_{"GL"};
};

}  // namespace tavrik
