// tavrik-replay.exe: the headless runner on Windows, with the Linux runner's options, so that a
// run on one system can be compared with the same run on the other. It reads the settings from
// the registry like the saver and never writes them back. With --device d3d it draws on the
// Direct3D device in a full-screen window of its own and writes what that device drew; when
// that device cannot be brought up it says so and draws on the software device, as the saver
// does.
#include <windows.h>

#include <charconv>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "config/quote.h"
#include "config/registry_store.h"
#include "device/d3d/d3d_device.h"
#include "device/soft/soft_device.h"
#include "host/headless/headless.h"

namespace {

constexpr const char* kUsage =
    "Usage: tavrik-replay [options]\n"
    "\n"
    "  --device soft|d3d     draw on the software device, or on Direct3D in full screen, even\n"
    "                        without --output (by default only --output draws, in software)\n"
    "  --d3d-fail-at STEP    make bring-up step STEP (1 to 9) of the Direct3D device fail\n"
    "\n";

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

}  // namespace

int main(int argc, char** argv) {
  tavrik::HeadlessOptions options;
  const char* device = nullptr;  // as the runner chooses: software with --output, else none
  int failAt = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::printf("%s%s", kUsage, tavrik::headlessUsage());
      return 0;
    }
    if (arg == "--version") {
      std::printf("tavrik-replay %s\n", TAVRIK_VERSION);
      return 0;
    }
    if ((arg == "--device" || arg == "--d3d-fail-at") && i + 1 < argc) {
      const std::string_view value = argv[++i];
      const char* end = value.data() + value.size();
      if (arg == "--device" && (value == "soft" || value == "d3d")) {
        device = argv[i];
        continue;
      }
      if (arg == "--d3d-fail-at" && std::from_chars(value.data(), end, failAt).ptr == end &&
          failAt >= 1 && failAt <= tavrik::kD3dStepCount) {
        continue;
      }
      std::fprintf(stderr, "tavrik-replay: bad value for %s: %s\n", argv[i - 1],
                   tavrik::quotedValue(argv[i]).c_str());
      return 2;
    }
    bool known = false;
    std::string error;
    if (!tavrik::parseHeadlessOption(argc, argv, i, options, known, error, tavrik::kWindowsModes)) {
      std::fprintf(stderr, "tavrik-replay: %s\n", error.c_str());
      return 2;
    }
    if (!known) {
      std::fprintf(stderr, "tavrik-replay: unknown option %s (see --help)\n",
                   tavrik::quotedValue(argv[i]).c_str());
      return 2;
    }
  }

  tavrik::RegistrySettingsStore store;
  if (device == nullptr) {
    return tavrik::runHeadless(options, store, tavrik::kWindowsModes);
  }
  if (std::string_view(device) == "soft") {
    return tavrik::runHeadless(
        options, store, tavrik::kWindowsModes,
        [](const tavrik::Settings&, tavrik::Presenter* frames) {
          return std::unique_ptr<tavrik::Device>(std::make_unique<tavrik::SoftDevice>(frames));
        });
  }
  HWND window = createReplayWindow();
  const auto drawing = [&](const tavrik::Settings& settings, tavrik::Presenter* frames) {
    auto direct3D =
        std::make_unique<tavrik::D3dDevice>(window, frames, static_cast<tavrik::D3dStep>(failAt));
    // A trial bring-up says what the display became, or what is left after a failed one.
    const bool up = direct3D->initDevice(settings.screenWidth, settings.screenHeight);
    const std::string mode = displayMode();
    direct3D->releaseDevice();
    if (up) {
      std::fprintf(stderr, "tavrik-replay: Direct3D at %s\n", mode.c_str());
      return std::unique_ptr<tavrik::Device>(std::move(direct3D));
    }
    std::fprintf(stderr,
                 "tavrik-replay: Direct3D could not be brought up (step %d failed); the display "
                 "is %s; drawing on the software device\n",
                 static_cast<int>(direct3D->failedStep()), mode.c_str());
    return std::unique_ptr<tavrik::Device>(std::make_unique<tavrik::SoftDevice>(frames));
  };
  const int code = tavrik::runHeadless(options, store, tavrik::kWindowsModes, drawing);
  DestroyWindow(window);
  return code;
}
