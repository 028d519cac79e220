// The headless runner for Node: the same runner as the Linux program's headless mode, built to
// WebAssembly, with its messages and its endings. It relies on Node's file system (NODERAWFS) for
// the trace and the PNG frames, written in order to whatever their paths name (node_files.js),
// and on Node's process for the stop signals; it starts every run from the default settings, as
// a fresh settings file would, and has no window.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "config/defaults_store.h"
#include "host/headless/headless.h"
#include "host/run_options.h"
#include "host/stop_signals.h"

int main(int argc, char** argv) {
  tavrik::RunnerCommand command;
  std::string error;
  if (!tavrik::parseRunnerCommandLine(argc, argv, command, error, tavrik::kWindowSizeModes)) {
    std::fprintf(stderr, "tavrik: %s\n", error.c_str());
    return 2;
  }
  if (command.help) {
    std::fputs(tavrik::runUsage().c_str(), stdout);
    return 0;
  }
  if (command.version) {
    std::printf("tavrik %s (the headless runner for Node)\n", TAVRIK_VERSION);
    return 0;
  }
  tavrik::DefaultsStore store;
  const int code = tavrik::runHeadless(command.options, store, tavrik::kWindowSizeModes);
  tavrik::endBySignal(tavrik::stopSignal());  // after the files are whole
  // A main that gave Node's loop turns (stop_signals_node.cpp) has its return value dropped by
  // the runtime; exit says it.
  std::exit(code);
}
