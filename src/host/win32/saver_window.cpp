#include "host/win32/saver_window.h"

#include <cstdlib>

namespace tavrik {

namespace {

// The run's exit rules, for every window of the run: a window procedure has no context of its
// own, and the mouse moves count over all of them.
ExitRules exitRules;

// The saver's input a message stands for; false for any other message.
bool classifyInput(UINT message, SaverInput& input) {
  switch (message) {
    case WM_KEYDOWN:
      input = SaverInput::Key;
      return true;
    case WM_SYSKEYDOWN:
      input = SaverInput::SystemKey;
      return true;
    case WM_LBUTTONDOWN:
      input = SaverInput::LeftButton;
      return true;
    case WM_RBUTTONDOWN:
      input = SaverInput::RightButton;
      return true;
    case WM_MBUTTONDOWN:
      input = SaverInput::OtherButton;
      return true;
    case WM_MOUSEWHEEL:
      input = SaverInput::Wheel;
      return true;
    case WM_MOUSEMOVE:
      input = SaverInput::MouseMove;
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK saverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SaverInput input;
  if (classifyInput(message, input)) {
    if (exitRules.ends(input)) {
      DestroyWindow(window);
      return 0;
    }
    // What does not end the run goes on as the system handles it: Alt+F4 still closes.
    return DefWindowProcA(window, message, wParam, lParam);
  }
  switch (message) {
    case WM_CREATE:
      return 0;
    case WM_DESTROY:
      ShowCursor(TRUE);
      PostQuitMessage(0);
      return 0;
    case WM_ACTIVATEAPP:
      // Exclusive full-screen windows are minimised when another program takes the display;
      // back in front, the run shows itself again and its device restores the lost surfaces.
      if (wParam != FALSE && IsIconic(window)) {
        ShowWindow(window, SW_RESTORE);
      }
      return DefWindowProcA(window, message, wParam, lParam);
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  auto& layout = *reinterpret_cast<MonitorLayout*>(data);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(monitor, &info)) {
    return TRUE;
  }
  if ((info.dwFlags & MONITORINFOF_PRIMARY) != 0) {
    layout.primary = info.rcMonitor;
  } else if (layout.otherCount < kMaxOtherMonitors) {
    layout.others[layout.otherCount++] = info.rcMonitor;
  }
  return TRUE;
}

// "l,t,r,b;l,t,r,b..." with the primary first; false on anything else.
bool parseLayout(const char* text, MonitorLayout& layout) {
  MonitorLayout parsed{};
  int count = 0;
  const char* at = text;
  while (*at != '\0') {
    long values[4] = {};
    for (int i = 0; i < 4; ++i) {
      char* end = nullptr;
      values[i] = std::strtol(at, &end, 10);
      const char expected = i < 3 ? ',' : ';';
      if (end == at || (*end != expected && !(i == 3 && *end == '\0'))) {
        return false;
      }
      at = *end == '\0' ? end : end + 1;
    }
    const RECT rect = {values[0], values[1], values[2], values[3]};
    if (count == 0) {
      parsed.primary = rect;
    } else if (parsed.otherCount < kMaxOtherMonitors) {
      parsed.others[parsed.otherCount++] = rect;
    }
    ++count;
  }
  if (count == 0) {
    return false;
  }
  layout = parsed;
  return true;
}

}  // namespace

bool registerSaverClass(HINSTANCE instance, UINT style, WNDPROC procedure) {
  WNDCLASSA windowClass{};
  windowClass.style = style;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, kIconName);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kSaverWindowClass;
  return RegisterClassA(&windowClass) != 0;
}

bool createSaverWindow(HINSTANCE instance, int showCommand, const RECT& primary, HWND& window) {
  if (!registerSaverClass(instance, CS_BYTEALIGNCLIENT | CS_HREDRAW | CS_VREDRAW,
                          saverWindowProc)) {
    return false;
  }
  window = CreateWindowExA(0, kSaverWindowClass, kSaverWindowTitle, WS_POPUP, primary.left,
                           primary.top, primary.right - primary.left, primary.bottom - primary.top,
                           nullptr, nullptr, instance, nullptr);
  ShowCursor(FALSE);
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  return true;
}

SaverFrames::SaverFrames(HWND window, bool direct3D)
    : window_(window),
      direct3D_(direct3D),
      pacer_((direct3D ? 0.9 : 1.0) * 1000.0 / displayRefreshHz()) {}

bool SaverFrames::nextFrame() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      quitCode_ = message.wParam;
      return false;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return true;
}

void SaverFrames::windowSize(int& width, int& height) {
  RECT client{};
  GetClientRect(window_, &client);
  width = client.right;
  height = client.bottom;
}

void SaverFrames::frameDone() {
  if (direct3D_ || !compositor_.wait()) {
    pacer_.wait();
  }
}

MonitorLayout readMonitorLayout() {
  MonitorLayout layout{};
  layout.primary = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  char injected[512] = {};
  const DWORD length = GetEnvironmentVariableA("TAVRIK_TEST_MONITORS", injected, sizeof injected);
  if (length > 0 && length < sizeof injected && parseLayout(injected, layout)) {
    return layout;
  }
  EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&layout));
  return layout;
}

int coverOtherMonitors(HINSTANCE instance, const MonitorLayout& layout, HWND* covers) {
  int count = 0;
  for (int i = 0; i < layout.otherCount; ++i) {
    const RECT& r = layout.others[i];
    const HWND cover = CreateWindowExA(WS_EX_TOPMOST, kSaverWindowClass, kSaverWindowTitle,
                                       WS_POPUP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                       nullptr, nullptr, instance, nullptr);
    if (cover != nullptr) {
      ShowWindow(cover, SW_SHOWNOACTIVATE);
      UpdateWindow(cover);
      covers[count++] = cover;
    }
  }
  return count;
}

void placeCovers(const MonitorLayout& layout, HWND* covers, int count) {
  for (int i = 0; i < count && i < layout.otherCount; ++i) {
    const RECT& r = layout.others[i];
    SetWindowPos(covers[i], HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOACTIVATE);
  }
}

}  // namespace tavrik
