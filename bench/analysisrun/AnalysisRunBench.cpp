// The LCF run over 256 x 256 points, bin 0, 100 energies, two references,
// the energy calibration over the same points, and the LCF run's parts per
// point: building the spectrum, normalising it, fitting it
// (references and normal matrix prepared once), the whole kernel. The whole
// run on the point-run engine is measured on 1 and 2 threads, in real time
// and in the CPU time of all the process's threads (on a shared machine the
// first depends on the other load, the second much less). Heap
// allocations per point of the kernel are counted by a replaced global
// operator new.
//
// With --dump=FILE it also writes the stack (I1, I0, dark, energies and the
// two references on the stack's grid) for the numpy baseline of
// bench/analysisrun/numpy_lcf.py.

#include "analysis/Analyzed2DRes.h"
#include "analysis/LcfKernel.h"
#include "analysis/LcfRun.h"
#include "analysis/PointRun.h"
#include "calibration/CalibKernel.h"
#include "input/TiffData.h"
#include "stack/AbsorptionRow.h"

#include "GeneratedStack.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>

namespace {
std::atomic<long long> g_allocations{ 0 };
} // namespace

void* operator new(std::size_t n)
{
  ++g_allocations;
  if (void* p = std::malloc(n ? n : 1))
    return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
  std::free(p);
}

namespace {

constexpr int kSize = 256;
constexpr int kEnergies = 100;

struct World
{
  GeneratedStack stack{ kSize, kSize, kEnergies };
  QVector<RefSnapshot> refs;
  PointSpectra spectra;
  std::unique_ptr<LcfKernel> kernel;
  std::vector<std::unique_ptr<Analyzed2DRes>> owned;
  LcfRunMaps maps;

