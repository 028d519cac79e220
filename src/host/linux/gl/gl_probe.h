// Which renderer a GLX context on the display would have, asked without touching any window.
#pragma once

#include <cstddef>

namespace tavrik {

// Asks, in a child process, for the renderer of a GLX context on the display of $DISPLAY, so that
// a driver's crash or leftovers stay out of the run. False when there is no such context (or no
// answer within a few seconds, or a stop signal came first); else the renderer's name is in name.
bool probeGlRenderer(char* name, size_t size);

// True when a GLX context on $DISPLAY reports a hardware renderer (asked once, with
// probeGlRenderer).
bool hardwareGlRenderer();

}  // namespace tavrik
