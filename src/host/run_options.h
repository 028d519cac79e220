// The options of a run, the rows every program takes for them (the runner's and the settings
// overrides, see host/option_rows.h), the run's seed and its timer. Each program keeps its own
// rows beside its main file and parses them with these.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "config/settings.h"
#include "host/option_rows.h"
#include "host/timers.h"

namespace tavrik {

struct RunOptions {
  std::optional<uint32_t> seed;     // else the calendar time
  std::optional<uint32_t> frameMs;  // else the system's monotonic timer
  uint32_t clockStartMs = 60000;    // the simulated timer's first reading
  uint32_t frames = 0;
  std::string tracePath;
  std::string outputDir;
  SettingsOverrides overrides;
  // --resolution WxH: a picture of that size, as a window of that size would draw at its own
  // size; 0 by 0 when not given (a run at the window's size without a window draws 640 by 480).
  int width = 0;
  int height = 0;
  // The name that begins the run's messages: the program's own, as its option errors say it.
  const char* program = "tavrik";
};

// What a run is seeded with: --seed, else the calendar time in seconds.
uint32_t runSeed(const RunOptions& options);

// The run's millisecond timer: a simulated one when --frame-ms asks for it, else the system's
// monotonic clock.
class OptionsTimer : public MillisecondTimer {
 public:
  explicit OptionsTimer(const RunOptions& options)
      : simulated_(options.frameMs.has_value()),
        stepped_(options.clockStartMs, options.frameMs.value_or(0)) {}

  uint32_t readMs() override { return simulated_ ? stepped_.readMs() : steady_.readMs(); }
  bool simulated() const { return simulated_; }

 private:
  bool simulated_;
  SteadyTimer steady_;
  SteppedTimer stepped_;
};

// Where an override goes: the rule's settings field, and for a picture size the run's size.
struct SettingOverride {};
bool takeValue(TakenOption& taken, SettingOverride, RunOptions& options);

// The groups of the runner's rows, as --help lists them.
enum : uint8_t { kRunGroup, kSettingsGroup };

using RunRow = OptionRow<RunOptions, uint32_t RunOptions::*, std::optional<uint32_t> RunOptions::*,
                         std::string RunOptions::*, SettingOverride>;

// The options of every program: the runner's and the settings overrides, in --help's order.
extern const std::span<const RunRow> kRunRows;

// The runner's part of --help: its options and the settings overrides.
std::string runUsage();

// The command line of a runner without a window: tavrik-replay.exe or the Node runner.
struct RunnerCommand {
  RunOptions options;
  bool help = false;     // -h or --help: the usage, and nothing else
  bool version = false;  // --version, where the runner takes it
  int unknown = 0;       // the index of an unknown option that ended parsing, else 0
};

// Parses a runner's argv: its own rows into own, then the runner's rows; stops at the first -h,
// --help or, where takesVersion, --version. False with a one-line message in error for an
// unknown option or a bad value.
template <class Rows, class Own>
bool parseRunnerCommandLine(int argc, char** argv, const Rows& rows, Own& own, bool takesVersion,
                            RunnerCommand& command, std::string& error, const DisplayModes& modes) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    // The runners take these only as written.
    if (arg == "--help" || arg == "-h" || (takesVersion && arg == "--version")) {
      (arg == "--version" ? command.version : command.help) = true;
      return true;
    }
    const OptionRule* taken = nullptr;
    if (!takeOption(rows, argc, argv, i, own, error, modes, taken) ||
        (taken == nullptr &&
         !takeOption(kRunRows, argc, argv, i, command.options, error, modes, taken))) {
      return false;
    }
    if (taken == nullptr) {
      command.unknown = i;
      error = unknownOption(arg);
      return false;
    }
  }
  return true;
}

// A runner with no rows of its own (the Node runner).
bool parseRunnerCommandLine(int argc, char** argv, RunnerCommand& command, std::string& error,
                            const DisplayModes& modes);

}  // namespace tavrik
