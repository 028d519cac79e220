#include "host/linux/gl/sdl_gl_target.h"

#include "host/fit_picture.h"
#include "host/linux/gl/gl_readout.h"

namespace tavrik {

SDL_Window* createGlWindow(const char* title, const SDL_Rect& place, Uint32 flags) {
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  for (const int samples : {4, 0}) {
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, samples > 0 ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, samples);
    SDL_Window* window =
        SDL_CreateWindow(title, place.x, place.y, place.w, place.h, flags | SDL_WINDOW_OPENGL);
    if (window != nullptr) {
      return window;
    }
  }
  return nullptr;
}

bool SdlGlTarget::open(int, int) {
  if (context_ == nullptr) {
    context_ = SDL_GL_CreateContext(window_);
    if (context_ == nullptr) {
      return false;
    }
    SDL_GL_SetSwapInterval(1);
  }
  if (SDL_GL_MakeCurrent(window_, context_) != 0) {
    close();
    return false;
  }
  return true;
}

void SdlGlTarget::close() {
  if (context_ != nullptr) {
    SDL_GL_MakeCurrent(window_, nullptr);
    SDL_GL_DeleteContext(context_);
    context_ = nullptr;
  }
}

GlPlace SdlGlTarget::place(int width, int height) {
  int drawableWidth = 0;
  int drawableHeight = 0;
  SDL_GL_GetDrawableSize(window_, &drawableWidth, &drawableHeight);
  const PictureRect fit = fitPicture(drawableWidth, drawableHeight, width, height);
  return GlPlace{drawableWidth, drawableHeight, fit.x, fit.y, fit.width, fit.height};
}

void SdlGlTarget::present() {
  if (showFps_) {
    meter_.frame();
    int drawableWidth = 0;
    int drawableHeight = 0;
    SDL_GL_GetDrawableSize(window_, &drawableWidth, &drawableHeight);
    drawGlReadout(meter_.text(), drawableWidth, drawableHeight);
  }
  SDL_GL_SwapWindow(window_);
}

void* SdlGlTarget::procAddress(const char* name) {
  return SDL_GL_GetProcAddress(name);
}

}  // namespace tavrik
