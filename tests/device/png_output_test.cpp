#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "config/defaults_store.h"
#include "host/headless/headless.h"
#include "host/headless/png_presenter.h"
#include "support/host_modes.h"

namespace tavrik {
namespace {

namespace fs = std::filesystem;

class PngOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() /
             ("tavrik-png-" + std::to_string(getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  DefaultsStore defaults;

  fs::path folder;
};

std::vector<uint8_t> readRgb(const fs::path& path, unsigned& width, unsigned& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
    return {};
  }
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr);
  width = image.width;
  height = image.height;
  return rgb;
}

TEST_F(PngOutputTest, ChannelsAreWidenedByRepeatingTheirTopBits) {
  // White, pure red, the lowest step of each channel, and 10/31, 40/63, 20/31.
  const uint16_t pixels[4] = {0xFFFF, 0xF800, 0x0821, (10 << 11) | (40 << 5) | 20};
  PngPresenter presenter(folder.string());
  presenter.present(FrameView{pixels, 2, 2, 2});
  presenter.present(FrameView{pixels, 1, 1, 2});
  ASSERT_FALSE(presenter.failed()) << presenter.error();
  EXPECT_EQ(presenter.framesWritten(), 2);
  unsigned width = 0, height = 0;
  const std::vector<uint8_t> rgb = readRgb(folder / "frame-00001.png", width, height);
  ASSERT_EQ(width, 2u);
  ASSERT_EQ(height, 2u);
  EXPECT_EQ(rgb, (std::vector<uint8_t>{255, 255, 255, 255, 0, 0,  //
                                       8, 4, 8, 82, 162, 165}));
  EXPECT_TRUE(fs::exists(folder / "frame-00002.png"));
}

TEST_F(PngOutputTest, AFailedWriteSaysWhichFile) {
  const uint16_t pixel = 0;
  PngPresenter presenter((folder / "missing").string());
  presenter.present(FrameView{&pixel, 1, 1, 1});
  ASSERT_TRUE(presenter.failed());
  EXPECT_NE(presenter.error().find("missing/frame-00001.png"), std::string::npos)
      << presenter.error();
  presenter.present(FrameView{&pixel, 1, 1, 1});
  EXPECT_EQ(presenter.framesWritten(), 0);
}

TEST_F(PngOutputTest, HeadlessRunWritesEveryFrameIntoANewFolder) {
  RunOptions options;
  options.seed = 3;
  options.frameMs = 16;
  options.frames = 3;
  options.outputDir = (folder / "new" / "frames").string();
  ASSERT_EQ(runHeadless(options, defaults, kHostModes), 0);
  for (const char* name : {"frame-00001.png", "frame-00002.png", "frame-00003.png"}) {
    unsigned width = 0, height = 0;
    EXPECT_FALSE(readRgb(fs::path(options.outputDir) / name, width, height).empty()) << name;
    EXPECT_EQ(width, 640u);
    EXPECT_EQ(height, 480u);
  }
  EXPECT_FALSE(fs::exists(fs::path(options.outputDir) / "frame-00004.png"));
}

TEST_F(PngOutputTest, HeadlessRunFailsWhenTheFolderCannotBeMade) {
  std::FILE* file = std::fopen((folder / "taken").c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  RunOptions options;
  options.seed = 3;
  options.frameMs = 16;
  options.frames = 1;
  options.outputDir = (folder / "taken").string();
  EXPECT_EQ(runHeadless(options, defaults, kHostModes), 1);
}

}  // namespace
}  // namespace tavrik
