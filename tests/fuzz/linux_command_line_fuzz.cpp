// The Linux command line takes any words: the input is split on NUL bytes into argv (a first word
// starting with '=' is the value of XSCREENSAVER_WINDOW instead). Parsing either succeeds with a
// mode and values in range, or fails with a one-line message; the headless runner's options are
// also taken one at a time, as the parser hands them over, and the same words go through the
// entries of the Node runner and of tavrik-replay, whose loop over argv is their own.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/headless/headless.h"
#include "host/linux/cli/command_line.h"
#include "host/run_options.h"
#include "host/win32/replay_options.h"
#include "support/host_modes.h"

namespace tavrik {
namespace {

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "linux_command_line_fuzz: %s\n", what);
    std::abort();
  }
}

// Each word in an allocation of exactly its size, so a read past its end is caught.
struct Words {
  std::vector<std::unique_ptr<char[]>> storage;
  std::vector<char*> argv;

  void add(const uint8_t* data, size_t size) {
    storage.emplace_back(new char[size + 1]);
    if (size > 0) {
      std::memcpy(storage.back().get(), data, size);
    }
    storage.back()[size] = '\0';
    argv.push_back(storage.back().get());
  }
  int argc() const { return static_cast<int>(argv.size()) - 1; }
};

void checkOverrides(const SettingsOverrides& overrides) {
  for (size_t i = 0; i < kHostSettingFields.size(); ++i) {
    if (overrides.values[i]) {
      check(*overrides.values[i] >= kHostSettingFields[i].low &&
                *overrides.values[i] <= kHostSettingFields[i].high,
            "an override outside its field's range");
    }
  }
}

void parseWhole(Words& words, const char* xscreensaverWindow) {
  LinuxCommand command;
  command.window = 5;
  command.fps = true;
  std::string error;
  const bool ok =
      parseLinuxCommandLine(words.argc(), words.argv.data(), xscreensaverWindow, command, error);
  check(ok == error.empty(), "the message does not match the result");
  check(error.find('\n') == std::string::npos, "a message of more than one line");
  if (!ok) {
    return;
  }
  checkOverrides(command.options.overrides);
  const bool switched = words.argc() > 1 && isSwitchArgument(words.argv[1]);
  const bool saverMode =
      command.mode == LinuxMode::Configure || command.mode == LinuxMode::Preview ||
      command.mode == LinuxMode::FullScreen || command.mode == LinuxMode::Password;
  check(switched == saverMode, "a switch mode without a switch, or the other way round");
  check(!saverMode || command.window <= 0xFFFFFFFFu, "a switch's window wider than 32 bits");
  check(command.mode != LinuxMode::Windowed || command.window == 0, "a window for a window");
  check(command.delayMicroseconds <= kMaxDelayMicroseconds, "a delay beyond its range");
  check(!command.windowFromEnvironment || command.mode == LinuxMode::Embedded,
        "XSCREENSAVER_WINDOW taken outside -root");
}

// The runner's options one by one, from each position, as the parser would hand them over.
void parseEach(Words& words) {
  for (int start = 1; start < words.argc(); ++start) {
    RunOptions options;
    std::string error;
    int i = start;
    const OptionRule* taken = nullptr;
    const bool ok =
        takeOption(kRunRows, words.argc(), words.argv.data(), i, options, error, kHostModes, taken);
    const bool known = taken != nullptr;
    check(i >= start && i < words.argc(), "the option index left argv");
    check(ok || (known && !error.empty()), "a failure without a message");
    check(!ok || error.empty(), "a message without a failure");
    check(error.find('\n') == std::string::npos, "a message of more than one line");
    check(known || i == start, "an unknown option took a value");
    checkOverrides(options.overrides);
  }
}

// A runner's verdict: a success without a message, or a one-line message; an unknown option is
// named by its index, and said as the Linux program says it.
void checkRunner(Words& words, const RunnerCommand& command, bool ok, const std::string& error) {
  check(ok == error.empty(), "a runner's message does not match its result");
  check(error.find('\n') == std::string::npos, "a runner's message of more than one line");
  check(command.unknown >= 0 && command.unknown < words.argc(), "an unknown option outside argv");
  check(command.unknown == 0 || error == unknownOption(words.argv[command.unknown]),
        "an unknown option said otherwise");
  check(!(command.help && command.version), "both the help and the version");
  checkOverrides(command.options.overrides);
}

void parseRunners(Words& words) {
  RunnerCommand node;
  std::string error;
  bool ok = parseRunnerCommandLine(words.argc(), words.argv.data(), node, error, kHostModes);
  checkRunner(words, node, ok, error);
  ReplayCommand replay;
  error.clear();
  ok = parseReplayCommandLine(words.argc(), words.argv.data(), replay, error);
  checkRunner(words, replay, ok, error);
  check(replay.failAt <= kReplayFailSteps, "a Direct3D step beyond the last");
  check(replay.device.empty() || replay.device == "soft" || replay.device == "d3d",
        "a device that is not one of the choices");
}

}  // namespace
}  // namespace tavrik

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavrik;
  Words words;
  words.add(reinterpret_cast<const uint8_t*>("tavrik"), 6);
  std::unique_ptr<char[]> environment;
  size_t start = 0;
  bool first = true;
  for (size_t i = 0; i <= size; ++i) {
    if (i < size && data[i] != '\0') {
      continue;
    }
    if (first && i > start && data[start] == '=') {
      const size_t length = i - start - 1;
      environment.reset(new char[length + 1]);
      std::memcpy(environment.get(), data + start + 1, length);
      environment[length] = '\0';
    } else if (i > start || i < size) {
      words.add(data + start, i - start);
    }
    first = false;
    start = i + 1;
  }
  words.argv.push_back(nullptr);

  parseWhole(words, environment.get());
  parseEach(words);
  parseRunners(words);
  return 0;
}
