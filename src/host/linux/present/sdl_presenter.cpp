#include "host/linux/present/sdl_presenter.h"

#include <algorithm>
#include <cstring>

#include "device/gl/gl_renderer.h"

namespace tavrik {

namespace {

// Whether an OpenGL renderer draws through one of Mesa's software rasterizers. Such a renderer
// costs a core's quarter for what the window's surface does for a few per cent, and Mesa's
// drawing threads have crashed while another program destroyed the window under them.
bool glDrawsInSoftware(const SDL_RendererInfo& info) {
  if (std::strncmp(info.name, "opengl", 6) != 0 || SDL_GL_GetCurrentContext() == nullptr) {
    return false;
  }
  using GetString = const unsigned char* (*)(unsigned);
  constexpr unsigned kGlRenderer = 0x1F01;
  const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  const auto* name =
      getString != nullptr ? reinterpret_cast<const char*>(getString(kGlRenderer)) : nullptr;
  return isSoftwareRenderer(name);
}

// The window surfaces drawn into: 16-bit (a 16-bit X visual) and 32-bit pixels.
bool drawable(const SDL_PixelFormat* format) {
  return format->BytesPerPixel == 2 || format->BytesPerPixel == 4;
}

// Paints a rectangle of a surface with one pixel value, clipped to the surface.
template <class Pixel>
void fillRect(SDL_Surface* surface, int x, int y, int w, int h, uint32_t value) {
  Pixel* pixels = static_cast<Pixel*>(surface->pixels);
  const int pitch = surface->pitch / static_cast<int>(sizeof(Pixel));
  for (int row = std::max(y, 0); row < y + h && row < surface->h; ++row) {
    for (int col = std::max(x, 0); col < x + w && col < surface->w; ++col) {
      pixels[static_cast<ptrdiff_t>(row) * pitch + col] = static_cast<Pixel>(value);
    }
  }
}

}  // namespace

bool SdlPresenter::open(SDL_Window* window, int width, int height, bool showFps, bool hardwareGl) {
  close();
  window_ = window;
  showFps_ = showFps;
  renderer_ = hardwareGl ? SDL_CreateRenderer(window, -1,
                                              SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC)
                         : nullptr;
  if (renderer_ != nullptr) {
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer_, &info);
    // A renderer that does not wait for the refresh, or draws in software anyway, has nothing
    // over the window's surface.
    if ((info.flags & SDL_RENDERER_PRESENTVSYNC) == 0 || std::strcmp(info.name, "software") == 0 ||
        glDrawsInSoftware(info)) {
      SDL_DestroyRenderer(renderer_);
      renderer_ = nullptr;
    }
  }
  if (renderer_ != nullptr) {
    return makeTexture(width, height);
  }
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  if (surface == nullptr) {
    return false;
  }
  if (!drawable(surface->format)) {
    SDL_SetError("its pixel format %s is not supported (16 and 32 bits a pixel are)",
                 SDL_GetPixelFormatName(surface->format->format));
    return false;
  }
  makePalette(surface->format);
  columns_.resize(static_cast<size_t>(surface->w));
  return true;
}

bool SdlPresenter::makeTexture(int width, int height) {
  if (texture_ != nullptr) {
    SDL_DestroyTexture(texture_);
  }
  texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                               width, height);
  textureWidth_ = texture_ != nullptr ? width : 0;
  textureHeight_ = texture_ != nullptr ? height : 0;
  return texture_ != nullptr;
}

void SdlPresenter::makePalette(const SDL_PixelFormat* format) {
  palette_.resize(65536);
  for (uint32_t v = 0; v < 65536; ++v) {
    const Rgb888 c = widenPixel(static_cast<uint16_t>(v));
    palette_[v] = SDL_MapRGB(format, c.r, c.g, c.b);
  }
  paletteFormat_ = format->format;
  layout_ = channelLayout(format->Rmask, format->Gmask, format->Bmask);
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
  window_ = nullptr;
}

void SdlPresenter::clear() {
  if (renderer_ != nullptr) {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderPresent(renderer_);
  } else if (window_ != nullptr) {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (surface != nullptr) {
      SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
      SDL_UpdateWindowSurface(window_);
    }
  }
}

void SdlPresenter::present(const FrameView& frame) {
  if (window_ == nullptr || frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0) {
    return;
  }
  if (showFps_) {
    meter_.frame();
  }
  if (renderer_ != nullptr) {
    presentWithRenderer(frame);
  } else {
    presentToSurface(frame);
  }
}

void SdlPresenter::presentWithRenderer(const FrameView& frame) {
  if ((textureWidth_ != frame.width || textureHeight_ != frame.height) &&
      !makeTexture(frame.width, frame.height)) {
    return;  // a frame of another size than open() was told: not in a run, but survivable
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
    drawReadoutInCorner(meter_.text(), outputHeight,
                        [this](int x, int y, int w, int h, ReadoutInk ink) {
                          const Uint8 level = ink == ReadoutInk::Text ? 255 : 0;
                          SDL_SetRenderDrawColor(renderer_, level, level, level, 255);
                          const SDL_Rect cell{x, y, w, h};
                          SDL_RenderFillRect(renderer_, &cell);
                        });
  }
  SDL_RenderPresent(renderer_);
}

void SdlPresenter::presentToSurface(const FrameView& frame) {
  // The same surface comes back until the window's size changes.
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (surface == nullptr || !drawable(surface->format)) {
    return;
  }
  if (paletteFormat_ != surface->format->format) {
    makePalette(surface->format);  // the window moved to a screen of another format
  }
  if (columns_.size() < static_cast<size_t>(surface->w)) {
    // Only when the window grows, when SDL has just made a new surface of its own too.
    columns_.resize(static_cast<size_t>(surface->w));
  }
  if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) {
    return;
  }
  const PictureRect fit = fitPicture(surface->w, surface->h, frame.width, frame.height);
  const bool wide = surface->format->BytesPerPixel == 4;
  if (wide) {
    showPicture(frame, palette_.data(), layout_, static_cast<uint32_t*>(surface->pixels),
                surface->w, surface->h, surface->pitch / 4, fit, columns_.data());
  } else {
    showPicture(frame, palette_.data(), surface->format->format == SDL_PIXELFORMAT_RGB565,
                static_cast<uint16_t*>(surface->pixels), surface->w, surface->h, surface->pitch / 2,
                fit, columns_.data());
  }
  if (showFps_) {
    const uint32_t white = SDL_MapRGB(surface->format, 255, 255, 255);
    const uint32_t dark = SDL_MapRGB(surface->format, 0, 0, 0);
    drawReadoutInCorner(meter_.text(), surface->h, [&](int x, int y, int w, int h, ReadoutInk ink) {
      const uint32_t value = ink == ReadoutInk::Text ? white : dark;
      if (wide) {
        fillRect<uint32_t>(surface, x, y, w, h, value);
      } else {
        fillRect<uint16_t>(surface, x, y, w, h, value);
      }
    });
  }
  if (SDL_MUSTLOCK(surface)) {
    SDL_UnlockSurface(surface);
  }
  SDL_UpdateWindowSurface(window_);
}

}  // namespace tavrik
