#pragma once

#include "analysis/PointKernel.h"
#include "stack/StackSpectra.h"

#include <QPair>
#include <QVector>

class Analyzed2DRes;

// A map's values as a kernel reads them: a copy (implicitly shared) of its
// width x height data.
struct MapValues
{
  int width = 0;
  int height = 0;
  QVector<double> data;

  bool isEmpty() const { return data.isEmpty(); }
  // 0 off the map.
  double at(int x, int y) const;
  // Sum over [cx-|bx|, cx+|bx|] x [cy-|by|, cy+|by|]; pixels off the map
  // count 0.
  double blockSum(int cx, int cy, int bx, int by) const;
  // Mean over the pixels of that block that lie on the map; 0 with none.
  double blockMean(int cx, int cy, int bx, int by) const;
};

// The values of a map as they stand now (shared, not copied).
MapValues mapValuesOf(const Analyzed2DRes& map);

// Map processing: per point the values v1 of Map1 and v2 of Map2 combined
// by the chosen type. A value is the mean over the point's block, i.e. the
// value the map shows there: a map of a binned run holds its value on
// every pixel of a block, and a sum would multiply it by the block's size.
// Writes the value, v1 and Map2's value at the point (the last two for the
// log line).
class ProcMapsKernel : public PointKernel
{
public:
  enum Type
  {
    Sub = 0,
    Div = 1,
    Mask = 2
  };
  ProcMapsKernel(const MapValues& map1, const MapValues& map2, int type);

  int valuesPerPoint() const override { return 3; }
  void compute(const RasterPoint& p, KernelScratch* scratch, double* out) const override;

  // Sub.: v1 - v2; Div.: v1 / v2, 0 where v2 is 0; Mask: v1 where v2 > 0,
  // else 0.
  static double combine(double s1, double s2, int type);

private:
  MapValues m_map1;
  MapValues m_map2;
  int m_type = Sub;
};

// Image-number ranges of the sum-up: from <= k < to.
using SumUpRanges = QVector<QPair<int, int>>;

// Sum-up: per point the block sums of the I1 frames of every range (each
// through its alignment shift; numbers beyond the stack skipped).
class SumUpKernel : public PointKernel
{
public:
  SumUpKernel(const StackView& stack, const SumUpRanges& ranges);

  int valuesPerPoint() const override { return 1; }
  void compute(const RasterPoint& p, KernelScratch* scratch, double* out) const override;

private:
  StackView m_stack;
  SumUpRanges m_ranges;
};
