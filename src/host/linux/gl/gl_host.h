// What the Linux hosts' OpenGL paths share: the choice between the GL device and the software
// device, the word on the device chosen, and the frame-rate readout drawn with GL.
#pragma once

#include <cstddef>

#include "host/linux/cli/command_line.h"

namespace tavrik {

// Asks, in a child process, for the renderer of a GLX context on the display of $DISPLAY, so that
// a driver's crash or leftovers stay out of the run. False when there is no such context (or no
// answer within a few seconds, or a stop signal came first); else the renderer's name is in name.
bool probeGlRenderer(char* name, size_t size);

// True when a GLX context on $DISPLAY reports a hardware renderer (asked once, with
// probeGlRenderer).
bool hardwareGlRenderer();

// True when the run should try the GL device: -device gl, or without -device a hardware
// renderer. A GL device that cannot be brought up still leaves the software device.
bool wantsGlDevice(DeviceChoice choice);

// One line on standard error naming the device that draws (for -fps); with gl, the renderer of
// the context current now.
void tellDevice(bool gl);

// The readout in the bottom left corner of a drawable of the given size, in white on a black
// box, over the finished frame on the current context; GL's state is left as it was.
void drawGlReadout(const char* text, int drawableWidth, int drawableHeight);

}  // namespace tavrik
