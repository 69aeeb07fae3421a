// A 2-D LCF run over 256 x 256 points, bin 0, 100 energies, two references,
// and its parts: building the spectrum of a point, normalising it, fitting
// it. The whole run is measured with the run's blocks of points and, as the
// baseline, with one point per hand-over to the worker thread and back.

#include "analysis/Analyzer.h"
#include "analysis/Lcf2DRun.h"

#include "GeneratedStack.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>

#include <memory>

namespace {

constexpr int kSize = 256;
constexpr int kEnergies = 100;
constexpr int kSamples = 1024; // prepared inputs the part benchmarks cycle through

struct World
{
  GeneratedStack stack{ kSize, kSize, kEnergies };
  Analyzer analyzer;
  QVector<SpectrumPoints> points;
  QVector<XafsSpectrum> spectra;
  QVector<RefSnapshot> refs;
  FitConditions cond;

  World()
  {
    for (int i = 0; i < 2; ++i)
      analyzer.setLCFStd(i, true, 0.0, stack.truth().referenceFiles[i], "0");
    refs = analyzer.referenceSnapshots();
    cond.buildSpectrum = false;
    for (int i = 0; i < kSamples; ++i) {
      points.append(stack.pointsAt((i * 37) % kSize, (i * 11) % kSize, 0, 0));
      spectra.append(GeneratedStack::normalised(points.last()));
    }
  }
};

World* world = nullptr;

void BM_BuildSpectrum(benchmark::State& state)
{
  int i = 0;
  for (auto _ : state) {
    SpectrumPoints p = world->stack.pointsAt(i % kSize, (i / kSize) % kSize, 0, 0);
    benchmark::DoNotOptimize(p);
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BuildSpectrum);

void BM_Normalise(benchmark::State& state)
{
  int i = 0;
  for (auto _ : state) {
    XafsSpectrum s = GeneratedStack::normalised(world->points[i++ % kSamples]);
    benchmark::DoNotOptimize(s);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Normalise);

void BM_Fit(benchmark::State& state)
{
  int i = 0;
  for (auto _ : state) {
    LcfResult r = fitSpectrum(world->spectra[i++ % kSamples], world->refs, false, world->cond);
    benchmark::DoNotOptimize(r);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Fit);

void BM_WholeRun(benchmark::State& state)
{
  Lcf2DRun run(&world->analyzer);
  run.setBlockSize(int(state.range(0)));
  QObject::connect(&world->analyzer, &Analyzer::finishedBlock, &run, &Lcf2DRun::answered);
  const GeneratedStack& stack = world->stack;
  run.setSpectrumSource(
    [&stack](int cx, int cy, int bx, int by) { return stack.spectrumAt(cx, cy, bx, by); });
  AnalyzeCond cond;
  cond.setup(kSize, kSize, 0, 0, 0, 0, kSize, kSize);
  for (auto _ : state) {
    QEventLoop loop;
    QObject::connect(&run, &Lcf2DRun::ended, &loop, &QEventLoop::quit);
    run.start(&cond);
    loop.exec();
  }
  state.SetItemsProcessed(state.iterations() * kSize * kSize);
}
BENCHMARK(BM_WholeRun)
  ->ArgName("pointsPerHandOver")
  ->Arg(1)
  ->Arg(256)
  ->Iterations(2)
  ->UseRealTime()
  ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // The run writes its start, end and map ranges to the debug output.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  World w;
  world = &w;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  world = nullptr;
  return 0;
}
