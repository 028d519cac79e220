#include "host/win32/saver_window.h"

namespace tavrik {

namespace {

// Mouse moves counted over the whole run; a few are the hand settling, more are someone back.
LONG mouseMoveCount = 0;
constexpr LONG kToleratedMouseMoves = 21;

LRESULT CALLBACK saverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return 0;
    case WM_DESTROY:
      ShowCursor(TRUE);
      PostQuitMessage(0);
      return 0;
    case WM_MOUSEMOVE:
      if (mouseMoveCount++ >= kToleratedMouseMoves) {
        DestroyWindow(window);
      }
      return 0;
    case WM_ACTIVATEAPP:
      // Exclusive full-screen windows are minimised when another program takes the display;
      // back in front, the run shows itself again and its device restores the lost surfaces.
      if (wParam != FALSE && IsIconic(window)) {
        ShowWindow(window, SW_RESTORE);
      }
      return DefWindowProcA(window, message, wParam, lParam);
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      DestroyWindow(window);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
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
  windowClass.lpszClassName = kSaverClass;
  return RegisterClassA(&windowClass) != 0;
}

bool createSaverWindow(HINSTANCE instance, int showCommand, HWND& window) {
  if (!registerSaverClass(instance, CS_BYTEALIGNCLIENT | CS_HREDRAW | CS_VREDRAW,
                          saverWindowProc)) {
    return false;
  }
  window =
      CreateWindowExA(0, kSaverClass, kSaverTitle, WS_POPUP, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                      GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
  ShowCursor(FALSE);
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  return true;
}

WPARAM runFrameLoop(const std::function<void()>& frame) {
  MSG message;
  for (;;) {
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        return message.wParam;
      }
      TranslateMessage(&message);
      DispatchMessageA(&message);
    } else {
      frame();
    }
  }
}

}  // namespace tavrik
