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
  const CloseRow plain[] = {
    { c.sx(15), 100 }, { c.sy(5), 0 }, { c.sy(1), 80 }, { c.rx(50), 12.5 }
  };
  expectAllClose(plain);

  c.setMargins(0.1, 0.05, 0.25, 0.15);
  c.applyMargins();
  const CloseRow margins[] = {
    { c.sx0(), 20 }, { c.sx1(), 190 }, { c.sy0(), 15 }, { c.sy1(), 75 }
  };
  expectAllClose(margins);

  // An empty real or screen range maps to its start instead of NaN.
  c.setRealRange(3, 3, 3, 3);
  EXPECT_CLOSE(c.sx(7), c.sx0());
  c.setFullArea(0, 0, 0, 0);
  EXPECT_CLOSE(c.rx(5), 3);
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
}
