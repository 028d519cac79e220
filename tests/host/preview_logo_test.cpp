#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>

#include "host/win32/preview_window.h"

namespace tavrik {
namespace {

// The logo as the preview paints it, read back from a 32-bit bitmap in memory. (Under Wine a
// child window of another process's window is not shown on the X display, so the pixels are
// checked here, in the painting process itself.)
class PaintedLogo {
 public:
  PaintedLogo(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels_),
                               nullptr, 0);
    SelectObject(dc_, bitmap_);
    for (int i = 0; i < width * height; ++i) {
      pixels_[i] = 0x00FF00FF;  // magenta: anything left unpainted shows
    }
    paintLogo(dc_, GetModuleHandleA(nullptr), width, height);
    GdiFlush();
  }
  ~PaintedLogo() {
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  uint32_t at(int x, int y) const { return pixels_[y * width_ + x] & 0xFFFFFF; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  uint32_t* pixels_ = nullptr;
};

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kLightBlue = 0x8CC8FF;  // the dart's hull
constexpr uint32_t kCockpit = 0x508CDC;
constexpr uint32_t kGrey = 0x969696;  // the block in the top right corner

// Where the logo (152 x 112) has which colour, scaled to a preview of any size.
struct Sample {
  int x, y;
  uint32_t colour;
};
constexpr Sample kSamples[] = {{5, 5, kBlack},      {130, 56, kLightBlue}, {70, 40, kLightBlue},
                               {100, 56, kCockpit}, {140, 12, kGrey},      {40, 56, kBlack},
                               {5, 105, kBlack}};

TEST(PreviewLogo, FillsTheWholeAreaPixelForPixelOrStretched) {
  for (const auto& [width, height] : {std::pair{152, 112}, {200, 150}, {320, 240}, {76, 56}}) {
    const PaintedLogo logo(width, height);
    int unpainted = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        unpainted += logo.at(x, y) == 0xFF00FF ? 1 : 0;
      }
    }
    EXPECT_EQ(unpainted, 0) << width << "x" << height;
    for (const Sample& s : kSamples) {
      const int x = s.x * width / 152;
      const int y = s.y * height / 112;
      EXPECT_EQ(logo.at(x, y), s.colour) << width << "x" << height << " at " << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace tavrik
