// The headless runner for Node: the same runner as the Linux program's headless mode, built to
// WebAssembly. It relies on Node's file system (NODERAWFS) for the trace and the PNG frames, and
// starts every run from the default settings, as a fresh settings file would; it has no window.
#include <cstdio>
#include <string>

#include "config/defaults_store.h"
#include "host/headless/headless.h"
#include "host/run_options.h"

int main(int argc, char** argv) {
  tavrik::RunnerCommand command;
  std::string error;
  if (!tavrik::parseRunnerCommandLine(argc, argv, command, error, tavrik::kWindowSizeModes)) {
    // This runner names an unknown option as it was given, without escapes.
    if (command.unknown > 0) {
      std::fprintf(stderr, "tavrik: unknown option '%s' (see --help)\n", argv[command.unknown]);
    } else {
      std::fprintf(stderr, "tavrik: %s\n", error.c_str());
    }
    return 2;
  }
  if (command.help) {
    std::fputs(tavrik::runUsage().c_str(), stdout);
    return 0;
  }
  tavrik::DefaultsStore store;
  return tavrik::runHeadless(command.options, store, tavrik::kWindowSizeModes);
}
