#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "config/defaults_store.h"
#include "device/null_device.h"
#include "host/headless/headless.h"
#include "host/run.h"
#include "sim/harriers.h"
#include "support/host_modes.h"
#include "support/recording_device.h"

namespace tavrik {
namespace {

// Every test runs the real runner on the default settings, writing into a private folder.
class HeadlessFrames : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tavrik-frames-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    for (const std::string& path : written_) {
      std::remove(path.c_str());
    }
    std::remove(dir_.c_str());
  }

  // Runs the runner and returns the trace's lines.
  std::vector<std::string> run(const std::string& name, RunOptions options) {
    options.tracePath = dir_ + "/" + name + ".jsonl";
    written_.push_back(options.tracePath);
    EXPECT_EQ(runHeadless(options, defaults_, kHostModes), 0);
    std::ifstream in(options.tracePath);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
      lines.push_back(line);
    }
    return lines;
  }

  std::string dir_;
  std::vector<std::string> written_;
  DefaultsStore defaults_;
};

RunOptions standardOptions(uint32_t frames) {
  RunOptions options;
  options.seed = 12345;
  options.frameMs = 16;
  options.frames = frames;
  return options;
}

void setFormation(RunOptions& options, int32_t formation) {
  options.overrides.values[kFieldFormation] = formation;
}

// The number after "name": in one trace line.
double field(const std::string& line, const char* name) {
  const std::string key = std::string("\"") + name + "\":";
  const size_t at = line.find(key);
  if (at == std::string::npos) {
    ADD_FAILURE() << "no " << name << " in " << line.substr(0, 80);
    return 0.0;
  }
  return std::strtod(line.c_str() + at + key.size(), nullptr);
}

// The three numbers of the array after "name":.
std::vector<double> vecField(const std::string& line, const char* name) {
  const std::string key = std::string("\"") + name + "\":[";
  const size_t at = line.find(key);
  std::vector<double> values;
  if (at == std::string::npos) {
    ADD_FAILURE() << "no " << name;
    return {0.0, 0.0, 0.0};
  }
  const char* p = line.c_str() + at + key.size();
  for (int k = 0; k < 3; ++k) {
    char* end = nullptr;
    values.push_back(std::strtod(p, &end));
    p = end + 1;
  }
  return values;
}

double distance(const std::vector<double>& a, const std::vector<double>& b) {
  return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                   (a[2] - b[2]) * (a[2] - b[2]));
}

void expectWellFormedTrace(const std::vector<std::string>& lines, uint32_t frames, int harriers) {
  ASSERT_EQ(lines.size(), frames + 1);
  EXPECT_EQ(lines[0].rfind("{\"seed\":12345,", 0), 0u);
  for (uint32_t k = 1; k <= frames; ++k) {
    const std::string& line = lines[k];
    ASSERT_EQ(line.rfind("{\"frame\":" + std::to_string(k) + ",\"nowMs\":", 0), 0u) << k;
    ASSERT_EQ(line.find("null"), std::string::npos) << "frame " << k;
    ASSERT_EQ(line.back(), '}');
    ASSERT_EQ(field(line, "frameMs"), 16.0);
    // One [x,y,z] per live harrier.
    const size_t list = line.find("\"harriers\":[");
    ASSERT_NE(list, std::string::npos);
    int entries = 0;
    for (size_t at = line.find('[', list + 12); at != std::string::npos;
         at = line.find('[', at + 1)) {
      ++entries;
    }
    ASSERT_EQ(entries, harriers) << "frame " << k;
  }
}

