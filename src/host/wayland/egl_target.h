// The GL device on a Wayland surface, through EGL. One EGL display serves every surface of the
// session; each surface has a wl_egl_window of its size in pixels, a window surface and a context
// of its own, made current before its run's frame. Swaps do not wait (a swap interval of 0), so
// that one loop drives the surfaces of every output: as with the shm presenter, a frame callback
// asked for with each frame says when the next may be drawn.
#pragma once

#include <EGL/egl.h>
#include <wayland-client.h>
#include <wayland-egl.h>

#include "device/gl/gl_target.h"
#include "host/readout.h"

namespace tavrik {

// The renderer of EGL on a new connection to the compositor of $WAYLAND_DISPLAY, for
// probeGlRenderer's child to ask.
void eglRendererOfNewConnection(char* name, size_t size);

// One per process: it is never terminated (see the destructor).
class EglDisplay {
 public:
  EglDisplay() = default;
  EglDisplay(const EglDisplay&) = delete;
  EglDisplay& operator=(const EglDisplay&) = delete;
  ~EglDisplay();

  // EGL on the compositor's connection, with desktop GL and a configuration that has a depth
  // buffer; false (and nothing held) when there is none.
  bool open(wl_display* display);
  // The renderer a context of this display would have: asked once, on a context with no surface,
  // so that the choice of device comes before any surface is drawn; nullptr when none can be made.
  const char* renderer();

  EGLDisplay display() const { return display_; }
  EGLConfig config() const { return config_; }

 private:
  EGLDisplay display_ = EGL_NO_DISPLAY;
  EGLConfig config_ = nullptr;
  bool asked_ = false;
  char renderer_[128] = {};
};

class EglTarget : public GlTarget {
 public:
  EglTarget(EglDisplay& egl, wl_surface* surface, bool showFps)
      : egl_(egl), surface_(surface), showFps_(showFps) {}
  EglTarget(const EglTarget&) = delete;
  EglTarget& operator=(const EglTarget&) = delete;
  ~EglTarget() override;

  // The surface's size in pixels, which the drawable follows from the next frame on.
  void setSize(int width, int height);
  // Makes this surface's context current, for its run's frame or its teardown.
  bool makeCurrent();
  // A frame may be drawn: no frame callback is awaited.
  bool ready() const { return frameCallback_ == nullptr; }
  FpsMeter& meter() { return meter_; }

  // The drawable is the surface's; the picture's size only says where in it the picture goes.
  bool open(int width, int height) override;
  void close() override;
  GlPlace place(int width, int height) override;
  void present() override;
  void* procAddress(const char* name) override;

 private:
  static void frameDone(void* data, wl_callback* callback, uint32_t time);

  EglDisplay& egl_;
  wl_surface* surface_;
  bool showFps_;
  wl_egl_window* window_ = nullptr;
  EGLSurface drawable_ = EGL_NO_SURFACE;
  EGLContext context_ = EGL_NO_CONTEXT;
  wl_callback* frameCallback_ = nullptr;
  int width_ = 1;
  int height_ = 1;
  FpsMeter meter_{"GL"};
};

}  // namespace tavrik
