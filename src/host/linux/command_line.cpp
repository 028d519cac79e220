#include "host/linux/command_line.h"
#include "host/quote.h"

#include <array>
#include <charconv>
#include <cstring>

namespace tavrik {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// "--root" means "-root"; a lone "-" or a bare word stays as it is.
std::string_view optionName(std::string_view arg) {
  if (arg.size() > 2 && arg[0] == '-' && arg[1] == '-') {
    return arg.substr(2);
  }
  if (arg.size() > 1 && arg[0] == '-') {
    return arg.substr(1);
  }
  return {};
}

}  // namespace

bool parseWindowId(std::string_view text, uint64_t& id) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  if (text.empty() || text[0] == '+' || text[0] == '-') {
    return false;
  }
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, id, base);
  return ec == std::errc() && ptr == end;
}

bool parseLinuxCommandLine(int argc, char** argv, const char* xscreensaverWindow,
                           LinuxCommand& command, std::string& error) {
  command = LinuxCommand{};
  if (argc > 1 && isSwitchArgument(argv[1])) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
      if (i > 1) {
        text += ' ';
      }
      text += argv[i];
    }
    SaverMode mode = SaverMode::Configure;
    parseCommandLine(text, mode, command.window);
    switch (mode) {
      case SaverMode::Configure:
        command.mode = LinuxMode::Configure;
        break;
      case SaverMode::Preview:
        command.mode = LinuxMode::Preview;
        break;
      case SaverMode::Run:
        command.mode = LinuxMode::FullScreen;
        break;
      case SaverMode::Password:
        command.mode = LinuxMode::Password;
        break;
    }
    return true;
  }

  bool headless = false;
  bool root = false;
  bool windowId = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const std::string_view name = optionName(arg);
    if (name == "help" || name == "h") {
      command.mode = LinuxMode::Help;
      return true;
    }
    if (name == "version") {
      command.mode = LinuxMode::Version;
      return true;
    }
    if (name == "root") {
      root = true;
      continue;
    }
    if (name == "window") {
      continue;
    }
    if (name == "fps") {
      command.fps = true;
      continue;
    }
    if (name == "install") {
      continue;
    }
    if (name == "visual") {
      if (i + 1 >= argc) {
        error = "--visual needs a value";
        return false;
      }
      ++i;
      continue;
    }
    if (name == "window-id") {
      if (i + 1 >= argc) {
        error = "--window-id needs a value";
        return false;
      }
      if (!parseWindowId(argv[++i], command.window) || command.window == 0) {
        error = "bad value for --window-id: " + quotedValue(argv[i]) +
                " (a window id, decimal or 0x hexadecimal)";
        return false;
      }
      windowId = true;
      continue;
    }
    headless = headless || name == "frames" || name == "trace" || name == "output";
    bool known = false;
    if (!parseHeadlessOption(argc, argv, i, command.options, known, error)) {
      return false;
    }
    if (!known) {
      error = "unknown option " + quotedValue(arg) + " (see --help)";
      return false;
    }
  }

  if (headless) {
    command.mode = LinuxMode::Headless;
  } else if (windowId) {
    command.mode = LinuxMode::Embedded;
  } else if (root) {
    command.mode = LinuxMode::Embedded;
    command.window = 0;
    if (xscreensaverWindow != nullptr && *xscreensaverWindow != '\0') {
      std::string_view text = xscreensaverWindow;
      while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
      }
      if (!parseWindowId(text, command.window)) {
        error = "bad XSCREENSAVER_WINDOW: " + quotedValue(xscreensaverWindow);
        return false;
      }
    }
  } else {
    command.mode = LinuxMode::Windowed;
  }
  return true;
}

std::string linuxUsage() {
  std::string text =
      "Usage: tavrik [options]\n"
      "       tavrik -s | -p ID | -c [ID] | -a   (also /s, -S, /S, /c:ID, ...)\n"
      "\n"
      "With no arguments the saver runs in an ordinary window (Esc or q closes it).\n"
      "Screen-saver switches (the first argument):\n"
      "  -s                    full screen until a key, a left or right button or mouse moves\n"
      "  -p ID                 the logo in a child window of window ID\n"
      "  -c [ID]               the settings dialog (tavrik-settings)\n"
      "  -a                    the password notice\n"
      "XScreenSaver options:\n"
      "  -window               run in an ordinary window\n"
      "  -window-id ID         draw into window ID (decimal or 0x hexadecimal)\n"
      "  -root                 draw into $XSCREENSAVER_WINDOW, else the root window\n"
      "  -fps                  show the frame rate\n"
      "  -install, -visual V   accepted and ignored\n"
      "  --help, --version\n"
      "\n";
  text += headlessUsage();
  return text;
}

}  // namespace tavrik
