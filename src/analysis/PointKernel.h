#pragma once

#include "analysis/AnalyzeCond.h"

#include <memory>

// One point of a run's raster, in raster order: `index` counts every point
// of the raster (inside the image or not), row by row.
struct RasterPoint
{
  int index = 0;
  int row = 0;
  int cx = 0;
  int cy = 0;
  int bx = 0; // the block's half widths
  int by = 0;
  bool inside = false; // the block centre lies on the image
  bool newRow = false; // first point of a row
};

// The raster of an AnalyzeCond as an indexed list: point k is the k-th point
// the cursor's `next` visits, so any thread can find its points without
// walking the cursor.
class PointRaster
{
public:
  PointRaster() = default;
  explicit PointRaster(const AnalyzeCond& cond);

  const AnalyzeCond& cond() const { return m_cond; }
  int columns() const { return m_columns; }
  int rows() const { return m_rows; }
  int count() const { return m_columns * m_rows; }
  RasterPoint at(int index) const;
  // Progress shown when row `row` starts: the share of the area's height
  // passed, in per cent; 100 for an area without height.
  double progressAt(int row) const;

private:
  AnalyzeCond m_cond;
  int m_columns = 0;
  int m_rows = 0;
};

// Per-thread working memory of a kernel, made once per worker thread per run
// so the inner loop allocates nothing.
class KernelScratch
{
public:
  virtual ~KernelScratch() = default;
};

// The per-point computation of a run: plain values in, a fixed number of
// doubles out. `compute` runs on any worker thread at once and must only read
// the kernel's own (run-constant) data and its scratch, so the answer of a
// point does not depend on which thread computed it or when.
class PointKernel
{
public:
  virtual ~PointKernel() = default;
  // Doubles each point writes.
  virtual int valuesPerPoint() const = 0;
  virtual std::unique_ptr<KernelScratch> makeScratch() const { return nullptr; }
  // Called only for points inside the image.
  virtual void compute(const RasterPoint& p, KernelScratch* scratch, double* out) const = 0;
  // A few neighbouring points at once (all inside the image), their values
  // one after the other in `out`. A kernel that reads the frames overrides
  // it to read each frame once for all of them; the values must be those of
  // `compute`.
  virtual void computeBatch(const RasterPoint* points,
                            int count,
                            KernelScratch* scratch,
                            double* out) const;
};
