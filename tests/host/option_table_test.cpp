#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "host/linux/cli/command_line.h"
#include "host/linux/cli/linux_options.h"
#include "host/run_options.h"
#include "support/args.h"

namespace tavrik {
namespace {

using testing::Args;

const char* nameOf(const OptionRule& rule) {
  return rule.field >= 0 ? kSharedSettingFields[static_cast<size_t>(rule.field)].option : rule.name;
}

// A value each destination takes.
template <class Row>
std::string goodValue(const Row& row) {
  return std::visit(
      [&](auto to) -> std::string {
        using To = decltype(to);
        if constexpr (std::is_same_v<To, WindowGeometry LinuxCommand::*>) {
          return "10x10";
        } else if constexpr (std::is_same_v<To, DeviceChoice LinuxCommand::*>) {
          return "gl";
        } else if constexpr (std::is_same_v<To, XResource>) {
          return "*delay: 1";
        } else if constexpr (std::is_same_v<To, SettingOverride>) {
          const SettingField field =
              settingFields(kLinuxModes)[static_cast<size_t>(row.rule.field)];
          return field.choices != nullptr ? field.choices[0].word : "1";
        } else {
          return "1";
        }
      },
      row.to);
}

// The mode an option alone chooses.
template <class Row>
LinuxMode modeOf(const Row& row) {
  return std::visit(
      [&](auto to) {
        using To = decltype(to);
        if constexpr (std::is_same_v<To, LinuxMode LinuxCommand::*>) {
          return static_cast<LinuxMode>(row.rule.sets);
        } else if constexpr (std::is_same_v<To, uint64_t LinuxCommand::*>) {
          return LinuxMode::Embedded;
        } else {
          return row.rule.headless ? LinuxMode::Headless : LinuxMode::Windowed;
        }
      },
      row.to);
}

template <class Rows>
void expectEveryRowTaken(const Rows& rows, const std::string& help) {
  for (const auto& row : rows) {
    const std::string name = nameOf(row.rule);
    EXPECT_NE(help.find("-" + name), std::string::npos) << name;
    for (const char* dashes : {"-", "--"}) {
      std::vector<std::string> words = {dashes + name};
      if (row.rule.argument != nullptr) {
        words.push_back(goodValue(row));
      }
      Args args(words);
      LinuxCommand command;
      std::string error;
      EXPECT_TRUE(parseLinuxCommandLine(args.argc(), args.argv(), nullptr, command, error))
          << name << ": " << error;
      EXPECT_EQ(command.mode, modeOf(row)) << name;
    }
  }
}

// The rows and the parser agree: every option the Linux program lists is taken, with one dash or
// two, and chooses its mode.
TEST(OptionTable, EveryOptionOfTheLinuxProgramIsTaken) {
  const std::string help = linuxUsage();
  expectEveryRowTaken(kLinuxRows, help);
  expectEveryRowTaken(kRunRows, help);
  for (const LinuxRow& row : kLinuxSwitches) {
    EXPECT_NE(help.find(std::string("  -") + row.rule.name), std::string::npos) << row.rule.name;
  }
}

TEST(OptionTable, TheRunnersHelpEndsTheLinuxHelp) {
  const std::string help = linuxUsage();
  const std::string runner = runUsage();
  ASSERT_GT(help.size(), runner.size());
  EXPECT_EQ(help.substr(help.size() - runner.size()), runner);
  EXPECT_EQ(runner.rfind("Headless run (no window):\n", 0), 0u);
}

// The generic apply, a row of each type of destination: a good value lands in its destination, a
// bad one gives its message.
struct Sample {
  bool flag = false;
  uint32_t number = 0;
  std::optional<uint32_t> maybe;
  std::string text;
};

using SampleRow = OptionRow<Sample, bool Sample::*, uint32_t Sample::*,
                            std::optional<uint32_t> Sample::*, std::string Sample::*>;

constexpr SampleRow kSampleRows[] = {
    {{.name = "on"}, &Sample::flag},
    {{.name = "off", .sets = 0}, &Sample::flag},
    {{.name = "count", .argument = "N", .low = 2, .high = 9, .range = "(2 to 9)"}, &Sample::number},
    {{.name = "maybe", .argument = "N", .high = 5}, &Sample::maybe},
    {{.name = "any", .argument = "TEXT"}, &Sample::text},
    {{.name = "filled", .argument = "TEXT", .text = TextRule::NotEmpty}, &Sample::text},
    {{.name = "word", .argument = "a|bc", .range = "(a or bc)", .text = TextRule::Word},
     &Sample::text},
    {{.name = "exact", .argument = "N", .exact = true, .high = 3}, &Sample::number},
    {{.name = "ignored", .argument = "X"}},
};

// The message of taking words with rows (empty: taken), or "unknown" when no row names them.
template <class Rows, class Target>
std::string take(const Rows& rows, std::vector<std::string> words, Target& target) {
  Args args(std::move(words));
  std::string error;
  int i = 1;
  const OptionRule* taken = nullptr;
  const bool ok = takeOption(rows, args.argc(), args.argv(), i, target, error, kLinuxModes, taken);
  EXPECT_EQ(ok, error.empty()) << error;
  EXPECT_TRUE(ok || taken != nullptr) << error;
  return ok && taken == nullptr ? "unknown" : error;
}

TEST(OptionApply, EachTypeOfDestination) {
  Sample s;
  EXPECT_EQ(take(kSampleRows, {"-on"}, s), "");
  EXPECT_TRUE(s.flag);
  EXPECT_EQ(take(kSampleRows, {"--off"}, s), "");
  EXPECT_FALSE(s.flag);
  EXPECT_EQ(take(kSampleRows, {"-count", "7"}, s), "");
  EXPECT_EQ(s.number, 7u);
  EXPECT_EQ(take(kSampleRows, {"-count", "1"}, s), "bad value for --count: '1' (2 to 9)");
  EXPECT_EQ(take(kSampleRows, {"-count", "7x"}, s), "bad value for --count: '7x' (2 to 9)");
  EXPECT_EQ(take(kSampleRows, {"-count"}, s), "--count needs a value");
  EXPECT_EQ(s.number, 7u);
  EXPECT_EQ(take(kSampleRows, {"--maybe", "0"}, s), "");
  EXPECT_EQ(s.maybe, 0u);
  EXPECT_EQ(take(kSampleRows, {"--maybe", "6"}, s), "bad value for --maybe: '6'");
  EXPECT_EQ(take(kSampleRows, {"-any", ""}, s), "");
  EXPECT_EQ(s.text, "");
  EXPECT_EQ(take(kSampleRows, {"-filled", "x y"}, s), "");
  EXPECT_EQ(s.text, "x y");
  EXPECT_EQ(take(kSampleRows, {"-filled", ""}, s), "--filled needs a value");
  EXPECT_EQ(take(kSampleRows, {"-word", "bc"}, s), "");
  EXPECT_EQ(s.text, "bc");
  EXPECT_EQ(take(kSampleRows, {"-word", "b"}, s), "bad value for --word: 'b' (a or bc)");
  EXPECT_EQ(take(kSampleRows, {"--exact", "3"}, s), "");
  EXPECT_EQ(s.number, 3u);
  EXPECT_EQ(take(kSampleRows, {"-exact", "3"}, s), "unknown");
  EXPECT_EQ(take(kSampleRows, {"--exact"}, s), "unknown");
  EXPECT_EQ(take(kSampleRows, {"-ignored", "anything"}, s), "");
  EXPECT_EQ(take(kSampleRows, {"-bogus"}, s), "unknown");
}

TEST(OptionApply, TheRunnersDestinations) {
  RunOptions o;
  EXPECT_EQ(take(kRunRows, {"--seed", "4294967295"}, o), "");
  EXPECT_EQ(o.seed, 4294967295u);
  EXPECT_EQ(take(kRunRows, {"--frames", "-1"}, o),
            "bad value for --frames: '-1' (a whole number from 0 to 4294967295)");
  EXPECT_EQ(take(kRunRows, {"--trace", ""}, o), "--trace needs a value");
  EXPECT_EQ(take(kRunRows, {"--formation", "line"}, o), "");
  EXPECT_EQ(o.overrides.values[kFieldFormation], kFormationLine);
  EXPECT_EQ(take(kRunRows, {"--resolution", "1000x700"}, o), "");
  EXPECT_EQ(o.overrides.values[kFieldMode], kModeScreen);
  EXPECT_EQ(o.width, 1000);
  EXPECT_EQ(o.height, 700);
  EXPECT_EQ(take(kRunRows, {"--triangle", "10"}, o),
            "bad value for --triangle: '10' (9, 16 or 25)");
}

TEST(OptionApply, TheLinuxProgramsDestinations) {
  LinuxCommand c;
  EXPECT_EQ(take(kLinuxRows, {"-geometry", "300x200+1+2"}, c), "");
  EXPECT_EQ(c.geometry.width, 300);
  EXPECT_EQ(take(kLinuxRows, {"-geometry", "huge"}, c),
            "bad value for --geometry: 'huge' (WxH, WxH+X+Y or +X+Y)");
  EXPECT_EQ(take(kLinuxRows, {"-window-id", "0x10"}, c), "");
  EXPECT_EQ(c.window, 0x10u);
  EXPECT_EQ(take(kLinuxRows, {"-window-id", "0"}, c),
            "bad value for --window-id: '0' (a window id, decimal or 0x hexadecimal)");
  EXPECT_EQ(take(kLinuxRows, {"-device", "gl"}, c), "");
  EXPECT_EQ(c.device, DeviceChoice::Gl);
  EXPECT_EQ(take(kLinuxRows, {"-device", "d3d"}, c), "bad value for --device: 'd3d' (soft or gl)");
  EXPECT_EQ(take(kLinuxRows, {"-root"}, c), "");
  EXPECT_EQ(c.mode, LinuxMode::Embedded);
  EXPECT_EQ(take(kLinuxRows, {"-h"}, c), "");
  EXPECT_EQ(c.mode, LinuxMode::Help);
  EXPECT_EQ(take(kLinuxRows, {"-xrm", "*fps: on"}, c), "");
  EXPECT_TRUE(c.fps);
  EXPECT_EQ(take(kLinuxRows, {"-xrm", "*fps: maybe"}, c),
            "bad value in --xrm '*fps: maybe' (true or false)");
  EXPECT_EQ(take(kLinuxRows, {"-xrm", "*delay: 7x"}, c),
            "bad value in --xrm '*delay: 7x' (microseconds a frame, 0 to 1000000; 0: the "
            "display's refresh)");
  EXPECT_EQ(take(kLinuxRows, {"-delay", "7x"}, c),
            "bad value for --delay: '7x' (microseconds a frame, 0 to 1000000; 0: the display's "
            "refresh)");
}

}  // namespace
}  // namespace tavrik
