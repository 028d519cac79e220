#include "host/linux/gl/glx_target.h"

#include <GL/gl.h>
#include <X11/Xutil.h>

#include <algorithm>

#include "host/fit_picture.h"
#include "host/linux/gl/gl_readout.h"
#include "host/linux/x11/x11_util.h"

namespace tavrik {

namespace {

// A context for the window's visual, or nullptr when GL cannot draw that visual as needed.
GLXContext contextForWindow(Display* display, Window window) {
  XWindowAttributes attributes{};
  if (!queryWindow(display, window, &attributes)) {
    return nullptr;
  }
  XVisualInfo wanted{};
  wanted.visualid = XVisualIDFromVisual(attributes.visual);
  int count = 0;
  XVisualInfo* info = XGetVisualInfo(display, VisualIDMask, &wanted, &count);
  if (info == nullptr) {
    return nullptr;
  }
  int useGl = 0;
  int rgba = 0;
  int doubleBuffer = 0;
  int depth = 0;
  GLXContext context = nullptr;
  if (count > 0 && glXGetConfig(display, info, GLX_USE_GL, &useGl) == 0 && useGl &&
      glXGetConfig(display, info, GLX_RGBA, &rgba) == 0 && rgba &&
      glXGetConfig(display, info, GLX_DOUBLEBUFFER, &doubleBuffer) == 0 && doubleBuffer &&
      glXGetConfig(display, info, GLX_DEPTH_SIZE, &depth) == 0 && depth >= 16) {
    context = glXCreateContext(display, info, nullptr, True);
  }
  XFree(info);
  return context;
}

}  // namespace

bool GlxTarget::open(int, int) {
  if (context_ == nullptr) {
    const unsigned long errors = xErrorCount();
    context_ = contextForWindow(display_, window_);
    if (context_ == nullptr) {
      return false;
    }
    const bool current = glXMakeCurrent(display_, window_, context_);
    XSync(display_, False);
    if (!current || xErrorCount() != errors) {
      close();
      return false;
    }
    GLint largest[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, largest);
    maxWidth_ = std::max(1, static_cast<int>(largest[0]));
    maxHeight_ = std::max(1, static_cast<int>(largest[1]));
    return true;
  }
  return glXMakeCurrent(display_, window_, context_);
}

void GlxTarget::close() {
  if (context_ != nullptr) {
    glXMakeCurrent(display_, None, nullptr);
    glXDestroyContext(display_, context_);
    context_ = nullptr;
  }
}

GlPlace GlxTarget::place(int width, int height) {
  const PictureRect fit =
      fitPicture(std::min(width_, maxWidth_), std::min(height_, maxHeight_), width, height);
  return GlPlace{width_, height_, fit.x, fit.y, fit.width, fit.height};
}

void GlxTarget::present() {
  if (showFps_) {
    meter_.frame();
    drawGlReadout(meter_.text(), width_, height_);
  }
  // Only hardware GL draws here (software GL has a buffer of its own): a swap into a window its
  // owner has just destroyed is an X error, and the frame loop's look at the window ends the run.
  glXSwapBuffers(display_, window_);
}

void* GlxTarget::procAddress(const char* name) {
  return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

}  // namespace tavrik
