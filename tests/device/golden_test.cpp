// Whole frames against reviewed pictures. To accept a meant change of the picture, regenerate:
//   TAVRIK_UPDATE_GOLDEN=1 build/soft/tests/device/test_device --gtest_filter='*GoldenFrame*'
// and look at the PNGs in tests/device/golden/ before committing them.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "device/soft/soft_device.h"
#include "host/headless/png_presenter.h"
#include "run_support.h"

namespace tavrik {
namespace {

struct GoldenCase {
  const char* name;
  uint32_t seed;
  int32_t formation;
  int32_t clouds;  // 1: surface, 0: wire
  uint32_t frame;
};

const GoldenCase kCases[] = {
    {"free-flock-quarry", 21, kFormationNone, 1, 558},         // the spinning ring close by
    {"triangle-near-plane", 12, kFormationTriangle, 1, 1820},  // a cloud tile through the eye
    {"line-formation", 13, kFormationLine, 1, 300},
    {"wire-clouds", 14, kFormationNone, 0, 600},
};

void PrintTo(const GoldenCase& c, std::ostream* out) {
  *out << c.name;
}

// Keeps a copy of one chosen frame.
struct FrameKeeper : Presenter {
  uint32_t wanted = 0;
  uint32_t seen = 0;
  int width = 0, height = 0;
  std::vector<uint16_t> pixels;
  void present(const FrameView& frame) override {
    if (++seen != wanted) {
      return;
    }
    width = frame.width;
    height = frame.height;
    pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        pixels[static_cast<size_t>(y) * width + x] = frame.pixels[y * frame.pitch + x];
      }
    }
  }
};

bool readPng565(const std::string& path, int& width, int& height, std::vector<uint16_t>& out) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
    return false;
  }
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) == 0) {
    return false;
  }
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
  out.resize(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<uint16_t>((rgb[3 * i] >> 3) << 11 | (rgb[3 * i + 1] >> 2) << 5 |
                                   rgb[3 * i + 2] >> 3);
  }
  return true;
}

bool farApart(uint16_t a, uint16_t b) {
  const auto apart = [](int x, int y) { return x - y > 1 || y - x > 1; };
  return apart(a >> 11, b >> 11) || apart(a >> 5 & 0x3F, b >> 5 & 0x3F) ||
         apart(a & 0x1F, b & 0x1F);
}

class GoldenFrameTest : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenFrameTest, MatchesTheReviewedPicture) {
  const GoldenCase& c = GetParam();
  FrameKeeper keeper;
  keeper.wanted = c.frame;
  SoftDevice device(&keeper);
  SteppedTimer timer(60000, 16);
  static tavrik::Run run;
  ASSERT_TRUE(testing::startTestRun(run, device, timer, c.seed, c.formation, c.clouds));
  for (uint32_t f = 0; f < c.frame; ++f) {
    runFrame(run, device, timer);
  }
  endRun(device);
  ASSERT_EQ(keeper.width, 640);
  ASSERT_EQ(keeper.height, 480);

  const std::string path = std::string(TAVRIK_GOLDEN_DIR) + "/" + c.name + ".png";
  if (std::getenv("TAVRIK_UPDATE_GOLDEN") != nullptr) {
    std::vector<uint8_t> row;
    std::string error;
    ASSERT_TRUE(writePng(path, FrameView{keeper.pixels.data(), 640, 480, 640}, row, error))
        << error;
    GTEST_SKIP() << "wrote " << path;
  }
  int width = 0, height = 0;
  std::vector<uint16_t> golden;
  ASSERT_TRUE(readPng565(path, width, height, golden)) << "cannot read " << path;
  ASSERT_EQ(width, 640);
  ASSERT_EQ(height, 480);
  int differing = 0;
  for (size_t i = 0; i < golden.size(); ++i) {
    differing += farApart(golden[i], keeper.pixels[i]) ? 1 : 0;
  }
  // Edges may move by a pixel when float rounding changes; whole shapes may not.
  EXPECT_LE(differing, 300) << "pixels more than one step away from " << path;
}

INSTANTIATE_TEST_SUITE_P(Runs, GoldenFrameTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name) {
                             ch = ch == '-' ? '_' : ch;
                           }
                           return name;
                         });

}  // namespace
}  // namespace tavrik
