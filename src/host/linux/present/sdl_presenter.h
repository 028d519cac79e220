// Shows the software device's RGB565 frames in an SDL window, scaled to fill the window with the
// picture's proportions kept. Where SDL has a renderer that waits for the display's refresh, a
// streaming RGB565 texture goes through it; elsewhere the frame is scaled straight into the
// window's surface, which is much cheaper than SDL's general scaled blit.
#pragma once

#include <SDL2/SDL.h>

#include <cstdint>
#include <vector>

#include "device/presenter.h"
#include "host/linux/present/picture.h"
#include "host/linux/present/pixel_convert.h"
#include "host/readout.h"

namespace tavrik {

class SdlPresenter : public Presenter {
 public:
  SdlPresenter() = default;
  SdlPresenter(const SdlPresenter&) = delete;
  SdlPresenter& operator=(const SdlPresenter&) = delete;
  ~SdlPresenter() override { close(); }

  // Prepares for frames of width by height, so that no frame has to allocate. SDL's renderer is
  // tried only with hardwareGl (a hardware OpenGL renderer was found): elsewhere its OpenGL
  // renderer would draw through Mesa's software rasterizers, which have crashed when another
  // program destroyed the window. False when the window can be drawn in neither way.
  bool open(SDL_Window* window, int width, int height, bool showFps, bool hardwareGl);
  void close();
  // True when presenting waits for the display's refresh, which then paces the frames.
  bool waitsForRefresh() const { return renderer_ != nullptr; }
  // Shows black: the window's picture before the first frame.
  void clear();

  void present(const FrameView& frame) override;
  FpsMeter& meter() { return meter_; }

 private:
  void presentWithRenderer(const FrameView& frame);
  void presentToSurface(const FrameView& frame);
  bool makeTexture(int width, int height);
  void makePalette(const SDL_PixelFormat* format);

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;  // null: the window's surface is drawn into
  SDL_Texture* texture_ = nullptr;
  int textureWidth_ = 0;
  int textureHeight_ = 0;
  uint32_t paletteFormat_ = SDL_PIXELFORMAT_UNKNOWN;
  std::vector<uint32_t> palette_;  // RGB565 value to the surface's pixel value
  ChannelLayout layout_;           // of a 32-bit surface's pixels
  std::vector<int> columns_;
  bool showFps_ = false;
  FpsMeter meter_;
};

}  // namespace tavrik
