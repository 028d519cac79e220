// tavrik-settings: the settings dialog of the Linux build, a GTK 3 window over the shared
// dialog behaviour and the per-user settings file. `tavrik -c` starts it, so the saver itself
// never links GTK. It relies on GTK 3 and, for --owner, on the X11 backend; it does not run
// the saver or preview anything.
#include <gtk/gtk.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/dialog.h"
#include "config/file_store.h"
#include "config/gtk/gtk_dialog_view.h"
#include "config/quote.h"

namespace {

constexpr const char* kUsage = "usage: tavrik-settings [--owner WINDOWID]";

// A window id as decimal or 0x-prefixed hexadecimal; X ids fit in 32 bits.
bool parseWindowId(const char* text, unsigned long& id) {
  int base = 10;
  if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text += 2;
  }
  // strtoull would also take blanks and a sign, which no window id has.
  const unsigned char first = static_cast<unsigned char>(text[0]);
  if (base == 16 ? !std::isxdigit(first) : !std::isdigit(first)) {
    return false;
  }
  errno = 0;
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text, &end, base);
  if (errno != 0 || *end != '\0' || value > 0xFFFFFFFFull) {
    return false;
  }
  id = static_cast<unsigned long>(value);
  return true;
}

// 0: run the dialog; otherwise the exit code (help printed, or a bad argument reported).
int parseArguments(int argc, char** argv, unsigned long& owner) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    const char* value = nullptr;
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
      std::printf("%s\n", kUsage);
      return -1;
    }
    if (std::strcmp(arg, "--owner") == 0) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "tavrik-settings: --owner needs a window id (%s)\n", kUsage);
        return 2;
      }
      value = argv[++i];
    } else if (std::strncmp(arg, "--owner=", 8) == 0) {
      value = arg + 8;
    } else {
      std::fprintf(stderr, "tavrik-settings: unknown argument %s (%s)\n",
                   tavrik::quotedValue(arg).c_str(), kUsage);
      return 2;
    }
    if (!parseWindowId(value, owner)) {
      std::fprintf(stderr, "tavrik-settings: %s is not a window id (%s)\n",
                   tavrik::quotedValue(value).c_str(), kUsage);
      return 2;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // GTK takes its own options (such as --display) out of argv first.
  gtk_parse_args(&argc, &argv);
  unsigned long owner = 0;
  if (const int code = parseArguments(argc, argv, owner); code != 0) {
    return code < 0 ? 0 : code;
  }
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "tavrik-settings: cannot open the display (is DISPLAY set?)\n");
    return 1;
  }

  const std::string path = tavrik::defaultSettingsPath();
  tavrik::FileSettingsStore store(path);
  tavrik::GtkDialogView view(path);
  tavrik::SettingsDialog dialog(view, store, tavrik::kLinuxDialog);
  view.attach(dialog);
  // An owner that is gone or foreign to this display is no reason not to show the dialog.
  if (owner != 0) {
    view.setOwner(owner);
  }
  dialog.open();
  view.run();
  return view.saveFailed() ? 1 : 0;
}
