// The frame-rate readout every host can lay over its frames: the meter that counts them and the
// small font that draws its text in a corner, through whatever fill the host has.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace tavrik {

// Counts presented frames and renews its text about once a second: the rate and the name of the
// device drawing, and on a second line the triangles the last frame drew, "FPS: 59.3 SOFT" and
// "TRIANGLES: 1290". The software device's presenters keep the default name.
class FpsMeter {
 public:
  explicit FpsMeter(const char* device = "SOFT") : device_(device) {}

  // Told by the counting device as each frame is finished, before it is shown.
  void setTriangles(uint32_t triangles) { triangles_ = triangles; }
  uint32_t triangles() const { return triangles_; }

  void frame() {
    const auto now = std::chrono::steady_clock::now();
    if (frames_ == 0) {
      since_ = now;
    }
    ++frames_;
    const double seconds = std::chrono::duration<double>(now - since_).count();
    if (seconds >= 1.0) {
      std::snprintf(text_, sizeof text_, "FPS: %.1f %s\nTRIANGLES: %u", (frames_ - 1) / seconds,
                    device_, static_cast<unsigned>(triangles_));
      frames_ = 1;
      since_ = now;
    }
  }
  const char* text() const { return text_; }

 private:
  const char* device_;
  std::chrono::steady_clock::time_point since_{};
  int frames_ = 0;
  uint32_t triangles_ = 0;
  char text_[64] = "";
};

struct ReadoutGlyph {
  char c;
  uint16_t rows;  // five rows of three bits, top row in the highest bits
};

inline constexpr ReadoutGlyph kReadoutGlyphs[] = {
    {'0', 0b111'101'101'101'111}, {'1', 0b010'110'010'010'111}, {'2', 0b111'001'111'100'111},
    {'3', 0b111'001'111'001'111}, {'4', 0b101'101'111'001'001}, {'5', 0b111'100'111'001'111},
    {'6', 0b111'100'111'101'111}, {'7', 0b111'001'001'001'001}, {'8', 0b111'101'111'101'111},
    {'9', 0b111'101'111'001'111}, {'.', 0b000'000'000'000'010}, {':', 0b000'010'000'010'000},
    {'A', 0b010'101'111'101'101}, {'E', 0b111'100'111'100'111}, {'F', 0b111'100'111'100'100},
    {'G', 0b111'100'101'101'111}, {'I', 0b111'010'010'010'111}, {'L', 0b100'100'100'100'111},
    {'N', 0b110'101'101'101'101}, {'O', 0b111'101'101'101'111}, {'P', 0b111'101'111'100'100},
    {'R', 0b110'101'110'101'101}, {'S', 0b111'100'111'001'111}, {'T', 0b111'010'010'010'010},
};

// What a readout cell is painted with: the dark box behind the text, or the text itself.
enum class ReadoutInk { Backing, Text };

// Calls fill(x, y, size, size) for every lit cell of one line of text drawn in a 3 by 5 cell
// font (digits, '.', ':' and the capitals of the readout's words; other characters are blanks)
// with its top left corner at (x, y). A line feed ends the line.
template <class Fill>
void drawReadout(const char* text, int x, int y, int cell, Fill&& fill) {
  for (; *text != '\0' && *text != '\n'; ++text, x += 4 * cell) {
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

// The size of the readout's cells in an output of the given height: 2 pixels up to 479 lines,
// 3 at 480, 4 at 768, 13 on a 2160-line screen, so the text stays legible at every size.
inline int readoutCell(int outputHeight) {
  return outputHeight / 160 > 2 ? outputHeight / 160 : 2;
}

// The readout's lines (text holds one or more, split by line feeds) in the bottom left corner of
// an output of the given height, over a dark box that keeps them legible over a light cloud
// tile: fill(x, y, w, h, ink) is called once for the box, then for each lit cell of the text.
template <class Fill>
void drawReadoutInCorner(const char* text, int outputHeight, Fill&& fill) {
  if (*text == '\0') {
    return;  // nothing to show before the first second of frames
  }
  int lines = 1;
  int longest = 0;
  int length = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '\n') {
      ++lines;
      length = 0;
    } else if (++length > longest) {
      longest = length;
    }
  }
  const int cell = readoutCell(outputHeight);
  const int margin = 2 * cell;
  const int lineHeight = 7 * cell;  // five rows of a glyph and two between lines
  const int boxWidth = cell + longest * 4 * cell;
  const int boxHeight = lines * lineHeight;
  const int boxY = outputHeight - margin - boxHeight;
  fill(margin, boxY, boxWidth, boxHeight, ReadoutInk::Backing);
  const auto textCell = [&](int x, int y, int w, int h) { fill(x, y, w, h, ReadoutInk::Text); };
  int y = boxY + cell;
  for (const char* line = text; line != nullptr; y += lineHeight) {
    drawReadout(line, margin + cell, y, cell, textCell);
    line = std::strchr(line, '\n');
    line = line != nullptr ? line + 1 : nullptr;
  }
}

}  // namespace tavrik
