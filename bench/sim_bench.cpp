// One frame's simulation and camera (clock, quarry, harriers, camera director), without
// rendering, for the largest flock.
#include <benchmark/benchmark.h>

#include <memory>

#include "camera/camera.h"
#include "config/settings.h"
#include "device/null_device.h"
#include "math/random.h"
#include "scene/scene.h"
#include "scene/setup.h"
#include "sim/harriers.h"
#include "sim/quarry.h"

namespace {

struct BenchRun {
  tavrik::Settings settings;
  tavrik::Random random;
  std::unique_ptr<tavrik::Scene> scene = std::make_unique<tavrik::Scene>();
  tavrik::CameraState camera;
  uint32_t nowMs = 60000;
};

std::unique_ptr<BenchRun> startBenchRun(int32_t formation) {
  auto run = std::make_unique<BenchRun>();
  tavrik::seedAndStir(run->random, 12345);
  run->settings.formation = formation;
  tavrik::deriveRunSettings(run->settings, run->random);
  run->settings.numHarriers = tavrik::kMaxHarriers;
  tavrik::NullDevice device;
  tavrik::buildScene(*run->scene, run->settings, run->random, device);
  tavrik::stampStartTime(*run->scene, run->nowMs);
  return run;
}

void simulateFrames(benchmark::State& state, int32_t formation) {
  auto run = startBenchRun(formation);
  for (auto _ : state) {
    run->nowMs += 16;
    tavrik::stepClock(*run->scene, run->nowMs);
    tavrik::stepQuarry(*run->scene);
    tavrik::stepHarriers(*run->scene, run->settings);
    tavrik::stepCamera(run->camera, *run->scene, run->settings, run->random);
    benchmark::DoNotOptimize(run->scene->view);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_FrameSimulationFreeFlock31(benchmark::State& state) {
  simulateFrames(state, tavrik::kFormationNone);
}
void BM_FrameSimulationLine31(benchmark::State& state) {
  simulateFrames(state, tavrik::kFormationLine);
}

// A frame that comes ten seconds late: a hundred sub-steps of the whole flock.
void BM_LateFrameCatchUp31(benchmark::State& state) {
  auto run = startBenchRun(tavrik::kFormationNone);
  for (auto _ : state) {
    run->nowMs += 10000;
    tavrik::stepClock(*run->scene, run->nowMs);
    tavrik::stepQuarry(*run->scene);
    tavrik::stepHarriers(*run->scene, run->settings);
    benchmark::DoNotOptimize(run->scene->flockCentre);
  }
}

}  // namespace

BENCHMARK(BM_FrameSimulationFreeFlock31);
BENCHMARK(BM_FrameSimulationLine31);
BENCHMARK(BM_LateFrameCatchUp31);
