// Where the GL device draws: a context that some window system or offscreen buffer provides.
// The device makes its calls on whatever context its target has made current; the target brings
// the context up, says where the picture goes in its drawable, and shows finished frames.
#pragma once

namespace tavrik {

// The drawable's size and the picture's rectangle in it, in pixels from the top-left corner.
struct GlPlace {
  int drawableWidth, drawableHeight;
  int x, y, width, height;
};

class GlTarget {
 public:
  virtual ~GlTarget() = default;
  // Makes a context for pictures of width by height current, bringing it up when there is none
  // yet; false when there is no context to be had.
  virtual bool open(int width, int height) = 0;
  // Gives the context up. Safe to call more than once.
  virtual void close() = 0;
  // Where a picture of width by height goes in the drawable as it is now.
  virtual GlPlace place(int width, int height) = 0;
  // Shows the finished frame.
  virtual void present() = 0;
  // The context's entry point of that name, or nullptr.
  virtual void* procAddress(const char* name) = 0;
};

}  // namespace tavrik
