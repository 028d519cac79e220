// What every Linux presenter does alike: where the picture goes in a window of any size, the
// frame-rate readout and the pace of frames when nothing waits for the display's refresh.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "device/soft/presenter.h"
#include "host/fit_picture.h"

namespace tavrik {

// Scales frame into fit, a rectangle of a 32-bit image (pitch in pixels), nearest pixel, through
// palette (RGB565 to the image's pixel values), and paints the rest of the image black. columns
// needs room for fit.width entries.
inline void scalePicture(const FrameView& frame, const uint32_t* palette, uint32_t* image,
                         int imageWidth, int imageHeight, int pitch, PictureRect fit,
                         int* columns) {
  const uint32_t black = palette[0];
  for (int x = 0; x < fit.width; ++x) {
    columns[x] = static_cast<int>(int64_t{x} * frame.width / fit.width);
  }
  for (int y = 0; y < imageHeight; ++y) {
    uint32_t* out = image + static_cast<ptrdiff_t>(y) * pitch;
    if (y < fit.y || y >= fit.y + fit.height) {
      for (int x = 0; x < imageWidth; ++x) {
        out[x] = black;
      }
      continue;
    }
    const int sourceRow = static_cast<int>(int64_t{y - fit.y} * frame.height / fit.height);
    if (y > fit.y &&
        sourceRow == static_cast<int>(int64_t{y - 1 - fit.y} * frame.height / fit.height)) {
      // Scaled up, a row repeats the one above: copied, not looked up again.
      std::memcpy(out, out - pitch, static_cast<size_t>(imageWidth) * sizeof(uint32_t));
      continue;
    }
    const uint16_t* source = frame.pixels + static_cast<ptrdiff_t>(sourceRow) * frame.pitch;
    for (int x = 0; x < fit.x; ++x) {
      out[x] = black;
    }
    uint32_t* picture = out + fit.x;
    for (int x = 0; x < fit.width; ++x) {
      picture[x] = palette[source[columns[x]]];
    }
    for (int x = fit.x + fit.width; x < imageWidth; ++x) {
      out[x] = black;
    }
  }
}

// Counts presented frames and renews its text about once a second: the rate and the name of the
// device drawing, "FPS: 59.3 SOFT". The software device's presenters keep the default name.
class FpsMeter {
 public:
  explicit FpsMeter(const char* device = "SOFT") : device_(device) {}

  void frame() {
    const auto now = std::chrono::steady_clock::now();
    if (frames_ == 0) {
      since_ = now;
    }
    ++frames_;
    const double seconds = std::chrono::duration<double>(now - since_).count();
    if (seconds >= 1.0) {
      std::snprintf(text_, sizeof text_, "FPS: %.1f %s", (frames_ - 1) / seconds, device_);
      frames_ = 1;
      since_ = now;
    }
  }
  const char* text() const { return text_; }

 private:
  const char* device_;
  std::chrono::steady_clock::time_point since_{};
  int frames_ = 0;
  char text_[32] = "";
};

struct ReadoutGlyph {
  char c;
  uint16_t rows;  // five rows of three bits, top row in the highest bits
};

inline constexpr ReadoutGlyph kReadoutGlyphs[] = {
    {'0', 0b111'101'101'101'111}, {'1', 0b010'110'010'010'111}, {'2', 0b111'001'111'100'111},
    {'3', 0b111'001'111'001'111}, {'4', 0b101'101'111'001'001}, {'5', 0b111'100'111'001'111},
    {'6', 0b111'100'111'101'111}, {'7', 0b111'001'001'001'001}, {'8', 0b111'101'111'101'111},
    {'9', 0b111'101'111'001'111}, {'.', 0b000'000'000'000'010}, {'F', 0b111'100'111'100'100},
    {'P', 0b111'101'111'100'100}, {'S', 0b111'100'111'001'111}, {':', 0b000'010'000'010'000},
    {'G', 0b111'100'101'101'111}, {'L', 0b100'100'100'100'111}, {'O', 0b111'101'101'101'111},
    {'T', 0b111'010'010'010'010},
};

// Calls fill(x, y, size, size) for every lit cell of text drawn in a 3 by 5 cell font (digits,
// '.', ':', 'F', 'G', 'L', 'O', 'P', 'S', 'T'; other characters are blanks) with its top left
// corner at (x, y).
template <class Fill>
void drawReadout(const char* text, int x, int y, int cell, Fill&& fill) {
  for (; *text != '\0'; ++text, x += 4 * cell) {
    uint16_t rows = 0;
    for (const ReadoutGlyph& glyph : kReadoutGlyphs) {
      rows = glyph.c == *text ? glyph.rows : rows;
    }
    for (int bit = 0; bit < 15; ++bit) {
      if ((rows >> (14 - bit)) & 1) {
        fill(x + (bit % 3) * cell, y + (bit / 3) * cell, cell, cell);
      }
    }
  }
}

// The readout in the bottom left corner of an output of the given height, its cells growing with
// the height: 2 pixels up to 360 lines, 12 on a 2160-line screen.
template <class Fill>
void drawReadoutInCorner(const char* text, int outputHeight, Fill&& fill) {
  const int cell = outputHeight / 180 > 2 ? outputHeight / 180 : 2;
  drawReadout(text, 3 * cell, outputHeight - 8 * cell, cell, fill);
}

// A stop signal cuts the sleep short, which is what the frame loops want.
inline void sleepMicroseconds(int64_t microseconds) {
  timespec delay{};
  delay.tv_sec = static_cast<time_t>(microseconds / 1000000);
  delay.tv_nsec = static_cast<long>(microseconds % 1000000) * 1000;
  nanosleep(&delay, nullptr);
}

// Caps the frame rate at the display's refresh rate, or at one frame in delayMicroseconds (-delay)
// when that is given. A presenter that waits for the refresh itself uses up the period, so the
// pacer then sleeps little or not at all.
class FramePacer {
 public:
  explicit FramePacer(int refreshHz, uint32_t delayMicroseconds = 0)
      : period_(std::chrono::microseconds(delayMicroseconds > 0
                                              ? int64_t{delayMicroseconds}
                                              : 1000000 / (refreshHz > 0 ? refreshHz : 60))) {}

  // Sleeps what is left of the period since the last call.
  template <class Sleep>
  void pace(Sleep&& sleepMicroseconds) {
    const auto now = std::chrono::steady_clock::now();
    if (started_) {
      const auto used = now - last_;
      if (used < period_) {
        sleepMicroseconds(
            std::chrono::duration_cast<std::chrono::microseconds>(period_ - used).count());
      }
    }
    started_ = true;
    last_ = std::chrono::steady_clock::now();
  }

 private:
  std::chrono::steady_clock::duration period_;
  std::chrono::steady_clock::time_point last_{};
  bool started_ = false;
};

}  // namespace tavrik
