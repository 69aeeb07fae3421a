#include "output/MapGrid.h"

#include "analysis/Analyzed2DRes.h"

#include <algorithm>
#include <cmath>

namespace {

// Non-finite values and an empty or non-finite scale give the lowest sample:
// a float-to-int conversion of NaN or infinity is undefined.
quint16 toSample16(double v, double lo, double hi)
{
  const double range = hi - lo;
  if (!std::isfinite(v) || !std::isfinite(lo) || !std::isfinite(range) || !(range > 0.0))
    return 0;
  const double t = (std::min(std::max(v, lo), hi) - lo) / range * 65535.0;
  return static_cast<quint16>(std::lround(std::min(std::max(t, 0.0), 65535.0)));
}

} // namespace

MapRows mapGridRows(const Analyzed2DRes& map)
{
  MapRows rows;
  AnalyzeCond c = map.cond();
  const QVector<double>& values = map.selectedValues();
  if (c.width <= 0 || c.height <= 0 || values.size() < c.width * c.height)
    return rows;
  c.reset();
  do {
    if (c.newRow || rows.isEmpty())
      rows.append(QVector<MapPoint>());
    if (c.pointInside())
      rows.last().append({ c.cx, c.cy, values[c.cy * c.width + c.cx] });
  } while (c.next());
  // Rows whose points all lie off the image.
  rows.erase(std::remove_if(
               rows.begin(), rows.end(), [](const QVector<MapPoint>& r) { return r.isEmpty(); }),
             rows.end());
  return rows;
}

bool writeMapText(const Analyzed2DRes& map,
                  const QString& fileName,
                  bool commaSeparated,
                  bool xyValue)
{
  return writeMapText(fileName, mapGridRows(map), MapTextLayout{ commaSeparated, xyValue });
}

MapSamples16 tiffDataForSave(const Analyzed2DRes& map,
                             bool fixedScale,
                             double scaleMin,
                             double scaleMax,
                             bool asAnalyzed)
{
  MapSamples16 out;
  const int w = map.width(), h = map.height();
  const QVector<double>& src = map.selectedValues();
  if (w <= 0 || h <= 0 || src.size() < w * h)
    return out;
  double lo = scaleMin, hi = scaleMax;
  if (!fixedScale)
    map.selectedRange(lo, hi);
  out.scaleMin = lo;
  out.scaleMax = hi;
  if (asAnalyzed) {
    AnalyzeCond c = map.cond();
    out.width = c.columns();
    out.height = c.rows();
    out.values.reserve(out.width * out.height);
    c.reset();
    do {
      // Points off the image are written as the value 0.
      out.values.append(toSample16(c.pointInside() ? src[c.cy * w + c.cx] : 0.0, lo, hi));
    } while (c.next());
  } else {
    out.width = w;
    out.height = h;
    out.values.resize(w * h);
    for (int i = 0; i < w * h; ++i)
      out.values[i] = toSample16(src[i], lo, hi);
  }
  return out;
}
