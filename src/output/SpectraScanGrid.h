#pragma once

#include "analysis/AnalyzeCond.h"

#include <QByteArray>
#include <QRectF>
#include <QString>

// The grid of blocks whose spectra go into one per-point spectra file. The
// region is not cut to the image: blocks past its edges are written with
// their coordinates only, so a file always shows the region asked for.
struct SpectraScanGrid
{
  int width = 0; // of the first I1 frame
  int height = 0;
  int hw = 0; // bin half width and height
  int hh = 0;
  int x0 = 0;
  int x1 = 0;
  int y0 = 0;
  int y1 = 0;

  // Extents truncated towards zero and put in order. Negative half widths
  // count as 0: a step of 2*hw+1 below 1 would never end a row.
  static SpectraScanGrid from(int width, int height, int hw, int hh, const QRectF& region);

  int dX() const { return 2 * hw + 1; }
  int dY() const { return 2 * hh + 1; }
  // The counts the header states: (x1 - x0 - hw - 1) / dX + 1 (integer
  // division), and the same along y.
  int nx() const { return (x1 - x0 - hw - 1) / dX() + 1; }
  int ny() const { return (y1 - y0 - hh - 1) / dY() + 1; }
  // Blocks the scan visits: the first block of a row and the first row are
  // always visited, even in an empty region.
  qint64 blocks() const;
  // The raster cursor that walks the grid (first block at x0 + hw, y0 + hh).
  AnalyzeCond cond() const;
};

// The three layouts of a per-point spectra file.
enum class SpectraFormat
{
  NormalizedXafs,
  RawXafs,
  Raw
};

// The seven header lines of a spectra file, each ended by a newline.
QByteArray spectraHeader(SpectraFormat format, const SpectraScanGrid& grid);

// The file a save writes: the name with ".dat" added when it has no
// extension, as an absolute path.
QString spectraFileName(const QString& fname);

// Appends `v` as printf "%g" writes it (six significant digits, "nan",
// "inf").
void appendNumberG(QByteArray& out, double v);
