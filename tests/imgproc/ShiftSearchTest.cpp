#include "imgproc/ShiftSearch.h"
#include "BlobFrames.h"
#include "imgproc/ImageFilters.h"
#include "input/TiffData.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <QPoint>

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>

namespace {

// An 11 x 11 mask with the given pixels set.
ProcImage mask(std::initializer_list<QPoint> set)
{
  ProcImage m = ProcImage::zeros(11, 11);
  for (const QPoint& p : set)
    m.at(p.x(), p.y()) = 1.0;
  m.rescan();
  return m;
}

} // namespace

// The score is the plain normalised product over the overlap: for masks,
// the common set pixels over the geometric mean of the set-pixel counts
// in the overlap; nothing in common, no overlap or an empty image give 0,
// and a NaN never leaks out.
TEST(ShiftScore, OverlapProductAndItsZeroCases)
{
  const ProcImage cur = mask({ { 2, 2 }, { 3, 2 }, { 4, 2 }, { 4, 3 } });
  EXPECT_CLOSE(alignScore(cur, cur, 0, 0), 1.0);
  const ProcImage ref = mask({ { 3, 2 }, { 4, 2 }, { 7, 7 } });
  // At (1, 0) the reference pixel (3, 2) meets (2, 2), (4, 2) meets (3, 2).
  EXPECT_CLOSE(alignScore(cur, ref, 1, 0), 2.0 / std::sqrt(4.0 * 3.0));
  // Only (7, 7) lies in the overlap at (0, 5), and meets nothing.
  EXPECT_CLOSE(alignScore(cur, ref, 0, 5), 0.0);
  EXPECT_CLOSE(alignScore(cur, ref, 0, -11), 0.0);
  EXPECT_CLOSE(alignScore(cur, ref, std::numeric_limits<int>::min(), 0), 0.0);
  EXPECT_CLOSE(alignScore(cur, ProcImage::zeros(11, 11), 0, 0), 0.0);

  ProcImage nan = cur;
  nan.at(2, 2) = std::nan("");
  EXPECT_CLOSE(alignScore(nan, cur, 0, 0), 0.0);
  const ShiftSearchResult r = searchBestShift(nan, cur, 0, 0, std::nan(""));
  EXPECT_EQ(r.moves, 0);
}

// Equal neighbours: the earlier direction wins, in the order (1,1), (1,0),
// (1,-1), (0,-1), (-1,-1), (-1,0), (-1,1), (0,1); the later equal one never
// takes over, neither in the same pass nor from the new centre, and a
// neighbour that only ties the start does not move the search either.
TEST(ShiftSearch, StopsAtTheOptimumAndEqualNeighboursFollowTheDirectionOrder)
{
  // Started at the optimum with its score, one pass of eight evaluations
  // and no move.
  const ProcImage cur = mask({ { 5, 5 }, { 6, 5 } });
  const ShiftSearchResult still = searchBestShift(cur, cur, 0, 0, alignScore(cur, cur, 0, 0));
  EXPECT_EQ(QPoint(still.x, still.y), QPoint(0, 0));
  EXPECT_EQ(still.evaluations, 8);
  EXPECT_EQ(still.moves, 0);
  EXPECT_CLOSE(still.score, 1.0);

  const ProcImage one = mask({ { 5, 5 } });
  const struct
  {
    QPoint a, b, expected;
  } cases[] = {
    { { 6, 5 }, { 5, 6 }, { 1, 0 } },  // (1,0) before (0,1)
    { { 4, 5 }, { 5, 6 }, { -1, 0 } }, // (-1,0) before (0,1)
    { { 5, 4 }, { 4, 4 }, { 0, -1 } }, // (0,-1) before (-1,-1)
    { { 6, 6 }, { 6, 4 }, { 1, 1 } },  // (1,1) first of all
    { { 5, 5 }, { 6, 5 }, { 0, 0 } },  // (1,0) only ties the start
  };
  for (const auto& c : cases) {
    const ProcImage ref = mask({ c.a, c.b });
    const ShiftSearchResult r = searchBestShift(one, ref, 0, 0, alignScore(one, ref, 0, 0));
    EXPECT_EQ(QPoint(r.x, r.y), c.expected) << c.a.x() << "," << c.a.y();
    EXPECT_EQ(r.moves, c.expected.isNull() ? 0 : 1);
    EXPECT_CLOSE(r.score, 1.0 / std::sqrt(2.0));
  }
}

// A frame whose content moved by (dx, dy) against the reference frame is
// brought back by the shift (-dx, -dy), found from (0, 0) on intensities
// and on edges; read through that shift, it matches the reference.
TEST(ShiftSearch, FindsTheDisplacementOfAGeneratedFrame)
{
  const QString dir = lctest::scratchDir(QStringLiteral("ShiftSearchGenerated"));
  const auto refFrame = blobs::frame(dir, QStringLiteral("ref"), 0, 0);
  const auto moved = blobs::frame(dir, QStringLiteral("moved"), 4, -3);
  ASSERT_TRUE(refFrame && moved);
  for (bool edges : { false, true }) {
    ProcOptions o;
    o.edgeDetect = edges;
    const ProcImage ref = processedImage(baseImage(*refFrame, o), o);
    const ProcImage cur = processedImage(baseImage(*moved, o), o);
    const ShiftSearchResult r = searchBestShift(cur, ref, 0, 0, alignScore(cur, ref, 0, 0));
    EXPECT_EQ(QPoint(r.x, r.y), QPoint(-4, 3)) << "edges " << edges;
    EXPECT_CLOSE(r.score, 1.0, 1e-3);
    EXPECT_GE(r.moves, 4);
  }
  moved->xShift = -4;
  moved->yShift = 3;
  for (const QPoint p : { QPoint(20, 18), QPoint(31, 24), QPoint(10, 30) })
    EXPECT_CLOSE(moved->sample(p.x(), p.y(), 1, 2), refFrame->sample(p.x(), p.y(), 1, 2));
}
