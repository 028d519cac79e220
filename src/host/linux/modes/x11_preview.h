// Preview mode: the logo in a child window of the host's preview area.
#pragma once

#include <cstdint>

namespace tavrik {

// Returns the exit code: 0, at once when parent is 0 or does not exist; 1, with one line on
// standard error, when the display has no visual the logo can be drawn in.
int runPreview(uint64_t parent);

}  // namespace tavrik
