#include "host/headless/png_presenter.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace tavrik {

namespace {

struct PngWrite {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~PngWrite() { png_destroy_write_struct(&png, &info); }
};

}  // namespace

PngPresenter::PngPresenter(std::string directory) : directory_(std::move(directory)) {}

void PngPresenter::present(const FrameView& frame) {
  if (failed()) {
    return;
  }
  char name[32];
  std::snprintf(name, sizeof name, "frame-%05d.png", written_ + 1);
  const std::string path = directory_ + "/" + name;
  if (writePng(path, frame, row_, error_)) {
    ++written_;
  }
}

bool writePng(const std::string& path, const FrameView& frame, std::vector<uint8_t>& row,
              std::string& error) {
  if (frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0) {
    error = "cannot write '" + path + "': the frame is empty";
    return false;
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    error = "cannot write '" + path + "': " + std::strerror(errno);
    return false;
  }
  row.resize(static_cast<size_t>(frame.width) * 3);
  volatile bool ok = false;
  {
    PngWrite w;
    w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    w.info = w.png != nullptr ? png_create_info_struct(w.png) : nullptr;
    // libpng reports its errors by jumping back here; nothing below owns a destructor.
    if (w.info != nullptr && setjmp(png_jmpbuf(w.png)) == 0) {
      png_init_io(w.png, file);
      png_set_IHDR(w.png, w.info, static_cast<png_uint_32>(frame.width),
                   static_cast<png_uint_32>(frame.height), 8, PNG_COLOR_TYPE_RGB,
                   PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
      png_set_compression_level(w.png, 3);
      png_write_info(w.png, w.info);
      for (int y = 0; y < frame.height; ++y) {
        const uint16_t* source = frame.pixels + static_cast<size_t>(y) * frame.pitch;
        uint8_t* out = row.data();
        for (int x = 0; x < frame.width; ++x) {
          const uint32_t p = source[x];
          const uint32_t r = p >> 11;
          const uint32_t g = (p >> 5) & 0x3F;
          const uint32_t b = p & 0x1F;
          *out++ = static_cast<uint8_t>(r << 3 | r >> 2);
          *out++ = static_cast<uint8_t>(g << 2 | g >> 4);
          *out++ = static_cast<uint8_t>(b << 3 | b >> 2);
        }
        png_write_row(w.png, row.data());
      }
      png_write_end(w.png, nullptr);
      ok = true;
    }
  }
  if (std::fclose(file) != 0) {
    ok = false;
  }
  if (!ok) {
    error = "cannot write '" + path + "': writing the PNG failed";
  }
  return ok;
}

}  // namespace tavrik
