// Construct-and-normalise of one 400-point spectrum, the step every map
// point of a 2-D run takes, and its parts.
//   bench_spectrum --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include "spectrum/XafsSpectrum.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// 400 points over a Cu K edge: coarse before, fine across, coarser after,
// as a measured scan is taken; a Victoreen background, an arctan step and
// a small oscillation above the edge.
SpectrumPoints scan400()
{
  SpectrumPoints p;
  auto mu = [](double E) {
    const double l = kHcEVA / E;
    const double base = 0.2 + 0.05 * l * l * l - 0.01 * l * l * l * l;
    const double step = 0.5 + std::atan((E - 8980.0) / 1.5) / 3.1415926535;
    const double osc =
      E > 8990 ? 0.05 * std::sin((E - 8990) / 12.0) * std::exp(-(E - 8990) / 300) : 0.0;
    return base + step * (1.0 + osc);
  };
  for (int i = 0; i < 100; ++i)
    p.append(8700.0 + 2.5 * i, mu(8700.0 + 2.5 * i)); // 8700 .. 8947.5
  for (int i = 0; i < 150; ++i)
    p.append(8950.0 + 0.4 * i, mu(8950.0 + 0.4 * i)); // 8950 .. 9009.6
  for (int i = 0; i < 150; ++i)
    p.append(9010.0 + 3.0 * i, mu(9010.0 + 3.0 * i)); // 9010 .. 9457
  return p;
}

void BM_ConstructNormalize400(benchmark::State& state)
{
  const SpectrumPoints points = scan400();
  for (auto _ : state) {
    XafsSpectrum s(points, "bench", 0, 0.0, 8979.0, -20.0, 30.0);
    benchmark::DoNotOptimize(s.dMut);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ConstructNormalize400);

// The same without the allocations of a fresh spectrum (vectors reused).
void BM_Renormalize400(benchmark::State& state)
{
  XafsSpectrum s(scan400(), "bench", 0, 0.0, 8979.0, -20.0, 30.0);
  for (auto _ : state) {
    s.normalize(0);
    benchmark::DoNotOptimize(s.dMut);
  }
}
BENCHMARK(BM_Renormalize400);

void BM_FitLines400(benchmark::State& state)
{
  XafsSpectrum s(scan400(), "bench", 0, 0.0, 8979.0, -20.0, 30.0);
  for (auto _ : state)
    benchmark::DoNotOptimize(s.fitLines(8980.0, 0));
}
BENCHMARK(BM_FitLines400);

void BM_FindEdge400(benchmark::State& state)
{
  const XafsSpectrum s(scan400(), "bench", 0, 0.0, 8979.0, -20.0, 30.0);
  for (auto _ : state)
    benchmark::DoNotOptimize(s.findEdge());
}
BENCHMARK(BM_FindEdge400);

void BM_StraightLines400(benchmark::State& state)
{
  const SpectrumPoints points = scan400();
  for (auto _ : state) {
    XafsSpectrum s(points, "bench", 1, 0.0, 8979.0, -20.0, 30.0);
    benchmark::DoNotOptimize(s.dMut);
  }
}
BENCHMARK(BM_StraightLines400);

} // namespace

BENCHMARK_MAIN();
