// Frames as PNG through libpng, compressed.
#include <png.h>

#include <csetjmp>
#include <cstdio>

#include "host/headless/png_presenter.h"

namespace tavrik {

namespace {

// libpng would print its errors and warnings; the caller reports the failure in one line.
[[noreturn]] void quietError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void quietWarning(png_structp, png_const_charp) {}

struct PngWrite {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~PngWrite() { png_destroy_write_struct(&png, &info); }
};

}  // namespace

bool encodePng(std::FILE* file, const FrameView& frame, std::vector<uint8_t>& row) {
  row.resize(static_cast<size_t>(frame.width) * 3);
  PngWrite w;
  w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
  w.info = w.png != nullptr ? png_create_info_struct(w.png) : nullptr;
  // libpng reports its errors by jumping back here; nothing below owns a destructor.
  if (w.info == nullptr || setjmp(png_jmpbuf(w.png)) != 0) {
    return false;
  }
  png_init_io(w.png, file);
  png_set_IHDR(w.png, w.info, static_cast<png_uint_32>(frame.width),
               static_cast<png_uint_32>(frame.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(w.png, 3);
  png_write_info(w.png, w.info);
  for (int y = 0; y < frame.height; ++y) {
    widenRow(frame.pixels + static_cast<size_t>(y) * frame.pitch, frame.width, row.data());
    png_write_row(w.png, row.data());
  }
  png_write_end(w.png, nullptr);
  return true;
}

}  // namespace tavrik
