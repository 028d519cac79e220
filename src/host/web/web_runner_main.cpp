// The headless runner for Node: the same runner as the Linux program's headless mode, built to
// WebAssembly. It relies on Node's file system (NODERAWFS) for the trace and the PNG frames, and
// starts every run from the default settings, as a fresh settings file would; it has no window.
#include <cstdio>
#include <cstring>
#include <string>

#include "config/defaults_store.h"
#include "host/headless/headless.h"

int main(int argc, char** argv) {
  tavrik::HeadlessOptions options;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(tavrik::headlessUsage(), stdout);
      return 0;
    }
    bool known = false;
    std::string error;
    if (!tavrik::parseHeadlessOption(argc, argv, i, options, known, error, tavrik::kLinuxModes)) {
      std::fprintf(stderr, "tavrik: %s\n", error.c_str());
      return 2;
    }
    if (!known) {
      std::fprintf(stderr, "tavrik: unknown option '%s' (see --help)\n", argv[i]);
      return 2;
    }
  }
  tavrik::DefaultsStore store;
  return tavrik::runHeadless(options, store, tavrik::kLinuxModes);
}
