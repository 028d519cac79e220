#include "host/linux/sdl_presenter.h"

#include <cstring>

namespace tavrik {

bool SdlPresenter::open(SDL_Window* window, bool showFps) {
  close();
  showFps_ = showFps;
  renderer_ = SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC);
  if (renderer_ == nullptr) {
    renderer_ = SDL_CreateRenderer(window, -1, 0);
  }
  if (renderer_ == nullptr) {
    return false;
  }
  SDL_RendererInfo info{};
  SDL_GetRendererInfo(renderer_, &info);
  // The software renderer accepts the flag but cannot wait for the display.
  vsync_ = (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0 && std::strcmp(info.name, "software") != 0;
  return true;
}

void SdlPresenter::close() {
  if (texture_ != nullptr) {
    SDL_DestroyTexture(texture_);
    texture_ = nullptr;
  }
  if (renderer_ != nullptr) {
    SDL_DestroyRenderer(renderer_);
    renderer_ = nullptr;
  }
  textureWidth_ = textureHeight_ = 0;
}

void SdlPresenter::clear() {
  if (renderer_ == nullptr) {
    return;
  }
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderPresent(renderer_);
}

void SdlPresenter::present(const FrameView& frame) {
  if (renderer_ == nullptr || frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0) {
    return;
  }
  if (texture_ == nullptr || textureWidth_ != frame.width || textureHeight_ != frame.height) {
    // Only when the frame's size changes, which is once per run.
    if (texture_ != nullptr) {
      SDL_DestroyTexture(texture_);
    }
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                 frame.width, frame.height);
    if (texture_ == nullptr) {
      textureWidth_ = textureHeight_ = 0;
      return;
    }
    textureWidth_ = frame.width;
    textureHeight_ = frame.height;
  }
  SDL_UpdateTexture(texture_, nullptr, frame.pixels, frame.pitch * 2);

  int outputWidth = 0;
  int outputHeight = 0;
  SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
  const PictureRect fit = fitPicture(outputWidth, outputHeight, frame.width, frame.height);
  const SDL_Rect target{fit.x, fit.y, fit.width, fit.height};
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, &target);
  if (showFps_) {
    meter_.frame();
    SDL_SetRenderDrawColor(renderer_, 255, 255, 255, 255);
    drawReadout(meter_.text(), 8, outputHeight - 8 - 5 * 3, 3, [this](int x, int y, int w, int h) {
      const SDL_Rect cell{x, y, w, h};
      SDL_RenderFillRect(renderer_, &cell);
    });
  }
  SDL_RenderPresent(renderer_);
}

}  // namespace tavrik
