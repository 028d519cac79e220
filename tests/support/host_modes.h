// The display modes and the dialog of the platform the tests are built for, as its hosts pass
// them: the fixed modes and the Windows dialog in the Windows build, the modes that follow the
// window and the Linux dialog everywhere else.
#pragma once

#include "config/dialog.h"
#include "config/settings.h"

namespace tavrik {

#ifdef _WIN32
inline constexpr const DialogChoices& kHostDialog = kWindowsDialog;
#else
inline constexpr const DialogChoices& kHostDialog = kLinuxDialog;
#endif
inline constexpr const DisplayModes& kHostModes = kHostDialog.modes;
inline constexpr SettingTable kHostSettingFields = settingFields(kHostModes);

}  // namespace tavrik
