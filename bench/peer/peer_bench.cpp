// Side by side: whole frames (simulation, camera, render pass and device) on the software device
// and on fixed-function OpenGL through Mesa's llvmpipe (OSMesa, offscreen), for one fixed seed on
// a simulated 16 ms clock, so both get the very same calls. Reports frames per second of each,
// their ratio, the share of pixels on which the two pictures agree within one RGB565 step, and
// how many of the rest lie on the border of a shape (where the two rasterizers' sub-pixel
// precision and clipping arithmetic differ) rather than inside one.
//
//   tavrik_peer_bench [--frames N] [--seed S] [--repeat R] [--dump DIR] [--sizes 0,1,2,3]
//                     [--soft-only 1]
// Sizes 0 to 2 are the three resolutions; 3 is 1920x1080, the "screen" resolution at that size.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "config/defaults_store.h"
#include "device/gl/gl_device.h"
#include "device/gl/osmesa_target.h"
#include "device/soft/soft_device.h"
#include "host/headless/png_presenter.h"
#include "host/run.h"
#include "host/timers.h"
#include "tests/support/rgb565_step.h"

namespace tavrik {
namespace {

using testing::withinOneStep;

struct Options {
  uint32_t frames = 600;
  uint32_t seed = 1998;
  int repeat = 3;
  std::string dump;
  std::vector<int> modes = {0, 1, 2, 3};
  bool softOnly = false;  // for profiling the software device alone
};

bool startBenchRun(Run& run, Device& device, SteppedTimer& timer, const Options& options,
                   int mode) {
  DefaultsStore store;
  SettingsOverrides overrides;
  overrides.values[kFieldMode] = mode;
  run = Run{};
  prepareRun(run, store, options.seed, overrides, kWindowSizeModes);
  if (drawsAtWindowSize(run.settings, kWindowSizeModes)) {
    followWindow(run.settings, 1920, 1080);
  }
  return startRun(run, device, timer);
}

// Seconds for options.frames whole frames; the best of options.repeat runs.
double timeFrames(Device& device, const Options& options, int mode) {
  static Run run;
  double best = 1e30;
  for (int r = 0; r < options.repeat; ++r) {
    SteppedTimer timer(60000, 16);
    if (!startBenchRun(run, device, timer, options, mode)) {
      std::fprintf(stderr, "peer_bench: the device could not be brought up\n");
      std::exit(1);
    }
    const auto start = std::chrono::steady_clock::now();
    for (uint32_t f = 0; f < options.frames; ++f) {
      runFrame(run, device, timer);
    }
    const auto end = std::chrono::steady_clock::now();
    endRun(device);
    best = std::min(best, std::chrono::duration<double>(end - start).count());
  }
  return best;
}

struct Agreement {
  double share;    // of all pixels, within one step
  double onEdges;  // of the others, those on the border of a shape in either picture
};

// Both devices in lockstep, comparing every frame.
Agreement agreement(const Options& options, int mode) {
  static Run softRun;
  static Run glRun;
  SoftDevice soft(nullptr);
  OsMesaTarget target;
  GlDevice gl(target);
  SteppedTimer softTimer(60000, 16);
  SteppedTimer glTimer(60000, 16);
  if (!startBenchRun(softRun, soft, softTimer, options, mode) ||
      !startBenchRun(glRun, gl, glTimer, options, mode)) {
    std::fprintf(stderr, "peer_bench: the devices could not be brought up\n");
    std::exit(1);
  }
  uint64_t same = 0;
  uint64_t total = 0;
  uint64_t edge = 0;
  uint64_t inside = 0;
  std::vector<uint8_t> row;
  for (uint32_t f = 1; f <= options.frames; ++f) {
    runFrame(softRun, soft, softTimer);
    runFrame(glRun, gl, glTimer);
    const FrameView frame = soft.backBuffer();
    const size_t pixels = static_cast<size_t>(frame.width) * frame.height;
    const uint16_t* const a = frame.pixels;
    const uint16_t* const b = target.pixels();
    const int w = frame.width;
    // A pixel is on a border when a neighbour holds another colour.
    const auto border = [&](const uint16_t* p, int x, int y) {
      const uint16_t c = p[y * w + x];
      return (x > 0 && p[y * w + x - 1] != c) || (x + 1 < w && p[y * w + x + 1] != c) ||
             (y > 0 && p[(y - 1) * w + x] != c) ||
             (y + 1 < frame.height && p[(y + 1) * w + x] != c);
    };
    for (int y = 0; y < frame.height; ++y) {
      for (int x = 0; x < w; ++x) {
        const size_t i = static_cast<size_t>(y) * w + x;
        if (withinOneStep(a[i], b[i])) {
          ++same;
        } else if (border(a, x, y) || border(b, x, y)) {
          ++edge;
        } else {
          ++inside;
        }
      }
    }
    total += pixels;
    if (!options.dump.empty() && f % 100 == 0) {
      char name[64];
      std::string error;
      std::snprintf(name, sizeof name, "/%dx%d-%04u-soft.png", frame.width, frame.height, f);
      writePng(options.dump + name, frame, row, error);
      std::snprintf(name, sizeof name, "/%dx%d-%04u-llvmpipe.png", frame.width, frame.height, f);
      writePng(options.dump + name,
               FrameView{target.pixels(), frame.width, frame.height, frame.width}, row, error);
    }
  }
  endRun(soft);
  endRun(gl);
  const double differing = std::max<double>(1.0, static_cast<double>(edge + inside));
  return Agreement{total == 0 ? 0.0 : static_cast<double>(same) / static_cast<double>(total),
                   static_cast<double>(edge) / differing};
}

int run(int argc, char** argv) {
  Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    const char* value = argv[i + 1];
    if (name == "--frames") {
      options.frames = static_cast<uint32_t>(std::strtoul(value, nullptr, 10));
    } else if (name == "--seed") {
      options.seed = static_cast<uint32_t>(std::strtoul(value, nullptr, 10));
    } else if (name == "--repeat") {
      options.repeat = std::max(1, std::atoi(value));
    } else if (name == "--dump") {
      options.dump = value;
      std::filesystem::create_directories(options.dump);
    } else if (name == "--soft-only") {
      options.softOnly = std::atoi(value) != 0;
    } else if (name == "--sizes") {
      options.modes.clear();
      for (const char* p = value; *p != '\0'; ++p) {
        if (*p >= '0' && *p <= '3') {
          options.modes.push_back(*p - '0');
        }
      }
    } else {
      std::fprintf(stderr, "peer_bench: unknown option %s\n", name.c_str());
      return 2;
    }
  }
  const char* threads = std::getenv("LP_NUM_THREADS");
  std::printf("seed %u, %u frames at 16 ms, best of %d; llvmpipe threads: %s\n", options.seed,
              options.frames, options.repeat, threads != nullptr ? threads : "default");
  std::printf("%-10s %12s %12s %8s %10s %16s\n", "size", "soft fps", "llvmpipe fps", "ratio",
              "agreement", "misses on edges");
  static const char* kSizes[] = {"640x480", "800x600", "1024x768", "1920x1080"};
  for (int mode : options.modes) {
    SoftDevice soft(nullptr);
    const double softSeconds = timeFrames(soft, options, mode);
    if (options.softOnly) {
      std::printf("%-10s %12.1f\n", kSizes[mode], options.frames / softSeconds);
      continue;
    }
    OsMesaTarget target;
    GlDevice gl(target);
    const double glSeconds = timeFrames(gl, options, mode);
    const Agreement match = agreement(options, mode);
    const double softFps = options.frames / softSeconds;
    const double glFps = options.frames / glSeconds;
    std::printf("%-10s %12.1f %12.1f %7.2fx %9.3f%% %15.1f%%\n", kSizes[mode], softFps, glFps,
                softFps / glFps, 100.0 * match.share, 100.0 * match.onEdges);
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace
}  // namespace tavrik

int main(int argc, char** argv) {
  return tavrik::run(argc, argv);
}
