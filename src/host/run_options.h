// The options of a run and the one table of every program's command-line options: their names,
// the value each takes, the values it accepts and the lines --help writes for it. The parsers of
// the Linux program, the Windows replay runner and the Node runner all walk this table; the
// settings overrides among them take their names and values from the settings table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "config/saver_texts.h"
#include "config/settings.h"
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

 private:
  bool simulated_;
  SteadyTimer steady_;
  SteppedTimer stepped_;
};

// The programs that take an option, as bits: the Linux program, tavrik-replay.exe, and the
// Node runner, which takes only the run's options.
enum OptionProgram : uint8_t {
  kSaverProgram = 1,
  kReplayProgram = 2,
  kRunnerProgram = 4,
  kEveryProgram = kSaverProgram | kReplayProgram | kRunnerProgram,
};

// The groups --help lists the options in, in this order.
enum class OptionGroup : uint8_t {
  Switches,      // the screen-saver switches, taken only as the first argument
  XScreenSaver,  // the options of a hack
  XToolkit,      // the options every X program takes
  Replay,        // tavrik-replay's own
  Run,           // the headless runner's
  Settings,      // the settings overrides
};

// What an option does; each parser handles the kinds of its program.
enum class OptionKind : uint8_t {
  Switch,
  Help,
  Version,
  Window,
  Root,
  WindowId,
  Display,
  Geometry,
  Delay,
  FpsOn,
  FpsOff,
  Device,
  Xrm,
  Title,
  Ignored,
  ReplayDevice,
  FailAt,
  Frames,
  Trace,
  Output,
  Seed,
  FrameMs,
  ClockStart,
  Setting,
};

struct OptionEntry {
  OptionGroup group = OptionGroup::Run;
  uint8_t programs = kSaverProgram;  // OptionProgram bits
  OptionKind kind = OptionKind::Ignored;
  // The name without dashes (nullptr: the settings field's override); one dash or two mean the
  // same, except for an exact option, which is taken only as --name and only when its value
  // follows (else it is an unknown option).
  const char* name = nullptr;
  const char* alias = nullptr;     // another name that means the same, not listed by --help
  const char* argument = nullptr;  // the value it takes, as --help shows it; nullptr: none
  bool exact = false;
  bool bothDashes = false;  // --help lists it as "-name, --name"
  // A number's range, and what a bad value's message says of the values taken (nullptr: nothing;
  // a settings override's comes from its field).
  uint32_t low = 0;
  uint32_t high = 0;
  const char* range = nullptr;
  int field = -1;  // a settings override's index in the settings table
  // The help lines after the names, '\n' between them; nullptr: on the next option's line.
  const char* help = nullptr;
};

// The index in the settings table of the override called option, or -1.
constexpr int settingField(std::string_view option) {
  for (size_t f = 0; f < kSharedSettingFields.size(); ++f) {
    if (kSharedSettingFields[f].option != nullptr && option == kSharedSettingFields[f].option) {
      return static_cast<int>(f);
    }
  }
  return -1;
}

inline constexpr const char* kWholeNumber = "(a whole number from 0 to 4294967295)";
inline constexpr const char* kWindowIdRange = "(a window id, decimal or 0x hexadecimal)";

