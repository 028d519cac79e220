// The Linux entry point: chooses the mode from the command line and runs it. It relies on Xlib
// for the single-instance rule and the foreground window, and hands each mode to its own host
// (SDL2 windows, embedding, preview, notice, the settings program, the headless runner). It draws
// nothing itself and holds no state beyond the stop signals and the X error traps.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "config/file_store.h"
#include "host/headless/headless.h"
#include "host/linux/command_line.h"
#include "host/linux/sdl_saver.h"
#include "host/linux/settings_launcher.h"
#include "host/linux/stop_signals.h"
#include "host/linux/x11_embedded.h"
#include "host/linux/x11_notice.h"
#include "host/linux/x11_preview.h"
#include "host/linux/x11_util.h"

namespace {

bool isSwitchMode(tavrik::LinuxMode mode) {
  return mode == tavrik::LinuxMode::FullScreen || mode == tavrik::LinuxMode::Preview ||
         mode == tavrik::LinuxMode::Password || mode == tavrik::LinuxMode::Configure;
}

// False when a saver window already runs and this start must end at once. Also puts the
// foreground window in place of a switch's window number 0.
bool firstInstance(tavrik::LinuxCommand& command) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    return true;  // no display, so no saver window either; each mode deals with it
  }
  const bool first = !tavrik::saverWindowExists(display);
  if (first && isSwitchMode(command.mode) && command.window == 0) {
    command.window = tavrik::foregroundWindow(display);
  }
  XCloseDisplay(display);
  return first;
}

}  // namespace

int main(int argc, char** argv) {
  tavrik::LinuxCommand command;
  std::string error;
  if (!tavrik::parseLinuxCommandLine(argc, argv, std::getenv("XSCREENSAVER_WINDOW"), command,
                                     error)) {
    std::fprintf(stderr, "tavrik: %s\n", error.c_str());
    return 2;
  }
  if (!command.display.empty()) {
    setenv("DISPLAY", command.display.c_str(), 1);  // for Xlib, SDL and the settings program
  }
  switch (command.mode) {
    case tavrik::LinuxMode::Help:
      std::fputs(tavrik::linuxUsage().c_str(), stdout);
      return 0;
    case tavrik::LinuxMode::Version:
      std::printf("tavrik %s\n", TAVRIK_VERSION);
      return 0;
    case tavrik::LinuxMode::Headless: {
      tavrik::FileSettingsStore store(tavrik::defaultSettingsPath());
      return tavrik::runHeadless(command.options, store);
    }
    default:
      break;
  }

  tavrik::installStopSignals();
  tavrik::installXErrorTraps();
  if (command.mode == tavrik::LinuxMode::Embedded) {
    return tavrik::runEmbedded(command);  // one per monitor may run side by side
  }
  if (!firstInstance(command)) {
    return 0;
  }
  switch (command.mode) {
    case tavrik::LinuxMode::FullScreen:
      return tavrik::runFullScreen(command);
    case tavrik::LinuxMode::Windowed:
      return tavrik::runWindowed(command);
    case tavrik::LinuxMode::Preview:
      return tavrik::runPreview(command.window);
    case tavrik::LinuxMode::Password:
      return tavrik::showPasswordNotice(command.window);
    case tavrik::LinuxMode::Configure:
      return tavrik::runSettingsDialog(command.window);
    default:
      return 0;
  }
}
