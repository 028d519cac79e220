#include "host/headless/png_presenter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "config/quote.h"

namespace tavrik {

namespace {

bool writeFile(const std::string& path, const std::string& shown, const FrameView& frame,
               std::vector<uint8_t>& row, std::string& error);

}  // namespace

PngPresenter::PngPresenter(std::string directory) : directory_(std::move(directory)) {}

void PngPresenter::present(const FrameView& frame) {
  if (failed()) {
    return;
  }
  char name[32];
  std::snprintf(name, sizeof name, "frame-%05d.png", written_ + 1);
  path_.assign(directory_).append("/").append(name);
  partial_.assign(path_).append(".part");
  // Written under another name and renamed when whole: a run ended outright (where a system
  // gives it no time to finish its frame) leaves no cut frame under a frame's name.
  if (!writeFile(partial_, path_, frame, row_, error_)) {
    return;
  }
  // Windows' rename replaces no file (EEXIST, or EACCES): a frame an earlier run left is
  // removed first.
  const bool renamed = std::rename(partial_.c_str(), path_.c_str()) == 0 ||
                       ((errno == EEXIST || errno == EACCES) && std::remove(path_.c_str()) == 0 &&
                        std::rename(partial_.c_str(), path_.c_str()) == 0);
  if (!renamed) {
    const int failure = errno;
    removePartial(partial_);
    error_ = "cannot write " + quotedValue(path_) + ": " + std::strerror(failure);
    return;
  }
  ++written_;
}

void removePartial(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::symlink_status(path, ec).type() == std::filesystem::file_type::regular) {
    std::filesystem::remove(path, ec);
  }
}

bool writePng(const std::string& path, const FrameView& frame, std::vector<uint8_t>& row,
              std::string& error) {
  return writeFile(path, path, frame, row, error);
}

namespace {

// The frame into the file path; a message names the file as shown.
bool writeFile(const std::string& path, const std::string& shown, const FrameView& frame,
               std::vector<uint8_t>& row, std::string& error) {
  if (frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0) {
    error = "cannot write " + quotedValue(shown) + ": the frame is empty";
    return false;
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    error = "cannot write " + quotedValue(shown) + ": " + std::strerror(errno);
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
  error = "cannot write " + quotedValue(shown) + ": " + std::strerror(encoded ? errno : failure);
  return false;
}

}  // namespace

}  // namespace tavrik
