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
              settingFields(kWindowSizeModes)[static_cast<size_t>(row.rule.field)];
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
  const bool ok =
      takeOption(rows, args.argc(), args.argv(), i, target, error, kWindowSizeModes, taken);
  EXPECT_EQ(ok, error.empty()) << error;
  EXPECT_TRUE(ok || taken != nullptr) << error;
  return ok && taken == nullptr ? "unknown" : error;
}

// One taking of words: the message it gives ("": taken; "unknown": no row names them), and what
// then holds of the destination.
template <class Target>
struct ApplyCase {
  std::vector<std::string> words;
  std::string message;
  bool (*landed)(const Target&) = nullptr;  // nullptr: nothing to check
};

template <class Target, class Rows>
void expectCases(const Rows& rows, const std::vector<ApplyCase<Target>>& cases) {
  for (const ApplyCase<Target>& c : cases) {
    Target target;
    EXPECT_EQ(take(rows, c.words, target), c.message) << c.words[0];
    EXPECT_TRUE(!c.landed || c.landed(target)) << c.words[0];
  }
}

TEST(OptionApply, EachTypeOfDestination) {
  expectCases<Sample>(kSampleRows,
                      {
                          {{"-on"}, "", [](const Sample& s) { return s.flag; }},
                          {{"--off"}, "", [](const Sample& s) { return !s.flag; }},
                          {{"-count", "7"}, "", [](const Sample& s) { return s.number == 7; }},
                          {{"-count", "1"}, "bad value for --count: '1' (2 to 9)"},
                          {{"-count", "7x"}, "bad value for --count: '7x' (2 to 9)"},
                          {{"-count"}, "--count needs a value"},
                          {{"--maybe", "0"}, "", [](const Sample& s) { return s.maybe == 0u; }},
                          {{"--maybe", "6"}, "bad value for --maybe: '6'"},
                          {{"-any", ""}, "", [](const Sample& s) { return s.text.empty(); }},
                          {{"-filled", "x y"}, "", [](const Sample& s) { return s.text == "x y"; }},
                          {{"-filled", ""}, "--filled needs a value"},
                          {{"-word", "bc"}, "", [](const Sample& s) { return s.text == "bc"; }},
                          {{"-word", "b"}, "bad value for --word: 'b' (a or bc)"},
                          {{"--exact", "3"}, "", [](const Sample& s) { return s.number == 3; }},
                          {{"-exact", "3"}, "unknown"},
                          {{"--exact"}, "unknown"},
                          {{"-ignored", "anything"}, ""},
                          {{"-bogus"}, "unknown"},
                      });
}

TEST(OptionApply, TheRunnersDestinations) {
  expectCases<RunOptions>(
      kRunRows,
      {
          {{"--seed", "4294967295"}, "", [](const RunOptions& o) { return o.seed == 4294967295u; }},
          {{"--frames", "-1"},
           "bad value for --frames: '-1' (a whole number from 0 to 4294967295)"},
          {{"--trace", ""}, "--trace needs a value"},
          {{"--formation", "line"},
           "",
           [](const RunOptions& o) {
             return o.overrides.values[kFieldFormation] == kFormationLine;
           }},
          {{"--resolution", "1000x700"},
           "",
           [](const RunOptions& o) {
             return o.overrides.values[kFieldMode] == kModeScreen && o.width == 1000 &&
                    o.height == 700;
           }},
          {{"--triangle", "10"}, "bad value for --triangle: '10' (9, 16 or 25)"},
      });
}

TEST(OptionApply, TheLinuxProgramsDestinations) {
  const std::string delayRange = "(microseconds a frame, 0 to 1000000; 0: the display's refresh)";
  expectCases<LinuxCommand>(
      kLinuxRows,
      {
          {{"-geometry", "300x200+1+2"},
           "",
           [](const LinuxCommand& c) { return c.geometry.width == 300 && c.geometry.y == 2; }},
          {{"-geometry", "huge"}, "bad value for --geometry: 'huge' (WxH, WxH+X+Y or +X+Y)"},
          {{"-window-id", "0x10"}, "", [](const LinuxCommand& c) { return c.window == 0x10; }},
          {{"-window-id", "0"},
           "bad value for --window-id: '0' (a window id, decimal or 0x hexadecimal)"},
          {{"-device", "gl"},
           "",
           [](const LinuxCommand& c) { return c.device == DeviceChoice::Gl; }},
          {{"-device", "d3d"}, "bad value for --device: 'd3d' (soft or gl)"},
          {{"-root"}, "", [](const LinuxCommand& c) { return c.mode == LinuxMode::Embedded; }},
          {{"-h"}, "", [](const LinuxCommand& c) { return c.mode == LinuxMode::Help; }},
          {{"-no-fps"}, "", [](const LinuxCommand& c) { return !c.fps; }},
          {{"-xrm", "*fps: on"}, "", [](const LinuxCommand& c) { return c.fps; }},
          {{"-xrm", "*fps: maybe"}, "bad value in --xrm '*fps: maybe' (true or false)"},
          {{"-xrm", "*delay: 7x"}, "bad value in --xrm '*delay: 7x' " + delayRange},
          {{"-delay", "7x"}, "bad value for --delay: '7x' " + delayRange},
          {{"-delay", "7"}, "", [](const LinuxCommand& c) { return c.delayMicroseconds == 7; }},
          {{"-display", ""}, "--display needs a value"},
          {{"-title", "t"}, "", [](const LinuxCommand& c) { return c.title == "t"; }},
      });
}

}  // namespace
}  // namespace tavrik
