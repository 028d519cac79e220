// tavrik-replay's command line: its own rows (the device to draw on, a bring-up step made to
// fail), taken only as --name with their value, and the runner's rows. Pure parsing, with no
// Windows header, so the Linux tests take it too.
#pragma once

#include <cstdint>
#include <string>

#include "host/run_options.h"

namespace tavrik {

// The Direct3D device's bring-up steps, as --d3d-fail-at numbers them.
inline constexpr uint32_t kReplayFailSteps = 9;

struct ReplayCommand : RunnerCommand {
  std::string device;   // --device; empty when not given
  uint32_t failAt = 0;  // --d3d-fail-at; 0: none
};

using ReplayRow = OptionRow<ReplayCommand, std::string ReplayCommand::*, uint32_t ReplayCommand::*>;

inline constexpr ReplayRow kReplayRows[] = {
    {{.name = "device",
      .argument = "soft|d3d",
      .exact = true,
      .range = "(soft or d3d)",
      .text = TextRule::Word,
      .help = "draw on the software device, or on Direct3D in full screen, even\n"
              "without --output (by default only --output draws, in software)"},
     &ReplayCommand::device},
    {{.name = "d3d-fail-at",
      .argument = "STEP",
      .exact = true,
      .low = 1,
      .high = kReplayFailSteps,
      .range = "(1 to 9)",
      .help = "make bring-up step STEP (1 to 9) of the Direct3D device fail"},
     &ReplayCommand::failAt},
};

// Parses tavrik-replay's argv; false with a one-line message in error for an unknown option or a
// bad value.
bool parseReplayCommandLine(int argc, char** argv, ReplayCommand& command, std::string& error);

// The text of --help.
std::string replayUsage();

}  // namespace tavrik
