#include "device/gl/osmesa_target.h"

#include <GL/gl.h>
#include <GL/osmesa.h>

#include <cstddef>

namespace tavrik {

bool OsMesaTarget::open(int width, int height) {
  if (width <= 0 || height <= 0) {
    return false;
  }
  if (context_ == nullptr) {
    context_ = OSMesaCreateContextExt(OSMESA_RGB_565, 16, 0, 0, nullptr);
    if (context_ == nullptr) {
      return false;
    }
  }
  width_ = width;
  height_ = height;
  pixels_.assign(static_cast<std::size_t>(width) * height, 0);
  if (!OSMesaMakeCurrent(static_cast<OSMesaContext>(context_), pixels_.data(),
                         GL_UNSIGNED_SHORT_5_6_5, width, height)) {
    close();
    return false;
  }
  OSMesaPixelStore(OSMESA_Y_UP, 0);
  return true;
}

void OsMesaTarget::close() {
  if (context_ != nullptr) {
    OSMesaDestroyContext(static_cast<OSMesaContext>(context_));
    context_ = nullptr;
  }
  width_ = height_ = 0;
}

void OsMesaTarget::present() {
  glFinish();
}

void* OsMesaTarget::procAddress(const char* name) {
  return reinterpret_cast<void*>(OSMesaGetProcAddress(name));
}

}  // namespace tavrik
