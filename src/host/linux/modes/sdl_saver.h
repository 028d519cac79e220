// The full-screen saver and the ordinary window, both SDL2 windows of class "TavrikWindow".
#pragma once

#include "host/linux/cli/command_line.h"

namespace tavrik {

// Runs until the mode's exit rules end it or a stop signal arrives; returns the exit code.
int runFullScreen(const LinuxCommand& command);
int runWindowed(const LinuxCommand& command);

}  // namespace tavrik