  World()
  {
    for (int i = 0; i < 2; ++i)
      refs.append(stack.reference(i));
    spectra = PointSpectra(stack.view(), 1, -1.0);
    kernel = std::make_unique<LcfKernel>(spectra, refs, false, FitConditions());
    for (int i = 0; i < 5; ++i)
      owned.push_back(std::make_unique<Analyzed2DRes>(QStringLiteral("map")));
    maps.amounts = { owned[0].get(), owned[1].get() };
    maps.fractions = { owned[2].get(), owned[3].get() };
    maps.zansa = owned[4].get();
  }
};

World* world = nullptr;

RasterPoint pointAt(int i)
{
  RasterPoint p;
  p.cx = i % kSize;
  p.cy = (i / kSize) % kSize;
  p.inside = true;
  return p;
}

void BM_BuildSpectrum(benchmark::State& state)
{
  PointSpectra::Scratch scratch;
  int i = 0;
  for (auto _ : state) {
    world->spectra.sampler.spectrumAt(
      i % kSize, (i / kSize) % kSize, 0, 0, scratch.points, scratch.i0Sums);
    benchmark::DoNotOptimize(scratch.points);
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BuildSpectrum);

void BM_BuildAndNormalise(benchmark::State& state)
{
  PointSpectra::Scratch scratch;
  XafsSpectrum s;
  int i = 0;
  for (auto _ : state) {
    world->spectra.build(i % kSize, (i / kSize) % kSize, 0, 0, scratch, s);
    benchmark::DoNotOptimize(s);
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BuildAndNormalise);

void BM_Fit(benchmark::State& state)
{
  std::vector<fit::SampleTable> samples(256);
  for (int i = 0; i < 256; ++i)
    fillSampleTable(world->spectra.at((i * 37) % kSize, (i * 11) % kSize, 0, 0),
                    samples[size_t(i)]);
  fit::GridCache cache;
  double out[8];
  int i = 0;
  for (auto _ : state) {
    fit::fitInto(world->kernel->prepared(), samples[size_t(i++ % 256)], cache, out);
    benchmark::DoNotOptimize(out);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Fit);

void BM_Kernel(benchmark::State& state)
{
  std::unique_ptr<KernelScratch> scratch = world->kernel->makeScratch();
  double out[8];
  world->kernel->compute(pointAt(0), scratch.get(), out); // warm: grid cache, buffers
  int i = 0;
  const long long before = g_allocations.load();
  for (auto _ : state) {
    world->kernel->compute(pointAt(i++), scratch.get(), out);
    benchmark::DoNotOptimize(out);
  }
  state.counters["allocs/point"] =
    double(g_allocations.load() - before) / double(std::max<long long>(1, state.iterations()));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Kernel);

// The same in the engine's batches of neighbouring points.
void BM_KernelBatch(benchmark::State& state)
{
  constexpr int kBatch = PointRun::kBatchPoints;
  std::unique_ptr<KernelScratch> scratch = world->kernel->makeScratch();
  RasterPoint points[kBatch];
  double out[kBatch * 8];
  int i = 0;
  auto fill = [&] {
    for (int k = 0; k < kBatch; ++k)
      points[k] = pointAt(i++);
  };
  fill();
  world->kernel->computeBatch(points, kBatch, scratch.get(), out); // warm
  const long long before = g_allocations.load();
  for (auto _ : state) {
    fill();
    world->kernel->computeBatch(points, kBatch, scratch.get(), out);
    benchmark::DoNotOptimize(out);
  }
  state.counters["allocs/point"] = double(g_allocations.load() - before) /
                                   double(std::max<long long>(1, kBatch * state.iterations()));
  state.SetItemsProcessed(kBatch * state.iterations());
}
BENCHMARK(BM_KernelBatch);

void BM_WholeRun(benchmark::State& state)
{
  LcfRun run;
  run.engine().setThreadCount(int(state.range(0)));
  LcfRunSetup setup;
  setup.spectra = world->spectra;
  setup.refs = world->refs;
  AnalyzeCond cond;
  cond.setup(kSize, kSize, 0, 0, 0, 0, kSize, kSize);
  for (auto _ : state) {
    run.start(&cond, setup, world->maps);
    run.engine().waitForEnd();
  }
  state.SetItemsProcessed(state.iterations() * kSize * kSize);
}
BENCHMARK(BM_WholeRun)
  ->ArgName("threads")
  ->Arg(1)
  ->Arg(2)
  ->Iterations(3)
  ->MeasureProcessCPUTime()
  ->UseRealTime()
  ->Unit(benchmark::kMillisecond);

// The energy calibration over the same area: one edge position a point.
void BM_CalibRun(benchmark::State& state)
{
  PointRun run;
  run.setThreadCount(int(state.range(0)));
  auto kernel = std::make_shared<CalibPointKernel>(world->spectra, world->refs[0].spectrum.midx);
  AnalyzeCond cond;
  cond.setup(kSize, kSize, 0, 0, 0, 0, kSize, kSize);
  double sum = 0.0;
  for (auto _ : state) {
    run.start(cond, kernel, [&sum](const RasterPoint&, const double* v) { sum += v[0]; });
    run.waitForEnd();
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kSize * kSize);
}
BENCHMARK(BM_CalibRun)
  ->ArgName("threads")
  ->Arg(1)
  ->Arg(2)
  ->Iterations(3)
  ->UseRealTime()
  ->Unit(benchmark::kMillisecond);

// The fit alone and the whole run with the fractions held to a sum of 1
// (mode 1) and also to non-negative values (mode 2), against the free fit
// (mode 0). The counter "negative" is the share of the samples whose free
// fit has a negative fraction: the points where the bound re-solves.
FitConditions constrainedConditions(int mode)
{
  FitConditions c;
  c.sumToOne = mode >= 1;
  c.nonNegative = mode >= 2;
  return c;
}

void BM_FitConstrained(benchmark::State& state)
{
  const int mode = int(state.range(0));
  const LcfKernel kernel(world->spectra, world->refs, false, constrainedConditions(mode));
  std::vector<fit::SampleTable> samples(256);
  for (int i = 0; i < 256; ++i)
    fillSampleTable(world->spectra.at((i * 37) % kSize, (i * 11) % kSize, 0, 0),
                    samples[size_t(i)]);
  fit::GridCache cache;
  double out[8];
  int negative = 0;
  for (const fit::SampleTable& t : samples) {
    fit::fitInto(world->kernel->prepared(), t, cache, out);
    negative += out[3] < 0.0 || out[4] < 0.0 ? 1 : 0;
  }
  state.counters["negative"] = negative / 256.0;
  int i = 0;
  for (auto _ : state) {
    fit::fitInto(kernel.prepared(), samples[size_t(i++ % 256)], cache, out);
    benchmark::DoNotOptimize(out);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FitConstrained)->ArgName("mode")->Arg(0)->Arg(1)->Arg(2);

void BM_WholeRunConstrained(benchmark::State& state)
{
  LcfRun run;
  run.engine().setThreadCount(int(state.range(1)));
  LcfRunSetup setup;
  setup.spectra = world->spectra;
  setup.refs = world->refs;
  setup.fit = constrainedConditions(int(state.range(0)));
  AnalyzeCond cond;
  cond.setup(kSize, kSize, 0, 0, 0, 0, kSize, kSize);
  for (auto _ : state) {
    run.start(&cond, setup, world->maps);
    run.engine().waitForEnd();
  }
  state.SetItemsProcessed(state.iterations() * kSize * kSize);
}
BENCHMARK(BM_WholeRunConstrained)
  ->ArgNames({ "mode", "threads" })
  ->Args({ 0, 1 })
  ->Args({ 2, 1 })
  ->Args({ 0, 2 })
  ->Args({ 2, 2 })
  ->Iterations(3)
  ->UseRealTime()
  ->Unit(benchmark::kMillisecond);

// Raw little-endian dump: int32 width, height, energies; doubles energies;
// float32 I1, I0 (energies x height x width), dark (height x width); the
// two references' double-normalised values on the energies.
bool dump(const QString& path)
{
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly))
    return false;
  const StackView v = world->stack.view();
  const qint32 head[3] = { kSize, kSize, qint32(v.i1.size()) };
  f.write(reinterpret_cast<const char*>(head), sizeof head);
  for (const TiffData* t : v.i1)
    f.write(reinterpret_cast<const char*>(&t->energy), sizeof(double));
  auto frame = [&](const TiffData* t) {
    std::vector<float> px(size_t(kSize) * kSize);
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x)
        px[size_t(y) * kSize + x] = float(t->value(x, y));
    f.write(reinterpret_cast<const char*>(px.data()), qint64(px.size() * sizeof(float)));
  };
  for (const TiffData* t : v.i1)
    frame(t);
  for (const TiffData* t : v.i0)
    frame(t);
  frame(v.dark);
  for (const RefSnapshot& r : world->refs)
    for (const TiffData* t : v.i1) {
      const double d = r.spectrum.doubleNormalizedPreBase(t->energy);
      f.write(reinterpret_cast<const char*>(&d), sizeof d);
    }
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
    if (a.startsWith("--dump="))
      return dump(a.mid(7)) ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  // Which SIMD path the spectra's logarithm took on this machine.
  benchmark::AddCustomContext("absorption_simd", absorptionRowPath());
  benchmark::RunSpecifiedBenchmarks();
  world = nullptr;
  return 0;
}
