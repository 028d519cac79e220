// The GL device's target in an SDL window of our own: a double-buffered context with a depth
// buffer, multisampled where the display offers it, that waits for the display's refresh. The
// picture fills the window at its own size or keeps its proportions with black bars, as the
// software device's pictures are shown.
#pragma once

#include <SDL2/SDL.h>

#include "device/gl/gl_target.h"
#include "host/readout.h"

namespace tavrik {

// An SDL window that GL can draw in (SDL_WINDOW_OPENGL is added to flags), multisampled where a
// visual allows it; nullptr when there is none.
SDL_Window* createGlWindow(const char* title, const SDL_Rect& place, Uint32 flags);

class SdlGlTarget : public GlTarget {
 public:
  SdlGlTarget(SDL_Window* window, bool showFps) : window_(window), showFps_(showFps) {}
  SdlGlTarget(const SdlGlTarget&) = delete;
  SdlGlTarget& operator=(const SdlGlTarget&) = delete;
  ~SdlGlTarget() override { close(); }

  bool open(int width, int height) override;
  void close() override;
  GlPlace place(int width, int height) override;
  // Draws the readout when asked for and swaps the buffers.
  void present() override;
  void* procAddress(const char* name) override;
  FpsMeter& meter() { return meter_; }

 private:
  SDL_Window* window_;
  SDL_GLContext context_ = nullptr;
  bool showFps_;
  FpsMeter meter_{"GL"};
};

}  // namespace tavrik
