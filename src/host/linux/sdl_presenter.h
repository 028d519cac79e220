// Shows the software device's RGB565 frames in an SDL window: a streaming texture of the frame's
// size, scaled to fill the window with the picture's proportions kept.
#pragma once

#include <SDL2/SDL.h>

#include "device/soft/presenter.h"
#include "host/linux/picture.h"

namespace tavrik {

class SdlPresenter : public Presenter {
 public:
  SdlPresenter() = default;
  SdlPresenter(const SdlPresenter&) = delete;
  SdlPresenter& operator=(const SdlPresenter&) = delete;
  ~SdlPresenter() override { close(); }

  // Makes the renderer, asking for one that waits for the display's refresh. False when SDL can
  // give none at all.
  bool open(SDL_Window* window, bool showFps);
  void close();
  // True when presenting waits for the display's refresh, which then paces the frames.
  bool waitsForRefresh() const { return vsync_; }
  // Shows black; the window's first picture before any frame exists.
  void clear();

  void present(const FrameView& frame) override;

 private:
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int textureWidth_ = 0;
  int textureHeight_ = 0;
  bool vsync_ = false;
  bool showFps_ = false;
  FpsMeter meter_;
};

}  // namespace tavrik
