// The machine's limits that a point of a run is measured against: memory
// bandwidth (a STREAM-like copy of arrays far larger than the caches),
// vectorised arithmetic (a multiply-add loop on data in the first-level
// cache), the latency of a chain of dependent additions (a sum kept in its
// order, as the fits keep theirs) and the logarithm the spectra take, on the
// SIMD path chosen at run time.

#include "stack/AbsorptionRow.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

void BM_Copy(benchmark::State& state)
{
  const size_t n = size_t(1) << 25; // 256 MiB a side
  std::vector<double> a(n, 1.0);
  std::vector<double> b(n, 0.0);
  for (auto _ : state) {
    std::copy(a.begin(), a.end(), b.begin());
    benchmark::ClobberMemory();
  }
  // Read and written.
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(2 * n * sizeof(double)));
}
BENCHMARK(BM_Copy)->Unit(benchmark::kMillisecond)->UseRealTime();

// y = a * x + y on 2 KiB: the vectorised floating-point rate, in flops.
void BM_Axpy(benchmark::State& state)
{
  const int n = 256;
  std::vector<double> x(n, 1.0001);
  std::vector<double> y(n, 0.5);
  double a = 0.999;
  for (auto _ : state) {
    for (int r = 0; r < 64; ++r)
      for (int i = 0; i < n; ++i)
        y[size_t(i)] = a * x[size_t(i)] + y[size_t(i)];
    benchmark::DoNotOptimize(y.data());
    a = -a;
  }
  state.counters["flops"] =
    benchmark::Counter(double(state.iterations()) * 64 * n * 2, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Axpy);

// An ordered sum: one dependent addition after the other.
void BM_OrderedSum(benchmark::State& state)
{
  const int n = 256;
  std::vector<double> x(n, 1.0001);
  for (auto _ : state) {
    double s = 0.0;
    for (int i = 0; i < n; ++i)
      s += x[size_t(i)];
    benchmark::DoNotOptimize(s);
  }
  state.counters["adds"] =
    benchmark::Counter(double(state.iterations()) * n, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_OrderedSum);

void BM_AbsorptionRow(benchmark::State& state)
{
  const int n = 1600;
  std::vector<double> i0(n);
  std::vector<double> i1(n);
  std::vector<double> out(n);
  for (int i = 0; i < n; ++i) {
    i0[size_t(i)] = 30000.0 + i;
    i1[size_t(i)] = 9000.0 + 3 * i;
  }
  for (auto _ : state) {
    transmissionRow(i0.data(), i1.data(), out.data(), n);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * n);
  state.SetLabel(absorptionRowPath());
}
BENCHMARK(BM_AbsorptionRow);

void BM_LibraryLog(benchmark::State& state)
{
  const int n = 1600;
  std::vector<double> i0(n);
  std::vector<double> i1(n);
  std::vector<double> out(n);
  for (int i = 0; i < n; ++i) {
    i0[size_t(i)] = 30000.0 + i;
    i1[size_t(i)] = 9000.0 + 3 * i;
  }
  for (auto _ : state) {
    for (int i = 0; i < n; ++i)
      out[size_t(i)] = std::log(i0[size_t(i)] / i1[size_t(i)]);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * n);
}
BENCHMARK(BM_LibraryLog);

} // namespace

BENCHMARK_MAIN();
