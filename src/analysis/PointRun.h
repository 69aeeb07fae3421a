#pragma once

#include "analysis/PointKernel.h"

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// The one engine behind every run over the points of an area. The raster is
// cut into tiles of consecutive points; a pool of threads computes the tiles
// with the run's kernel; the results are handed to the recorder on the
// thread that owns the engine, strictly in raster order. So maps, their
// extremes and positions, progress and log lines come out exactly as from a
// one-point-at-a-time loop, whatever the thread count or tile size.
//
// Every start ends exactly once with `ended`: at the last point, by `stop`,
// by a new start, or at once for an empty raster. A stop is honoured between
// tiles; the recorder never sees a point after the stop. The event loop of
// the owning thread stays free: results are recorded in slices of bounded
// time from queued calls.
class PointRun : public QObject
{
  Q_OBJECT

public:
  // Called in raster order on the owner's thread, for points inside the
  // image, with the kernel's values of the point.
  using Recorder = std::function<void(const RasterPoint& p, const double* values)>;

  // Neighbouring points a kernel gets at once (fewer at the end of a tile).
  static constexpr int kBatchPoints = 32;

  explicit PointRun(QObject* parent = nullptr);
  // Stops a run and joins its threads.
  ~PointRun() override;

  // Threads of the next runs; 0 takes `defaultThreadCount()`.
  void setThreadCount(int threads) { m_threadsWanted = threads; }
  // Points per tile of the next runs; 0 takes one row of the raster.
  void setTilePoints(int points) { m_tileWanted = points; }
  bool isRunning() const { return m_running; }
  const PointRaster& raster() const { return m_raster; }
  // Points recorded so far in the current (or last) run.
  int pointsRecorded() const { return m_recordedPoints; }
  int threadsInUse() const { return int(m_workers.size()); }

  // Starts `kernel` over `cond`; returns at once. A running run is stopped
  // first.
  void start(const AnalyzeCond& cond, std::shared_ptr<const PointKernel> kernel, Recorder recorder);
  // Ends the running run, if any: waits for the tiles being computed (never
  // more than one tile per thread), records nothing more, emits `ended`.
  void stop();
  // Blocks until the running run has recorded its last point or was stopped,
  // recording on the calling (owner) thread; for headless callers and tests.
  void waitForEnd();

  // The thread count taken when none was set: every hardware thread. Who
  // starts runs passes the user's choice (setting, environment) with
  // setThreadCount; nothing changes this default.
  static int defaultThreadCount();

signals:
  // The first point of row `row` (after the first row) is next to record;
  // `percent` is the share of the area's height passed.
  void rowStarted(int row, double percent);
  void ended(bool completed);

private:
  struct Tile
  {
    std::vector<double> values;
    bool done = false;
  };

  void work(int worker);
  void drain();
  // Records the points of tiles finished in order until `budgetMs` passes;
  // false when the run ended meanwhile.
  bool recordReady(int budgetMs);
  void postDrain();
  void joinWorkers();
  void finish(bool completed);

  PointRaster m_raster;
  std::shared_ptr<const PointKernel> m_kernel;
  Recorder m_recorder;
  int m_threadsWanted = 0;
  int m_tileWanted = 0;
  int m_tilePoints = 1;
  int m_tileCount = 0;
  int m_threadCount = 1;
  int m_stride = 0;
  bool m_running = false;
  int m_recordedPoints = 0;
  quint64 m_generation = 0;

  // Shared with the workers.
  std::mutex m_mutex;
  std::condition_variable m_tileDone;
  std::vector<Tile> m_tiles;
  std::atomic<int> m_nextTile{ 0 };
  std::atomic<bool> m_stop{ false };
  bool m_drainPosted = false;
  int m_nextToRecord = 0;
  std::vector<std::thread> m_workers;
};
