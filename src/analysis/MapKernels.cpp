#include "analysis/MapKernels.h"

#include "analysis/Analyzed2DRes.h"

#include <algorithm>
#include <cstdlib>

MapValues mapValuesOf(const Analyzed2DRes& map)
{
  MapValues v;
  v.width = map.width();
  v.height = map.height();
  v.data = map.data();
  return v;
}

double MapValues::at(int x, int y) const
{
  if (x < 0 || y < 0 || x >= width || y >= height)
    return 0.0;
  const qint64 i = qint64(y) * width + x;
  return i < data.size() ? data[int(i)] : 0.0;
}

double MapValues::blockSum(int cx, int cy, int bx, int by) const
{
  bx = std::abs(bx);
  by = std::abs(by);
  const int x0 = std::max(cx - bx, 0);
  const int x1 = std::min(cx + bx, width - 1);
  const int y0 = std::max(cy - by, 0);
  const int y1 = std::min(cy + by, height - 1);
  double sum = 0.0;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      sum += at(x, y);
  return sum;
}

double MapValues::blockMean(int cx, int cy, int bx, int by) const
{
  bx = std::abs(bx);
  by = std::abs(by);
  const int nx = std::min(cx + bx, width - 1) - std::max(cx - bx, 0) + 1;
  const int ny = std::min(cy + by, height - 1) - std::max(cy - by, 0) + 1;
  if (nx <= 0 || ny <= 0)
    return 0.0;
  return blockSum(cx, cy, bx, by) / (double(nx) * ny);
}

ProcMapsKernel::ProcMapsKernel(const MapValues& map1, const MapValues& map2, int type)
  : m_map1(map1)
  , m_map2(map2)
  , m_type(type)
{
}

double ProcMapsKernel::combine(double s1, double s2, int type)
{
  switch (type) {
    case Div:
      return s2 != 0.0 ? s1 / s2 : 0.0;
    case Mask:
      return s2 > 0.0 ? s1 : 0.0;
    default:
      return s1 - s2;
  }
}

void ProcMapsKernel::compute(const RasterPoint& p, KernelScratch*, double* out) const
{
  const double s1 = m_map1.blockMean(p.cx, p.cy, p.bx, p.by);
  const double s2 = m_map2.blockMean(p.cx, p.cy, p.bx, p.by);
  out[0] = combine(s1, s2, m_type);
  out[1] = s1;
  out[2] = m_map2.at(p.cx, p.cy);
}

SumUpKernel::SumUpKernel(const StackView& stack, const SumUpRanges& ranges)
  : m_stack(stack)
  , m_ranges(ranges)
{
}

void SumUpKernel::compute(const RasterPoint& p, KernelScratch*, double* out) const
{
  const int n = m_stack.i1.size();
  double sum = 0.0;
  for (const QPair<int, int>& r : m_ranges)
    for (int k = std::max(r.first, 0); k < r.second && k < n; ++k)
      sum += boxSum(m_stack.i1[k], p.cx, p.cy, p.bx, p.by);
  out[0] = sum;
}
