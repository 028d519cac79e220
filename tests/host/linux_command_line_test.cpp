#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/counting_device.h"
#include "host/linux/cli/command_line.h"
#include "host/linux/cli/logo.h"
#include "host/linux/present/picture.h"
#include "host/linux/present/pixel_convert.h"
#include "host/linux/x11/x11_notice.h"
#include "host/readout.h"
#include "support/recording_device.h"

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

// The X toolkit's options as every hack takes them: accepted, and ignored where they do not
// apply; -title names the ordinary window; -xrm's delay and fps resources set our options.
TEST(LinuxCommandLine, OptionsOfTheXToolkit) {
  LinuxCommand c = parse({"-xrm",         "*delay: 20000",
                          "-name",        "x",
                          "-class",       "C",
                          "-title",       "y",
                          "-bg",          "black",
                          "--background", "#123",
                          "-fg",          "white",
                          "-foreground",  "red",
                          "-bw",          "3",
                          "-synchronous", "-iconic",
                          "-root"},
                         "0x10");
  EXPECT_EQ(c.mode, LinuxMode::Embedded);
  EXPECT_EQ(c.delayMicroseconds, 20000u);
  EXPECT_EQ(c.title, "y");
  EXPECT_FALSE(c.fps);
  for (const char* missing :
       {"-xrm", "-name", "-class", "-title", "-bg", "-background", "-fg", "-foreground", "-bw"}) {
    parse({missing}, nullptr, false);
  }
}

TEST(LinuxCommandLine, ResourcesOfXrm) {
  const struct {
    const char* resource;
    bool ok;
    uint32_t delay;
    bool fps;
  } cases[] = {
      {"*delay: 10", true, 10, false},      {"tavrik.delay:30000", true, 30000, false},
      {"*Delay:\t 5 ", true, 5, false},     {"*fps: true", true, 0, true},
      {"*fps: on", true, 0, true},          {"*FPS: False", true, 0, false},
      {"*doFPS: true", true, 0, false},  // another hack's resource: ignored
      {"*geometry: 10x10", true, 0, false}, {"no colon at all", true, 0, false},
      {"*delay: 1000001", false, 0, false}, {"*delay: soon", false, 0, false},
      {"*fps: maybe", false, 0, false},
  };
  for (const auto& c : cases) {
    const LinuxCommand command = parse({"-xrm", c.resource}, nullptr, c.ok);
    if (c.ok) {
      EXPECT_EQ(command.delayMicroseconds, c.delay) << c.resource;
      EXPECT_EQ(command.fps, c.fps) << c.resource;
    }
  }
  // In order, the last word wins, as between -fps and -no-fps.
  EXPECT_FALSE(parse({"-fps", "-xrm", "*fps: false"}).fps);
  EXPECT_TRUE(parse({"-xrm", "*fps: false", "-fps"}).fps);
  EXPECT_EQ(parse({"-xrm", "*delay: 7", "-delay", "9"}).delayMicroseconds, 9u);
}

