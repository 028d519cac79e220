// The preview: a child window over the host's preview area that shows the logo stretched to its
// size, and the blocking loop that lasts until the host takes the area away.
#pragma once

#include <windows.h>

namespace tavrik {

inline constexpr int kLogoBitmap = 103;

// Stretches bitmap kLogoBitmap of instance over (0, 0, width, height) of dc.
void paintLogo(HDC dc, HINSTANCE instance, int width, int height);

// Returns the process exit code: 0 when the preview ends, and at once when no preview window can
// be made (the class is taken, or the parent is gone), since nothing could then end the loop.
int runPreview(HINSTANCE instance, int showCommand, HWND parent);

}  // namespace tavrik
