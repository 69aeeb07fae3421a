// The alignment of one frame: the score of one displacement, the edge
// image, and the whole search from (0, 0) to a displacement of (6, -5),
// on square images of two blobs.

#include "imgproc/ImageFilters.h"
#include "imgproc/ShiftSearch.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

ProcImage blobs(int size, int dx, int dy)
{
  ProcImage m = ProcImage::zeros(size, size);
  const double s = size / 10.0;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double ax = x - dx - 0.4 * size;
      const double ay = y - dy - 0.45 * size;
      const double bx = x - dx - 0.65 * size;
      const double by = y - dy - 0.6 * size;
      m.at(x, y) = 3000.0 * std::exp(-(ax * ax + ay * ay) / (2 * s * s)) +
                   2000.0 * std::exp(-(bx * bx + by * by) / (0.8 * s * s));
    }
  }
  m.rescan();
  return m;
}

void BM_Score(benchmark::State& state)
{
  const int size = int(state.range(0));
  const ProcImage ref = blobs(size, 0, 0);
  const ProcImage cur = blobs(size, 6, -5);
  for (auto _ : state)
    benchmark::DoNotOptimize(alignScore(cur, ref, -6, 5));
  state.SetItemsProcessed(state.iterations() * size * size);
}

void BM_Edges(benchmark::State& state)
{
  const int size = int(state.range(0));
  const ProcImage img = blobs(size, 0, 0);
  for (auto _ : state)
    benchmark::DoNotOptimize(edgeImage(img, 0.0, 65535.0));
  state.SetItemsProcessed(state.iterations() * size * size);
}

void BM_Search(benchmark::State& state)
{
  const int size = int(state.range(0));
  const ProcImage ref = blobs(size, 0, 0);
  const ProcImage cur = blobs(size, 6, -5);
  ShiftSearchResult r;
  for (auto _ : state)
    r = searchBestShift(cur, ref, 0, 0, alignScore(cur, ref, 0, 0));
  state.counters["evaluations"] = double(r.evaluations);
  state.counters["found_x"] = r.x;
  state.counters["found_y"] = r.y;
}

} // namespace

BENCHMARK(BM_Score)->Arg(512)->Arg(2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Edges)->Arg(512)->Arg(2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search)->Arg(512)->Arg(2048)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
