// Where a picture of fixed proportions goes in a window of any size; shared by the hosts that
// scale the software device's frames into a window.
#pragma once

#include <cstdint>

namespace tavrik {

struct PictureRect {
  int x, y, width, height;
};

// The largest rectangle of the picture's proportions inside the window, centred, as a monitor
// shows a mode of another shape: black bars beside it or above and below it.
inline PictureRect fitPicture(int windowWidth, int windowHeight, int pictureWidth,
                              int pictureHeight) {
  if (windowWidth <= 0 || windowHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) {
    return {0, 0, 0, 0};
  }
  const int64_t wideBy = int64_t{windowWidth} * pictureHeight;
  const int64_t tallBy = int64_t{windowHeight} * pictureWidth;
  PictureRect r{};
  if (wideBy > tallBy) {
    r.height = windowHeight;
    r.width = static_cast<int>(tallBy / pictureHeight);
  } else {
    r.width = windowWidth;
    r.height = static_cast<int>(wideBy / pictureWidth);
  }
  r.x = (windowWidth - r.width) / 2;
  r.y = (windowHeight - r.height) / 2;
  return r;
}

}  // namespace tavrik
