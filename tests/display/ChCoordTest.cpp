#include "display/ChCoord.h"
#include "display/MouseC.h"

#include "support/Tolerance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using lctest::CloseRow;
using lctest::expectAllClose;

TEST(ChCoord, TransformsMarginsAndDegenerateRanges)
{
  ChCoord c;
  c.setFullArea(0, 0, 200, 100);
  c.setRealRange(10, 5, 20, 0); // y grows upwards in data units
  const CloseRow plain[] = { { c.sx(15), 100 },        { c.sy(5), 0 },         { c.sy(1), 80 },
                             { c.rx(50), 12.5 },       { c.sdx(2), 40 },       { c.rdy(20), -1 },
                             { c.rxClamped(-30), 10 }, { c.ryClamped(500), 0 } };
  expectAllClose(plain);

  c.setMargins(0.1, 0.05, 0.25, 0.15);
  c.applyMargins();
  const CloseRow margins[] = {
    { c.sx0(), 20 }, { c.sx1(), 190 }, { c.sy0(), 15 }, { c.sy1(), 75 }, { c.rxFromOffset(0), 10 }
  };
  expectAllClose(margins);
  EXPECT_TRUE(c.nearXEdge(21));
  EXPECT_FALSE(c.nearXEdge(100));

  // An empty real or screen range maps to its start instead of NaN.
  c.setRealRange(3, 3, 3, 3);
  EXPECT_CLOSE(c.sx(7), c.sx0());
  EXPECT_CLOSE(c.sdx(7), 0);
  c.setFullArea(0, 0, 0, 0);
  EXPECT_CLOSE(c.rx(5), 3);
}

TEST(ChCoord, TickStepPicksFirstStepLongEnough)
{
  ChCoord c;
  c.setFullArea(0, 0, 1000, 100);
  c.setRealRange(0, 0, 100, 1); // 10 pixels per unit
  // Gives up after 10^7; a zero or NaN base still gives a usable step.
  const CloseRow steps[] = { { c.tickStepX(1, 5), 1 },           { c.tickStepX(1, 15), 2 },
                             { c.tickStepX(1, 35), 5 },          { c.tickStepX(1, 150), 20 },
                             { c.tickStepX(1, 1e12), 1e8 },      { c.tickStepX(0, 5), 1 },
                             { c.tickStepX(std::nan(""), 5), 1 } };
  expectAllClose(steps);
  c.setRealRange(4, 0, 4, 1); // a collapsed range
  EXPECT_CLOSE(c.tickStepX(1, 5), 1e8);
}

TEST(NiceAxis, NormalZeroAndNonFiniteRanges)
{
  const NiceAxis a = niceAxis(0.3, 7.9);       // 7.6 units of 1: multiplier 1
  const NiceAxis b = niceAxis(7000, 8500);     // 1.5 units of 1000: 0.2
  const NiceAxis c = niceAxis(-0.001, 0.0085); // 9.5 units of 1e-3
  // Reversed input is ordered.
  const CloseRow axes[] = { { a.step, 1 },     { a.first, 1 },
                            { a.last, 7 },     { b.step, 200 },
                            { b.first, 7000 }, { b.last, 8400 },
                            { c.step, 0.002 }, { niceAxis(0.0085, -0.001).step, 0.002 } };
  expectAllClose(axes);
  EXPECT_EQ(tickValues(b).size(), 8);

  // A flat curve: the range is widened around its value.
  for (double v : { 5.0, 0.0 }) {
    const NiceAxis flat = niceAxis(v, v);
    EXPECT_TRUE(flat.step > 0 && flat.first <= v && flat.last >= v) << v;
  }
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (const auto& [lo, hi] :
       { std::pair{ nan, 1.0 }, { 0.0, inf }, { -1e308, 1e308 }, { 0.0, 4.9e-324 } }) {
    const NiceAxis odd = niceAxis(lo, hi);
    EXPECT_TRUE(odd.step > 0 && std::isfinite(odd.first) && std::isfinite(odd.last))
      << lo << " " << hi;
    EXPECT_LE(tickValues(odd).size(), 1000);
  }
  EXPECT_EQ(tickValues(NiceAxis{ 0, 1, 0 }).size(), 0);
  EXPECT_EQ(tickValues(NiceAxis{ 0, 1e9, 1 }, 50).size(), 50);
  EXPECT_CLOSE(niceAxisMultiplier(-1), niceAxisMultiplier(0));
  EXPECT_CLOSE(niceAxisMultiplier(42), niceAxisMultiplier(8));
}

TEST(MouseC, ModeTableAndRounding)
{
  const Qt::KeyboardModifier S = Qt::ShiftModifier, C = Qt::ControlModifier, A = Qt::AltModifier;
  const Qt::KeyboardModifiers columns[8] = {
    Qt::NoModifier, S, C, S | C, A, S | A, C | A, S | C | A
  };
  const int expected[8] = { 0, 1, 2, 4, 3, 5, 6, 7 };
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(MouseC::modeOf(Qt::LeftButton, columns[i]), expected[i]) << i;
    EXPECT_EQ(MouseC::modeOf(Qt::RightButton, columns[i]), expected[i] + 8) << i;
    EXPECT_EQ(MouseC::modeOf(Qt::MiddleButton, columns[i]), 16) << i;
  }
  EXPECT_EQ(MouseC::modeOf(Qt::NoButton, Qt::NoModifier), 16);

  MouseC m;
  m.pressed(QPointF(2.5, -2.5), Qt::LeftButton, Qt::ShiftModifier);
  EXPECT_EQ(m.pressPos(), QPoint(3, -2)); // halves round up
  EXPECT_EQ(m.mode(), 1);
  m.moved(QPointF(7.49, 1.5), Qt::LeftButton, Qt::ShiftModifier);
  EXPECT_EQ(m.pos(), QPoint(7, 2));
  EXPECT_EQ(m.previousPos(), QPoint(3, -2));
  m.released(QPointF(8, 2), Qt::LeftButton, Qt::NoModifier);
  EXPECT_FALSE(m.isPressed());
  EXPECT_EQ(m.releasePos(), QPoint(8, 2));
}
