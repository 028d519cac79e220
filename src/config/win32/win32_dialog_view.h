// The settings dialog on Windows: dialog template 102 driven by the shared dialog behaviour
// through the dialog's own controls.
#pragma once

#include <windows.h>

#include "config/settings.h"

namespace tavrik {

inline constexpr int kSettingsDialogTemplate = 102;

// Shows the dialog modally, owned by owner (may be null), over store. Returns once it is closed.
void runSettingsDialog(HINSTANCE instance, HWND owner, SettingsStore& store);

}  // namespace tavrik
