// The sine family against the C library's: sines over the arguments of the first minutes,
// arctangents over the lens tangents.
#include <benchmark/benchmark.h>

#include <cmath>

#include "math/trig.h"

namespace {

template <double (*F)(double), double kFrom = -200.0, double kTo = 400.0>
void sweepArguments(benchmark::State& state) {
  const double step = (kTo - kFrom) / 43801.0;
  double x = kFrom;
  double sum = 0.0;
  for (auto _ : state) {
    sum += F(x);
    x += step;
    if (x > kTo) {
      x = kFrom;
    }
  }
  benchmark::DoNotOptimize(sum);
}

double libSin(double x) {
  return std::sin(x);
}
double libAtan(double x) {
  return std::atan(x);
}

void BM_Sin(benchmark::State& state) {
  sweepArguments<tavrik::Sin>(state);
}
void BM_LibSin(benchmark::State& state) {
  sweepArguments<libSin>(state);
}
void BM_SinCos(benchmark::State& state) {
  double x = -200.0;
  double sum = 0.0;
  for (auto _ : state) {
    double s = 0.0;
    double c = 0.0;
    tavrik::SinCos(x, s, c);
    sum += s + c;
    x += 0.0137;
    if (x > 400.0) {
      x = -200.0;
    }
  }
  benchmark::DoNotOptimize(sum);
}
void BM_SinCosF(benchmark::State& state) {
  double x = -200.0;
  float sum = 0.0f;
  for (auto _ : state) {
    float s = 0.0f;
    float c = 0.0f;
    tavrik::SinCosF(x, s, c);
    sum += s + c;
    x += 0.0137;
    if (x > 400.0) {
      x = -200.0;
    }
  }
  benchmark::DoNotOptimize(sum);
}
void BM_LibSinCosToFloat(benchmark::State& state) {
  double x = -200.0;
  float sum = 0.0f;
  for (auto _ : state) {
    sum += static_cast<float>(std::sin(x)) + static_cast<float>(std::cos(x));
    x += 0.0137;
    if (x > 400.0) {
      x = -200.0;
    }
  }
  benchmark::DoNotOptimize(sum);
}
void BM_Atan(benchmark::State& state) {
  sweepArguments<tavrik::Atan, 0.0, 1.0>(state);
}
void BM_LibAtan(benchmark::State& state) {
  sweepArguments<libAtan, 0.0, 1.0>(state);
}

}  // namespace

BENCHMARK(BM_Sin);
BENCHMARK(BM_LibSin);
BENCHMARK(BM_SinCos);
BENCHMARK(BM_SinCosF);
BENCHMARK(BM_LibSinCosToFloat);
BENCHMARK(BM_Atan);
BENCHMARK(BM_LibAtan);
