#include "output/MapGrid.h"

#include "analysis/Analyzed2DRes.h"
#include "input/TiffData.h"
#include "support/Tolerance.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A width x height map of one run with half widths (b, b), every pixel
// holding x + 1000 y.
void fillMap(Analyzed2DRes& map, int width, int height, int b)
{
  AnalyzeCond cond;
  cond.setup(width, height, b, b, 0, 0, width, height);
  map.reset(cond);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      map.setData(x, y, 0, 0, x + 1000.0 * y);
}

} // namespace

TEST(MapGrid, HundredByTwentyMapGivesOneRowPerGridRow)
{
  Analyzed2DRes map;
  fillMap(map, 100, 20, 1);
  const MapRows rows = mapGridRows(map);
  // Centres 1, 4, ..., 97 across and 1, 4, ..., 19 down.
  ASSERT_EQ(rows.size(), 7);
  for (const QVector<MapPoint>& row : rows)
    EXPECT_EQ(row.size(), 33);
  EXPECT_EQ(rows[2][5].x, 16);
  EXPECT_EQ(rows[2][5].y, 7);
  EXPECT_CLOSE(rows[2][5].value, 7016.0);

  const QTemporaryDir dir;
  ASSERT_TRUE(writeMapText(dir.filePath("m.dat"), rows, { false, false }));
  QFile f(dir.filePath("m.dat"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = f.readAll().split('\n');
  ASSERT_EQ(lines.size(), 8);
  EXPECT_EQ(lines[0].split(' ').size(), 33);
}

TEST(MapGrid, TiffReadsBackAsTheMapsSamples)
{
  for (bool asAnalyzed : { false, true }) {
    SCOPED_TRACE(asAnalyzed);
    Analyzed2DRes map;
    fillMap(map, 9, 7, 1);
    const MapSamples16 s = map.tiffDataForSave(false, 0.0, 0.0, asAnalyzed);
    const QTemporaryDir dir;
    ASSERT_TRUE(writeMapTiff(dir.filePath("m.tif"), s.width, s.height, s.values));
    TiffData t;
    ASSERT_TRUE(t.read(dir.filePath("m.tif")));
    ASSERT_EQ(int(t.width), s.width);
    ASSERT_EQ(int(t.height), s.height);
    for (int i = 0; i < s.values.size(); ++i)
      EXPECT_CLOSE(t.value(i % s.width, i / s.width), s.values[i]) << i;
  }
}
