// A presenter that writes each frame it is given as a PNG file: DIR/frame-00001.png, ..., each
// written as DIR/frame-00001.png.part and renamed when whole.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "device/presenter.h"

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
  std::string path_;  // the frame's file, and the name it is written under first
  std::string partial_;
  std::vector<uint8_t> row_;
  int written_ = 0;
  std::string error_;
};

// Removes a file this run made but could not finish. Only a regular file: the path may name a
// device such as /dev/full that was opened for writing.
void removePartial(const std::string& path);

// One frame as 8-bit RGB, each channel widened from RGB565 by repeating its top bits.
bool writePng(const std::string& path, const FrameView& frame, std::vector<uint8_t>& row,
              std::string& error);

// The PNG stream of a frame that is not empty, into an open file; false when writing failed. On
// Linux through libpng; the Windows and browser builds, which have no libpng, store the rows
// uncompressed.
bool encodePng(std::FILE* file, const FrameView& frame, std::vector<uint8_t>& row);

}  // namespace tavrik
