#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "host/linux/command_line.h"
#include "host/linux/exit_rules.h"
#include "host/linux/logo.h"
#include "host/linux/picture.h"
#include "host/linux/pixel_convert.h"

namespace tavrik {
namespace {

TEST(SwitchArgument, RecognisesTheSixteenAloneOrWithColonNumber) {
  for (const char* s : {"-c", "-C", "/c", "/C", "-p", "-P", "/p", "/P", "-s", "-S", "/s", "/S",
                        "-a", "-A", "/a", "/A"}) {
    EXPECT_TRUE(isSwitchArgument(s)) << s;
    EXPECT_TRUE(isSwitchArgument(std::string(s) + ":123")) << s;
  }
  for (const char* s : {"-x", "-root", "-c:", "-c:12a", "-cx", "--c", "/", "", "-window"}) {
    EXPECT_FALSE(isSwitchArgument(s)) << s;
  }
}

TEST(WindowId, DecimalOrHexadecimal) {
  uint64_t id = 0;
  EXPECT_TRUE(parseWindowId("1234", id));
  EXPECT_EQ(id, 1234u);
  EXPECT_TRUE(parseWindowId("0x4a0001f", id));
  EXPECT_EQ(id, 0x4a0001fu);
  EXPECT_TRUE(parseWindowId("0X1F", id));
  EXPECT_EQ(id, 0x1fu);
  for (const char* bad :
       {"", "0x", "abc", "12z", "-5", "+5", "0x-1", "1 2", "99999999999999999999"}) {
    EXPECT_FALSE(parseWindowId(bad, id)) << bad;
  }
}

struct Args {
  explicit Args(std::vector<std::string> words) : words_(std::move(words)) {
    words_.insert(words_.begin(), "tavrik");
    for (std::string& w : words_) {
      pointers_.push_back(w.data());
    }
    pointers_.push_back(nullptr);
  }
  int argc() const { return static_cast<int>(words_.size()); }
  char** argv() { return pointers_.data(); }

