// tavrik-replay.exe: the headless runner on Windows, with the Linux runner's options, so that a
// run on one system can be compared with the same run on the other. It reads the settings from
// the registry like the saver and never writes them back.
#include <cstdio>
#include <string>
#include <string_view>

#include "config/registry_store.h"
#include "host/headless/headless.h"

int main(int argc, char** argv) {
  tavrik::HeadlessOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::printf("Usage: tavrik-replay [options]\n\n%s", tavrik::headlessUsage());
      return 0;
    }
    if (arg == "--version") {
      std::printf("tavrik-replay %s\n", TAVRIK_VERSION);
      return 0;
    }
    bool known = false;
    std::string error;
    if (!tavrik::parseHeadlessOption(argc, argv, i, options, known, error)) {
      std::fprintf(stderr, "tavrik-replay: %s\n", error.c_str());
      return 2;
    }
    if (!known) {
      std::fprintf(stderr, "tavrik-replay: unknown option '%s' (see --help)\n", argv[i]);
      return 2;
    }
  }
  tavrik::RegistrySettingsStore store;
  return tavrik::runHeadless(options, store);
}
