#include "spectrum/SyntheticSpectrum.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include "spectrum/XafsSpectrum.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A spectrum whose smoothed values and lines are set by hand, so the edge
// finder sees exactly these numbers.
XafsSpectrum handMade(const QVector<double>& smoothed)
{
  XafsSpectrum s;
  for (int i = 0; i < smoothed.size(); ++i)
    s.points.append(8000.0 + i, smoothed[i]);
  s.smoothed = smoothed;
  s.pre.linear = s.post.linear = true;
  s.pre.c = 0.0;
  s.post.c = 1.0;
  return s;
}

bool allFinite(const XafsSpectrum& s)
{
  for (double v : s.normalized)
    if (!std::isfinite(v))
      return false;
  for (const SpectrumPoints& c : s.curves)
    for (const QPointF& p : c.points)
      if (!std::isfinite(p.y()))
        return false;
  return std::isfinite(s.dMut) && std::isfinite(s.midx);
}

} // namespace

TEST(FindEdge, CrossingRules)
{
  EXPECT_CLOSE(XafsSpectrum().findEdge(), 0.0);
  EXPECT_CLOSE(handMade({ 0.0, 1.0 }).findEdge(), 8000.0);                  // two points
  EXPECT_CLOSE(handMade({ 1.0, 0.8, 0.5, 0.2, 0.0 }).findEdge(), 8000.0);   // falling
  EXPECT_CLOSE(handMade({ 0.0, 0.0, 1.0, 1.0, 1.0 }).findEdge(), 8001.0);   // equal rises
  EXPECT_CLOSE(handMade({ 0.3, 0.45, 0.55, 1.0, 1.0 }).findEdge(), 8002.0); // the largest rise
  // Repeated energies read the first of their points.
  XafsSpectrum s = handMade({ 0.0, 0.6, 0.1, 1.0, 1.0 });
  s.points.points[2].setX(8001.0); // 8000, 8001, 8001, 8003, 8004
  EXPECT_CLOSE(s.findEdge(), 8001.0);
}

TEST(Normalize, FivePointMovingAverageShrinksAtTheEnds)
{
  SpectrumPoints p;
  for (int i = 0; i < 8; ++i)
    p.append(8000 + i, i * i);
  const XafsSpectrum s(p, "s", 1, 0.0, 0.0, 0.0, 0.0);
  ASSERT_EQ(s.smoothed.size(), 8);
  const lctest::CloseRow rows[] = { { s.smoothed[0], (0 + 1 + 4) / 3.0 },
                                    { s.smoothed[1], (0 + 1 + 4 + 9) / 4.0 },
                                    { s.smoothed[4], (4 + 9 + 16 + 25 + 36) / 5.0 },
                                    { s.smoothed[7], (25 + 36 + 49) / 3.0 } };
  lctest::expectAllClose(rows, 1e-12);
}

TEST(Normalize, EnergyCorrectionAppliesEverywhere)
{
  SyntheticEdge v;
  v.e0 = 8985.0;
  XafsSpectrum s;
  s.points = v.sample(8700, 9300, 1.0);
  s.energyCorrected = true;
  s.energyOffset = 5.0;
  s.normalize(0);
  EXPECT_CLOSE(s.energy(285), 8980.0); // stored at 8985
  EXPECT_CLOSE(s.midx, 8980.0, 0.5);
  const QString file = lctest::scratchDir("spectrum_offset") + "/s.txt";
  ASSERT_TRUE(s.writeText(file, false));
  XafsSpectrum back;
  ASSERT_TRUE(back.load(file));
  EXPECT_CLOSE(back.energy(285), 8980.0);
}

TEST(Normalize, EmptyFlatOverrunningAndInverted)
{
  XafsSpectrum empty;
  empty.midx = 7.0;
  empty.dMut = 3.0;
  empty.normalize(0);
  EXPECT_CLOSE(empty.midx, 0.0);
  EXPECT_CLOSE(empty.dMut, 0.0);

  // Pixels at the dark level: a flat spectrum has no jump; its curves are 0.
  SpectrumPoints flat;
  for (int i = 0; i < 50; ++i)
    flat.append(8900 + i, 0.0);
  for (int mode : { 0, 1 }) {
    const XafsSpectrum s(flat, "flat", mode, 0.0, 8920, -10, 10);
    EXPECT_TRUE(allFinite(s));
    EXPECT_CLOSE(s.normalized[10], 0.0);
    EXPECT_CLOSE(s.curve(XafsSpectrum::CurvePostBasePlusOne).y(10), 0.0);
  }

  // An expected edge past the last points: the window never reads beyond
  // the spectrum, and a search with no qualifying start covers it all.
  SyntheticEdge v;
  const SpectrumPoints short5 = v.sample(8976, 8984, 2.0);
  EXPECT_TRUE(allFinite(XafsSpectrum(short5, "s", 1, 0.0, 8983, -1, 100)));
  const XafsSpectrum beyond(v.sample(8900, 9100, 2.0), "s", 0, 0.0, 20000, -10, 10);
  EXPECT_CLOSE(beyond.midx, v.e0, 1.0);
  EXPECT_TRUE(allFinite(XafsSpectrum(v.sample(8900, 8902, 2.0), "two", 0, 0.0, 8901, -10, 10)));

  // An inverted edge stays finite, with a positive jump.
  v.jump = -1.0;
  const XafsSpectrum inv(v.sample(8600, 9400, 2.0), "inv", 0, 0.0, 0.0, 0.0, 0.0);
  EXPECT_TRUE(allFinite(inv));
  EXPECT_GT(inv.postValue(inv.midx) - inv.preValue(inv.midx), 0.0);
  EXPECT_GT(inv.dMut, 0.0);
}

TEST(SpectrumPoints, ValueAtInterpolatesAndExtendsTheEndSegments)
{
  SpectrumPoints p;
  EXPECT_CLOSE(p.valueAt(5), 0.0);
  p.append(1, 1);
  EXPECT_CLOSE(p.valueAt(5), 1.0);
  p.append(3, 5);
  p.append(3, 9); // among equal energies the first counts
  p.append(4, 2);
  const lctest::CloseRow rows[] = {
    { p.valueAt(2), 3 }, { p.valueAt(3), 5 }, { p.valueAt(0), -1 }, { p.valueAt(6), -12 }
  };
  lctest::expectAllClose(rows);
}
