// Which renderer a GL context on the display would have, asked without touching any window.
#pragma once

#include <cstddef>

namespace tavrik {

// How the child asks: writes the renderer of a new context into name, or leaves it empty.
using RendererQuestion = void (*)(char* name, size_t size);

// The renderer of a new GLX context on the display of $DISPLAY, on a 1x1 pixel buffer.
void glxRendererOfNewContext(char* name, size_t size);

// Asks, in a child process, for the renderer of a new context (by default a GLX context on the
// display of $DISPLAY), so that a driver's crash or leftovers, a software renderer's threads and
// memory among them, stay out of the run. False when there is no such context (or no answer
// within a few seconds, or a stop signal came first); else the renderer's name is in name.
bool probeGlRenderer(char* name, size_t size, RendererQuestion ask = glxRendererOfNewContext);

// True when a GLX context on $DISPLAY reports a hardware renderer (asked once, with
// probeGlRenderer).
bool hardwareGlRenderer();

}  // namespace tavrik
