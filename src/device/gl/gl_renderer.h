// What a GL_RENDERER string says about the hardware: whether GL draws through one of Mesa's
// software rasterizers, which cost far more of the processor than the software device does for the
// same picture. Header only, so that programs without the GL device can ask too.
#pragma once

#include <cstring>

namespace tavrik {

// True for a software rasterizer, and for nullptr (no GL context at all).
inline bool isSoftwareRenderer(const char* renderer) {
  if (renderer == nullptr) {
    return true;
  }
  for (const char* software : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"}) {
    if (std::strstr(renderer, software) != nullptr) {
      return true;
    }
  }
  return false;
}

}  // namespace tavrik
