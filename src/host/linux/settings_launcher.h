// Configure mode: the settings dialog is its own program, tavrik-settings, so that the saver
// itself never loads a toolkit.
#pragma once

#include <cstdint>
#include <string>

namespace tavrik {

// Where tavrik-settings is: beside the running program, else in the install's libexec/tavrik
// folder, else on PATH; empty when it is nowhere.
std::string findSettingsProgram();

// Starts it (with --owner when owner is not 0), waits for it and returns 0; says so on standard
// error when the program cannot be found or started.
int runSettingsDialog(uint64_t owner);

}  // namespace tavrik
