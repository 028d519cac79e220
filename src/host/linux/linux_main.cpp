// The Linux entry point: chooses the mode from the command line and runs it. It relies on Xlib
// for the display check, the single-instance rule and the foreground window, and hands each mode
// to its own host (SDL2 windows, embedding, preview, notice, the settings program, the headless
// runner); a mode ended by a stop signal then ends the process by that signal. It draws nothing
// itself and holds no state beyond the stop signals and the X error traps.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "config/file_store.h"
#include "host/headless/headless.h"
#include "host/linux/cli/command_line.h"
#include "host/linux/cli/xscreensaver_programs.h"
#include "host/linux/modes/sdl_saver.h"
#include "host/linux/modes/x11_embedded.h"
#include "host/linux/modes/x11_preview.h"
#include "host/linux/settings_launcher.h"
#include "host/linux/x11/x11_notice.h"
#include "host/linux/x11/x11_util.h"
#include "host/stop_signals.h"
#include "host/wayland/wayland_host.h"

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

bool needsDisplay(tavrik::LinuxMode mode) {
  return mode == tavrik::LinuxMode::FullScreen || mode == tavrik::LinuxMode::Windowed ||
         mode == tavrik::LinuxMode::Embedded || mode == tavrik::LinuxMode::Preview;
}

// Why the mode's X display cannot be had, in one line; empty when it can.
std::string displayProblem() {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (wayland != nullptr && *wayland != '\0') {
      return "this Wayland session has no X display (XWayland), which tavrik needs: install "
             "XWayland (Debian: xwayland) and log in again, or choose an X11 session";
    }
    return "no X display: DISPLAY is not set (run it in an X session, or give -display NAME)";
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    return "cannot open display '" + std::string(name) + "'";
  }
  XCloseDisplay(display);
  return {};
}

int runMode(tavrik::LinuxCommand& command) {
  if (const std::optional<int> code = tavrik::runOnWayland(command)) {
    return *code;
  }
  if (needsDisplay(command.mode)) {
    const std::string problem = displayProblem();
    if (!problem.empty()) {
      std::fprintf(stderr, "tavrik: %s\n", problem.c_str());
      return 1;
    }
  }
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
      std::fputs(tavrik::linuxVersion().c_str(), stdout);
      return 0;
    case tavrik::LinuxMode::AddToXScreenSaver: {
      const char* home = std::getenv("HOME");
      if (home == nullptr || *home != '/') {
        std::fputs("tavrik: HOME is not set, so there is no ~/.xscreensaver to add to\n", stderr);
        return 1;
      }
      // XScreenSaver finds its hacks on PATH after /usr/libexec/xscreensaver; any other install
      // needs the hack's whole path.
      const std::string hack = TAVRIK_HACK;
      const char* word = hack == "/usr/libexec/xscreensaver/tavrik" ? "tavrik" : hack.c_str();
      return tavrik::addToXScreenSaver(std::string(home) + "/.xscreensaver", word) ? 0 : 1;
    }
    case tavrik::LinuxMode::Headless: {
      tavrik::FileSettingsStore store(tavrik::defaultSettingsPath());
      const int code = tavrik::runHeadless(command.options, store, tavrik::kWindowSizeModes);
      tavrik::endBySignal(tavrik::stopSignal());  // after the files are whole
      return code;
    }
    default:
      break;
  }

  tavrik::installStopSignals();
  tavrik::installXErrorTraps();
  const int code = runMode(command);
  // Windows, shared memory and the dialog are gone by now: a stop signal ends the process by
  // that signal, so its parent sees why it ended.
  tavrik::endBySignal(tavrik::stopSignal());
  return code;
}
