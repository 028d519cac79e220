// tavrik-replay.exe: the headless runner on Windows, with the Linux runner's options, so that a
// run on one system can be compared with the same run on the other. It reads the settings from
// the registry like the saver and never writes them back. With --device d3d it draws on the
// Direct3D device in a full-screen window of its own and writes what that device drew; when
// that device cannot be brought up it says so and draws on the software device, as the saver
// does. Ctrl+C and Ctrl+Break end a run after its frame; a process ended outright
// (TerminateProcess, or Wine's SIGTERM) finds no time to finish, so its frames are written under a
// temporary name and renamed whole.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "config/quote.h"
#include "config/registry_store.h"
#include "device/d3d/d3d_device.h"
#include "device/soft/soft_device.h"
#include "host/headless/headless.h"
#include "host/stop_signals.h"
#include "host/win32/replay_options.h"
#include "host/win32/win_device.h"

namespace {

static_assert(tavrik::kReplayFailSteps == static_cast<uint32_t>(tavrik::kD3dStepCount));

// The exclusive display mode needs a top-level window to own it.
HWND createReplayWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = "TavrikReplay";
  RegisterClassA(&windowClass);
  HWND window =
      CreateWindowExA(0, windowClass.lpszClassName, "Tavrik replay", WS_POPUP | WS_VISIBLE, 0, 0,
                      GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                      nullptr, windowClass.hInstance, nullptr);
  UpdateWindow(window);
  return window;
}

// The display mode as this process sees it, e.g. "640x480x16".
std::string displayMode() {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
  char text[48];
  std::snprintf(text, sizeof text, "%lux%lux%lu", mode.dmPelsWidth, mode.dmPelsHeight,
                mode.dmBitsPerPel);
  return text;
}

// The run on Direct3D in a full-screen window of its own, or, where that cannot be brought up,
// on the software device; a trial bring-up says what the display became, or what is left after a
// failed one.
int runOnDirect3D(const tavrik::RunOptions& options, tavrik::RegistrySettingsStore& store,
                  tavrik::D3dStep failAt) {
  HWND window = createReplayWindow();
  const auto drawing = [&](const tavrik::Settings& settings, tavrik::Presenter* frames) {
    const auto trial = [&](tavrik::D3dDevice& direct3D) {
      const bool up = direct3D.initDevice(settings.screenWidth, settings.screenHeight);
      const std::string mode = displayMode();
      direct3D.releaseDevice();
      if (up) {
        std::fprintf(stderr, "tavrik-replay: Direct3D at %s\n", mode.c_str());
      } else {
        std::fprintf(stderr,
                     "tavrik-replay: Direct3D could not be brought up (step %d failed); the "
                     "display is %s; drawing on the software device\n",
                     static_cast<int>(direct3D.failedStep()), mode.c_str());
      }
      return up;
    };
    const tavrik::WinDevices devices{window, frames, frames, failAt};
    return tavrik::chooseWinDevice(devices, trial).device;
  };
  const int code = tavrik::runHeadless(options, store, tavrik::kFixedModes, drawing);
  DestroyWindow(window);
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  tavrik::ReplayCommand command;
  std::string error;
  if (!tavrik::parseReplayCommandLine(argc, argv, command, error)) {
    std::fprintf(stderr, "tavrik-replay: %s\n", error.c_str());
    return 2;
  }
  if (command.help) {
    std::fputs(tavrik::replayUsage().c_str(), stdout);
    return 0;
  }
  if (command.version) {
    std::printf("tavrik-replay %s\n", TAVRIK_VERSION);
    return 0;
  }
  tavrik::RunOptions& options = command.options;
  options.program = "tavrik-replay";

  tavrik::RegistrySettingsStore store;
  int code = 0;
  if (command.device.empty()) {
    code = tavrik::runHeadless(options, store, tavrik::kFixedModes);
  } else if (command.device == "soft") {
    code = tavrik::runHeadless(
        options, store, tavrik::kFixedModes,
        [](const tavrik::Settings&, tavrik::Presenter* frames) {
          return std::unique_ptr<tavrik::Device>(std::make_unique<tavrik::SoftDevice>(frames));
        });
  } else {
    code = runOnDirect3D(options, store, static_cast<tavrik::D3dStep>(command.failAt));
  }
  // Windows has no death by a signal: a run stopped by Ctrl+C or Ctrl+Break, its files whole,
  // ends with the code a shell gives the other runners ended by it (130 for Ctrl+C).
  return tavrik::stopSignal() != 0 ? 128 + tavrik::stopSignal() : code;
}
