// What the GL paths show of themselves: the word on the device drawing (for -fps), and the
// frame-rate readout drawn with GL over a finished frame.
#pragma once

namespace tavrik {

// One line on standard error naming the device that draws (for -fps); with gl, the renderer of
// the context current now.
void tellDevice(bool gl);

// The readout in the bottom left corner of a drawable of the given size, in white on a black
// box, over the finished frame on the current context; GL's state is left as it was.
void drawGlReadout(const char* text, int drawableWidth, int drawableHeight);

}  // namespace tavrik
