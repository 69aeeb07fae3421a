#include "analysis/AnalyzeCond.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMaxHalfWidth = 1 << 24;

// int(v) of a coordinate cut to [0, limit]; NaN gives 0.
int clippedCoordinate(double v, int limit)
{
  if (!(v > 0.0))
    return 0;
  if (v >= limit)
    return limit;
  return static_cast<int>(v);
}

int stepCount(int first, int end, int step)
{
  // The first point is always taken; then every further step below `end`.
  if (first >= end)
    return 1;
  return (end - first + step - 1) / step;
}

} // namespace

void AnalyzeCond::setup(int w_,
                        int h_,
                        int bx_,
                        int by_,
                        double x,
                        double y,
                        double w,
                        double h,
                        int stepX_,
                        int stepY_)
{
  width = std::max(0, w_);
  height = std::max(0, h_);
  // Half widths beyond any image are cut so the steps 2*b+1 cannot overflow.
  bx = std::clamp(bx_, 0, kMaxHalfWidth);
  by = std::clamp(by_, 0, kMaxHalfWidth);
  x0 = clippedCoordinate(x, width);
  x1 = clippedCoordinate(x + w, width);
  y0 = clippedCoordinate(y, height);
  y1 = clippedCoordinate(y + h, height);
  if (x0 > x1)
    std::swap(x0, x1);
  if (y0 > y1)
    std::swap(y0, y1);
  stepX = stepX_ > 0 ? stepX_ : 2 * bx + 1;
  stepY = stepY_ > 0 ? stepY_ : 2 * by + 1;
  reset();
}

void AnalyzeCond::reset()
{
  cx = bx + x0;
  cy = by + y0;
  newRow = true;
}

bool AnalyzeCond::next()
{
  cx += std::max(1, stepX);
  newRow = false;
  if (cx < x1)
    return true;
  newRow = true;
  cx = bx + x0;
  cy += std::max(1, stepY);
  return cy < y1;
}

bool AnalyzeCond::pointInside() const
{
  return cx >= 0 && cx < width && cy >= 0 && cy < height;
}

void AnalyzeCond::fill(QVector<double>& image, double value) const
{
  fillBlock(image, width, height, cx, cy, bx, by, value);
}

void fillBlock(QVector<double>& image,
               int width,
               int height,
               int cx,
               int cy,
               int bx,
               int by,
               double value)
{
  if (width <= 0 || height <= 0 || image.size() < width * height)
    return;
  bx = std::abs(bx);
  by = std::abs(by);
  // 64-bit sums: a centre near the int limits must not wrap into the image.
  const long long xa = std::max<long long>(0, static_cast<long long>(cx) - bx);
  const long long xb = std::min<long long>(width - 1, static_cast<long long>(cx) + bx);
  const long long ya = std::max<long long>(0, static_cast<long long>(cy) - by);
  const long long yb = std::min<long long>(height - 1, static_cast<long long>(cy) + by);
  for (long long y = ya; y <= yb; ++y) {
    double* row = image.data() + y * width;
    for (long long x = xa; x <= xb; ++x)
      row[x] = value;
  }
}

int AnalyzeCond::columns() const
{
  return stepCount(bx + x0, x1, std::max(1, stepX));
}

int AnalyzeCond::rows() const
{
  return stepCount(by + y0, y1, std::max(1, stepY));
}

QRect AnalyzeCond::blockSpan() const
{
  const int nx = columns();
  const int ny = rows();
  if (nx <= 0 || ny <= 0 || width <= 0 || height <= 0)
    return QRect();
  const int hx = std::max(0, bx);
  const int hy = std::max(0, by);
  const int lastX = hx + x0 + (nx - 1) * std::max(1, stepX) + hx;
  const int lastY = hy + y0 + (ny - 1) * std::max(1, stepY) + hy;
  return QRect(QPoint(x0, y0), QPoint(lastX, lastY)).intersected(QRect(0, 0, width, height));
}
