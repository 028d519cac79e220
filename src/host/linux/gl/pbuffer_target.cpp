#include "host/linux/gl/pbuffer_target.h"

#include <GL/gl.h>

#include "host/linux/gl/gl_readout.h"
#include "host/linux/x11/x11_util.h"

namespace tavrik {

bool PbufferTarget::makeContext() {
  int major = 0;
  int minor = 0;
  if (!glXQueryVersion(display_, &major, &minor) || (major == 1 && minor < 3)) {
    return false;
  }
  const int wanted[] = {GLX_DRAWABLE_TYPE,
                        GLX_PBUFFER_BIT,
                        GLX_RENDER_TYPE,
                        GLX_RGBA_BIT,
                        GLX_RED_SIZE,
                        5,
                        GLX_GREEN_SIZE,
                        6,
                        GLX_BLUE_SIZE,
                        5,
                        GLX_DEPTH_SIZE,
                        16,
                        None};
  int count = 0;
  GLXFBConfig* configs = glXChooseFBConfig(display_, DefaultScreen(display_), wanted, &count);
  if (configs == nullptr) {
    return false;
  }
  if (count > 0) {
    config_ = configs[0];
    context_ = glXCreateNewContext(display_, config_, GLX_RGBA_TYPE, nullptr, True);
  }
  XFree(configs);
  return context_ != nullptr;
}

bool PbufferTarget::open(int width, int height) {
  if (context_ == nullptr && !makeContext()) {
    return false;
  }
  if (pbuffer_ != 0 && width == width_ && height == height_) {
    return glXMakeContextCurrent(display_, pbuffer_, pbuffer_, context_);
  }
  const int size[] = {GLX_PBUFFER_WIDTH, width, GLX_PBUFFER_HEIGHT, height, None};
  const unsigned long errors = xErrorCount();
  const GLXPbuffer pbuffer = glXCreatePbuffer(display_, config_, size);
  XSync(display_, False);
  if (pbuffer == 0 || xErrorCount() != errors ||
      !glXMakeContextCurrent(display_, pbuffer, pbuffer, context_)) {
    if (pbuffer != 0) {
      glXDestroyPbuffer(display_, pbuffer);
    }
    close();
    return false;
  }
  if (pbuffer_ != 0) {
    glXDestroyPbuffer(display_, pbuffer_);
  }
  pbuffer_ = pbuffer;
  width_ = width;
  height_ = height;
  pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  glPixelStorei(GL_PACK_ALIGNMENT, 2);  // rows of whole pixels, without padding
  return true;
}

void PbufferTarget::close() {
  if (context_ != nullptr) {
    glXMakeContextCurrent(display_, None, None, nullptr);
    glXDestroyContext(display_, context_);
    context_ = nullptr;
  }
  if (pbuffer_ != 0) {
    glXDestroyPbuffer(display_, pbuffer_);
    pbuffer_ = 0;
  }
}

void PbufferTarget::present() {
  if (pbuffer_ == 0) {
    return;
  }
  if (showFps_) {
    meter_.frame();
    drawGlReadout(meter_.text(), width_, height_);
  }
  glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, pixels_.data());
  // GL's rows run from the bottom up: the view starts at the top row and steps backwards.
  frames_.present(FrameView{pixels_.data() + static_cast<ptrdiff_t>(height_ - 1) * width_, width_,
                            height_, -width_});
}

void* PbufferTarget::procAddress(const char* name) {
  return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

}  // namespace tavrik
