// Configure mode: the settings dialog is its own program, tavrik-settings, so that the saver
// itself never loads a toolkit.
#pragma once

#include <cstdint>
#include <string>

namespace tavrik {

// Where tavrik-settings is: beside the running program, else in the libexec/tavrik folder of the
// install the program runs from, else in that of the configured prefix, else on PATH; empty when
// it is nowhere.
std::string findSettingsProgram();

// Starts it (with --owner when owner is not 0), waits for it and returns 0; when the program
// cannot be found or started, says so in one line on standard error and returns 1.
int runSettingsDialog(uint64_t owner);

}  // namespace tavrik
