#include "spectrum/SpectrumPoints.h"

#include <algorithm>

void SpectrumPoints::clear()
{
  points.clear();
  minX = maxX = minY = maxY = 0.0;
  minIndex = maxIndex = -1;
}

void SpectrumPoints::include(int i)
{
  const double x = points[i].x();
  const double y = points[i].y();
  if (i == 0) {
    minX = maxX = x;
    minY = maxY = y;
    minIndex = maxIndex = 0;
    return;
  }
  if (x < minX)
    minX = x;
  if (x > maxX)
    maxX = x;
  if (y < minY) {
    minY = y;
    minIndex = i;
  }
  if (y > maxY) {
    maxY = y;
    maxIndex = i;
  }
}

void SpectrumPoints::append(double x, double y)
{
  points.append(QPointF(x, y));
  include(points.size() - 1);
}

void SpectrumPoints::updateRanges()
{
  if (points.isEmpty()) {
    minX = maxX = minY = maxY = 0.0;
    minIndex = maxIndex = -1;
    return;
  }
  // One pass with the rules of include(): strict comparisons, so the first
  // point reaching an extreme keeps the index.
  const QPointF* p = points.constData();
  const int n = points.size();
  double x0 = p[0].x(), x1 = x0, y0 = p[0].y(), y1 = y0;
  int i0 = 0, i1 = 0;
  for (int i = 1; i < n; ++i) {
    const double x = p[i].x();
    const double y = p[i].y();
    if (x < x0)
      x0 = x;
    if (x > x1)
      x1 = x;
    if (y < y0) {
      y0 = y;
      i0 = i;
    }
    if (y > y1) {
      y1 = y;
      i1 = i;
    }
  }
  minX = x0;
  maxX = x1;
  minY = y0;
  maxY = y1;
  minIndex = i0;
  maxIndex = i1;
}

double SpectrumPoints::valueAt(double x) const
{
  const int n = points.size();
  if (n == 0)
    return 0.0;
  if (n == 1)
    return points[0].y();
  const QPointF* p = points.constData();
  // First point at or above x, kept inside 1..n-1 so a segment always
  // exists; outside the table the end segment is extended.
  const QPointF* hit =
    std::lower_bound(p, p + n, x, [](const QPointF& a, double v) { return a.x() < v; });
  int k = int(hit - p);
  if (k < n && p[k].x() == x)
    return p[k].y();
  k = std::clamp(k, 1, n - 1);
  const double x0 = p[k - 1].x();
  const double x1 = p[k].x();
  if (x1 == x0)
    return p[k - 1].y();
  return p[k - 1].y() + (p[k].y() - p[k - 1].y()) * (x - x0) / (x1 - x0);
}
