// spectrumAt for a 21 x 21 box over 200 frames of 2048 x 2048, against the
// bare cost of reading the same pixels once: the same boxes summed in a
// tight loop over the rows of each frame.

#include "stack/StackSpectra.h"
#include "input/TiffData.h"
#include "input/TiffWriter.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kSize = 2048;
constexpr int kFrames = 200;
constexpr int kHalf = 10; // 21 x 21 box
constexpr int kPositions = 4096;

struct Fixture
{
  std::vector<std::unique_ptr<TiffData>> frames;
  StackView view;
  std::vector<QPoint> positions;

  Fixture()
  {
    std::vector<quint16> pixels(size_t(kSize) * kSize);
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x)
        pixels[size_t(y) * kSize + x] = quint16(1000 + (x * 7 + y * 13) % 3000);
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("frame.tif"));
    writeTiff16(name, kSize, kSize, pixels.data());
    for (int i = 0; i < kFrames; ++i) {
      auto f = std::make_unique<TiffData>();
      f->read(name);
      f->energy = 8900.0 + i;
      view.i1.append(f.get());
      frames.push_back(std::move(f));
    }
    view.width = kSize;
    view.height = kSize;
    // Scattered positions, so neither loop profits from a box left in cache.
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> at(kHalf, kSize - 1 - kHalf);
    for (int i = 0; i < kPositions; ++i)
      positions.emplace_back(at(rng), at(rng));
  }
};

Fixture& fixture()
{
  static Fixture f;
  return f;
}

void BM_SpectrumAt(benchmark::State& state)
{
  Fixture& f = fixture();
  size_t i = 0;
  for (auto _ : state) {
    const QPoint p = f.positions[i++ % f.positions.size()];
    benchmark::DoNotOptimize(spectrumAt(f.view, p.x(), p.y(), kHalf, kHalf));
  }
  state.counters["pixels/s"] =
    benchmark::Counter(double(state.iterations()) * kFrames * (2 * kHalf + 1) * (2 * kHalf + 1),
                       benchmark::Counter::kIsRate);
}

void BM_BareBoxLoop(benchmark::State& state)
{
  Fixture& f = fixture();
  size_t i = 0;
  std::vector<double> sums(kFrames);
  for (auto _ : state) {
    const QPoint p = f.positions[i++ % f.positions.size()];
    for (int k = 0; k < kFrames; ++k) {
      const TiffData* frame = f.frames[k].get();
      double sum = 0.0;
      for (int y = p.y() - kHalf; y <= p.y() + kHalf; ++y) {
        const quint16* row = static_cast<const quint16*>(frame->row(y));
        for (int x = p.x() - kHalf; x <= p.x() + kHalf; ++x)
          sum += row[x];
      }
      sums[k] = sum;
    }
    benchmark::DoNotOptimize(sums.data());
    benchmark::ClobberMemory();
  }
  state.counters["pixels/s"] =
    benchmark::Counter(double(state.iterations()) * kFrames * (2 * kHalf + 1) * (2 * kHalf + 1),
                       benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_SpectrumAt)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareBoxLoop)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
