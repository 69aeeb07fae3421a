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
  for (int i = 0; i < points.size(); ++i)
    include(i);
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
