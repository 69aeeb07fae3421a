// Writing the normalised spectra of 256 x 256 points x 100 energies (bin 0)
// into one file, on 1 and 2 threads: MB/s of the file and points/s. The
// Fourier analysis of 128 x 128 points x 100 energies, before (every point
// transformed again for each of the N frequencies) and after (one transform
// a point, all N frequencies from it) on the point-run engine.

#include "analysis/FourierRun.h"
#include "analysis/FourierTransformer.h"
#include "analysis/PointRun.h"
#include "output/SpectraSaveRun.h"

#include "GeneratedStack.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>
#include <memory>

namespace {

constexpr int kEnergies = 100;

std::unique_ptr<GeneratedStack> g_saveStack;    // 256 x 256
std::unique_ptr<GeneratedStack> g_fourierStack; // 128 x 128

void BM_SaveNormalised(benchmark::State& state)
{
  const int size = g_saveStack->truth().width;
  QTemporaryDir dir;
  SpectraSaveSetup setup;
  setup.fileName = dir.filePath(QStringLiteral("each.dat"));
  setup.grid = SpectraScanGrid::from(size, size, 0, 0, QRectF(0, 0, size, size));
  setup.spectra =
    PointSpectra(g_saveStack->view(), 1, -1.0, EnergyShiftView(), QStringLiteral("Body-SaveEach"));
  SpectraSaveRun run;
  run.engine().setThreadCount(int(state.range(0)));
  qint64 bytes = 0;
  for (auto _ : state) {
    run.start(&setup);
    run.engine().waitForEnd();
    bytes += QFileInfo(setup.fileName).size();
  }
  state.SetBytesProcessed(bytes);
  state.SetItemsProcessed(state.iterations() * qint64(size) * size);
  state.counters["file_MB"] = double(bytes) / double(state.iterations()) / 1e6;
}
BENCHMARK(BM_SaveNormalised)
  ->ArgName("threads")
  ->Arg(1)
  ->Arg(2)
  ->Iterations(2)
  ->UseRealTime()
  ->Unit(benchmark::kMillisecond);

AnalyzeCond fourierArea()
{
  const int size = g_fourierStack->truth().width;
  AnalyzeCond c;
  c.setup(size, size, 0, 0, 0, 0, size, size);
  return c;
}

// As first written: for every k, every point's transform again.
void BM_FourierBefore(benchmark::State& state)
{
  const StackView stack = g_fourierStack->view();
  const int n = stack.i1.size();
  FourierTransformer t;
  for (auto _ : state) {
    AnalyzeCond c = fourierArea();
    double checksum = 0.0;
    for (int k = 0; k < n; ++k) {
      double sww = 0.0, saa = 0.0, swa = 0.0;
      c.reset();
      do {
        const double w = boxSum(stack.i1.first(), c.cx, c.cy, c.bx, c.by);
        t.setUp(n);
        t.transform(rawSpectrumAt(stack, c.cx, c.cy, c.bx, c.by));
        const double a = t.magnitudes()[k];
        sww += w * w;
        saa += a * a;
        swa += w * a;
      } while (c.next());
      checksum += swa / std::sqrt(std::fabs(sww * saa));
    }
    benchmark::DoNotOptimize(checksum);
  }
  state.SetItemsProcessed(state.iterations() * 128 * 128);
}
BENCHMARK(BM_FourierBefore)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_FourierAfter(benchmark::State& state)
{
  FourierRun run;
  run.engine().setThreadCount(int(state.range(0)));
  const AnalyzeCond c = fourierArea();
  for (auto _ : state) {
    run.start(&c, g_fourierStack->view());
    run.engine().waitForEnd();
  }
  state.SetItemsProcessed(state.iterations() * 128 * 128);
}
BENCHMARK(BM_FourierAfter)
  ->ArgName("threads")
  ->Arg(1)
  ->Arg(2)
  ->Iterations(3)
  ->UseRealTime()
  ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
  QCoreApplication app(argc, argv);
  // Progress and "Res" lines would swamp the figures.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  g_saveStack = std::make_unique<GeneratedStack>(256, 256, kEnergies);
  g_fourierStack = std::make_unique<GeneratedStack>(128, 128, kEnergies);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  g_saveStack.reset();
  g_fourierStack.reset();
  return 0;
}
