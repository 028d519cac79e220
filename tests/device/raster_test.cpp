#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "device/soft/soft_raster.h"

namespace tavrik::soft {
namespace {

// Counts how often each pixel is handed out, instead of drawing it.
struct CoverageCounter {
  int width, height;
  std::vector<int> hits;
  CoverageCounter(int w, int h) : width(w), height(h), hits(static_cast<size_t>(w) * h, 0) {}
  void span(int y, int x0, int x1, int32_t, int32_t) {
    for (int x = x0; x <= x1; ++x) {
      ++hits[static_cast<size_t>(y) * width + x];
    }
  }
  int at(int x, int y) const { return hits[static_cast<size_t>(y) * width + x]; }
};

ScreenVertex sub(double x, double y) {
  return ScreenVertex{static_cast<int32_t>(std::lround(x * kSubpixel)),
                      static_cast<int32_t>(std::lround(y * kSubpixel)), 0.0f};
}

void drawClockwise(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                   const PixelRect& clip, CoverageCounter& counter) {
  if (doubleArea(a, b, c) > 0) {
    rasterTriangle(a, b, c, clip, counter);
  } else {
    rasterTriangle(a, c, b, clip, counter);
  }
}

TEST(RasterTest, FanAroundOnePointCoversEveryPixelOnce) {
  const PixelRect clip{0, 0, 64, 64};
  // Twelve corners on a circle at fractional positions, a centre that is not on a sample.
  ScreenVertex rim[12];
  for (int i = 0; i < 12; ++i) {
    const double angle = 2.0 * 3.14159265358979 * i / 12.0 + 0.1;
    rim[i] = sub(31.3 + 25.0 * std::cos(angle), 30.7 + 25.0 * std::sin(angle));
  }
  const ScreenVertex centre = sub(31.4375, 30.5);
  CoverageCounter fan(64, 64);
  for (int i = 0; i < 12; ++i) {
    drawClockwise(centre, rim[i], rim[(i + 1) % 12], clip, fan);
  }
  // The same polygon cut differently, as a fan from one of its corners.
  CoverageCounter polygon(64, 64);
  for (int i = 1; i + 1 < 12; ++i) {
    drawClockwise(rim[0], rim[i], rim[i + 1], clip, polygon);
  }
  int covered = 0;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      ASSERT_LE(fan.at(x, y), 1) << x << "," << y;
      ASSERT_LE(polygon.at(x, y), 1) << x << "," << y;
      ASSERT_EQ(fan.at(x, y), polygon.at(x, y)) << x << "," << y;
      covered += fan.at(x, y);
    }
  }
  EXPECT_GT(covered, 1700);
}

TEST(RasterTest, FanOnSamplePointsCoversEveryPixelOnce) {
  // A centre and corners exactly on samples: every edge passes through pixel centres.
  const PixelRect clip{0, 0, 16, 16};
  const ScreenVertex centre = sub(8, 8);
  const ScreenVertex rim[8] = {sub(2, 2),   sub(8, 1),  sub(14, 2), sub(15, 8),
                               sub(14, 14), sub(8, 15), sub(2, 14), sub(1, 8)};
  CoverageCounter counter(16, 16);
  for (int i = 0; i < 8; ++i) {
    drawClockwise(centre, rim[i], rim[(i + 1) % 8], clip, counter);
  }
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      ASSERT_LE(counter.at(x, y), 1) << x << "," << y;
    }
  }
  // Rows through the middle run from the left corner (kept) to the right one (left out).
  for (int x = 0; x < 16; ++x) {
    EXPECT_EQ(counter.at(x, 8), x >= 1 && x < 15 ? 1 : 0) << x;
  }
}

TEST(RasterTest, CounterClockwiseAndDegenerateTrianglesCoverNothing) {
  const PixelRect clip{0, 0, 16, 16};
  CoverageCounter counter(16, 16);
  rasterTriangle(sub(1, 1), sub(1, 9), sub(9, 1), clip, counter);
  rasterTriangle(sub(1, 1), sub(5, 5), sub(9, 9), clip, counter);
  rasterTriangle(sub(3, 3), sub(3, 3), sub(3, 3), clip, counter);
  for (int hit : counter.hits) {
    EXPECT_EQ(hit, 0);
  }
}

TEST(RasterTest, ClipRectangleTrimsSpans) {
  const PixelRect clip{2, 3, 6, 5};
  CoverageCounter counter(16, 16);
  rasterTriangle(sub(-100, -100), sub(300, -100), sub(-100, 300), clip, counter);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      EXPECT_EQ(counter.at(x, y), x >= 2 && x < 6 && y >= 3 && y < 5 ? 1 : 0) << x << "," << y;
    }
  }
}

TEST(RasterTest, DepthIsInterpolatedAcrossTheTriangle) {
  struct DepthProbe {
    int32_t depthAt[8][8] = {};
    void span(int y, int x0, int x1, int32_t z, int32_t step) {
      for (int x = x0; x <= x1; ++x, z += step) {
        depthAt[y][x] = z >> kDepthFractionBits;
      }
    }
  } probe;
  // Depth grows by 1000 per pixel to the right.
  ScreenVertex a = sub(0, 0), b = sub(8, 0), c = sub(0, 8);
  a.depth = 0.0f;
  b.depth = 8000.0f;
  c.depth = 0.0f;
  rasterTriangle(a, b, c, PixelRect{0, 0, 8, 8}, probe);
  EXPECT_EQ(probe.depthAt[0][0], 0);
  EXPECT_EQ(probe.depthAt[0][5], 5000);
  EXPECT_EQ(probe.depthAt[3][4], 4000);
}

}  // namespace
}  // namespace tavrik::soft
