#include "analysis/AnalyzeCond.h"

#include <gtest/gtest.h>

#include <QPoint>
#include <QVector>

namespace {

QVector<QPoint> walk(AnalyzeCond c, int* rowStarts = nullptr)
{
  QVector<QPoint> points;
  int starts = 0;
  c.reset();
  do {
    points.append(QPoint(c.cx, c.cy));
    starts += c.newRow ? 1 : 0;
  } while (c.next() && points.size() < 100000);
  if (rowStarts)
    *rowStarts = starts;
  return points;
}

} // namespace

TEST(AnalyzeCond, WalksBlocksAndStepsAndStaysBounded)
{
  AnalyzeCond c;
  c.setup(20, 10, 1, 1, 2, 3, 7, 6);
  int rowStarts = 0;
  const QVector<QPoint> p = walk(c, &rowStarts);
  // Steps 2 * 1 + 1: cx 3, 6 (< 9); cy 4, 7 (< 9)
  EXPECT_EQ(p, (QVector<QPoint>{ { 3, 4 }, { 6, 4 }, { 3, 7 }, { 6, 7 } }));
  EXPECT_EQ(rowStarts, 2);
  EXPECT_EQ(c.columns() * c.rows(), p.size());

  // Given steps, a reversed area and a row narrower than a block (one point per row).
  c.setup(20, 10, 3, 0, 6, 8, -4, -6, 5, 2);
  EXPECT_EQ(walk(c), (QVector<QPoint>{ { 5, 2 }, { 5, 4 }, { 5, 6 } }));
  EXPECT_EQ(c.columns(), 1);
  EXPECT_EQ(c.rows(), 3);

  // Negative half widths and areas outside stay bounded.
  c.setup(8, 8, -2, -1, 0, 0, 4, 2);
  EXPECT_EQ(walk(c).size(), 8);

  // An area wholly past the image: one point, off the image, and fill writes nothing.
  c.setup(8, 8, 1, 1, 50, 50, 10, 10);
  ASSERT_EQ(walk(c).size(), 1);
  EXPECT_FALSE(c.pointInside());
  QVector<double> image(64, 0.0);
  c.fill(image, 1.0);
  EXPECT_EQ(image.count(1.0), 0);
}
