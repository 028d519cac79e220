#include "device/soft/soft_span.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavrik::soft {
namespace {

// The eight-pixel path and the one-pixel path must agree with the plain rule, including depths
// on both sides of 0x8000, where the wide path's signed comparison turns over.
TEST(SpanFillerTest, EveryPixelFollowsLessOrEqual) {
  constexpr int kWidth = 45;
  std::vector<uint16_t> colour(kWidth, 0x1111);
  std::vector<uint16_t> depth(kWidth);
  for (int x = 0; x < kWidth; ++x) {
    depth[x] = static_cast<uint16_t>(x % 3 == 0 ? 0x7FF0 + x : x % 3 == 1 ? 0x8010 - x : 0xFFFF);
  }
  const std::vector<uint16_t> before = depth;
  // From 0x7FE0 at x = 2 upwards by one per pixel.
  const int32_t start = 0x7FE0 << kDepthFractionBits;
  const int32_t step = 1 << kDepthFractionBits;
  SpanFiller<true> filler{colour.data(), depth.data(), kWidth, 0xABCD};
  filler.span(0, 2, 43, start, step);
  for (int x = 0; x < kWidth; ++x) {
    const bool inSpan = x >= 2 && x <= 43;
    const uint32_t value = 0x7FE0 + static_cast<uint32_t>(x - 2);
    const bool drawn = inSpan && value <= before[x];
    EXPECT_EQ(colour[x], drawn ? 0xABCD : 0x1111) << x;
    EXPECT_EQ(depth[x], drawn ? value : before[x]) << x;
  }
}

TEST(SpanFillerTest, DepthRangeEndsAndNoDepthTest) {
  std::vector<uint16_t> colour(20, 0);
  std::vector<uint16_t> depth(20, 0xFFFF);
  SpanFiller<true> far{colour.data(), depth.data(), 20, 7};
  far.span(0, 0, 19, kDepthMax, 0);  // the far end of the range passes against a cleared buffer
  for (int x = 0; x < 20; ++x) {
    EXPECT_EQ(colour[x], 7);
    EXPECT_EQ(depth[x], 0xFFFF);
  }
  SpanFiller<true> nearest{colour.data(), depth.data(), 20, 9};
  nearest.span(0, 3, 16, 0, 0);
  EXPECT_EQ(depth[3], 0);
  EXPECT_EQ(depth[16], 0);
  EXPECT_EQ(depth[17], 0xFFFF);
  SpanFiller<false> over{colour.data(), depth.data(), 20, 5};
  over.span(0, 0, 9, kDepthMax, 0);
  EXPECT_EQ(colour[0], 5);
  EXPECT_EQ(colour[9], 5);
  EXPECT_EQ(colour[10], 9);
  EXPECT_EQ(depth[0], 0xFFFF);  // untouched without the depth test
}

}  // namespace
}  // namespace tavrik::soft