// Every program's options, in the order --help lists them.
inline constexpr OptionEntry kOptions[] = {
    {.group = OptionGroup::Switches,
     .kind = OptionKind::Switch,
     .name = "s",
     .help = "full screen until a key, a left or right button or mouse moves"},
    {.group = OptionGroup::Switches,
     .kind = OptionKind::Switch,
     .name = "p",
     .argument = "ID",
     .help = "the logo in a child window of window ID"},
    {.group = OptionGroup::Switches,
     .kind = OptionKind::Switch,
     .name = "c",
     .argument = "[ID]",
     .help = "the settings dialog (tavrik-settings)"},
    {.group = OptionGroup::Switches,
     .kind = OptionKind::Switch,
     .name = "a",
     .help = "the password notice"},

    {.group = OptionGroup::XScreenSaver,
     .kind = OptionKind::Window,
     .name = "window",
     .help = "run in an ordinary window"},
    {.group = OptionGroup::XScreenSaver,
     .kind = OptionKind::Geometry,
     .name = "geometry",
     .argument = "WxH+X+Y",
     .range = "(WxH, WxH+X+Y or +X+Y)",
     .help = "the ordinary window's size and place (either may be left out;\n"
             "a size larger than the screen is brought down to the screen's)"},
    {.group = OptionGroup::XScreenSaver,
     .kind = OptionKind::WindowId,
     .name = "window-id",
     .argument = "ID",
     .range = kWindowIdRange,
     .help = "draw into window ID (decimal or 0x hexadecimal)"},
    {.group = OptionGroup::XScreenSaver,
     .kind = OptionKind::Root,
     .name = "root",
     .help = "draw into $XSCREENSAVER_WINDOW, else the root window"},
    {.group = OptionGroup::XScreenSaver,
     .kind = OptionKind::Display,
     .name = "display",
     .argument = "NAME",
     .help = "the X display to use instead of $DISPLAY"},
    {.group = OptionGroup::XScreenSaver,
     .kind = OptionKind::Delay,
     .name = "delay",
     .argument = "MICROSECONDS",
     .high = 1000000,
     .range = "(microseconds a frame, 0 to 1000000; 0: the display's refresh)",
     .help = "the least time a frame takes, up to 1000000 (default 0: the\n"
             "display's refresh)"},
    {.group = OptionGroup::XScreenSaver, .kind = OptionKind::FpsOn, .name = "fps"},
    {.group = OptionGroup::XScreenSaver,
     .kind = OptionKind::FpsOff,
     .name = "no-fps",
     .help = "show or hide the frame rate, the device drawing and the\n"
             "triangles drawn per frame"},
    {.group = OptionGroup::XScreenSaver,
     .kind = OptionKind::Device,
     .name = "device",
     .argument = "soft|gl",
     .range = "(soft or gl)",
     .help = "draw with the software device or with OpenGL (default: OpenGL\n"
             "where its renderer is hardware, else the software device)"},
    {.group = OptionGroup::XScreenSaver,
     .kind = OptionKind::Help,
     .name = "help",
     .alias = "h",
     .bothDashes = true,
     .help = "show this help and exit"},
    {.group = OptionGroup::XScreenSaver,
     .kind = OptionKind::Version,
     .name = "version",
     .bothDashes = true,
     .help = "show the version, the copyright and the licence, and exit"},

    {.group = OptionGroup::XToolkit,
     .kind = OptionKind::Xrm,
     .name = "xrm",
     .argument = "RESOURCE",
     .help = "a resource line: '*delay: N' sets -delay and '*fps: true' (or\n"
             "false) sets -fps; any other resource is ignored"},
    {.group = OptionGroup::XToolkit,
     .kind = OptionKind::Title,
     .name = "title",
     .argument = "TITLE",
     .help = "the ordinary window's title"},
    {.group = OptionGroup::XToolkit, .name = "name", .argument = "NAME"},
    {.group = OptionGroup::XToolkit,
     .name = "class",
     .argument = "CLASS",
     .help = "accepted and ignored: the window class stays " TAVRIK_SAVER_WINDOW_CLASS},
    {.group = OptionGroup::XToolkit, .name = "bg", .argument = "COLOUR"},
    {.group = OptionGroup::XToolkit, .name = "background", .argument = "COLOUR"},
    {.group = OptionGroup::XToolkit, .name = "fg", .argument = "COLOUR"},
    {.group = OptionGroup::XToolkit, .name = "foreground", .argument = "COLOUR"},
    {.group = OptionGroup::XToolkit,
     .name = "bw",
     .alias = "borderwidth",
     .argument = "PIXELS",
     .help = "accepted and ignored: the picture has colours of its own"},
    {.group = OptionGroup::XToolkit, .name = "synchronous"},
    {.group = OptionGroup::XToolkit, .name = "iconic"},
    {.group = OptionGroup::XToolkit, .name = "install"},
    {.group = OptionGroup::XToolkit, .name = "noinstall"},
    {.group = OptionGroup::XToolkit, .name = "visual", .argument = "V"},
    {.group = OptionGroup::XToolkit, .name = "mono"},
    {.group = OptionGroup::XToolkit, .name = "pair"},
    {.group = OptionGroup::XToolkit, .name = "sync", .help = "accepted and ignored"},

    {.group = OptionGroup::Replay,
     .programs = kReplayProgram,
     .kind = OptionKind::ReplayDevice,
     .name = "device",
     .argument = "soft|d3d",
     .exact = true,
     .help = "draw on the software device, or on Direct3D in full screen, even\n"
             "without --output (by default only --output draws, in software)"},
    {.group = OptionGroup::Replay,
     .programs = kReplayProgram,
     .kind = OptionKind::FailAt,
     .name = "d3d-fail-at",
     .argument = "STEP",
     .exact = true,
     .low = 1,
     .high = 9,
     .help = "make bring-up step STEP (1 to 9) of the Direct3D device fail"},

    {.programs = kEveryProgram,
     .kind = OptionKind::Frames,
     .name = "frames",
     .argument = "N",
     .high = UINT32_MAX,
     .range = kWholeNumber,
     .help = "run N frames, then stop"},
    {.programs = kEveryProgram,
     .kind = OptionKind::Trace,
     .name = "trace",
     .argument = "FILE",
     .help = "write the run header and one line per frame (JSON Lines)"},
    {.programs = kEveryProgram,
     .kind = OptionKind::Output,
     .name = "output",
     .argument = "DIR",
     .help = "write each frame as DIR/frame-00001.png, ..."},
    {.programs = kEveryProgram,
     .kind = OptionKind::Seed,
     .name = "seed",
     .argument = "S",
     .high = UINT32_MAX,
     .range = kWholeNumber,
     .help = "seed the generator with S instead of the calendar time"},
    {.programs = kEveryProgram,
     .kind = OptionKind::FrameMs,
     .name = "frame-ms",
     .argument = "MS",
     .high = UINT32_MAX,
     .range = kWholeNumber,
     .help = "simulated timer: each reading MS after the one before"},
    {.programs = kEveryProgram,
     .kind = OptionKind::ClockStart,
     .name = "clock-start",
     .argument = "MS0",
     .high = UINT32_MAX,
     .range = kWholeNumber,
     .help = "the simulated timer's first reading (default 60000)"},

    {.group = OptionGroup::Settings,
     .programs = kEveryProgram,
     .kind = OptionKind::Setting,
     .argument = "N",
     .field = settingField("harriers"),
     .help = "the harriers flown without a formation, 1 to 30"},
    {.group = OptionGroup::Settings,
     .programs = kEveryProgram,
     .kind = OptionKind::Setting,
     .argument = "none|triangle|line|random",
     .field = settingField("formation"),
     .help = "the formation flown (random: none or the triangle)"},
    {.group = OptionGroup::Settings,
     .programs = kEveryProgram,
     .kind = OptionKind::Setting,
     .argument = "9|16|25",
     .field = settingField("triangle"),
     .help = "the harriers of the triangle formation"},
    // The same words on every system: a build without "screen" refuses it with its range.
    {.group = OptionGroup::Settings,
     .programs = kEveryProgram,
     .kind = OptionKind::Setting,
     .argument = "640x480|800x600|1024x768|screen|WxH",
     .field = settingField("resolution"),
     .help = "the picture's size (screen: the window's own size; WxH any\n"
             "such size up to 8192x8192, drawn as a window of that size\n"
             "would be)"},
    {.group = OptionGroup::Settings,
     .programs = kEveryProgram,
     .kind = OptionKind::Setting,
     .argument = "surface|wire",
     .field = settingField("clouds"),
     .help = "the cloud tiles drawn as surfaces or as wire frames"},
};

