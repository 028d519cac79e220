#include "host/win32/gdi_presenter.h"

#include <cstring>

#include "host/fit_picture.h"

namespace tavrik {

namespace {

using DwmIsCompositionEnabledFn = HRESULT(WINAPI*)(BOOL*);

// From the system folder only: a dwmapi.dll beside the saver or in the current folder is not
// the system's.
HMODULE loadSystemDwmapi() {
  char path[MAX_PATH];
  const UINT length = GetSystemDirectoryA(path, MAX_PATH);
  constexpr char kName[] = "\\dwmapi.dll";
  if (length == 0 || length + sizeof kName > MAX_PATH) {
    return nullptr;
  }
  std::memcpy(path + length, kName, sizeof kName);
  return LoadLibraryA(path);
}

template <typename Function>
Function lookUp(HMODULE module, const char* name) {
  // GetProcAddress hands every function back as a FARPROC; void (*)() is the cast that
  // compilers accept between unrelated function types.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// RGB565, rows top first: the back buffer as it is, no conversion.
struct Rgb565Info {
  BITMAPINFOHEADER header;
  DWORD masks[3];
};

}  // namespace

GdiPresenter::GdiPresenter(HWND window)
    : window_(window), dwmapi_(loadSystemDwmapi()), pacer_(1000.0 / displayRefreshHz()) {
  if (dwmapi_ == nullptr) {
    return;
  }
  const auto compositionEnabled =
      lookUp<DwmIsCompositionEnabledFn>(dwmapi_, "DwmIsCompositionEnabled");
  BOOL enabled = FALSE;
  if (compositionEnabled != nullptr && SUCCEEDED(compositionEnabled(&enabled)) && enabled) {
    dwmFlush_ = lookUp<decltype(dwmFlush_)>(dwmapi_, "DwmFlush");
  }
}

GdiPresenter::~GdiPresenter() {
  if (dwmapi_ != nullptr) {
    FreeLibrary(dwmapi_);
  }
}

void GdiPresenter::present(const FrameView& frame) {
  RECT client{};
  GetClientRect(window_, &client);
  const PictureRect fit = fitPicture(client.right, client.bottom, frame.width, frame.height);
  HDC dc = GetDC(window_);
  if (dc != nullptr) {
    Rgb565Info info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = frame.pitch;
    info.header.biHeight = -frame.height;
    info.header.biPlanes = 1;
    info.header.biBitCount = 16;
    info.header.biCompression = BI_BITFIELDS;
    info.masks[0] = 0xF800;
    info.masks[1] = 0x07E0;
    info.masks[2] = 0x001F;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, fit.x, fit.y, fit.width, fit.height, 0, 0, frame.width, frame.height,
                  frame.pixels, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS,
                  SRCCOPY);
    ReleaseDC(window_, dc);
  }
  if (dwmFlush_ == nullptr || FAILED(dwmFlush_())) {
    pacer_.wait();
  }
}

}  // namespace tavrik
