#include "analysis/PointRun.h"

#include <QElapsedTimer>
#include <QMetaObject>

#include <algorithm>
#include <atomic>
#include <cstdlib>

namespace {

// Tiles a worker may finish ahead of the recorder, per thread: enough to keep
// every thread busy while the owner records, few enough that a run whose
// points write many values (whole spectra) holds only a few tiles at a time.
constexpr int kTilesAheadPerThread = 4;

// The most values per point batched (a kernel writing more, a whole
// spectrum, gets its points one by one).
constexpr int kBatchStrideMax = 64;

// The owner records for at most this long per call, so its event loop keeps
// answering.
constexpr int kRecordSliceMs = 20;

} // namespace

void PointKernel::computeBatch(const RasterPoint* points,
                               int count,
                               KernelScratch* scratch,
                               double* out) const
{
  const int stride = valuesPerPoint();
  for (int k = 0; k < count; ++k)
    compute(points[k], scratch, out + size_t(k) * size_t(stride));
}

PointRaster::PointRaster(const AnalyzeCond& cond)
  : m_cond(cond)
  , m_columns(cond.columns())
  , m_rows(cond.rows())
{
  m_cond.reset();
}

RasterPoint PointRaster::at(int index) const
{
  RasterPoint p;
  p.index = index;
  p.row = m_columns > 0 ? index / m_columns : 0;
  const int col = m_columns > 0 ? index % m_columns : 0;
  // 64-bit: centres far past the image must not wrap into it.
  const qint64 cx = qint64(m_cond.bx) + m_cond.x0 + qint64(col) * std::max(1, m_cond.stepX);
  const qint64 cy = qint64(m_cond.by) + m_cond.y0 + qint64(p.row) * std::max(1, m_cond.stepY);
  p.inside = cx >= 0 && cx < m_cond.width && cy >= 0 && cy < m_cond.height;
  p.cx = int(std::min<qint64>(cx, INT32_MAX));
  p.cy = int(std::min<qint64>(cy, INT32_MAX));
  p.newRow = col == 0;
  p.bx = m_cond.bx;
  p.by = m_cond.by;
  return p;
}

double PointRaster::progressAt(int row) const
{
  const int span = m_cond.y1 - m_cond.y0;
  if (span <= 0)
    return 100.0;
  const double cy = double(m_cond.by) + m_cond.y0 + double(row) * std::max(1, m_cond.stepY);
  return (cy - m_cond.y0) * 100.0 / span;
}

PointRun::PointRun(QObject* parent)
  : QObject(parent)
{
}

PointRun::~PointRun()
{
  m_stop = true;
  m_tileDone.notify_all();
  joinWorkers();
}

int PointRun::defaultThreadCount()
{
  return std::max(1, int(std::thread::hardware_concurrency()));
}

void PointRun::start(const AnalyzeCond& cond,
                     std::shared_ptr<const PointKernel> kernel,
                     Recorder recorder)
{
  if (m_running)
    stop();
  ++m_generation;
  m_raster = PointRaster(cond);
  m_kernel = std::move(kernel);
  m_recorder = std::move(recorder);
  m_stride = m_kernel ? std::max(0, m_kernel->valuesPerPoint()) : 0;
  const int points = m_raster.count();
  m_tilePoints = m_tileWanted > 0 ? m_tileWanted : std::max(1, m_raster.columns());
  m_tileCount = points > 0 ? (points + m_tilePoints - 1) / m_tilePoints : 0;
  m_recordedPoints = 0;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_tiles.clear();
    m_tiles.resize(size_t(m_tileCount));
    m_nextToRecord = 0;
    m_drainPosted = false;
  }
  m_nextTile = 0;
  m_stop = false;
  m_running = true;
  if (m_tileCount == 0 || !m_kernel) {
    finish(true);
    return;
  }
  const int threads =
    std::clamp(m_threadsWanted > 0 ? m_threadsWanted : defaultThreadCount(), 1, m_tileCount);
  m_threadCount = threads;
  m_workers.reserve(size_t(threads));
  for (int t = 0; t < threads; ++t)
    m_workers.emplace_back(&PointRun::work, this, t);
}

