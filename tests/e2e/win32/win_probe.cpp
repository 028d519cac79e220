// Reads Windows-side facts for the end-to-end tests that run tavrik.scr under Wine, since bash
// cannot see Win32 windows, dialogs or display settings directly. Usage: win_probe COMMAND ARGS...
// It prints one fact a line as key=value on stdout and exits 0 on success, 1 when the thing
// looked for is not there, 2 on bad usage. Text read from windows is printed as UTF-8 with a
// line feed written as \n (and a carriage return as \r) so that every fact stays on one line.
//
// Arguments reach main() in the ANSI code page, so a caption or title to look for must be
// representable there; ASCII always is.

// windows.h must come first: the other Windows headers build on its types.
#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr int kOk = 0;
constexpr int kNotFound = 1;
constexpr int kUsage = 2;

// A window whose thread hangs must not hang the test that asked about it.
constexpr UINT kSendTimeoutMs = 2000;
constexpr UINT kPollMs = 50;
constexpr int kUpDownId = 1009;
// The message's static control in a message box; Wine 8 uses this id too.
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr char kHostClass[] = "TavrikTestHost";

int usage() {
  std::fputs(
      "usage: win_probe find-class CLASS | sync-class CLASS | all-of-class CLASS\n"
      "       win_probe find-child PARENT_HWND CLASS\n"
      "       win_probe display-mode | monitors\n"
      "       win_probe manifest FILE\n"
      "       win_probe string1 FILE\n"
      "       win_probe host-window WIDTH HEIGHT FILE\n"
      "       win_probe message-box CAPTION | dialog TITLE\n"
      "       win_probe point TITLE ID [up|down]\n",
      stderr);
  return kUsage;
}

bool parseLong(const char* text, long min, long max, long* value) {
  char* end = nullptr;
  const long parsed = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || parsed < min || parsed > max) {
    return false;
  }
  *value = parsed;
  return true;
}

bool parseHwnd(const char* text, HWND* hwnd) {
  char* end = nullptr;
  const unsigned long long parsed = std::strtoull(text, &end, 10);
  if (end == text || *end != '\0' || parsed == 0 || parsed > UINTPTR_MAX) {
    return false;
  }
  *hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(parsed));
  return true;
}

unsigned long long hwndNumber(HWND hwnd) {
  return reinterpret_cast<uintptr_t>(hwnd);
}

std::wstring ansiToWide(const char* text) {
  const int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (size <= 1) {
    return {};
  }
  std::wstring wide(size, L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), size);
  wide.resize(size - 1);
  return wide;
}

std::string wideToUtf8(std::wstring_view wide) {
  if (wide.empty()) {
    return {};
  }
  const int length = static_cast<int>(wide.size());
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  std::string utf8(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data(), size, nullptr, nullptr);
  return utf8;
}

std::string oneLine(std::string_view text) {
  std::string line;
  for (const char c : text) {
    if (c == '\n') {
      line += "\\n";
    } else if (c == '\r') {
      line += "\\r";
    } else {
      line += c;
    }
  }
  return line;
}

// The name Windows keeps for the window itself, which is what a title bar shows.
std::wstring windowName(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(length + 1, L'\0');
  const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(copied > 0 ? copied : 0);
  return text;
}

// Controls of another process answer WM_GETTEXT with their live contents (an edit box's typed
// text, a combo box's selection), which the kept window name need not match.
std::wstring controlText(HWND control) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                           &length)) {
    return {};
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied)) {
    return {};
  }
  text.resize(copied <= length ? copied : length);
  return text;
}

std::wstring className(HWND hwnd) {
  wchar_t name[256] = {};
  const int length = GetClassNameW(hwnd, name, 256);
  return std::wstring(name, length > 0 ? length : 0);
}

std::string rectText(const RECT& rect) {
  char text[64];
  std::snprintf(text, sizeof text, "%ld,%ld,%ld,%ld", rect.left, rect.top, rect.right, rect.bottom);
  return text;
}

std::string windowRectText(HWND hwnd) {
  RECT rect = {};
  GetWindowRect(hwnd, &rect);
  return rectText(rect);
}

