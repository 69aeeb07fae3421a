#pragma once

#include <QPointF>
#include <QVector>

// An ordered list of (energy, value) points with the range of both and the
// indices of the extreme values: the raw form of a spectrum, and the form
// of every curve derived from one. Extremes use strict comparisons, so the
// first point reaching an extreme keeps the index.
struct SpectrumPoints
{
  QVector<QPointF> points;
  double minX = 0.0;
  double maxX = 0.0;
  double minY = 0.0;
  double maxY = 0.0;
  int minIndex = -1; // index of the point holding minY
  int maxIndex = -1; // index of the point holding maxY

  int size() const { return points.size(); }
  bool isEmpty() const { return points.isEmpty(); }
  double x(int i) const { return points[i].x(); }
  double y(int i) const { return points[i].y(); }

  void clear();
  void append(double x, double y);
  // Recomputes the ranges after the points were written directly.
  void updateRanges();

  // Value at `x` by straight-line interpolation between the neighbouring
  // points, the first and last segments extended beyond the ends; 0 for an
  // empty list, the only value for a single point. Points are expected in
  // ascending x; among equal energies the first point counts.
  double valueAt(double x) const;

private:
  // Widens the ranges by point i (point 0 starts them).
  void include(int i);
};
