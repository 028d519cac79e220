#include "host/run_options.h"

#include <ctime>

namespace tavrik {

uint32_t runSeed(const RunOptions& options) {
  return options.seed ? *options.seed : static_cast<uint32_t>(std::time(nullptr));
}

}  // namespace tavrik
