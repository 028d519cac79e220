// The Linux entry point. For now it knows only the headless runner's options.
#include <cstdio>
#include <cstring>
#include <string>

#include "host/headless/headless.h"

int main(int argc, char** argv) {
  tavrik::HeadlessOptions options;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-help") == 0) {
      std::printf("Usage: tavrik [options]\n%s", tavrik::headlessUsage());
      return 0;
    }
    bool known = false;
    std::string error;
    if (!tavrik::parseHeadlessOption(argc, argv, i, options, known, error)) {
      std::fprintf(stderr, "tavrik: %s\n", error.c_str());
      return 2;
    }
    if (!known) {
      std::fprintf(stderr, "tavrik: unknown option '%s' (see --help)\n", argv[i]);
      return 2;
    }
  }
  return tavrik::runHeadless(options);
}
