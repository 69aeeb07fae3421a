#include "analysis/Analyzed2DRes.h"

#include "support/Maps.h"
#include "support/Tolerance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using lctest::CloseRow;

TEST(Analyzed2DRes, SetDataKeepsFirstExtremePositionAndClipsBlocks)
{
  Analyzed2DRes map;
  map.reset(lctest::wholeArea(5, 4, 1));
  map.setData(1, 1, 1, 1, 2.0);
  map.setData(4, 1, 1, 1, 2.0);    // equal: the position stays
  map.setData(4, 3, -1, -1, -1.0); // block past the corner, negative widths
  // Points without a value do not stretch the automatic scale.
  map.setData(0, 3, 0, 0, std::numeric_limits<double>::infinity());
  map.setData(1, 3, 0, 0, -std::numeric_limits<double>::infinity());
  map.setData(2, 3, 0, 0, std::nan(""));
  EXPECT_EQ(map.maxPos(), QPoint(1, 1));
  EXPECT_EQ(map.minPos(), QPoint(4, 3));
  const CloseRow rows[] = {
    { map.max(), 2.0 },         { map.min(), -1.0 },         { map.valueAt(2, 3), std::nan("") },
    { map.valueAt(0, 0), 2.0 }, { map.valueAt(3, 2), -1.0 }, { map.valueAt(9, 9), 0.0 }
  };
  lctest::expectAllClose(rows);
}

TEST(Analyzed2DRes, DeglitchReplacesSpikesOnly)
{
  // A one-point map has no neighbours: g = 0 and nothing is replaced.
  Analyzed2DRes one;
  one.reset(lctest::wholeArea(3, 3, 1));
  one.setData(1, 1, 1, 1, 5.0);
  one.selectProcImg(true);
  one.deglitch();
  EXPECT_CLOSE(one.processed()[4], 5.0);

  // A spike on a ramp (10 per column) becomes the mean of its neighbours;
  // the ramp itself, ends included, has no second difference and stays.
  QVector<double> ramp;
  for (int i = 0; i < 25; ++i)
    ramp << (i == 12 ? 100.0 : 10.0 * (i % 5));
  Analyzed2DRes map;
  lctest::fillMap(map, 5, ramp);
  map.selectProcImg(true);
  map.setDeglitchConds(1.0, 0.05);
  map.deglitch();
  const CloseRow rows[] = { { map.processed()[12], 20.0 },
                            { map.processed()[11], 10.0 },
                            { map.processed()[0], 0.0 } };
  lctest::expectAllClose(rows);
  map.copyProc2Data();
  EXPECT_CLOSE(map.max(), 40.0);
}

TEST(Analyzed2DRes, Deglitch2UsesMeanOfSmallValuesAndStaysInsideTheMap)
{
  Analyzed2DRes map;
  lctest::fillMap(map, 3, { 5.0, -7.0, 9.0 });
  map.selectProcImg(true);
  // No |v| below the limit: M = 0, every point is an outlier without good neighbours.
  map.deglitch2(2.0);
  EXPECT_CLOSE(map.processed()[0], 0.0);
  EXPECT_CLOSE(map.processed()[1], 0.0);

  // Limit 8: M = (5 - 7) / 2 = -1; 9 is replaced by the mean of its good neighbour -7.
  map.deglitch2(8.0);
  EXPECT_CLOSE(map.processed()[0], 5.0);
  EXPECT_CLOSE(map.processed()[2], -7.0);

  // A selection dragged wholly past the image leaves one point off it: the
  // deglitch passes leave the map alone.
  Analyzed2DRes past;
  past.reset(lctest::area(4, 4, 1, 1, 50, 50, 10, 10));
  past.selectProcImg(true);
  past.deglitch();
  past.deglitch2(1.0);
  EXPECT_EQ(past.processed().count(0.0), 16);
}
