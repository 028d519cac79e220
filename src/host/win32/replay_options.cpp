#include "host/win32/replay_options.h"

namespace tavrik {

bool parseReplayCommandLine(int argc, char** argv, ReplayCommand& command, std::string& error) {
  return parseRunnerCommandLine(argc, argv, kReplayRows, command, true, command, error,
                                kFixedModes);
}

std::string replayUsage() {
  return "Usage: tavrik-replay [options]\n\n" + optionUsage(kReplayRows, 0, "--") + "\n" +
         runUsage();
}

}  // namespace tavrik
