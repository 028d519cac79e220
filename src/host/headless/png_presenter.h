// A presenter that writes each frame it is given as a PNG file: DIR/frame-00001.png, ...
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/soft/presenter.h"

namespace tavrik {

class PngPresenter : public Presenter {
 public:
  // directory must exist.
  explicit PngPresenter(std::string directory);

  void present(const FrameView& frame) override;

  // After a failed write, the message says which file and why; later frames are not written.
  bool failed() const { return !error_.empty(); }
  const std::string& error() const { return error_; }
  int framesWritten() const { return written_; }

 private:
  std::string directory_;
  std::vector<uint8_t> row_;
  int written_ = 0;
  std::string error_;
};

// One frame as 8-bit RGB, each channel widened from RGB565 by repeating its top bits.
bool writePng(const std::string& path, const FrameView& frame, std::vector<uint8_t>& row,
              std::string& error);

}  // namespace tavrik
