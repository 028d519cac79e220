// The JSON Lines trace of a run: a header after set-up, then one line per frame.
#pragma once

#include <cstdint>
#include <cstdio>

#include "host/run.h"

namespace tavrik {

void writeTraceHeader(std::FILE* out, uint32_t seed, const Run& run);
void writeTraceFrame(std::FILE* out, uint32_t frame, const Run& run);

}  // namespace tavrik