void PointRun::work(int /*worker*/)
{
  std::unique_ptr<KernelScratch> scratch = m_kernel->makeScratch();
  const int window = kTilesAheadPerThread * m_threadCount;
  for (;;) {
    if (m_stop)
      return;
    const int tile = m_nextTile.fetch_add(1);
    if (tile >= m_tileCount)
      return;
    {
      // Back-pressure: do not run too far ahead of the recorder.
      std::unique_lock<std::mutex> lock(m_mutex);
      m_tileDone.wait(lock, [&] { return m_stop || tile - m_nextToRecord < window; });
      if (m_stop)
        return;
    }
    const int first = tile * m_tilePoints;
    const int count = std::min(m_tilePoints, m_raster.count() - first);
    std::vector<double> values(size_t(count) * size_t(m_stride), 0.0);
    // Inside points go to the kernel in small batches of neighbours.
    RasterPoint batch[kBatchPoints];
    int slotOf[kBatchPoints];
    double batchValues[kBatchPoints * kBatchStrideMax];
    const bool batched = m_stride <= kBatchStrideMax;
    int inBatch = 0;
    auto flush = [&] {
      if (inBatch == 0)
        return;
      m_kernel->computeBatch(batch, inBatch, scratch.get(), batchValues);
      for (int b = 0; b < inBatch; ++b)
        std::copy(batchValues + size_t(b) * m_stride,
                  batchValues + size_t(b + 1) * m_stride,
                  values.data() + size_t(slotOf[b]) * size_t(m_stride));
      inBatch = 0;
    };
    for (int k = 0; k < count; ++k) {
      const RasterPoint p = m_raster.at(first + k);
      if (!p.inside)
        continue;
      if (!batched) {
        m_kernel->compute(p, scratch.get(), values.data() + size_t(k) * size_t(m_stride));
        continue;
      }
      batch[inBatch] = p;
      slotOf[inBatch] = k;
      if (++inBatch == kBatchPoints)
        flush();
    }
    flush();
    bool post = false;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_tiles[size_t(tile)].values = std::move(values);
      m_tiles[size_t(tile)].done = true;
      if (tile == m_nextToRecord && !m_drainPosted) {
        m_drainPosted = true;
        post = true;
      }
    }
    m_tileDone.notify_all();
    if (post)
      postDrain();
  }
}

void PointRun::postDrain()
{
  const quint64 generation = m_generation;
  QMetaObject::invokeMethod(
    this,
    [this, generation] {
      if (generation == m_generation)
        drain();
    },
    Qt::QueuedConnection);
}

void PointRun::drain()
{
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_drainPosted = false;
  }
  if (!m_running)
    return;
  if (!recordReady(kRecordSliceMs))
    return;
  // More finished tiles wait: come back after the event loop had its turn.
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_nextToRecord < m_tileCount && m_tiles[size_t(m_nextToRecord)].done && !m_drainPosted) {
    m_drainPosted = true;
    postDrain();
  }
}

bool PointRun::recordReady(int budgetMs)
{
  QElapsedTimer clock;
  clock.start();
  const quint64 generation = m_generation;
  for (;;) {
    std::vector<double> values;
    int tile = 0;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (m_nextToRecord >= m_tileCount || !m_tiles[size_t(m_nextToRecord)].done)
        return true;
      tile = m_nextToRecord;
      values.swap(m_tiles[size_t(tile)].values);
    }
    const int first = tile * m_tilePoints;
    const int count = std::min(m_tilePoints, m_raster.count() - first);
    for (int k = 0; k < count; ++k) {
      const RasterPoint p = m_raster.at(first + k);
      if (p.newRow && p.row > 0) {
        emit rowStarted(p.row, m_raster.progressAt(p.row));
        // A slot may stop the run or start another one.
        if (!m_running || generation != m_generation)
          return false;
      }
      if (p.inside && m_recorder) {
        m_recorder(p, values.data() + size_t(k) * size_t(m_stride));
        ++m_recordedPoints;
      }
    }
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      ++m_nextToRecord;
    }
    m_tileDone.notify_all();
    if (m_nextToRecord >= m_tileCount) {
      finish(true);
      return false;
    }
    if (budgetMs >= 0 && clock.elapsed() >= budgetMs)
      return true;
  }
}

void PointRun::waitForEnd()
{
  while (m_running) {
    {
      std::unique_lock<std::mutex> lock(m_mutex);
      m_tileDone.wait(lock, [&] {
        return m_stop || m_nextToRecord >= m_tileCount || m_tiles[size_t(m_nextToRecord)].done;
      });
    }
    if (!recordReady(-1))
      return;
  }
}

void PointRun::stop()
{
  if (!m_running)
    return;
  m_stop = true;
  m_tileDone.notify_all();
  joinWorkers();
  finish(false);
}

void PointRun::joinWorkers()
{
  for (std::thread& t : m_workers)
    if (t.joinable())
      t.join();
  m_workers.clear();
}

void PointRun::finish(bool completed)
{
  m_stop = true;
  m_tileDone.notify_all();
  joinWorkers();
  m_running = false;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_tiles.clear();
    m_tiles.shrink_to_fit();
  }
  emit ended(completed);
}
