#include "host/headless/png_presenter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "config/quote.h"

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

void removePartial(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::symlink_status(path, ec).type() == std::filesystem::file_type::regular) {
    std::filesystem::remove(path, ec);
  }
}

bool writePng(const std::string& path, const FrameView& frame, std::vector<uint8_t>& row,
              std::string& error) {
  if (frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0) {
    error = "cannot write " + quotedValue(path) + ": the frame is empty";
    return false;
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    error = "cannot write " + quotedValue(path) + ": " + std::strerror(errno);
    return false;
  }
  // A frame that cannot be written in full is removed, not left cut off.
  errno = 0;
  const bool encoded = encodePng(file, frame, row) && std::fflush(file) == 0;
  const int failure = errno != 0 ? errno : EIO;
  if (std::fclose(file) == 0 && encoded) {
    return true;
  }
  removePartial(path);
  error = "cannot write " + quotedValue(path) + ": " + std::strerror(encoded ? errno : failure);
  return false;
}

}  // namespace tavrik
