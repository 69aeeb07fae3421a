// Principal components and k-means (K = 5) of 256 x 256 points, bin 0, 100
// energies: the whole run on the point-run engine (gathering the normalised
// spectra, decomposition, scores, k-means, maps) on 1 and 2 threads, and its
// numeric parts alone on the gathered matrix.
//
// With --dump=FILE it also writes the gathered spectra for the numpy
// baseline of bench/components/numpy_components.py, which does the same
// numeric parts (SVD of the centred matrix, a plain k-means loop).

#include "analysis/ComponentRun.h"
#include "analysis/Components.h"
#include "analysis/GridSpectraKernel.h"
#include "analysis/PointRun.h"

#include "GeneratedStack.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <vector>

namespace {

constexpr int kSize = 256;
constexpr int kEnergies = 100;
constexpr int kClusters = 5;

struct World
{
  GeneratedStack stack{ kSize, kSize, kEnergies };
  PointSpectra spectra;
  AnalyzeCond cond;
  QVector<double> grid;
  std::vector<double> data; // the gathered spectra, one a row
  int rows = 0;

  World()
  {
    spectra = PointSpectra(stack.view(), 1, -1.0);
    cond.setup(kSize, kSize, 0, 0, 0, 0, kSize, kSize);
    grid = GridSpectraKernel::sampleGrid(spectra, 0, 0, 0, 0, 0.0, 30000.0);
    PointRun run;
    auto kernel = std::make_shared<GridSpectraKernel>(spectra, grid);
    const int m = grid.size();
    run.start(cond, kernel, [this, m](const RasterPoint&, const double* v) {
      data.insert(data.end(), v, v + m);
      ++rows;
    });
    run.waitForEnd();
  }
};

World* world = nullptr;

void BM_WholeRun(benchmark::State& state)
{
  ComponentRun run;
  run.engine().setThreadCount(int(state.range(0)));
  ComponentSetup setup;
  setup.spectra = world->spectra;
  setup.clusters = kClusters;
  for (auto _ : state) {
    run.start(&world->cond, setup);
    run.waitForEnd();
  }
  state.counters["scores"] = run.maps().size() - 1;
  state.SetItemsProcessed(state.iterations() * kSize * kSize);
}
BENCHMARK(BM_WholeRun)
  ->ArgName("threads")
  ->Arg(1)
  ->Arg(2)
  ->Iterations(3)
  ->UseRealTime()
  ->Unit(benchmark::kMillisecond);

void BM_Gather(benchmark::State& state)
{
  PointRun run;
  run.setThreadCount(int(state.range(0)));
  auto kernel = std::make_shared<GridSpectraKernel>(world->spectra, world->grid);
  std::vector<double> data;
  const int m = world->grid.size();
  for (auto _ : state) {
    data.clear();
    run.start(world->cond, kernel, [&data, m](const RasterPoint&, const double* v) {
      data.insert(data.end(), v, v + m);
    });
    run.waitForEnd();
  }
  state.SetItemsProcessed(state.iterations() * kSize * kSize);
}
BENCHMARK(BM_Gather)->ArgName("threads")->Arg(1)->Arg(2)->Iterations(3)->UseRealTime()->Unit(
  benchmark::kMillisecond);

void BM_Decompose(benchmark::State& state)
{
  const int threads = int(state.range(0));
  for (auto _ : state) {
    components::Pca pca =
      components::decompose(world->data, world->rows, world->grid.size(), threads);
    benchmark::DoNotOptimize(pca);
  }
}
BENCHMARK(BM_Decompose)
  ->ArgName("threads")
  ->Arg(1)
  ->Arg(2)
  ->UseRealTime()
  ->Unit(benchmark::kMillisecond);

// Scores and k-means on as many scores as the run takes by default.
void BM_ScoresAndKMeans(benchmark::State& state)
{
  const int m = world->grid.size();
  const components::Pca pca = components::decompose(world->data, world->rows, m);
  const int n = components::componentsAboveNoise(pca, world->rows, 2);
  const int threads = int(state.range(0));
  for (auto _ : state) {
    const std::vector<double> s = components::scores(pca, world->data, world->rows, n, threads);
    components::KMeans km =
      components::kmeans(s, world->rows, n, kClusters, 5, 300, 0x4c756d61u, threads);
    benchmark::DoNotOptimize(km);
  }
  state.counters["scores"] = n;
}
BENCHMARK(BM_ScoresAndKMeans)
  ->ArgName("threads")
  ->Arg(1)
  ->Arg(2)
  ->UseRealTime()
  ->Unit(benchmark::kMillisecond);

// Raw little-endian dump: int32 rows, columns; the doubles row by row.
bool dump(const QString& path)
{
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly))
    return false;
  const qint32 head[2] = { world->rows, qint32(world->grid.size()) };
  f.write(reinterpret_cast<const char*>(head), sizeof head);
  f.write(reinterpret_cast<const char*>(world->data.data()),
          qint64(world->data.size() * sizeof(double)));
  // For the comparison with the baseline's numbers.
  const components::Pca pca = components::decompose(world->data, world->rows, world->grid.size());
  std::printf("%d x %d spectra, explained:", world->rows, int(world->grid.size()));
  for (int i = 0; i < 4 && i < pca.explained.size(); ++i)
    std::printf(" %.6g", pca.explained[i]);
  std::printf("\n");
  return true;
}

} // namespace

int main(int argc, char** argv)
{
  QCoreApplication app(argc, argv);
  // The run writes its start, end and map ranges to the debug output.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  World w;
  world = &w;
  for (int i = 1; i < argc; ++i) {
    const QString a = QString::fromLocal8Bit(argv[i]);
    if (a.startsWith(QLatin1String("--dump=")) && !dump(a.mid(7)))
      return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
