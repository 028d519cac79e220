// The GL device against the software device: the same run (seed, stepped timer, settings) drawn
// by both, the GL device on an offscreen OSMesa context. On every frame nearly every pixel must
// agree within one RGB565 step; the few others lie on the borders of shapes, where the two
// rasterizers' sub-pixel arithmetic differs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>

#include "device/gl/gl_device.h"
#include "device/gl/osmesa_target.h"
#include "device/soft/soft_device.h"
#include "run_support.h"
#include "support/rgb565_step.h"

namespace tavrik {
namespace {

struct AgreementCase {
  const char* name;
  int32_t formation;
  int32_t clouds;
  std::optional<int32_t> triangle;
  std::optional<int32_t> mode;
};

constexpr AgreementCase kCases[] = {
    {"SurfaceClouds", kFormationNone, 1, {}, {}},
    {"WireClouds", kFormationNone, 0, {}, {}},
    {"TriangleOf25At800x600", kFormationTriangle, 1, 25, 1},
};
constexpr uint32_t kSeed = 1998;
constexpr int kFrames = 20;
constexpr double kLeastShare = 0.995;

double agreeingShare(const FrameView& soft, const uint16_t* gl) {
  const size_t pixels = static_cast<size_t>(soft.width) * soft.height;
  size_t same = 0;
  for (size_t i = 0; i < pixels; ++i) {
    same += testing::withinOneStep(soft.pixels[i], gl[i]) ? 1 : 0;
  }
  return static_cast<double>(same) / static_cast<double>(pixels);
}

class GlAgreementTest : public ::testing::TestWithParam<AgreementCase> {};

TEST_P(GlAgreementTest, EveryFrameAgreesWithTheSoftwareDevice) {
  const AgreementCase& c = GetParam();
  const auto softRun = std::make_unique<tavrik::Run>();
  const auto glRun = std::make_unique<tavrik::Run>();
  SoftDevice soft(nullptr);
  OsMesaTarget target;
  GlDevice gl(target);
  SteppedTimer softTimer(60000, 33);
  SteppedTimer glTimer(60000, 33);
  ASSERT_TRUE(testing::startTestRun(*softRun, soft, softTimer, kSeed, c.formation, c.clouds,
                                    c.triangle, c.mode));
  ASSERT_TRUE(
      testing::startTestRun(*glRun, gl, glTimer, kSeed, c.formation, c.clouds, c.triangle, c.mode));
  double worst = 1.0;
  for (int frame = 1; frame <= kFrames; ++frame) {
    runFrame(*softRun, soft, softTimer);
    runFrame(*glRun, gl, glTimer);
    const double share = agreeingShare(soft.backBuffer(), target.pixels());
    EXPECT_GE(share, kLeastShare) << "frame " << frame;
    worst = std::min(worst, share);
  }
  endRun(soft);
  endRun(gl);
  std::printf("%s: the worst frame agrees on %.3f%% of its pixels\n", c.name, 100.0 * worst);
}

INSTANTIATE_TEST_SUITE_P(Runs, GlAgreementTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<AgreementCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace tavrik
