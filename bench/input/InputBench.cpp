// Frame loading and sampling speed.
//
// Load: 100 frames of 2048 x 2048 16-bit TIFF, written into a temporary
// folder at start and removed at the end, read through LoadTiff on its own
// thread and, for comparison in the same run, by a bare libtiff scan-line
// loop. Sample: a 21 x 21 box summed on each of 200 frames.

#include "input/TiffData.h"

#include "LoadTiffTiming.h"
#include "StackGen.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kSide = 2048;
constexpr int kFrames = 100;
QStringList g_files;
double g_bareSeconds = 0;   // per frame
double g_loaderSeconds = 0; // per frame

void BM_BareLibtiffLoop(benchmark::State& state)
{
  for (auto _ : state) {
    for (const QString& name : g_files) {
      TIFF* tif = TIFFOpen(QFile::encodeName(name).constData(), "r");
      uint32_t h = 0;
      TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
      const tmsize_t size = TIFFScanlineSize(tif);
      std::vector<void*> rows(h);
      for (uint32_t r = 0; r < h; ++r) {
        rows[r] = _TIFFmalloc(size);
        TIFFReadScanline(tif, rows[r], r, 0);
      }
      benchmark::DoNotOptimize(rows.data());
      for (void* p : rows)
        _TIFFfree(p);
      TIFFClose(tif);
    }
  }
  state.counters["frames/s"] =
    benchmark::Counter(double(kFrames) * state.iterations(), benchmark::Counter::kIsRate);
}

// The reader alone on the calling thread: separates the reader's own cost
// from the thread hand-over.
void BM_TiffDataRead(benchmark::State& state)
{
  for (auto _ : state) {
    for (const QString& name : g_files) {
      TiffData d;
      benchmark::DoNotOptimize(d.read(name));
    }
  }
  state.counters["frames/s"] =
    benchmark::Counter(double(kFrames) * state.iterations(), benchmark::Counter::kIsRate);
}

void BM_LoadTiff(benchmark::State& state)
{
  benchsupport::timeLoadTiff(state, g_files, false);
}

void BM_Sample21x21Over200Frames(benchmark::State& state)
{
  static std::vector<std::unique_ptr<TiffData>> frames;
  if (frames.empty()) {
    QTemporaryDir dir;
    const QStringList files = stackgen::writeSimpleStack(
      dir.path(),
      "S",
      stackgen::Format::Tiff,
      256,
      256,
      QVector<double>(200, 9000.0),
      [](int x, int y, int k) { return quint32((x * 7 + y * 13 + k) % 60000); });
    for (const QString& f : files) {
      frames.push_back(std::make_unique<TiffData>());
      frames.back()->read(f);
    }
  }
  int x = 10, y = 10;
  for (auto _ : state) {
    double sum = 0;
    for (const auto& f : frames)
      sum += f->sample(x, y, 10, 10);
    benchmark::DoNotOptimize(sum);
    x = 10 + (x + 37) % 236;
    y = 10 + (y + 53) % 236;
  }
  const double pixels = 200.0 * 21 * 21;
  state.counters["ns/pixel"] = benchmark::Counter(
    pixels * state.iterations(), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_BareLibtiffLoop)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_TiffDataRead)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_LoadTiff)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Sample21x21Over200Frames);

// Records the per-frame times of the two load benchmarks for the ratio.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
  void ReportRuns(const std::vector<Run>& runs) override
  {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      const double perFrame = r.real_accumulated_time / double(r.iterations) / kFrames;
      if (r.benchmark_name().find("BareLibtiff") != std::string::npos)
        g_bareSeconds = perFrame;
      else if (r.benchmark_name().find("LoadTiff") != std::string::npos)
        g_loaderSeconds = perFrame;
    }
  }
};

int main(int argc, char** argv)
{
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  QTemporaryDir dir;
  if (!dir.isValid())
    return 1;
  QVector<double> energies;
  for (int k = 0; k < kFrames; ++k)
    energies << 8900.0 + k;
  std::fprintf(stderr,
               "writing %d frames of %d x %d into %s\n",
               kFrames,
               kSide,
               kSide,
               qPrintable(dir.path()));
  g_files = stackgen::writeSimpleStack(
    dir.path(), "B", stackgen::Format::Tiff, kSide, kSide, energies, [](int x, int y, int k) {
      return quint32((x + 3 * y + 11 * k) & 0xffff);
    });
  if (g_files.size() != kFrames)
    return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  if (g_bareSeconds > 0 && g_loaderSeconds > 0)
    std::printf("LoadTiff / bare libtiff loop time per frame: %.3f\n",
                g_loaderSeconds / g_bareSeconds);
  benchmark::Shutdown();
  return 0; // the temporary folder and its frames go with `dir`
}
