#include "host/win32/preview_window.h"

#include "host/win32/saver_window.h"

namespace tavrik {

namespace {

// The parent's size, read once when the preview is made: a later change of the host's area
// does not resize it.
int previewWidth = 0;
int previewHeight = 0;

void paintPreview(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
  paintLogo(dc, instance, previewWidth, previewHeight);
  EndPaint(window, &paint);
}

LRESULT CALLBACK previewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      paintPreview(window);
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

// Nothing is kept between paints: the logo is loaded, stretched and let go each time.
void paintLogo(HDC dc, HINSTANCE instance, int width, int height) {
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP logo = LoadBitmapA(instance, MAKEINTRESOURCEA(kLogoBitmap));
  BITMAP size{};
  GetObjectA(logo, sizeof size, &size);
  SelectObject(memory, logo);
  StretchBlt(dc, 0, 0, width, height, memory, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
  DeleteDC(memory);
  DeleteObject(logo);
}

int runPreview(HINSTANCE instance, int showCommand, HWND parent) {
  if (!registerSaverClass(instance, CS_HREDRAW | CS_VREDRAW, previewWindowProc)) {
    return 0;
  }
  RECT area{};
  GetWindowRect(parent, &area);
  previewWidth = area.right - area.left;
  previewHeight = area.bottom - area.top;
  HWND window = CreateWindowExA(0, kSaverWindowClass, kSaverWindowTitle,
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                                previewWidth, previewHeight, parent, nullptr, instance, nullptr);
  if (window == nullptr) {
    return 0;
  }
  ShowWindow(window, showCommand);
  UpdateWindow(window);

  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace tavrik
