#pragma once

// Times the program's TIFF loader as a "load" command runs it: LoadTiff on
// its own thread, the frames handed over by queued signal, one load of
// `files` per benchmark iteration. Shared by the benchmarks that compare a
// load against another reader.

#include "input/LoadTiff.h"
#include "input/TiffData.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace benchsupport {

// With `keepStack` the frames stay until the iteration's load ends, as the
// program keeps a stack (freeing each on arrival lets the next reuse its
// memory, which a real load never can); they are freed outside the timing.
// Without it each frame is freed as it arrives. Reports "frames/s".
inline void timeLoadTiff(benchmark::State& state, const QStringList& files, bool keepStack)
{
  QThread thread;
  LoadTiff* loader = new LoadTiff;
  loader->moveToThread(&thread);
  QObject::connect(&thread, &QThread::finished, loader, &QObject::deleteLater);
  QObject receiver;
  int received = 0;
  std::vector<std::unique_ptr<TiffData>> stack;
  QObject::connect(loader, &LoadTiff::loaded, &receiver, [&](TiffData* d, int) {
    std::unique_ptr<TiffData> frame(d);
    if (keepStack)
      stack.push_back(std::move(frame));
    ++received;
  });
  thread.start();
  for (auto _ : state) {
    QEventLoop loop;
    QObject::connect(loader, &LoadTiff::finishLoadFiles, &loop, &QEventLoop::quit);
    QMetaObject::invokeMethod(loader, [&] { loader->loadTiffs(files, 1, 0, 0); });
    loop.exec();
    QCoreApplication::sendPostedEvents(&receiver, QEvent::MetaCall);
    if (keepStack) {
      state.PauseTiming();
      stack.clear();
      state.ResumeTiming();
    }
  }
  LoadTiff::shutDown(loader, &thread, &receiver);
  const int frames = files.size();
  if (received != frames * state.iterations())
    state.SkipWithError("frames missing");
  state.counters["frames/s"] =
    benchmark::Counter(double(frames) * state.iterations(), benchmark::Counter::kIsRate);
}

} // namespace benchsupport