TEST_F(HeadlessFrames, SixHundredFramesOfEachFormation) {
  const struct {
    int32_t formation;
    int harriers;
  } cases[] = {{kFormationNone, 15}, {kFormationTriangle, 17}, {kFormationLine, 16}};
  for (const auto& c : cases) {
    RunOptions options = standardOptions(600);
    setFormation(options, c.formation);
    const auto lines = run("formation" + std::to_string(c.formation), options);
    expectWellFormedTrace(lines, 600, c.harriers);
    if (lines.size() != 601) {
      continue;
    }
    EXPECT_EQ(field(lines[0], "formation"), c.formation);
    EXPECT_EQ(field(lines[1], "nowMs"), 60016.0);
    EXPECT_EQ(field(lines[600], "nowMs"), 60000.0 + 600 * 16);
    EXPECT_NEAR(field(lines[600], "sceneTime"), -200.0 + 9600 * 0.008, 1e-3);
    // The flock starts far off the field and closes on the quarry.
    const double first =
        distance(vecField(lines[1], "flockCentre"), vecField(lines[1], "quarryPosition"));
    const double last =
        distance(vecField(lines[600], "flockCentre"), vecField(lines[600], "quarryPosition"));
    EXPECT_LT(last, first - 2000.0) << "formation " << c.formation;
    // The first frame opens the run; nothing is drawn with the initial camera.
    EXPECT_TRUE(field(lines[1], "shotCode") == 3000.0 || field(lines[1], "shotCode") == 2010.0);
    EXPECT_EQ(field(lines[1], "lastCutMs"), 60016.0);
  }
}

TEST_F(HeadlessFrames, ADeviceThatCannotComeUpLeavesNoTrace) {
  RunOptions options = standardOptions(3);
  options.tracePath = dir_ + "/failed.jsonl";
  written_.push_back(options.tracePath);
  const auto failing = [](const Settings&, Presenter*) {
    auto device = std::make_unique<testing::RecordingDevice>();
    device->failInit = true;
    return std::unique_ptr<Device>(std::move(device));
  };
  EXPECT_EQ(runHeadless(options, defaults_, kHostModes, failing), 1);
  EXPECT_FALSE(std::ifstream(options.tracePath).is_open());
}

TEST_F(HeadlessFrames, SameSeedGivesAByteIdenticalTrace) {
  RunOptions options = standardOptions(300);
  setFormation(options, kFormationTriangle);
  const auto first = run("first", options);
  const auto second = run("second", options);
  ASSERT_EQ(first.size(), 301u);
  EXPECT_EQ(first, second);
  RunOptions other = options;
  other.seed = 12346;
  EXPECT_NE(run("other", other), first);
}

TEST_F(HeadlessFrames, CutsStayOnTimeAcrossTheTimersWrap) {
  RunOptions options = standardOptions(6000);
  options.clockStartMs = 4294960000u;
  const auto lines = run("wrap", options);
  ASSERT_EQ(lines.size(), 6001u);
  int cuts = 0;
  bool crossed = false;
  for (size_t k = 2; k < lines.size(); ++k) {
    const uint32_t now = static_cast<uint32_t>(field(lines[k], "nowMs"));
    const uint32_t lastCut = static_cast<uint32_t>(field(lines[k - 1], "lastCutMs"));
    const uint32_t duration = static_cast<uint32_t>(field(lines[k - 1], "shotDurationMs"));
    const bool cut = static_cast<uint32_t>(field(lines[k], "lastCutMs")) != lastCut;
    crossed = crossed || now < 1000000;
    // A cut exactly on the first frame past the shot's end, never earlier or later.
    ASSERT_EQ(cut, now - lastCut > duration) << "frame " << k << " now " << now;
    cuts += cut ? 1 : 0;
  }
  EXPECT_TRUE(crossed);
  // 96 seconds of shots of 1 to 30 seconds.
  EXPECT_GE(cuts, 4);
  // The opening shot spans the wrap and still lasts its twelve seconds.
  EXPECT_EQ(field(lines[1], "shotDurationMs"), 12000.0);
  EXPECT_EQ(field(lines[750], "lastCutMs"), field(lines[1], "lastCutMs"));
  EXPECT_NE(field(lines[752], "lastCutMs"), field(lines[1], "lastCutMs"));
}

class ScriptedTimer : public MillisecondTimer {
 public:
  uint32_t now = 60000;
  uint32_t readMs() override { return now; }
};

struct LiveRun {
  std::unique_ptr<Run> run = std::make_unique<Run>();
  NullDevice device;
  ScriptedTimer timer;
};

