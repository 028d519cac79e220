#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "config/defaults_store.h"
#include "config/file_store.h"
#include "host/headless/headless.h"
#include "support/host_modes.h"

namespace tavrik {
namespace {

namespace fs = std::filesystem;

class HeadlessHeaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tavrik-headless-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string runTrace(RunOptions options) {
    options.tracePath = dir_ + "/t.jsonl";
    FileSettingsStore store(dir_ + "/config/tavrik/settings");
    EXPECT_EQ(runHeadless(options, store, kHostModes), 0);
    std::ifstream in(options.tracePath);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::string dir_;
  DefaultsStore defaults_;
};

size_t count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++n;
  }
  return n;
}

TEST_F(HeadlessHeaderTest, SameSeedSameHeaderLine) {
  RunOptions options;
  options.seed = 12345;
  options.frameMs = 16;
  const std::string first = runTrace(options);
  const std::string second = runTrace(options);
  EXPECT_EQ(first, second);
  EXPECT_EQ(count(first, "\n"), 1u);
  EXPECT_EQ(first.rfind("{\"seed\":12345,\"numHarriers\":15,\"formation\":0,", 0), 0u) << first;
  EXPECT_NE(first.find("\"startMs\":60000,"), std::string::npos);
  EXPECT_EQ(count(first, "\"position\""), 15u);
  EXPECT_EQ(first.find("nan"), std::string::npos);

  options.seed = 12346;
  EXPECT_NE(runTrace(options), first);
}

TEST_F(HeadlessHeaderTest, OverridesReachTheHeaderButAreNeverSaved) {
  RunOptions options;
  options.seed = 1;
  options.frameMs = 16;
  options.clockStartMs = 4294960000u;
  options.overrides.values[kFieldFormation] = 1;  // triangle
  options.overrides.values[kFieldTriangle] = 25;  // of 25
  options.overrides.values[kFieldMode] = 2;       // 1024x768
  options.overrides.values[kFieldClouds] = 0;     // wire clouds
  const std::string header = runTrace(options);
  EXPECT_NE(header.find("\"numHarriers\":26,\"formation\":1,\"screenWidth\":1024,"
                        "\"screenHeight\":768,\"cloudPrimitive\":2,"),
            std::string::npos)
      << header;
  EXPECT_NE(header.find("\"startMs\":4294960000,"), std::string::npos);
  EXPECT_EQ(count(header, "\"position\""), 26u);

  std::ifstream stored(dir_ + "/config/tavrik/settings");
  std::stringstream text;
  text << stored.rdbuf();
  EXPECT_NE(text.str().find("formation=0\n"), std::string::npos) << text.str();
  EXPECT_NE(text.str().find("mode=" + std::to_string(kHostModes.defaultMode) + "\n"),
            std::string::npos);
}

TEST_F(HeadlessHeaderTest, AnUnwritableTraceFailsCleanly) {
  RunOptions options;
  options.seed = 1;
  options.tracePath = dir_ + "/missing/folder/t.jsonl";
  EXPECT_NE(runHeadless(options, defaults_, kHostModes), 0);
}

struct Parsed {
  bool ok;
  bool known;
  std::string error;
  RunOptions options;
};

Parsed parse(std::vector<std::string> words) {
  std::vector<char*> argv;
  for (std::string& w : words) {
    argv.push_back(w.data());
  }
  Parsed p{true, false, {}, {}};
  for (int i = 0; i < static_cast<int>(argv.size()) && p.ok; ++i) {
    const OptionRule* taken = nullptr;
    p.ok = takeOption(kRunRows, static_cast<int>(argv.size()), argv.data(), i, p.options, p.error,
                      kHostModes, taken);
    p.known = taken != nullptr;
  }
  return p;
}

TEST(RunOptions, GoodOptions) {
  const Parsed p =
      parse({"--seed",        "4294967295", "-frame-ms",   "16",    "--frames",   "600",
             "--clock-start", "0",          "--formation", "line",  "--harriers", "30",
             "--resolution",  "800x600",    "--clouds",    "wire",  "--triangle", "9",
             "--trace",       "x.jsonl",    "--output",    "frames"});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(*p.options.seed, 4294967295u);
  EXPECT_EQ(*p.options.frameMs, 16u);
  EXPECT_EQ(p.options.frames, 600u);
  EXPECT_EQ(p.options.clockStartMs, 0u);
  EXPECT_EQ(*p.options.overrides.values[kFieldFormation], 2);
  EXPECT_EQ(*p.options.overrides.values[kFieldHarriers], 30);
  EXPECT_EQ(*p.options.overrides.values[kFieldMode], 1);
  EXPECT_EQ(*p.options.overrides.values[kFieldClouds], 0);
  EXPECT_EQ(*p.options.overrides.values[kFieldTriangle], 9);
  EXPECT_EQ(p.options.tracePath, "x.jsonl");
  EXPECT_EQ(p.options.outputDir, "frames");
}

TEST(RunOptions, BadValuesSayWhichOption) {
  const std::vector<std::vector<std::string>> bad = {
      {"--seed", "-1"},       {"--seed", "4294967296"},  {"--seed", "12x"},
      {"--frames"},           {"--frame-ms", ""},        {"--harriers", "31"},
      {"--harriers", "0"},    {"--formation", "square"}, {"--triangle", "10"},
      {"--resolution", "4k"}, {"--clouds", "solid"},     {"--trace", ""},
  };
  for (const auto& words : bad) {
    const Parsed p = parse(words);
    EXPECT_FALSE(p.ok) << words[0];
    EXPECT_TRUE(p.known) << words[0];
    EXPECT_NE(p.error.find(words[0]), std::string::npos) << p.error;
    EXPECT_EQ(p.error.find('\n'), std::string::npos);
  }
}

TEST(RunOptions, OthersAreLeftToTheCaller) {
  for (const char* word : {"--bogus", "-root", "plain", "-", "--"}) {
    const Parsed p = parse({word});
    EXPECT_TRUE(p.ok) << word;
    EXPECT_FALSE(p.known) << word;
  }
}

}  // namespace
}  // namespace tavrik
