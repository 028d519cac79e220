// The Windows screen saver, tavrik.scr. It implements the four modes that the screen-saver host
// asks for with a switch: the full-screen run, the preview, the settings dialog and the password
// notice. It relies on Win32 windows and GDI, the registry for the settings and the multimedia
// timer. The run draws with Direct3D in exclusive full-screen mode; where that cannot be brought
// up (no 3D hardware, a display that refuses the mode) it draws on the software device and
// shows each frame through GDI. It takes no other options: the switch search would find "-s"
// inside any longer option.
#include <windows.h>

#include <ctime>
#include <memory>

#include "config/registry_store.h"
#include "config/win32/win32_dialog_view.h"
#include "host/frame_loop.h"
#include "host/run.h"
#include "host/saver_rules.h"
#include "host/switches.h"
#include "host/win32/gdi_presenter.h"
#include "host/win32/preview_window.h"
#include "host/win32/saver_window.h"
#include "host/win32/win_device.h"

namespace {

class MultimediaTimer : public tavrik::MillisecondTimer {
 public:
  uint32_t readMs() override { return timeGetTime(); }
};

int runSaver(HINSTANCE instance, int showCommand) {
  tavrik::RegistrySettingsStore store;
  // Tens of kilobytes: made once before the first frame rather than on the stack.
  const auto run = std::make_unique<tavrik::Run>();
  tavrik::prepareRun(*run, store, static_cast<uint32_t>(std::time(nullptr)), {},
                     tavrik::kFixedModes);

  HWND window = nullptr;
  if (!tavrik::createSaverWindow(instance, showCommand, tavrik::readMonitorLayout().primary,
                                 window)) {
    return 0;
  }
  // Without a window nothing could ever end the run.
  if (window == nullptr) {
    return 0;
  }
  HWND covers[tavrik::kMaxOtherMonitors] = {};
  const int coverCount = tavrik::coverOtherMonitors(instance, tavrik::readMonitorLayout(), covers);
  MultimediaTimer timer;
  tavrik::GdiPresenter presenter(window);
  const auto up = [&](tavrik::Device& device) { return tavrik::startRun(*run, device, timer); };
  const tavrik::WinDevice chosen = tavrik::chooseWinDevice({window, &presenter}, up, up);
  if (chosen.device == nullptr) {
    DestroyWindow(window);
    return 0;
  }
  tavrik::placeCovers(tavrik::readMonitorLayout(), covers, coverCount);
  tavrik::SaverFrames frames(window, chosen.direct3D);
  tavrik::runFrames(*run, *chosen.device, timer, frames);
  tavrik::endRun(*chosen.device);
  return static_cast<int>(frames.quitCode());
}

// The motion is computed with SSE2 arithmetic, for the same bits on every machine, so the program
// is built for it; on an older processor its first SSE2 instruction would end it with an illegal
// instruction. Asked before anything that could use SSE2 runs. The tests, on machines that all
// have SSE2, give the answer through TAVRIK_TEST_CPU.
bool hasSse2() {
  char injected[16] = {};
  if (GetEnvironmentVariableA("TAVRIK_TEST_CPU", injected, sizeof injected) > 0) {
    return lstrcmpA(injected, "no-sse2") != 0;
  }
  return IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) != FALSE;
}

// The sentence in UTF-16, so it reads right whatever the system's ANSI code page.
int showPasswordNotice(HWND owner) {
  MessageBoxW(owner, L"" TAVRIK_NOTICE_JAPANESE, L"" TAVRIK_NOTICE_CAPTION, MB_OK);
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandText, int showCommand) {
  if (FindWindowA(tavrik::kSaverWindowClass, nullptr) != nullptr) {
    return 0;
  }
  tavrik::SaverMode mode = tavrik::SaverMode::Configure;
  uint64_t number = 0;
  const std::string_view text = commandText != nullptr ? commandText : "";
  if (!tavrik::parseCommandLine(text, mode, number)) {
    return 0;
  }
  auto parent = reinterpret_cast<HWND>(static_cast<uintptr_t>(number));
  if (!text.empty() && parent == nullptr) {
    parent = GetForegroundWindow();
  }

  // The password notice alone runs anywhere.
  if (mode != tavrik::SaverMode::Password && !hasSse2()) {
    MessageBoxW(mode == tavrik::SaverMode::Configure ? parent : nullptr, L"" TAVRIK_NEEDS_SSE2,
                L"" TAVRIK_NOTICE_CAPTION, MB_OK | MB_ICONERROR);
    return 0;
  }
  switch (mode) {
    case tavrik::SaverMode::Configure: {
      tavrik::RegistrySettingsStore store;
      tavrik::runSettingsDialog(instance, parent, store);
      return 0;
    }
    case tavrik::SaverMode::Preview:
      return tavrik::runPreview(instance, showCommand, parent);
    case tavrik::SaverMode::Run:
      return runSaver(instance, showCommand);
    case tavrik::SaverMode::Password:
      return showPasswordNotice(parent);
  }
  return 0;
}
