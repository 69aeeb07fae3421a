#pragma once

// Areas and maps of known values for the tests of runs, files and windows.

#include "analysis/AnalyzeCond.h"
#include "analysis/Analyzed2DRes.h"

#include <QVector>

#include <functional>

namespace lctest {

// The area (x, y, aw, ah) of a w x h image, boxes of half widths bx, by.
inline AnalyzeCond area(int w, int h, int bx, int by, double x, double y, double aw, double ah)
{
  AnalyzeCond c;
  c.setup(w, h, bx, by, x, y, aw, ah);
  return c;
}

// The whole w x h image, boxes of half width b.
inline AnalyzeCond wholeArea(int w, int h, int b = 0)
{
  return area(w, h, b, b, 0, 0, w, h);
}

// `map` over the whole w x h image (boxes of half width b), one value a pixel.
inline void fillMap(Analyzed2DRes& map,
                    int w,
                    int h,
                    const std::function<double(int x, int y)>& value,
                    int b = 0)
{
  map.reset(wholeArea(w, h, b));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      map.setData(x, y, 0, 0, value(x, y));
}

// `values` row by row, w to a row.
inline void fillMap(Analyzed2DRes& map, int w, const QVector<double>& values)
{
  fillMap(map, w, values.size() / w, [&](int x, int y) { return values[y * w + x]; });
}

} // namespace lctest