// Every settings override has its line in the table, and every line of an override its field.
constexpr bool overridesListed() {
  for (const OptionEntry& option : kOptions) {
    if ((option.kind == OptionKind::Setting) != (option.field >= 0)) {
      return false;
    }
  }
  for (size_t f = 0; f < kSharedSettingFields.size(); ++f) {
    bool listed = kSharedSettingFields[f].option == nullptr;
    for (const OptionEntry& option : kOptions) {
      listed = listed || option.field == static_cast<int>(f);
    }
    if (!listed) {
      return false;
    }
  }
  return true;
}
static_assert(overridesListed());

// The option argv[i] names for program, or nullptr when it has none. The screen-saver switches
// are never found: they mean something only as the first argument, where the switch table reads
// them.
const OptionEntry* findOption(int argc, char** argv, int i, uint8_t program);

// The first entry of kind that program takes (for the range of its values).
constexpr const OptionEntry& optionOf(OptionKind kind, uint8_t program) {
  for (const OptionEntry& option : kOptions) {
    if (option.kind == kind && (option.programs & program) != 0) {
      return option;
    }
  }
  return kOptions[0];
}

// "--name" for an option spelled "-name" or "--name", as messages name it.
std::string dashedName(std::string_view arg);

// The message for a bad value: "bad value for --delay: '7x' (...)", without a range when
// range is nullptr.
std::string badValue(const std::string& dashed, std::string_view value, const char* range);

