#include "host/frame_loop.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "config/defaults_store.h"
#include "device/soft/soft_device.h"
#include "host/timers.h"

namespace tavrik {
namespace {

// A window whose size the test scripts, one size per frame; the run ends when the script does.
class ScriptedWindow : public FrameHost {
 public:
  explicit ScriptedWindow(std::vector<std::pair<int, int>> sizes) : sizes_(std::move(sizes)) {}
  bool nextFrame() override { return asked_ < sizes_.size(); }
  void windowSize(int& width, int& height) override {
    width = sizes_[asked_].first;
    height = sizes_[asked_].second;
    ++asked_;
  }
  void resizeTo(int width, int height) override { resized.emplace_back(width, height); }
  void frameDone() override { ++done; }
  int done = 0;
  std::vector<std::pair<int, int>> resized;

 private:
  std::vector<std::pair<int, int>> sizes_;
  size_t asked_ = 0;
};

struct Sized {
  int32_t mode;
  std::vector<std::pair<int, int>> window;
  int width, height;  // the picture after the last frame
};

TEST(FrameLoop, PictureFollowsTheWindowOnlyAtTheWindowsSize) {
  const Sized cases[] = {
      // At the window's size: every change, brought into the largest picture's range.
      {kModeScreen, {{320, 200}, {320, 200}, {1000, 50}, {9000, 0}}, kMaxScreenSide, 1},
      // A display mode keeps its size whatever the window does.
      {1, {{320, 200}, {1000, 50}, {2, 2}}, 800, 600},
  };
  for (const Sized& c : cases) {
    auto run = std::make_unique<tavrik::Run>();
    DefaultsStore defaults;
    SettingsOverrides overrides;
    overrides.values[kFieldMode] = c.mode;
    prepareRun(*run, defaults, 7, overrides, kWindowSizeModes);
    SoftDevice device(nullptr);
    SteppedTimer timer(60000, 16);
    ASSERT_TRUE(startRun(*run, device, timer));
    ScriptedWindow window(c.window);
    runFrames(*run, device, timer, window);
    EXPECT_EQ(window.done, static_cast<int>(c.window.size())) << c.mode;
    EXPECT_EQ(run->settings.screenWidth, c.width) << c.mode;
    EXPECT_EQ(run->settings.screenHeight, c.height) << c.mode;
    EXPECT_EQ(device.backBuffer().width, c.width) << c.mode;
    EXPECT_EQ(device.backBuffer().height, c.height) << c.mode;
    endRun(device);
  }
}

TEST(FrameLoop, HostHearsOfTheFirstSizeAndOfEachChangeOnly) {
  auto run = std::make_unique<tavrik::Run>();
  DefaultsStore defaults;
  prepareRun(*run, defaults, 7, {}, kWindowSizeModes);
  SoftDevice device(nullptr);
  SteppedTimer timer(60000, 16);
  ASSERT_TRUE(startRun(*run, device, timer));
  ScriptedWindow window({{320, 200}, {320, 200}, {1000, 50}, {1000, 60}, {1000, 60}, {320, 200}});
  runFrames(*run, device, timer, window);
  const std::vector<std::pair<int, int>> expected = {
      {320, 200}, {1000, 50}, {1000, 60}, {320, 200}};
  EXPECT_EQ(window.resized, expected);
  endRun(device);
}

}  // namespace
}  // namespace tavrik
