#pragma once

#include <QMetaType>
#include <QRect>
#include <QVector>

// The raster cursor of every point-by-point run over a selected area: block
// centres (cx, cy) step through [x0, x1) x [y0, y1); each point stands for the
// block [cx-bx, cx+bx] x [cy-by, cy+by]. A plain value passed by copy.
struct AnalyzeCond
{
  int width = 0;
  int height = 0;
  int bx = 0;
  int by = 0;
  int x0 = 0;
  int x1 = 0;
  int stepX = 1;
  int y0 = 0;
  int y1 = 0;
  int stepY = 1;
  int cx = 0;
  int cy = 0;
  bool newRow = true;

  // The area (x, y, w, h) is cut to the image, so a selection dragged past an
  // edge never makes a run read or write outside the maps. Negative half
  // widths count as 0 and a step that is not positive means 2*b+1 (a zero or
  // negative step would never finish a row).
  void setup(int width,
             int height,
             int bx,
             int by,
             double x,
             double y,
             double w,
             double h,
             int stepX = -1,
             int stepY = -1);
  void reset();
  // Moves to the next point; false after the last one.
  bool next();
  // Whether the current block centre lies on the image. The first point of a
  // row is always visited, even where the area is narrower than a block, so
  // callers skip (or record 0 for) points off the image.
  bool pointInside() const;
  // Writes `value` into the current block of a width x height image, cut to
  // the image.
  void fill(QVector<double>& image, double value) const;
  // Number of points per row and of rows of the raster.
  int columns() const;
  int rows() const;
  // The pixels the raster's blocks read, from the first block's left and
  // top edge to the last block's right and bottom edge, cut to the image;
  // null for an empty raster.
  QRect blockSpan() const;
};

// Writes `value` into the block [cx-bx, cx+bx] x [cy-by, cy+by] of a
// width x height image of doubles, cut to the image (negative half widths
// count by their absolute value).
void fillBlock(QVector<double>& image,
               int width,
               int height,
               int cx,
               int cy,
               int bx,
               int by,
               double value);

Q_DECLARE_METATYPE(AnalyzeCond)