// A whole number within the option's range, nothing else in the text.
bool parseOptionNumber(const OptionEntry& option, std::string_view text, uint32_t& value);

// True when value is one of the words of the option's argument ("soft|gl").
bool isArgumentWord(const OptionEntry& option, std::string_view value);

// True for the run's options: the runner's and the settings overrides.
bool isRunOption(OptionKind kind);

// True for the options that ask for a headless run rather than a window.
bool startsHeadlessRun(OptionKind kind);

// Sets what a run option gives from its value; false with a one-line message in error when the
// value is bad. dashed is the option as spelled, for the message.
bool applyRunOption(const OptionEntry& option, const std::string& dashed, std::string_view value,
                    RunOptions& options, std::string& error, const DisplayModes& modes);

// Takes the option at argv[i] (and its value, advancing i) when it is one of the runner's or a
// settings override. Returns false with a one-line message in error when the option is known but
// its value is bad; unknown options leave known false.
bool parseRunOption(int argc, char** argv, int& i, RunOptions& options, bool& known,
                    std::string& error, const DisplayModes& modes);

// The command line of a runner without a window: tavrik-replay.exe or the Node runner.
struct RunnerCommand {
  RunOptions options;
  bool help = false;     // -h or --help: the usage, and nothing else
  bool version = false;  // tavrik-replay's --version
  std::string device;    // tavrik-replay's --device; empty when not given
  uint32_t failAt = 0;   // tavrik-replay's --d3d-fail-at; 0: none
  int unknown = 0;       // the index of an unknown option that ended parsing, else 0
};

// Parses a runner's argv for program (kReplayProgram or kRunnerProgram); stops at the first -h,
// --help or, for the replay runner, --version. False with a one-line message in error for an
// unknown option or a bad value.
bool parseRunnerCommandLine(int argc, char** argv, uint8_t program, RunnerCommand& command,
                            std::string& error, const DisplayModes& modes);

// One group's lines of --help, after its heading.
std::string optionUsage(OptionGroup group);

// The runner's part of --help: its options and the settings overrides.
std::string runUsage();

}  // namespace tavrik
