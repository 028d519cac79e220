#include "host/win32/frame_pacer.h"

#include <mmsystem.h>

namespace tavrik {

int displayRefreshHz() {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmDisplayFrequency > 1) {
    return static_cast<int>(mode.dmDisplayFrequency);
  }
  return 60;
}

FramePacer::FramePacer(double periodMs) {
  QueryPerformanceFrequency(&frequency_);
  QueryPerformanceCounter(&next_);
  period_ = static_cast<LONGLONG>(periodMs * static_cast<double>(frequency_.QuadPart) / 1000.0);
  // Sleep() is only as fine as the system's timer period.
  timerPeriodSet_ = timeBeginPeriod(1) == TIMERR_NOERROR;
}

FramePacer::~FramePacer() {
  if (timerPeriodSet_) {
    timeEndPeriod(1);
  }
}

void FramePacer::wait() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  next_.QuadPart += period_;
  if (next_.QuadPart < now.QuadPart) {
    next_ = now;
    return;
  }
  const LONGLONG waitMs = (next_.QuadPart - now.QuadPart) * 1000 / frequency_.QuadPart;
  if (waitMs > 0) {
    Sleep(static_cast<DWORD>(waitMs));
  }
}

}  // namespace tavrik