  std::vector<std::string> words_;
  std::vector<char*> pointers_;
};

LinuxCommand parse(std::vector<std::string> words, const char* env = nullptr,
                   bool expectOk = true) {
  Args args(std::move(words));
  LinuxCommand command;
  std::string error;
  EXPECT_EQ(parseLinuxCommandLine(args.argc(), args.argv(), env, command, error), expectOk)
      << error;
  if (!expectOk) {
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(error.find('\n'), std::string::npos);
  }
  return command;
}

TEST(LinuxCommandLine, NoArgumentsRunsInAWindow) {
  EXPECT_EQ(parse({}).mode, LinuxMode::Windowed);
  EXPECT_EQ(parse({"-window"}).mode, LinuxMode::Windowed);
  EXPECT_EQ(parse({"--window"}).mode, LinuxMode::Windowed);
}

TEST(LinuxCommandLine, SwitchesJoinTheArgumentsIntoOneText) {
  LinuxCommand c = parse({"/p", "1234"});
  EXPECT_EQ(c.mode, LinuxMode::Preview);
  EXPECT_EQ(c.window, 1234u);
  c = parse({"/c:1234"});
  EXPECT_EQ(c.mode, LinuxMode::Configure);
  EXPECT_EQ(c.window, 0u);
  EXPECT_EQ(parse({"-s"}).mode, LinuxMode::FullScreen);
  EXPECT_EQ(parse({"/S", "-c"}).mode, LinuxMode::Configure);
  EXPECT_EQ(parse({"-a"}).mode, LinuxMode::Password);
  // What follows a switch is part of the text, never an option.
  EXPECT_EQ(parse({"-s", "--bogus"}).mode, LinuxMode::FullScreen);
}

TEST(LinuxCommandLine, WindowIdEmbeds) {
  LinuxCommand c = parse({"-window-id", "0x200001"});
  EXPECT_EQ(c.mode, LinuxMode::Embedded);
  EXPECT_EQ(c.window, 0x200001u);
  c = parse({"--window-id", "77", "-fps"});
  EXPECT_EQ(c.window, 77u);
  EXPECT_TRUE(c.fps);
  parse({"-window-id"}, nullptr, false);
  parse({"-window-id", "x"}, nullptr, false);
  parse({"-window-id", "0"}, nullptr, false);
}

TEST(LinuxCommandLine, RootReadsXScreenSaverWindow) {
  LinuxCommand c = parse({"-root"});
  EXPECT_EQ(c.mode, LinuxMode::Embedded);
  EXPECT_EQ(c.window, 0u);
  c = parse({"-root"}, "0x3c00007");
  EXPECT_EQ(c.window, 0x3c00007u);
  c = parse({"--root"}, "1234 ");
  EXPECT_EQ(c.window, 1234u);
  c = parse({"-root"}, "");
  EXPECT_EQ(c.window, 0u);
  parse({"-root"}, "junk", false);
  // Without -root the variable does not matter.
  EXPECT_EQ(parse({}, "junk").mode, LinuxMode::Windowed);
}

TEST(LinuxCommandLine, EveryOptionOfTheHackToolkit) {
  LinuxCommand c = parse({"-install", "-visual", "default", "--noinstall", "-mono", "--pair",
                          "-sync", "-window", "--fps", "-no-fps", "--display", ":3", "-delay",
                          "20000", "--geometry", "300x200-10+20"});
  EXPECT_EQ(c.mode, LinuxMode::Windowed);
  EXPECT_FALSE(c.fps);  // the last of -fps and -no-fps wins
  EXPECT_EQ(c.display, ":3");
  EXPECT_EQ(c.delayMicroseconds, 20000u);
  EXPECT_TRUE(c.geometry.hasSize && c.geometry.hasPosition);
  EXPECT_EQ(parse({"-root", "-delay", "0", "-fps"}, "0x10").delayMicroseconds, 0u);
  for (const char* missing : {"-visual", "-display", "-geometry", "-delay"}) {
    parse({missing}, nullptr, false);
  }
  for (const char* bad : {"-1", "1000001", "5ms", "", "99999999999"}) {
    parse({"-delay", bad}, nullptr, false);
  }
  parse({"-display", ""}, nullptr, false);
}

TEST(LinuxCommandLine, DeviceChoice) {
  EXPECT_EQ(parse({}).device, DeviceChoice::Automatic);
  EXPECT_EQ(parse({"-device", "gl"}).device, DeviceChoice::Gl);
  EXPECT_EQ(parse({"-root", "--device", "soft"}, "0x10").device, DeviceChoice::Soft);
  for (const char* bad : {"GL", "d3d", ""}) {
    parse({"-device", bad}, nullptr, false);
  }
  parse({"--device"}, nullptr, false);
}

TEST(Geometry, SizePositionOrBoth) {
  const struct {
    const char* text;
    bool ok;
    WindowGeometry expected;
  } cases[] = {
      {"640x480", true, {true, 640, 480, false, 0, 0, false, false}},
      {"=800X600+10+20", true, {true, 800, 600, true, 10, 20, false, false}},
      {"+0-0", true, {false, 0, 0, true, 0, 0, false, true}},
      {"320x200-5-7", true, {true, 320, 200, true, 5, 7, true, true}},
      {"", false, {}},
      {"640", false, {}},
      {"640x", false, {}},
      {"0x480", false, {}},
      {"640x480+10", false, {}},
      {"640x480+10+20 ", false, {}},
      {"9999999x10", false, {}},
      {"x480", false, {}},
  };
  for (const auto& c : cases) {
    WindowGeometry g;
    ASSERT_EQ(parseGeometry(c.text, g), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(g.hasSize, c.expected.hasSize) << c.text;
      EXPECT_EQ(g.width, c.expected.width) << c.text;
      EXPECT_EQ(g.height, c.expected.height) << c.text;
      EXPECT_EQ(g.hasPosition, c.expected.hasPosition) << c.text;
      EXPECT_EQ(g.x, c.expected.x) << c.text;
      EXPECT_EQ(g.y, c.expected.y) << c.text;
      EXPECT_EQ(g.fromRight, c.expected.fromRight) << c.text;
      EXPECT_EQ(g.fromBottom, c.expected.fromBottom) << c.text;
    }
  }
}

TEST(LinuxCommandLine, OverridesInBothSpellings) {
  LinuxCommand c = parse({"-harriers", "5", "--formation", "triangle", "-root"});
  EXPECT_EQ(c.mode, LinuxMode::Embedded);
  EXPECT_EQ(c.options.overrides.values[0], 5);
  EXPECT_EQ(c.options.overrides.values[4], kFormationTriangle);
  parse({"-harriers", "31"}, nullptr, false);
  parse({"--clouds", "fog"}, nullptr, false);
}

TEST(LinuxCommandLine, RunnerOptionsMakeItHeadless) {
  EXPECT_EQ(parse({"--frames", "10"}).mode, LinuxMode::Headless);
  EXPECT_EQ(parse({"--trace", "t.jsonl"}).mode, LinuxMode::Headless);
  EXPECT_EQ(parse({"-output", "dir", "-root"}).mode, LinuxMode::Headless);
  const LinuxCommand c = parse({"--seed", "7"});
  EXPECT_EQ(c.mode, LinuxMode::Windowed);
  EXPECT_EQ(c.options.seed, 7u);
}

TEST(LinuxCommandLine, HelpVersionAndUnknownOptions) {
  EXPECT_EQ(parse({"--help"}).mode, LinuxMode::Help);
  EXPECT_EQ(parse({"-root", "-help"}).mode, LinuxMode::Help);
  EXPECT_EQ(parse({"--version"}).mode, LinuxMode::Version);
  parse({"--bogus"}, nullptr, false);
  parse({"bare"}, nullptr, false);
  parse({"/x"}, nullptr, false);
  EXPECT_NE(linuxUsage().find("-window-id"), std::string::npos);
}

TEST(ExitRules, TheTwentySecondMoveEnds) {
  ExitRules rules;
  for (int i = 0; i < 21; ++i) {
    EXPECT_FALSE(rules.ends(SaverInput::MouseMove)) << i;
  }
  EXPECT_TRUE(rules.ends(SaverInput::MouseMove));
}

TEST(ExitRules, MovesCountAcrossOtherInput) {
  ExitRules rules;
  for (int i = 0; i < 10; ++i) {
    EXPECT_FALSE(rules.ends(SaverInput::MouseMove));
  }
  EXPECT_FALSE(rules.ends(SaverInput::Wheel));
  EXPECT_FALSE(rules.ends(SaverInput::OtherButton));
  EXPECT_FALSE(rules.ends(SaverInput::SystemKey));
  for (int i = 0; i < 11; ++i) {
    EXPECT_FALSE(rules.ends(SaverInput::MouseMove));
  }
  EXPECT_TRUE(rules.ends(SaverInput::MouseMove));
}

TEST(ExitRules, KeysAndLeftOrRightButtonsEndAtOnce) {
  for (SaverInput input : {SaverInput::Key, SaverInput::LeftButton, SaverInput::RightButton}) {
    ExitRules rules;
    EXPECT_TRUE(rules.ends(input));
  }
}

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

// The -fps readout grows with the output: readable on a 4K screen, still small in a preview.
TEST(Readout, ScalesWithTheOutputHeight) {
  for (const auto& [height, cell] : {std::pair{240, 2}, {768, 4}, {1080, 6}, {2160, 12}}) {
    int left = 1 << 30, top = 1 << 30, right = 0, bottom = 0;
    drawReadoutInCorner("FPS: 59.3", height, [&](int x, int y, int w, int h) {
      EXPECT_EQ(w, cell);
      EXPECT_EQ(h, cell);
      left = std::min(left, x);
      top = std::min(top, y);
      right = std::max(right, x + w);
      bottom = std::max(bottom, y + h);
    });
    EXPECT_EQ(bottom - top, 5 * cell) << height;
    EXPECT_EQ(height - bottom, 3 * cell) << height;
    EXPECT_EQ(left, 3 * cell) << height;
    EXPECT_EQ(right - left, (8 * 4 + 3) * cell) << height;  // nine glyphs, the last one whole
  }
}

TEST(Logo, TheBuiltInLogoDecodes) {
  LogoImage logo;
  ASSERT_TRUE(decodeBmp8(logoBmpData(), logoBmpSize(), logo));
  EXPECT_EQ(logo.width, kLogoWidth);
  EXPECT_EQ(logo.height, kLogoHeight);
  auto at = [&](int x, int y) { return logo.pixels[static_cast<size_t>(y * logo.width + x)]; };
  EXPECT_EQ(at(0, 0), 0);     // black ground
  EXPECT_NE(at(130, 10), 0);  // the grey block, top right
  EXPECT_NE(at(120, 56), 0);  // the dart's nose points right
  EXPECT_EQ(at(10, 56), 0);   // nothing at the far left
  const uint16_t hull = at(80, 56);
  EXPECT_GT(hull & 31, (hull >> 11) & 31);  // more blue than red: light blue
}

TEST(Logo, BadBitmapsAreRefused) {
  LogoImage logo;
  EXPECT_FALSE(decodeBmp8(nullptr, 0, logo));
  std::vector<unsigned char> bytes(logoBmpData(), logoBmpData() + logoBmpSize());
  EXPECT_FALSE(decodeBmp8(bytes.data(), bytes.size() - 1, logo));  // truncated
  std::vector<unsigned char> wrongDepth = bytes;
  wrongDepth[28] = 24;
  EXPECT_FALSE(decodeBmp8(wrongDepth.data(), wrongDepth.size(), logo));
  std::vector<unsigned char> hugeOffset = bytes;
  hugeOffset[13] = 0x7F;
  EXPECT_FALSE(decodeBmp8(hugeOffset.data(), hugeOffset.size(), logo));
  std::vector<unsigned char> compressed = bytes;
  compressed[30] = 1;
  EXPECT_FALSE(decodeBmp8(compressed.data(), compressed.size(), logo));
}

}  // namespace
}  // namespace tavrik
