// The Linux program's modes on a Wayland session, as a client of the compositor itself.
#pragma once

#include <optional>

#include "host/linux/cli/command_line.h"

namespace tavrik {

// Runs the command's mode natively on Wayland where that is how it is shown: WAYLAND_DISPLAY set,
// no -display, the mode -s, -root (without XSCREENSAVER_WINDOW), -window or none, and a compositor
// that answers and offers what the mode needs. nullopt, with nothing shown: the run is X11's.
std::optional<int> runOnWayland(const LinuxCommand& command);

}  // namespace tavrik
