// Loading a stack from one HDF5 file against loading the same frames from
// TIFF files.
//
// 200 frames of 2048 x 2048 16-bit counts are written once, at start, into a
// temporary folder: as 200 TIFF files and as one HDF5 file laid out as
// tomography beamlines write them ("/exchange/data", one chunk per frame,
// "/exchange/energy"). Both are then read by the program's own loaders (the
// TIFF loader on its thread, as a "load" command does; the HDF5 reader as
// `load_hdf5_stack` does), from the page cache, and the ratio of the two
// times is printed.

#include "input/Hdf5Stack.h"
#include "input/TiffData.h"

#include "LoadTiffTiming.h"
#include "StackGen.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <hdf5.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kSide = 2048;
constexpr int kFrames = 200;
QStringList g_tiffs;
QString g_hdf5;
double g_tiffSeconds = 0.0;
double g_hdf5Seconds = 0.0;

quint16 countAt(int x, int y, int k)
{
  return quint16((x + 3 * y + 11 * k) & 0xffff);
}

// The frames as one dataset (frame, y, x), written a frame at a time so the
// generator never holds more than one frame.
bool writeHdf5(const QString& path, const QVector<double>& energies)
{
  const hid_t file =
    H5Fcreate(QFile::encodeName(path).constData(), H5F_ACC_TRUNC, H5P_DEFAULT, H5P_DEFAULT);
  if (file < 0)
    return false;
  const hid_t group = H5Gcreate2(file, "exchange", H5P_DEFAULT, H5P_DEFAULT, H5P_DEFAULT);
  const hsize_t dims[3] = { kFrames, kSide, kSide };
  const hsize_t chunk[3] = { 1, kSide, kSide };
  const hid_t space = H5Screate_simple(3, dims, nullptr);
  const hid_t plist = H5Pcreate(H5P_DATASET_CREATE);
  H5Pset_chunk(plist, 3, chunk);
  const hid_t data =
    H5Dcreate2(group, "data", H5T_STD_U16LE, space, H5P_DEFAULT, plist, H5P_DEFAULT);
  std::vector<quint16> frame(size_t(kSide) * kSide);
  const hid_t mem = H5Screate_simple(3, chunk, nullptr);
  bool ok = data >= 0;
  for (int k = 0; ok && k < kFrames; ++k) {
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x)
        frame[size_t(y) * kSide + x] = countAt(x, y, k);
    const hsize_t start[3] = { hsize_t(k), 0, 0 };
    H5Sselect_hyperslab(space, H5S_SELECT_SET, start, nullptr, chunk, nullptr);
    ok = H5Dwrite(data, H5T_NATIVE_USHORT, mem, space, H5P_DEFAULT, frame.data()) >= 0;
  }
  const hsize_t n = hsize_t(energies.size());
  const hid_t eSpace = H5Screate_simple(1, &n, nullptr);
  const hid_t energy =
    H5Dcreate2(group, "energy", H5T_IEEE_F64LE, eSpace, H5P_DEFAULT, H5P_DEFAULT, H5P_DEFAULT);
  ok = ok && H5Dwrite(
               energy, H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT, energies.constData()) >= 0;
  H5Dclose(energy);
  H5Sclose(eSpace);
  H5Sclose(mem);
  H5Dclose(data);
  H5Pclose(plist);
  H5Sclose(space);
  H5Gclose(group);
  return H5Fclose(file) >= 0 && ok;
}

void BM_LoadTiffFiles(benchmark::State& state)
{
  benchsupport::timeLoadTiff(state, g_tiffs, true);
}

void BM_ReadHdf5Stack(benchmark::State& state)
{
  for (auto _ : state) {
    auto stack = std::make_unique<Hdf5Stack>();
    if (!readHdf5Stack(g_hdf5, Hdf5StackNames(), *stack) || int(stack->i1.size()) != kFrames)
      state.SkipWithError("HDF5 stack not read");
    benchmark::DoNotOptimize(stack->i1.data());
    state.PauseTiming();
    stack.reset();
    state.ResumeTiming();
  }
  state.counters["frames/s"] =
    benchmark::Counter(double(kFrames) * state.iterations(), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_LoadTiffFiles)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ReadHdf5Stack)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

namespace {

class RatioReporter : public benchmark::ConsoleReporter
{
public:
  void ReportRuns(const std::vector<Run>& runs) override
  {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      const double each = r.real_accumulated_time / double(r.iterations);
      if (r.benchmark_name().find("Tiff") != std::string::npos)
        g_tiffSeconds = each;
      else if (r.benchmark_name().find("Hdf5") != std::string::npos)
        g_hdf5Seconds = each;
    }
  }
};

} // namespace

int main(int argc, char** argv)
{
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  QTemporaryDir dir;
  if (!dir.isValid())
    return 1;
  QVector<double> energies;
  for (int k = 0; k < kFrames; ++k)
    energies << 8900.0 + 0.5 * k;
  std::fprintf(stderr,
               "writing %d frames of %d x %d as TIFF files and as one HDF5 file into %s\n",
               kFrames,
               kSide,
               kSide,
               qPrintable(dir.path()));
  g_tiffs = stackgen::writeSimpleStack(
    dir.path(), "B", stackgen::Format::Tiff, kSide, kSide, energies, [](int x, int y, int k) {
      return quint32(countAt(x, y, k));
    });
  g_hdf5 = dir.filePath("stack.h5");
  if (g_tiffs.size() != kFrames || !writeHdf5(g_hdf5, energies))
    return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  if (g_tiffSeconds > 0 && g_hdf5Seconds > 0)
    std::printf(
      "HDF5 stack / TIFF files load time (%d frames of %d x %d): %.3f s / %.3f s = %.2f\n",
      kFrames,
      kSide,
      kSide,
      g_hdf5Seconds,
      g_tiffSeconds,
      g_hdf5Seconds / g_tiffSeconds);
  benchmark::Shutdown();
  return 0;
}