std::unique_ptr<LiveRun> startLiveRun(uint32_t seed, int32_t formation) {
  auto live = std::make_unique<LiveRun>();
  DefaultsStore store;
  SettingsOverrides overrides;
  overrides.values[kFieldFormation] = formation;
  prepareRun(*live->run, store, seed, overrides, kHostModes);
  EXPECT_TRUE(startRun(*live->run, live->device, live->timer));
  return live;
}

void runFrames(LiveRun& live, int frames, uint32_t stepMs) {
  for (int k = 0; k < frames; ++k) {
    live.timer.now += stepMs;
    runFrame(*live.run, live.device, live.timer);
  }
}

bool flockFinite(const Run& run) {
  for (int i = 0; i < liveHarrierCount(run.settings); ++i) {
    const Harrier& h = run.scene.harriers[i];
    if (!IsFinite(h.position) || !IsFinite(h.velocity) || !IsFinite(h.forward) || !IsFinite(h.up) ||
        !std::isfinite(h.speed)) {
      return false;
    }
    for (float e : h.world.m) {
      if (!std::isfinite(e)) {
        return false;
      }
    }
  }
  return IsFinite(run.scene.flockCentre) && IsFinite(run.camera.cameraEye);
}

// The share of live harriers heading towards the quarry at cruising speed.
double chasingShare(const Run& run) {
  const int count = liveHarrierCount(run.settings);
  int chasing = 0;
  for (int i = 0; i < count; ++i) {
    const Harrier& h = run.scene.harriers[i];
    const Vec3 towards = Normalize(run.scene.quarryPosition - h.position);
    chasing += Dot(h.forward, towards) > 0.3f && h.speed > 0.2f && h.speed < 1.0f ? 1 : 0;
  }
  return static_cast<double>(chasing) / count;
}

void expectFlockRecoversFrom(uint32_t gapMs, int32_t formation) {
  auto live = startLiveRun(2468, formation);
  runFrames(*live, 1250, 16);  // twenty seconds: the flock is in the chase
  ASSERT_TRUE(flockFinite(*live->run));
  live->timer.now += gapMs;
  runFrame(*live->run, live->device, live->timer);
  ASSERT_TRUE(flockFinite(*live->run)) << "after the late frame";
  double best = 0.0;
  for (int second = 0; second < 5; ++second) {
    runFrames(*live, 63, 16);
    ASSERT_TRUE(flockFinite(*live->run));
    best = std::fmax(best, chasingShare(*live->run));
  }
  EXPECT_GE(best, 0.6) << "gap " << gapMs << " formation " << formation;
  // Later frames go on as usual.
  runFrames(*live, 2000, 16);
  EXPECT_TRUE(flockFinite(*live->run));
}

TEST(LateFrames, TenSecondFrameKeepsTheFlock) {
  for (int32_t formation : {kFormationNone, kFormationTriangle, kFormationLine}) {
    expectFlockRecoversFrom(10000, formation);
  }
}

TEST(LateFrames, TenHourFrameKeepsTheFlock) {
  for (int32_t formation : {kFormationNone, kFormationTriangle, kFormationLine}) {
    expectFlockRecoversFrom(36000000, formation);
  }
}

TEST(LateFrames, ResumeAfterHoursAlsoKeepsTheCameraGoing) {
  auto live = startLiveRun(1357, kFormationNone);
  runFrames(*live, 100, 16);
  live->timer.now += 36000000;
  runFrame(*live->run, live->device, live->timer);
  EXPECT_EQ(live->run->camera.lastCutMs, live->timer.now);
  EXPECT_EQ(live->run->scene.frameMs, 36000000u);
  EXPECT_NEAR(live->run->scene.sceneTime, -200.0f + 0.008f * (1600 + 36000000), 16.0f);
}

TEST(LateFrames, ChaseResumesAsInAnUninterruptedRun) {
  // For reference: the share of an ordinary run at the same point, to see the threshold is real.
  auto live = startLiveRun(2468, kFormationNone);
  runFrames(*live, 1250 + 5 * 63, 16);
  EXPECT_GE(chasingShare(*live->run), 0.6);
}

}  // namespace
}  // namespace tavrik
