#include "host/headless/png_presenter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tavrik {

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
  bool ok = encodePng(file, frame, row);
  if (std::fclose(file) != 0) {
    ok = false;
  }
  if (!ok) {
    error = "cannot write '" + path + "': writing the PNG failed";
  }
  return ok;
}

}  // namespace tavrik
