#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "host/frame_pacer.h"

namespace tavrik {
namespace {

using std::chrono::milliseconds;
using Duration = FramePacer::Duration;

// A host whose frames take work each and whose sleeps run over by oversleep.
struct FakeHost {
  Duration clock{};
  Duration oversleep{};
  std::vector<Duration> sleeps;

  Duration now() const { return clock; }
  void sleep(Duration duration) {
    sleeps.push_back(duration);
    clock += duration + oversleep;
  }
};

std::vector<Duration> paceFrames(FramePacer pacer, FakeHost host,
                                 const std::vector<Duration>& work) {
  for (Duration frame : work) {
    host.clock += frame;
    pacer.pace([&] { return host.now(); }, [&](Duration d) { host.sleep(d); });
  }
  return host.sleeps;
}

TEST(FramePacer, SleepsOutThePeriodAndStartsANewRhythmAfterALongFrame) {
  struct Case {
    FramePacer::Rhythm rhythm;
    bool startedAtMaking;
    Duration oversleep;
    std::vector<Duration> work;
    std::vector<Duration> sleeps;
  };
  using enum FramePacer::Rhythm;
  const milliseconds ms(1);
  const Case cases[] = {
      // The first frame only starts the rhythm; a 30 ms frame starts a new one.
      {FromWake, false, 0 * ms, {4 * ms, 4 * ms, 30 * ms, 4 * ms}, {6 * ms, 6 * ms}},
      // A sleep that ran over delays the next frame too.
      {FromWake, false, 2 * ms, {4 * ms, 4 * ms, 4 * ms}, {6 * ms, 6 * ms}},
      // Started when made, the first frame is paced; a sleep that ran over is made up next.
      {Steady, true, 2 * ms, {4 * ms, 4 * ms, 4 * ms}, {6 * ms, 4 * ms, 4 * ms}},
      {Steady, true, 0 * ms, {4 * ms, 30 * ms, 4 * ms, 10 * ms}, {6 * ms, 6 * ms}},
  };
  for (const Case& c : cases) {
    FramePacer pacer(10 * ms, c.rhythm);
    if (c.startedAtMaking) {
      pacer.start(Duration{});
    }
    FakeHost host;
    host.oversleep = c.oversleep;
    std::vector<Duration> sleeps = paceFrames(pacer, host, c.work);
    EXPECT_EQ(sleeps, c.sleeps) << static_cast<int>(c.rhythm) << " " << c.oversleep.count();
  }
}

}  // namespace
}  // namespace tavrik
