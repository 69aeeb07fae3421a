#pragma once

#include <pybind11/numpy.h>

#include "analysis/PointRun.h"

#include <QVector>

// Runs over an area for callers without an event loop (Python): the engine's
// threads compute, the calling thread records in raster order, so the maps
// are those of the program's runs for any thread count.

// The raster of a run: half widths (bx, by) and the area (x, y, w, h) cut
// to the frames as the program cuts a selection. Throws ValueError for a
// negative half width or an area that does not reach into the frames.
AnalyzeCond pointArea(int width, int height, int bx, int by, const QVector<double>& region);

// Starts `kernel` over `cond` on `threads` threads (0: every core) and
// returns when the last point is recorded.
void runPoints(const AnalyzeCond& cond,
               std::shared_ptr<const PointKernel> kernel,
               int threads,
               const PointRun::Recorder& recorder);

// A width x height map of doubles as a (height, width) numpy array.
pybind11::array_t<double> mapArray(const QVector<double>& values, int width, int height);
