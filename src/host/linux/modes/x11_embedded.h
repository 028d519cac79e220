// The saver drawn into a foreign window, as XScreenSaver and its kin run hacks.
#pragma once

#include "host/linux/cli/command_line.h"

namespace tavrik {

int runEmbedded(const LinuxCommand& command);

}  // namespace tavrik
