#include "analysis/Analyzed2DRes.h"

#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <gtest/gtest.h>

#include <QFile>

#include <limits>

namespace {

// A map over a w x h image with the area (0, 0, w, h) and half widths b.
void prepare(Analyzed2DRes& map, int w, int h, int b)
{
  AnalyzeCond c;
  c.setup(w, h, b, b, 0, 0, w, h);
  map.reset(c);
}

QString readAll(const QString& name)
{
  QFile f(name);
  return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

TEST(Analyzed2DRes, SetDataKeepsFirstExtremePositionAndClipsBlocks)
{
  Analyzed2DRes map("LCF Ref 1");
  prepare(map, 5, 4, 1);
  map.setData(1, 1, 1, 1, 2.0);
  map.setData(4, 1, 1, 1, 2.0);    // equal: the position stays
  map.setData(4, 3, -1, -1, -1.0); // block past the corner, negative widths
  EXPECT_CLOSE(map.max(), 2.0);
  EXPECT_EQ(map.maxPos(), QPoint(1, 1));
  EXPECT_EQ(map.minPos(), QPoint(4, 3));
  EXPECT_CLOSE(map.valueAt(0, 0), 2.0);
  EXPECT_CLOSE(map.valueAt(3, 2), -1.0);
  EXPECT_CLOSE(map.valueAt(9, 9), 0.0);
}

TEST(Analyzed2DRes, DeglitchLeavesLoneAndOrdinaryPoints)
{
  // A one-point map has no neighbours: g = 0 and nothing is replaced.
  Analyzed2DRes one;
  prepare(one, 3, 3, 1);
  one.setData(1, 1, 1, 1, 5.0);
  one.selectProcImg(true);
  one.deglitch();
  EXPECT_CLOSE(one.processed()[4], 5.0);
  EXPECT_CLOSE(one.procMax(), 5.0);

  // A spike on a ramp (10 per column) becomes the mean of its neighbours;
  // the ramp itself, ends included, has no second difference and stays.
  Analyzed2DRes map;
  prepare(map, 5, 5, 0);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x)
      map.setData(x, y, 0, 0, x == 2 && y == 2 ? 100.0 : 10.0 * x);
  map.selectProcImg(true);
  map.setDeglitchConds(1.0, 0.05);
  map.deglitch();
  EXPECT_CLOSE(map.processed()[12], 20.0);
  EXPECT_CLOSE(map.processed()[11], 10.0);
  EXPECT_CLOSE(map.processed()[0], 0.0);
  map.copyProc2Data();
  EXPECT_CLOSE(map.max(), 40.0);
}

TEST(Analyzed2DRes, Deglitch2UsesMeanOfSmallValues)
{
  Analyzed2DRes map;
  prepare(map, 3, 1, 0);
  map.setData(0, 0, 0, 0, 5.0);
  map.setData(1, 0, 0, 0, -7.0);
  map.setData(2, 0, 0, 0, 9.0);
  map.selectProcImg(true);
  // No |v| below the limit: M = 0, every point is an outlier without good neighbours.
  map.deglitch2(2.0);
  EXPECT_CLOSE(map.processed()[0], 0.0);
  EXPECT_CLOSE(map.processed()[1], 0.0);

  // Limit 8: M = (5 - 7) / 2 = -1; 9 is replaced by the mean of its good neighbour -7.
  map.deglitch2(8.0);
  EXPECT_CLOSE(map.processed()[0], 5.0);
  EXPECT_CLOSE(map.processed()[2], -7.0);
}

TEST(Analyzed2DRes, SixteenBitSamplesScaleClampAndRound)
{
  Analyzed2DRes map;
  prepare(map, 4, 2, 0);
  const double values[] = { 0.0,  1.0,
                            0.5,  2.0,
                            -1.0, std::numeric_limits<double>::quiet_NaN(),
                            0.25, std::numeric_limits<double>::infinity() };
  for (int i = 0; i < 8; ++i)
    map.setData(i % 4, i / 4, 0, 0, values[i]);
  MapSamples16 s = map.tiffDataForSave(true, 0.0, 1.0, false);
  ASSERT_EQ(s.values.size(), 8);
  EXPECT_EQ(s.width, 4);
  const QVector<quint16> expected = { 0, 65535, 32768, 65535, 0, 0, 16384, 0 };
  EXPECT_EQ(s.values, expected);
  EXPECT_EQ(map.savedCount(), 8);

  // An empty scale (equal limits) gives 0 everywhere.
  s = map.tiffDataForSave(true, 1.0, 1.0, false);
  EXPECT_EQ(s.values.count(0), 8);

  // One sample per raster point.
  Analyzed2DRes binned;
  prepare(binned, 9, 3, 1);
  binned.setData(1, 1, 1, 1, 1.0);
  binned.setData(4, 1, 1, 1, 3.0);
  binned.setData(7, 1, 1, 1, 2.0);
  s = binned.tiffDataForSave(false, 0, 0, true);
  EXPECT_EQ(s.width, 3);
  EXPECT_EQ(s.height, 1);
  EXPECT_EQ(s.values, (QVector<quint16>{ 0, 65535, 32768 }));
  EXPECT_EQ(binned.savedCount(), 3);
}

TEST(Analyzed2DRes, TextWriterLayouts)
{
  Analyzed2DRes map;
  prepare(map, 4, 4, 0);
  AnalyzeCond c;
  c.setup(4, 4, 0, 0, 1, 1, 2, 2);
  map.reset(c);
  map.setData(1, 1, 0, 0, 0.5);
  map.setData(2, 1, 0, 0, 1234567.0);
  map.setData(1, 2, 0, 0, -2.0);
  const QString dir = lctest::scratchDir("Analyzed2DResText");
  ASSERT_TRUE(map.writeText(dir + "/xy.dat", true, true));
  EXPECT_EQ(readAll(dir + "/xy.dat"), "1,1,0.5\n2,1,1.23457e+06\n1,2,-2\n2,2,0\n");
  ASSERT_TRUE(map.writeText(dir + "/m.dat", false, false));
  EXPECT_EQ(readAll(dir + "/m.dat"), "0.5 1.23457e+06\n-2 0\n");

  lctest::MessageCapture capture;
  EXPECT_FALSE(map.writeText(dir + "/no/such/dir/x.dat", true, true));
  EXPECT_TRUE(capture.has("Can't open " + dir + "/no/such/dir/x.dat"));
}

TEST(Analyzed2DRes, ImagesSurviveNonFiniteValuesAndCopies)
{
  Analyzed2DRes map("a2d Zansa");
  prepare(map, 3, 1, 0);
  map.setData(0, 0, 0, 0, 0.0);
  map.setData(1, 0, 0, 0, std::numeric_limits<double>::quiet_NaN());
  map.setData(2, 0, 0, 0, 1.0);
  map.genImg(ColorMapping());
  ASSERT_TRUE(map.imageValid());
  EXPECT_EQ(qGray(map.img().pixel(1, 0)), 0);
  EXPECT_EQ(qGray(map.img().pixel(2, 0)), 255);

  Analyzed2DRes copy;
  copy = map;
  ASSERT_TRUE(copy.imageValid());
  EXPECT_EQ(copy.name(), "a2d Zansa");
  EXPECT_NE(copy.img().constBits(), map.img().constBits());
  // Rendering the source again leaves the copy's picture alone.
  map.setData(0, 0, 0, 0, 5.0);
  map.genImg(ColorMapping());
  EXPECT_EQ(qGray(copy.img().pixel(2, 0)), 255);
  EXPECT_EQ(qGray(map.img().pixel(0, 0)), 255);

  // A map never written renders to the lowest entry.
  Analyzed2DRes empty;
  prepare(empty, 2, 2, 0);
  empty.genImg(ColorMapping());
  EXPECT_EQ(qGray(empty.img().pixel(1, 1)), 0);
}

TEST(Analyzed2DRes, AreasPastTheImageNeverReachOutsideTheMap)
{
  // A selection dragged wholly past the image leaves one point off it: the
  // savers record it as 0 and the deglitch passes leave the map alone.
  Analyzed2DRes map;
  prepare(map, 4, 4, 0);
  map.setData(1, 1, 0, 0, 3.0);
  AnalyzeCond off;
  off.setup(4, 4, 1, 1, 50, 50, 10, 10);
  map.reset(off);
  const MapSamples16 s = map.tiffDataForSave(true, 0.0, 1.0, true);
  EXPECT_EQ(s.values, QVector<quint16>{ 0 });
  const QString dir = lctest::scratchDir("Analyzed2DResOutside");
  ASSERT_TRUE(map.writeText(dir + "/off.dat", false, false));
  EXPECT_EQ(readAll(dir + "/off.dat"), "0\n");
  map.selectProcImg(true);
  map.deglitch();
  map.deglitch2(1.0);
  EXPECT_EQ(map.processed().count(0.0), 16);

  // Blocks at the corner of an area cut to the image stay on the map.
  AnalyzeCond edge;
  edge.setup(4, 4, 2, 2, -3, -3, 5, 5);
  map.reset(edge);
  map.setData(0, 0, 2, 2, 1.0);
  map.deglitch();
  EXPECT_EQ(map.processed().size(), 16);
  EXPECT_EQ(map.tiffDataForSave(false, 0, 0, false).values.size(), 16);
}
