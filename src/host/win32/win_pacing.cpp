#include "host/win32/win_pacing.h"

#include <mmsystem.h>

#include <cstring>

namespace tavrik {

namespace {

void sleepWholeMilliseconds(FramePacer::Duration duration) {
  const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(duration).count();
  if (milliseconds > 0) {
    Sleep(static_cast<DWORD>(milliseconds));
  }
}

using DwmIsCompositionEnabledFn = HRESULT(WINAPI*)(BOOL*);

// From the system folder only: a dwmapi.dll beside the saver or in the current folder is not
// the system's.
HMODULE loadSystemDwmapi() {
  char path[MAX_PATH];
  const UINT length = GetSystemDirectoryA(path, MAX_PATH);
  constexpr char kName[] = "\\dwmapi.dll";
  if (length == 0 || length + sizeof kName > MAX_PATH) {
    return nullptr;
  }
  std::memcpy(path + length, kName, sizeof kName);
  return LoadLibraryA(path);
}

template <typename Function>
Function lookUp(HMODULE module, const char* name) {
  // GetProcAddress hands every function back as a FARPROC; void (*)() is the cast that
  // compilers accept between unrelated function types.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
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

CompositorWait::CompositorWait() : dwmapi_(loadSystemDwmapi()) {
  if (dwmapi_ == nullptr) {
    return;
  }
  const auto compositionEnabled =
      lookUp<DwmIsCompositionEnabledFn>(dwmapi_, "DwmIsCompositionEnabled");
  BOOL enabled = FALSE;
  // While composition is on, DwmFlush() waits for the compositor's next frame.
  if (compositionEnabled != nullptr && SUCCEEDED(compositionEnabled(&enabled)) && enabled) {
    dwmFlush_ = lookUp<decltype(dwmFlush_)>(dwmapi_, "DwmFlush");
  }
}

CompositorWait::~CompositorWait() {
  if (dwmapi_ != nullptr) {
    FreeLibrary(dwmapi_);
  }
}

bool CompositorWait::wait() {
  return dwmFlush_ != nullptr && SUCCEEDED(dwmFlush_());
}

}  // namespace tavrik
