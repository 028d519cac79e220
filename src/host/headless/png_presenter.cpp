#include "host/headless/png_presenter.h"

#include <cstdio>

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

}  // namespace tavrik
