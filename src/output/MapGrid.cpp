#include "output/MapGrid.h"

#include "analysis/Analyzed2DRes.h"

#include <algorithm>

MapRows mapGridRows(const Analyzed2DRes& map)
{
  MapRows rows;
  AnalyzeCond c = map.cond();
  const QVector<double>& values = map.procImgSelected() ? map.processed() : map.data();
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
