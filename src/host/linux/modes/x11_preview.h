// Preview mode: the logo in a child window of the host's preview area.
#pragma once

#include <cstdint>

namespace tavrik {

// Returns the exit code: 0 in every case, at once when parent is 0 or does not exist.
int runPreview(uint64_t parent);

}  // namespace tavrik
