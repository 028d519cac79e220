// The Wayland host's choices that need no compositor: which runs are its, the size of a picture
// in an output's pixels, and the cap on the frame rate.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>

#include "host/linux/cli/command_line.h"

namespace tavrik {

// What a run shows on Wayland: an overlay layer surface on every output (-s), full-screen
// toplevels instead where layer-shell is missing, a background layer surface on every output
// (-root), or one toplevel (-window, or no arguments).
enum class SurfaceKind { Overlay, FullScreen, Background, Window };

// The surfaces for the command on a session whose WAYLAND_DISPLAY is waylandDisplay (nullptr:
// not set); nullopt where the run stays on X: no Wayland session, -display given, -root with
// XSCREENSAVER_WINDOW or -window-id (which name X windows), and the modes that are X's alone.
inline std::optional<SurfaceKind> waylandSurfaces(const LinuxCommand& command,
                                                  const char* waylandDisplay) {
  if (waylandDisplay == nullptr || *waylandDisplay == '\0' || !command.display.empty()) {
    return std::nullopt;
  }
  switch (command.mode) {
    case LinuxMode::FullScreen:
      return SurfaceKind::Overlay;
    case LinuxMode::Windowed:
      return SurfaceKind::Window;
    case LinuxMode::Embedded:
      if (command.window == 0 && !command.windowFromEnvironment) {
        return SurfaceKind::Background;
      }
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

struct PixelSize {
  int width;
  int height;
};

// A surface's size in the output's pixels: its size in surface coordinates times the integer
// scale, or, where the compositor tells a fractional scale (in 120ths, 0: none), times that,
// rounded.
inline PixelSize pixelSize(int logicalWidth, int logicalHeight, int32_t scale, uint32_t scale120) {
  if (scale120 > 0) {
    return {static_cast<int>((int64_t{logicalWidth} * scale120 + 60) / 120),
            static_cast<int>((int64_t{logicalHeight} * scale120 + 60) / 120)};
  }
  return {logicalWidth * scale, logicalHeight * scale};
}

// The least time from one frame to the next: -delay where given, else the output's refresh
// (told in millihertz; 60 Hz when not told).
inline std::chrono::nanoseconds framePeriod(int32_t refreshMilliHz, uint32_t delayMicroseconds) {
  if (delayMicroseconds > 0) {
    return std::chrono::microseconds(delayMicroseconds);
  }
  const int64_t hz = refreshMilliHz > 0 ? (int64_t{refreshMilliHz} + 500) / 1000 : 60;
  return std::chrono::microseconds(1000000 / std::max<int64_t>(hz, 1));
}

}  // namespace tavrik