// A value out of range names the range it must be in.
TEST(LinuxCommandLine, BadValuesNameTheirRange) {
  const struct {
    std::vector<std::string> args;
    const char* range;
  } cases[] = {
      {{"-harriers", "99"}, "(1 to 30)"},
      {{"--formation", "circle"}, "(none, triangle, line or random)"},
      {{"--triangle", "10"}, "(9, 16 or 25)"},
      {{"--clouds", "fog"}, "(surface or wire)"},
      {{"--resolution", "9000x10"}, "(640x480, 800x600, 1024x768, screen or WxH up to 8192x8192)"},
      {{"-delay", "2000000"}, "0 to 1000000"},
      {{"-geometry", "huge"}, "(WxH, WxH+X+Y or +X+Y)"},
      {{"-device", "d3d"}, "(soft or gl)"},
  };
  for (const auto& c : cases) {
    Args args(c.args);
    LinuxCommand command;
    std::string error;
    ASSERT_FALSE(parseLinuxCommandLine(args.argc(), args.argv(), nullptr, command, error));
    EXPECT_NE(error.find(c.range), std::string::npos) << error;
  }
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
  EXPECT_EQ(c.options.overrides.values[kFieldHarriers], 5);
  EXPECT_EQ(c.options.overrides.values[kFieldFormation], kFormationTriangle);
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

// help2man makes the manual page from these: an Options heading, and a text for every option.
TEST(LinuxCommandLine, HelpAndVersionReadAsHelp2manExpects) {
  const std::string help = linuxUsage();
  EXPECT_NE(help.find("\nOptions:\n"), std::string::npos);
  EXPECT_EQ(help.find("  --help, --version\n"), std::string::npos);
  for (const char* option : {"-xrm", "-name", "-class", "-title", "-bg", "-background", "-fg",
                             "-foreground", "-bw", "-synchronous", "-iconic"}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
  }
  const std::string version = linuxVersion();
  EXPECT_EQ(version.rfind("tavrik ", 0), 0u);
  EXPECT_NE(version.find("\nCopyright (c) 2026 The TAVRIK developers.\n"), std::string::npos);
  EXPECT_NE(version.find("MIT License"), std::string::npos);
  EXPECT_NE(version.find("\nWritten by the TAVRIK developers.\n"), std::string::npos);
}

const char* nameOf(const OptionEntry& option) {
  return option.field >= 0 ? kSharedSettingFields[static_cast<size_t>(option.field)].option
                           : option.name;
}

// A value each kind of option takes.
std::string goodValue(const OptionEntry& option) {
  switch (option.kind) {
    case OptionKind::Geometry:
      return "10x10";
    case OptionKind::WindowId:
      return "5";
    case OptionKind::Device:
      return "gl";
    case OptionKind::Xrm:
      return "*delay: 1";
    case OptionKind::Setting:
      return settingFields(kLinuxModes)[static_cast<size_t>(option.field)].choices != nullptr
                 ? settingFields(kLinuxModes)[static_cast<size_t>(option.field)].choices[0].word
                 : "1";
    default:
      return "1";
  }
}

// The mode an option alone chooses.
LinuxMode modeOf(OptionKind kind) {
  switch (kind) {
    case OptionKind::Help:
      return LinuxMode::Help;
    case OptionKind::Version:
      return LinuxMode::Version;
    case OptionKind::Root:
    case OptionKind::WindowId:
      return LinuxMode::Embedded;
    default:
      return startsHeadlessRun(kind) ? LinuxMode::Headless : LinuxMode::Windowed;
  }
}

// The table and the parser's handlers agree: every option the Linux program lists is taken, with
// one dash or two.
TEST(OptionTable, EveryOptionOfTheLinuxProgramIsTaken) {
  const std::string help = linuxUsage();
  for (const OptionEntry& option : kOptions) {
    if ((option.programs & kSaverProgram) == 0) {
      continue;
    }
    const std::string name = nameOf(option);
    EXPECT_NE(help.find("-" + name), std::string::npos) << name;
    if (option.kind == OptionKind::Switch) {
      continue;
    }
    for (const char* dashes : {"-", "--"}) {
      std::vector<std::string> words = {dashes + name};
      if (option.argument != nullptr) {
        words.push_back(goodValue(option));
      }
      const LinuxCommand command = parse(words);
      EXPECT_EQ(command.mode, modeOf(option.kind)) << name;
    }
  }
}

TEST(OptionTable, TheRunnersHelpEndsTheLinuxHelp) {
  const std::string help = linuxUsage();
  const std::string runner = runUsage();
  ASSERT_GT(help.size(), runner.size());
  EXPECT_EQ(help.substr(help.size() - runner.size()), runner);
  EXPECT_EQ(runner.rfind("Headless run (no window):\n", 0), 0u);
}

RunnerCommand parseRunner(std::vector<std::string> words, uint8_t program, std::string& error) {
  Args args(std::move(words));
  RunnerCommand command;
  error.clear();
  parseRunnerCommandLine(args.argc(), args.argv(), program, command, error, kLinuxModes);
  return command;
}

// The replay runner's own options are taken as written and with their value, and by no other
// program.
TEST(OptionTable, TheReplayRunnersOwnOptions) {
  std::string error;
  RunnerCommand command =
      parseRunner({"--device", "d3d", "--d3d-fail-at", "9", "--seed", "3"}, kReplayProgram, error);
  EXPECT_TRUE(error.empty()) << error;
  EXPECT_EQ(command.device, "d3d");
  EXPECT_EQ(command.failAt, 9u);
  EXPECT_EQ(*command.options.seed, 3u);

  parseRunner({"--d3d-fail-at", "10"}, kReplayProgram, error);
  EXPECT_EQ(error, "bad value for --d3d-fail-at: '10'");
  parseRunner({"--device", "gl"}, kReplayProgram, error);
  EXPECT_EQ(error, "bad value for --device: 'gl'");
  for (const std::vector<std::string>& words :
       std::vector<std::vector<std::string>>{{"-device", "soft"}, {"--device"}}) {
    command = parseRunner(words, kReplayProgram, error);
    EXPECT_EQ(command.unknown, 1) << words[0];
  }
  command = parseRunner({"--device", "soft"}, kRunnerProgram, error);
  EXPECT_EQ(command.unknown, 1);
  EXPECT_TRUE(parseRunner({"--version"}, kReplayProgram, error).version);
  EXPECT_EQ(parseRunner({"--version"}, kRunnerProgram, error).unknown, 1);
  EXPECT_TRUE(parseRunner({"-h"}, kRunnerProgram, error).help);
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

// The notice follows the language of messages: LC_ALL before LC_MESSAGES before LANG, the first
// one set and not empty; only Japanese gives the Japanese sentence.
TEST(PasswordNotice, EnglishUnlessTheLocaleIsJapanese) {
  const struct {
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    const char* expected;
  } cases[] = {
      {nullptr, nullptr, nullptr, kPasswordNoticeEnglish},
      {nullptr, nullptr, "C", kPasswordNoticeEnglish},
      {nullptr, nullptr, "en_US.UTF-8", kPasswordNoticeEnglish},
      {nullptr, nullptr, "ja_JP.UTF-8", kPasswordNoticeJapanese},
      {nullptr, nullptr, "ja", kPasswordNoticeJapanese},
      {nullptr, nullptr, "ja_JP.eucJP@x", kPasswordNoticeJapanese},
      {nullptr, "ja_JP.UTF-8", "en_GB.UTF-8", kPasswordNoticeJapanese},
      {"", "", "ja_JP.UTF-8", kPasswordNoticeJapanese},
      {"C", "ja_JP.UTF-8", "ja_JP.UTF-8", kPasswordNoticeEnglish},
      {"ja_JP.UTF-8", nullptr, "C", kPasswordNoticeJapanese},
      {nullptr, nullptr, "jam", kPasswordNoticeEnglish},
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(passwordNotice(c.lcAll, c.lcMessages, c.lang), c.expected)
        << (c.lcAll ? c.lcAll : "-") << " " << (c.lcMessages ? c.lcMessages : "-") << " "
        << (c.lang ? c.lang : "-");
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
