#include "host/wayland/egl_target.h"

#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstdio>

#include "host/fit_picture.h"
#include "host/linux/gl/gl_readout.h"

namespace tavrik {

EglDisplay::~EglDisplay() {
  // Not terminated: Mesa's eglTerminate unloads its driver and leaks what the driver made. The
  // session's surfaces and contexts are gone by now, and the process ends with the session.
  if (display_ != EGL_NO_DISPLAY) {
    eglReleaseThread();
  }
}

bool EglDisplay::open(wl_display* display) {
  auto platformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
      eglGetProcAddress("eglGetPlatformDisplayEXT"));
  display_ = platformDisplay != nullptr
                 ? platformDisplay(EGL_PLATFORM_WAYLAND_KHR, display, nullptr)
                 : eglGetDisplay(reinterpret_cast<EGLNativeDisplayType>(display));
  if (display_ == EGL_NO_DISPLAY) {
    return false;
  }
  constexpr EGLint kConfig[] = {EGL_SURFACE_TYPE,
                                EGL_WINDOW_BIT,
                                EGL_RENDERABLE_TYPE,
                                EGL_OPENGL_BIT,
                                EGL_RED_SIZE,
                                5,
                                EGL_GREEN_SIZE,
                                6,
                                EGL_BLUE_SIZE,
                                5,
                                EGL_DEPTH_SIZE,
                                16,
                                EGL_NONE};
  EGLint count = 0;
  if (eglInitialize(display_, nullptr, nullptr) != EGL_TRUE ||
      eglBindAPI(EGL_OPENGL_API) != EGL_TRUE ||
      eglChooseConfig(display_, kConfig, &config_, 1, &count) != EGL_TRUE || count < 1) {
    eglTerminate(display_);
    display_ = EGL_NO_DISPLAY;
    return false;
  }
  return true;
}

void eglRendererOfNewConnection(char* name, size_t size) {
  wl_display* const display = wl_display_connect(nullptr);
  EglDisplay egl;
  const char* renderer = display != nullptr && egl.open(display) ? egl.renderer() : nullptr;
  if (renderer != nullptr) {
    std::snprintf(name, size, "%s", renderer);
  }
}

const char* EglDisplay::renderer() {
  if (!asked_ && display_ != EGL_NO_DISPLAY) {
    asked_ = true;
    const EGLContext context = eglCreateContext(display_, config_, EGL_NO_CONTEXT, nullptr);
    if (context != EGL_NO_CONTEXT) {
      if (eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context) == EGL_TRUE) {
        const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        std::snprintf(renderer_, sizeof renderer_, "%s", name != nullptr ? name : "");
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
      }
      eglDestroyContext(display_, context);
    }
  }
  return renderer_[0] != '\0' ? renderer_ : nullptr;
}

EglTarget::~EglTarget() {
  close();
  if (frameCallback_ != nullptr) {
    wl_callback_destroy(frameCallback_);
  }
}

void EglTarget::setSize(int width, int height) {
  width_ = width;
  height_ = height;
  if (window_ != nullptr) {
    wl_egl_window_resize(window_, width, height, 0, 0);
  }
}

bool EglTarget::makeCurrent() {
  return context_ != EGL_NO_CONTEXT &&
         eglMakeCurrent(egl_.display(), drawable_, drawable_, context_) == EGL_TRUE;
}

bool EglTarget::open(int, int) {
  if (context_ == EGL_NO_CONTEXT) {
    const EGLDisplay display = egl_.display();
    window_ = wl_egl_window_create(surface_, width_, height_);
    drawable_ = window_ != nullptr ? eglCreateWindowSurface(
                                         display, egl_.config(),
                                         reinterpret_cast<EGLNativeWindowType>(window_), nullptr)
                                   : EGL_NO_SURFACE;
    context_ = drawable_ != EGL_NO_SURFACE
                   ? eglCreateContext(display, egl_.config(), EGL_NO_CONTEXT, nullptr)
                   : EGL_NO_CONTEXT;
    if (!makeCurrent()) {
      close();
      return false;
    }
    eglSwapInterval(display, 0);
    return true;
  }
  return makeCurrent();
}

void EglTarget::close() {
  const EGLDisplay display = egl_.display();
  if (context_ != EGL_NO_CONTEXT || drawable_ != EGL_NO_SURFACE) {
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  }
  if (context_ != EGL_NO_CONTEXT) {
    eglDestroyContext(display, context_);
    context_ = EGL_NO_CONTEXT;
  }
  if (drawable_ != EGL_NO_SURFACE) {
    eglDestroySurface(display, drawable_);
    drawable_ = EGL_NO_SURFACE;
  }
  if (window_ != nullptr) {
    wl_egl_window_destroy(window_);
    window_ = nullptr;
  }
}

GlPlace EglTarget::place(int width, int height) {
  const PictureRect fit = fitPicture(width_, height_, width, height);
  return GlPlace{width_, height_, fit.x, fit.y, fit.width, fit.height};
}

void EglTarget::present() {
  if (showFps_) {
    meter_.frame();
    drawGlReadout(meter_.text(), width_, height_);
  }
  static constexpr wl_callback_listener kFrameListener{frameDone};
  frameCallback_ = wl_surface_frame(surface_);
  wl_callback_add_listener(frameCallback_, &kFrameListener, this);
  eglSwapBuffers(egl_.display(), drawable_);  // commits the surface, the callback's request with it
}

void* EglTarget::procAddress(const char* name) {
  return reinterpret_cast<void*>(eglGetProcAddress(name));
}

void EglTarget::frameDone(void* data, wl_callback* callback, uint32_t) {
  auto* self = static_cast<EglTarget*>(data);
  wl_callback_destroy(callback);
  self->frameCallback_ = nullptr;
}

}  // namespace tavrik