// The window's DPI awareness as the system took it from the program's manifest: 0 unaware,
// 1 system, 2 per monitor; -1 where the system does not tell.
int dpiAwarenessOf(HWND hwnd) {
  using ContextOf = HANDLE(WINAPI*)(HWND);
  using AwarenessOf = int(WINAPI*)(HANDLE);
  const HMODULE user32 = GetModuleHandleA("user32.dll");
  // Through void*: the function types differ from FARPROC's by design.
  const auto contextOf = reinterpret_cast<ContextOf>(
      reinterpret_cast<void*>(GetProcAddress(user32, "GetWindowDpiAwarenessContext")));
  const auto awarenessOf = reinterpret_cast<AwarenessOf>(
      reinterpret_cast<void*>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
  return contextOf != nullptr && awarenessOf != nullptr ? awarenessOf(contextOf(hwnd)) : -1;
}

void printWindow(HWND hwnd) {
  char name[256] = {};
  GetClassNameA(hwnd, name, sizeof name);
  const int length = GetWindowTextLengthA(hwnd);
  std::string title(length + 1, '\0');
  title.resize(GetWindowTextA(hwnd, title.data(), length + 1));
  std::printf("hwnd=%llu\n", hwndNumber(hwnd));
  std::printf("class=%s\n", name);
  std::printf("title=%s\n", oneLine(title).c_str());
  std::printf("rect=%s\n", windowRectText(hwnd).c_str());
  std::printf("visible=%d\n", IsWindowVisible(hwnd) ? 1 : 0);
  std::printf("style=0x%08lX\n", static_cast<unsigned long>(GetWindowLongA(hwnd, GWL_STYLE)));
  std::printf("exstyle=0x%08lX\n", static_cast<unsigned long>(GetWindowLongA(hwnd, GWL_EXSTYLE)));
  std::printf("dpiAwareness=%d\n", dpiAwarenessOf(hwnd));
}

int findClass(const char* name) {
  const HWND hwnd = FindWindowA(name, nullptr);
  if (hwnd == nullptr) {
    return kNotFound;
  }
  printWindow(hwnd);
  return kOk;
}

// Returns once the window's thread has taken a message sent now. Its loop takes the input queued
// before it in the same pass, so a test can wait until the pointer moves it made have been read,
// one by one, rather than have them merged into one.
int syncClass(const char* name) {
  const HWND hwnd = FindWindowA(name, nullptr);
  DWORD_PTR result = 0;
  if (hwnd == nullptr ||
      SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result) == 0) {
    return kNotFound;
  }
  return kOk;
}

// Every top-level window of the class, one block each, separated by a line "--".
int allOfClass(const char* name) {
  int found = 0;
  for (HWND hwnd = FindWindowExA(nullptr, nullptr, name, nullptr); hwnd != nullptr;
       hwnd = FindWindowExA(nullptr, hwnd, name, nullptr)) {
    if (found++ > 0) {
      std::puts("--");
    }
    printWindow(hwnd);
  }
  return found > 0 ? kOk : kNotFound;
}

BOOL CALLBACK printMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(monitor, &info)) {
    const RECT& r = info.rcMonitor;
    std::printf("monitor=%ld,%ld,%ld,%ld primary=%d\n", r.left, r.top, r.right, r.bottom,
                (info.dwFlags & MONITORINFOF_PRIMARY) != 0 ? 1 : 0);
  }
  return TRUE;
}

int monitors() {
  std::printf("count=%d\n", GetSystemMetrics(SM_CMONITORS));
  return EnumDisplayMonitors(nullptr, nullptr, printMonitor, 0) ? kOk : kNotFound;
}

// The program's manifest (resource 1 of type RT_MANIFEST) as it was built into the file, one
// line of it per line.
int manifest(const char* file) {
  const HMODULE module = LoadLibraryExA(file, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  const HRSRC found = module != nullptr
                          ? FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))
                          : nullptr;
  const HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const char* text = loaded != nullptr ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  if (text == nullptr) {
    return kNotFound;
  }
  std::fwrite(text, 1, SizeofResource(module, found), stdout);
  std::puts("");
  return kOk;
}

// String 1 of the program's string table, the name the screen-saver settings list it by, as
// UTF-8.
int firstString(const char* file) {
  const HMODULE module = LoadLibraryExA(file, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  wchar_t text[256] = {};
  const int length = module != nullptr ? LoadStringW(module, 1, text, 256) : 0;
  if (length <= 0) {
    return kNotFound;
  }
  char utf8[1024] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, length, utf8, sizeof utf8 - 1, nullptr, nullptr);
  std::printf("string1=%s\n", utf8);
  return kOk;
}

