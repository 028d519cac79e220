#include "host/win32/win_pacing.h"

#include <mmsystem.h>

namespace tavrik {

namespace {

void sleepWholeMilliseconds(FramePacer::Duration duration) {
  const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(duration).count();
  if (milliseconds > 0) {
    Sleep(static_cast<DWORD>(milliseconds));
  }
}

}  // namespace

int displayRefreshHz() {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmDisplayFrequency > 1) {
    return static_cast<int>(mode.dmDisplayFrequency);
  }
  return 60;
}

WinFramePacer::WinFramePacer(double periodMs)
    : pacer_(std::chrono::nanoseconds(static_cast<int64_t>(periodMs * 1e6)),
             FramePacer::Rhythm::Steady) {
  QueryPerformanceFrequency(&frequency_);
  pacer_.start(now());
  // Sleep() is only as fine as the system's timer period.
  timerPeriodSet_ = timeBeginPeriod(1) == TIMERR_NOERROR;
}

WinFramePacer::~WinFramePacer() {
  if (timerPeriodSet_) {
    timeEndPeriod(1);
  }
}

void WinFramePacer::wait() {
  pacer_.pace([this] { return now(); }, sleepWholeMilliseconds);
}

FramePacer::Duration WinFramePacer::now() const {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  // In two parts, so that a counter that has run for years does not overflow.
  const LONGLONG perSecond = frequency_.QuadPart;
  return std::chrono::seconds(counter.QuadPart / perSecond) +
         std::chrono::nanoseconds((counter.QuadPart % perSecond) * 1000000000 / perSecond);
}

}  // namespace tavrik
