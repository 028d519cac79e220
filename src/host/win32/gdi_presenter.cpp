#include "host/win32/gdi_presenter.h"

#include "host/fit_picture.h"

namespace tavrik {

namespace {

// RGB565, rows top first: the back buffer as it is, no conversion.
struct Rgb565Info {
  BITMAPINFOHEADER header;
  DWORD masks[3];
};

}  // namespace

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
}

}  // namespace tavrik