int findChild(HWND parent, const char* name) {
  const HWND hwnd = FindWindowExA(parent, nullptr, name, nullptr);
  if (hwnd == nullptr) {
    return kNotFound;
  }
  printWindow(hwnd);
  std::printf("parent=%llu\n", hwndNumber(GetParent(hwnd)));
  return kOk;
}

int displayMode() {
  DEVMODEA mode = {};
  mode.dmSize = sizeof mode;
  if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) {
    return kNotFound;
  }
  std::printf("mode=%lux%lux%lu\n", mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel);
  return kOk;
}

// --- host-window: a stand-in for the preview area of a screen-saver settings page.

std::string hostCloseFile;

LRESULT CALLBACK hostProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_TIMER:
      if (GetFileAttributesA(hostCloseFile.c_str()) != INVALID_FILE_ATTRIBUTES) {
        DestroyWindow(hwnd);
      }
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd, 1);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, message, wparam, lparam);
  }
}

// Written beside the file and then renamed, so a reader never sees half a number.
bool writeHwndFile(const std::string& file, HWND hwnd) {
  const std::string temporary = file + ".tmp";
  std::FILE* out = std::fopen(temporary.c_str(), "wb");
  if (out == nullptr) {
    return false;
  }
  std::fprintf(out, "%llu\n", hwndNumber(hwnd));
  if (std::fclose(out) != 0) {
    return false;
  }
  return MoveFileExA(temporary.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

int hostWindow(int width, int height, const char* file) {
  hostCloseFile = std::string(file) + ".close";
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = hostProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kHostClass;
  if (RegisterClassA(&windowClass) == 0) {
    std::fputs("win_probe: RegisterClassA failed\n", stderr);
    return kNotFound;
  }
  // A popup has no frame, so its window size is its client size.
  const HWND hwnd =
      CreateWindowExA(0, kHostClass, "TAVRIK test host", WS_POPUP | WS_VISIBLE, 100, 100, width,
                      height, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (hwnd == nullptr) {
    std::fputs("win_probe: CreateWindowExA failed\n", stderr);
    return kNotFound;
  }
  if (!writeHwndFile(file, hwnd)) {
    std::fprintf(stderr, "win_probe: cannot write %s\n", file);
    DestroyWindow(hwnd);
    return kNotFound;
  }
  std::printf("hwnd=%llu\n", hwndNumber(hwnd));
  std::fflush(stdout);
  SetTimer(hwnd, 1, kPollMs, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return kOk;
}

// --- Dialogs and message boxes, found by their title among the top-level windows.

struct DialogSearch {
  std::wstring title;
  HWND found = nullptr;
};

BOOL CALLBACK matchDialog(HWND hwnd, LPARAM lparam) {
  auto* search = reinterpret_cast<DialogSearch*>(lparam);
  if (IsWindowVisible(hwnd) && className(hwnd) == L"#32770" && windowName(hwnd) == search->title) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// The title is compared in UTF-16, after widening the argument from the ANSI code page. Only a
// shown dialog counts: Wine hides a closed message box at once but destroys it seconds later.
HWND findDialog(const char* title) {
  DialogSearch search;
  search.title = ansiToWide(title);
  EnumWindows(matchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool isButton(HWND hwnd) {
  return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, className(hwnd).c_str(), -1, L"Button",
                        -1) == CSTR_EQUAL;
}

bool isStatic(HWND hwnd) {
  return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, className(hwnd).c_str(), -1, L"Static",
                        -1) == CSTR_EQUAL;
}

// The message sits in a static control of the usual id; should that be missing, the first
// static child with text is the message (the icon's static has none).
std::wstring messageBoxText(HWND box) {
  const HWND text = GetDlgItem(box, kMessageBoxTextId);
  if (text != nullptr) {
    return controlText(text);
  }
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (isStatic(child)) {
      std::wstring found = controlText(child);
      if (!found.empty()) {
        return found;
      }
    }
  }
  return {};
}

// Only shown buttons count, in case a message box keeps the ones it does not use hidden.
std::string messageBoxButtons(HWND box) {
  std::string buttons;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (isButton(child) && IsWindowVisible(child)) {
      if (!buttons.empty()) {
        buttons += ',';
      }
      buttons += oneLine(wideToUtf8(controlText(child)));
    }
  }
  return buttons;
}

int messageBox(const char* caption) {
  const HWND box = findDialog(caption);
  if (box == nullptr) {
    return kNotFound;
  }
  std::printf("text=%s\n", oneLine(wideToUtf8(messageBoxText(box))).c_str());
  std::printf("buttons=%s\n", messageBoxButtons(box).c_str());
  std::printf("rect=%s\n", windowRectText(box).c_str());
  return kOk;
}

void printControl(HWND control) {
  long checked = -1;
  if (isButton(control)) {
    DWORD_PTR state = 0;
    if (SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &state)) {
      checked = static_cast<long>(state);
    }
  }
  std::printf("control=%d,%s,%ld,%s,%s\n", GetDlgCtrlID(control),
              wideToUtf8(className(control)).c_str(), checked, windowRectText(control).c_str(),
              oneLine(wideToUtf8(controlText(control))).c_str());
}

int dialog(const char* title) {
  const HWND box = findDialog(title);
  if (box == nullptr) {
    return kNotFound;
  }
  std::printf("hwnd=%llu\n", hwndNumber(box));
  std::printf("rect=%s\n", windowRectText(box).c_str());
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    printControl(child);
  }
  const HWND upDown = GetDlgItem(box, kUpDownId);
  DWORD_PTR position = 0;
  if (upDown != nullptr &&
      SendMessageTimeoutW(upDown, UDM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &position)) {
    std::printf("updown=%d\n", static_cast<int>(static_cast<int16_t>(LOWORD(position))));
  }
  return kOk;
}

// The test clicks with the X pointer, so that the click goes through the same path a person's
// does; the halves of an up-down control are its two arrows.
int point(const char* title, int id, std::string_view part) {
  const HWND box = findDialog(title);
  const HWND control = box != nullptr ? GetDlgItem(box, id) : nullptr;
  if (control == nullptr) {
    return kNotFound;
  }
  RECT rect = {};
  GetWindowRect(control, &rect);
  const long x = (rect.left + rect.right) / 2;
  const long height = rect.bottom - rect.top;
  long y = (rect.top + rect.bottom) / 2;
  if (part == "up") {
    y = rect.top + height / 4;
  } else if (part == "down") {
    y = rect.top + height * 3 / 4;
  }
  std::printf("point=%ld,%ld\n", x, y);
  return kOk;
}

int run(int argc, char** argv) {
  if (argc < 2) {
    return usage();
  }
  const std::string_view command = argv[1];
  const int args = argc - 2;
  HWND hwnd = nullptr;
  long number = 0;
  long other = 0;
  if (command == "find-class" && args == 1) {
    return findClass(argv[2]);
  }
  if (command == "sync-class" && args == 1) {
    return syncClass(argv[2]);
  }
  if (command == "find-child" && args == 2 && parseHwnd(argv[2], &hwnd)) {
    return findChild(hwnd, argv[3]);
  }
  if (command == "all-of-class" && args == 1) {
    return allOfClass(argv[2]);
  }
  if (command == "display-mode" && args == 0) {
    return displayMode();
  }
  if (command == "monitors" && args == 0) {
    return monitors();
  }
  if (command == "manifest" && args == 1) {
    return manifest(argv[2]);
  }
  if (command == "string1" && args == 1) {
    return firstString(argv[2]);
  }
  if (command == "host-window" && args == 3 && parseLong(argv[2], 1, 16384, &number) &&
      parseLong(argv[3], 1, 16384, &other)) {
    return hostWindow(static_cast<int>(number), static_cast<int>(other), argv[4]);
  }
  if (command == "message-box" && args == 1) {
    return messageBox(argv[2]);
  }
  if (command == "dialog" && args == 1) {
    return dialog(argv[2]);
  }
  if (command == "point" && (args == 2 || args == 3) && parseLong(argv[3], 0, 0xFFFF, &number)) {
    const std::string_view part = args == 3 ? argv[4] : "";
    if (part.empty() || part == "up" || part == "down") {
      return point(argv[2], static_cast<int>(number), part);
    }
  }
  return usage();
}

}  // namespace

int main(int argc, char** argv) {
  // Without this the C runtime turns "\n" into CRLF, and a test would read "value\r".
  _setmode(_fileno(stdout), _O_BINARY);
  const int code = run(argc, argv);
  std::fflush(stdout);
  return code;
}
