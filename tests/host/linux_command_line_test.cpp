#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "host/linux/cli/command_line.h"
#include "host/linux/cli/linux_options.h"
#include "support/args.h"

namespace tavrik {
namespace {

using testing::Args;

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
  EXPECT_EQ(parse({"-window", "--trace", "t", "--output", "dir"}).mode, LinuxMode::Headless);
  const LinuxCommand c = parse({"--seed", "7"});
  EXPECT_EQ(c.mode, LinuxMode::Windowed);
  EXPECT_EQ(c.options.seed, 7u);
  // A named window's run takes the trace and the frame count.
  const LinuxCommand traced = parse({"--trace", "t.jsonl", "-window", "--frames", "9"});
  EXPECT_EQ(traced.mode, LinuxMode::Windowed);
  EXPECT_EQ(traced.options.tracePath, "t.jsonl");
  EXPECT_EQ(traced.options.frames, 9u);
  EXPECT_EQ(parse({"-root", "--frames", "9"}, "0x42").mode, LinuxMode::Embedded);
  EXPECT_EQ(parse({"--trace", "t", "-window-id", "0x42"}).mode, LinuxMode::Embedded);
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

}  // namespace
}  // namespace tavrik
