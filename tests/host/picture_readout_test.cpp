#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/counting_device.h"
#include "host/linux/present/picture.h"
#include "host/linux/present/pixel_convert.h"
#include "host/readout.h"
#include "support/recording_device.h"

namespace tavrik {
namespace {

TEST(Picture, KeepsTheProportionsCentred) {
  PictureRect r = fitPicture(1024, 768, 640, 480);
  EXPECT_EQ(r.x, 0);
  EXPECT_EQ(r.width, 1024);
  EXPECT_EQ(r.height, 768);
  r = fitPicture(1920, 1080, 640, 480);  // bars beside it
  EXPECT_EQ(r.width, 1440);
  EXPECT_EQ(r.height, 1080);
  EXPECT_EQ(r.x, 240);
  EXPECT_EQ(r.y, 0);
  r = fitPicture(600, 800, 800, 600);  // bars above and below
  EXPECT_EQ(r.width, 600);
  EXPECT_EQ(r.height, 450);
  EXPECT_EQ(r.y, 175);
  r = fitPicture(0, 100, 640, 480);
  EXPECT_EQ(r.width, 0);
  EXPECT_EQ(r.height, 0);
}

TEST(Picture, ScalingFillsBarsBlackAndSamplesNearest) {
  const uint16_t source[4] = {1, 2, 3, 4};  // 2 x 2
  const uint32_t palette[5] = {0xFF, 10, 20, 30, 40};
  const FrameView frame{source, 2, 2, 2};
  uint32_t image[6 * 4];
  int columns[6];
  const PictureRect fit = fitPicture(6, 4, 2, 2);
  scalePicture(frame, palette, image, 6, 4, 6, fit, columns);
  const uint32_t expected[6 * 4] = {0xFF, 10, 10, 20, 20, 0xFF, 0xFF, 10, 10, 20, 20, 0xFF,
                                    0xFF, 30, 30, 40, 40, 0xFF, 0xFF, 30, 30, 40, 40, 0xFF};
  for (int i = 0; i < 24; ++i) {
    EXPECT_EQ(image[i], expected[i]) << i;
  }
}

// The vector conversion of a picture at its own size gives what the scaling palette gives, for
// every RGB565 value, in the usual byte orders and any other, at either vector width (the wide one
// where this processor has it), tail pixels included.
TEST(Picture, ConversionAtOwnSizeMatchesThePalette) {
  EXPECT_FALSE(channelLayout(0xF800, 0x7E0, 0x1F).valid);  // a 16-bit visual: palette only
  std::vector<uint16_t> frame(65536 + 15);
  for (size_t v = 0; v < frame.size(); ++v) {
    frame[v] = static_cast<uint16_t>(v * 40503u);  // every value once, in a scattered order
  }
  for (const ChannelLayout layout :
       {channelLayout(0xFF0000, 0xFF00, 0xFF), channelLayout(0xFF, 0xFF00, 0xFF0000),
        channelLayout(0xFF00, 0xFF0000, 0xFF000000)}) {
    ASSERT_TRUE(layout.valid);
    for (const bool wide : {false, true}) {
      std::vector<uint32_t> converted(frame.size());
      convertRow(frame.data(), converted.data(), static_cast<int>(frame.size()), layout, wide);
      for (size_t v = 0; v < frame.size(); ++v) {
        const uint32_t p = frame[v];
        const uint32_t r = p >> 11, g = (p >> 5) & 63, b = p & 31;
        const uint32_t expected = ((r << 3 | r >> 2) << layout.redShift) |
                                  ((g << 2 | g >> 4) << layout.greenShift) |
                                  ((b << 3 | b >> 2) << layout.blueShift);
        ASSERT_EQ(converted[v], expected) << "value " << p << (wide ? " wide" : " narrow");
      }
    }
  }
}

// The -fps readout: its cells grow with the output, readable on a 4K screen and still in a
// preview; two lines of white text on a dark box in the bottom left corner, the box painted
// first and holding every cell of the text.
TEST(Readout, TwoLinesOnADarkBoxScaledWithTheOutput) {
  for (const auto& [height, cell] :
       {std::pair{240, 2}, {480, 3}, {768, 4}, {1080, 6}, {2160, 13}}) {
    int boxes = 0, cells = 0;
    int boxX = 0, boxY = 0, boxW = 0, boxH = 0;
    int left = 1 << 30, top = 1 << 30, right = 0, bottom = 0;
    drawReadoutInCorner("FPS: 59.3 SOFT\nTRIANGLES: 1290", height,
                        [&](int x, int y, int w, int h, ReadoutInk ink) {
                          if (ink == ReadoutInk::Backing) {
                            EXPECT_EQ(cells, 0) << "the box comes first";
                            ++boxes;
                            boxX = x, boxY = y, boxW = w, boxH = h;
                            return;
                          }
                          ++cells;
                          EXPECT_EQ(w, cell);
                          EXPECT_EQ(h, cell);
                          left = std::min(left, x);
                          top = std::min(top, y);
                          right = std::max(right, x + w);
                          bottom = std::max(bottom, y + h);
                        });
    EXPECT_EQ(boxes, 1) << height;
    EXPECT_EQ(boxX, 2 * cell) << height;
    EXPECT_EQ(height - (boxY + boxH), 2 * cell) << height;
    EXPECT_EQ(boxH, 14 * cell) << height;            // two lines of seven cells
    EXPECT_EQ(boxW, (1 + 15 * 4) * cell) << height;  // the longer line, fifteen characters
    EXPECT_GE(left, boxX + cell);
    EXPECT_GE(top, boxY + cell);
    EXPECT_LE(right, boxX + boxW);
    EXPECT_LE(bottom, boxY + boxH);
    EXPECT_EQ(bottom - top, 12 * cell) << height;  // from the top of F to the bottom of 1290
  }
}

TEST(Readout, NothingBeforeTheFirstSecond) {
  int calls = 0;
  drawReadoutInCorner("", 480, [&](int, int, int, int, ReadoutInk) { ++calls; });
  EXPECT_EQ(calls, 0);
}

TEST(Readout, EveryCharacterOfTheReadoutHasAGlyph) {
  for (const char c : std::string_view("FPS: 0123456789.SOFTGLTRIANGLES")) {
    if (c == ' ') {
      continue;
    }
    int cells = 0;
    const char text[2] = {c, '\0'};
    drawReadout(text, 0, 0, 1, [&](int, int, int, int) { ++cells; });
    EXPECT_GT(cells, 0) << c;
  }
}

// The triangles a frame draws, from lists and strips; lines are no triangles. The count reaches
// the meter as the frame is flipped, and the next frame counts from nothing.
TEST(CountingDevice, CountsEachFramesTriangles) {
  testing::RecordingDevice inner;
  FpsMeter meter;
  CountingDevice device(inner, meter);
  const Vertex vertices[12]{};
  device.drawPrimitive(PrimitiveType::TriangleList, vertices, 12);
  device.drawPrimitive(PrimitiveType::TriangleStrip, vertices, 10);
  device.drawPrimitive(PrimitiveType::LineList, vertices, 12);
  device.drawPrimitive(PrimitiveType::TriangleStrip, vertices, 2);
  EXPECT_EQ(meter.triangles(), 0u);
  device.flip();
  EXPECT_EQ(meter.triangles(), 4u + 8u);
  device.drawPrimitive(PrimitiveType::TriangleList, vertices, 3);
  device.flip();
  EXPECT_EQ(meter.triangles(), 1u);
  EXPECT_EQ(inner.count("drawPrimitive"), 5);
  EXPECT_EQ(inner.count("flip"), 2);
}

// A 16-bit image of RGB565 pixels takes the frame's rows as they are; any other 16-bit layout
// (or a scaled picture) goes through the palette.
TEST(Picture, SixteenBitImages) {
  const uint16_t source[4] = {0xF800, 0x07E0, 0x001F, 0xFFFF};
  const FrameView frame{source, 2, 2, 2};
  uint32_t palette[65536];
  for (uint32_t v = 0; v < 65536; ++v) {
    palette[v] = v ^ 0xFFFF;
  }
  int columns[4];
  uint16_t copied[2 * 2];
  showPicture(frame, palette, true, copied, 2, 2, 2, PictureRect{0, 0, 2, 2}, columns);
  EXPECT_EQ(std::vector<uint16_t>(copied, copied + 4), std::vector<uint16_t>(source, source + 4));
  uint16_t mapped[2 * 2];
  showPicture(frame, palette, false, mapped, 2, 2, 2, PictureRect{0, 0, 2, 2}, columns);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(mapped[i], static_cast<uint16_t>(source[i] ^ 0xFFFF)) << i;
  }
  uint16_t scaled[4 * 2];  // wider than 4:3... here 2:1 over a square picture: bars beside it
  showPicture(frame, palette, true, scaled, 4, 2, 4, fitPicture(4, 2, 2, 2), columns);
  const uint16_t black = static_cast<uint16_t>(palette[0]);
  const uint16_t expected[8] = {black,
                                static_cast<uint16_t>(0xF800 ^ 0xFFFF),
                                static_cast<uint16_t>(0x07E0 ^ 0xFFFF),
                                black,
                                black,
                                static_cast<uint16_t>(0x001F ^ 0xFFFF),
                                0,
                                black};
  for (int i = 0; i < 8; ++i) {
    if (i != 6) {
      EXPECT_EQ(scaled[i], expected[i]) << i;
    }
  }
  EXPECT_EQ(scaled[6], static_cast<uint16_t>(0xFFFF ^ 0xFFFF));
}

}  // namespace
}  // namespace tavrik
