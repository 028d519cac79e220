// The GL device's target in a window that another program owns: a GLX context made for the
// window's own visual, drawn into with glXMakeCurrent and shown with glXSwapBuffers. Only a
// visual that GL can draw in with double buffering and a depth buffer will do.
#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>

#include "device/gl/gl_target.h"
#include "host/readout.h"

namespace tavrik {

class GlxTarget : public GlTarget {
 public:
  GlxTarget(Display* display, Window window, bool showFps)
      : display_(display), window_(window), showFps_(showFps) {}
  GlxTarget(const GlxTarget&) = delete;
  GlxTarget& operator=(const GlxTarget&) = delete;
  ~GlxTarget() override { close(); }

  // The window's size as last read; no resize is reported for a foreign window.
  void setSize(int width, int height) {
    width_ = width;
    height_ = height;
  }

  bool open(int width, int height) override;
  void close() override;
  // The picture keeps within the largest viewport the context draws; beyond it, in the top-left
  // corner of the window.
  GlPlace place(int width, int height) override;
  void present() override;
  void* procAddress(const char* name) override;
  FpsMeter& meter() { return meter_; }

 private:
  Display* display_;
  Window window_;
  GLXContext context_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int maxWidth_ = 0;
  int maxHeight_ = 0;
  bool showFps_;
  FpsMeter meter_{"GL"};
};

}  // namespace tavrik
