#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "host/run_options.h"
#include "host/win32/replay_options.h"
#include "support/args.h"

namespace tavrik {
namespace {

using testing::Args;

ReplayCommand parseReplay(std::vector<std::string> words, std::string& error) {
  Args args(std::move(words));
  ReplayCommand command;
  error.clear();
  parseReplayCommandLine(args.argc(), args.argv(), command, error);
  return command;
}

RunnerCommand parseRunner(std::vector<std::string> words, std::string& error) {
  Args args(std::move(words));
  RunnerCommand command;
  error.clear();
  parseRunnerCommandLine(args.argc(), args.argv(), command, error, kWindowSizeModes);
  return command;
}

// The replay runner's own options are taken as written and with their value, and by no other
// program.
TEST(ReplayOptions, TheReplayRunnersOwnOptions) {
  std::string error;
  ReplayCommand command =
      parseReplay({"--device", "d3d", "--d3d-fail-at", "9", "--seed", "3"}, error);
  EXPECT_TRUE(error.empty()) << error;
  EXPECT_EQ(command.device, "d3d");
  EXPECT_EQ(command.failAt, 9u);
  EXPECT_EQ(*command.options.seed, 3u);

  parseReplay({"--d3d-fail-at", "10"}, error);
  EXPECT_EQ(error, "bad value for --d3d-fail-at: '10' (1 to 9)");
  parseReplay({"--device", "gl"}, error);
  EXPECT_EQ(error, "bad value for --device: 'gl' (soft or d3d)");
  for (const std::vector<std::string>& words :
       std::vector<std::vector<std::string>>{{"-device", "soft"}, {"--device"}}) {
    command = parseReplay(words, error);
    EXPECT_EQ(command.unknown, 1) << words[0];
    EXPECT_EQ(error, "unknown option '" + words[0] + "' (see --help)");
  }
  EXPECT_EQ(parseRunner({"--device", "soft"}, error).unknown, 1);
  EXPECT_TRUE(parseReplay({"--version"}, error).version);
  EXPECT_TRUE(parseRunner({"--version"}, error).version);
  EXPECT_TRUE(parseRunner({"-h"}, error).help);
  EXPECT_TRUE(parseReplay({"--frames", "2", "--help", "--bogus"}, error).help);
  EXPECT_EQ(parseRunner({"--frames"}, error).unknown, 0);
  EXPECT_EQ(error, "--frames needs a value");
}

TEST(ReplayOptions, TheHelpListsTheReplayRunnersOptionsThenTheRunners) {
  const std::string help = replayUsage();
  EXPECT_EQ(help.rfind("Usage: tavrik-replay [options]\n\n  --device soft|d3d     draw", 0), 0u)
      << help;
  EXPECT_NE(help.find("\n  --d3d-fail-at STEP    make bring-up step STEP (1 to 9)"),
            std::string::npos);
  EXPECT_EQ(help.substr(help.size() - runUsage().size()), runUsage());
}

}  // namespace
}  // namespace tavrik
