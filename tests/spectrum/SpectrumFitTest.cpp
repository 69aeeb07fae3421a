#include "spectrum/SyntheticSpectrum.h"
#include "support/MessageCapture.h"
#include "support/Tolerance.h"

#include "spectrum/LuSolve.h"
#include "spectrum/VictLine.h"
#include "spectrum/XafsSpectrum.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Samples
{
  std::vector<double> E, lambda, y;
  LineFitInput input() const { return { E.data(), lambda.data(), y.data(), int(E.size()) }; }
};

template<typename F>
Samples samplesOf(double from, double to, double step, F f)
{
  Samples s;
  for (double E = from; E <= to; E += step) {
    s.E.push_back(E);
    s.lambda.push_back(kHcEVA / E);
    s.y.push_back(f(E));
  }
  return s;
}

} // namespace

TEST(VictLine, FitsGiveBackKnownLines)
{
  SyntheticEdge v;
  const Samples s = samplesOf(8500, 8950, 2.0, [&](double E) { return v.background(E); });
  EdgeLine line;
  ASSERT_TRUE(VictLine::fitVictoreen(s.input(), 8500, 8900, line));
  EXPECT_CLOSE_REL(line.c, v.c, 1e-5);
  EXPECT_CLOSE_REL(line.a, v.a, 1e-5);
  EXPECT_CLOSE_REL(line.b, v.b, 1e-5);
  EXPECT_CLOSE(line.rms, 0.0, 1e-9);
  EXPECT_EQ(line.pointsUsed, 200); // 8500 .. 8898, the upper end excluded

  const Samples straight = samplesOf(100, 200, 1.0, [](double E) { return 3.0 - 0.02 * E; });
  ASSERT_TRUE(VictLine::fitStraight(straight.input(), 120, 180, line));
  EXPECT_CLOSE(line.c, 3.0, 1e-9);
  EXPECT_CLOSE(line.slope, -0.02, 1e-12);
  // One point in the window: its constant; none: the constant 0.
  ASSERT_TRUE(VictLine::fitStraight(straight.input(), 120, 121, line));
  EXPECT_CLOSE(line.c, 0.6, 1e-12);
  EXPECT_CLOSE(line.slope, 0.0);
  ASSERT_TRUE(VictLine::fitStraight(straight.input(), 500, 600, line));
  EXPECT_CLOSE(line.c, 0.0);

  const Samples cubic = samplesOf(8000, 9000, 5.0, [](double E) {
    const double t = (E - 8500) / 100;
    return 1 + 0.5 * t - 0.1 * t * t + 0.01 * t * t * t;
  });
  ASSERT_TRUE(VictLine::genCorrectedInPost(cubic.input(), 8000, 9001, line));
  line.useOutside = true;
  line.outsideIsAbove = true;
  line.upperLimit = 0;
  EXPECT_CLOSE(line.valueAt(8700), 1 + 1.0 - 0.4 + 0.08, 1e-6);
}

TEST(VictLine, RefusesTooFewOrSingularPoints)
{
  const Samples three = samplesOf(8000, 8002, 1.0, [](double) { return 1.0; });
  EdgeLine line;
  line.c = 7.0;
  EXPECT_FALSE(VictLine::fitVictoreen(three.input(), 0, 1e9, line)); // fewer than 4
  const Samples flat = samplesOf(8000, 8100, 1.0, [](double) { return 1.0; });
  EXPECT_FALSE(VictLine::fitVictoreen(flat.input(), 8000, 8001.5, line)); // 2 in the window
  EXPECT_CLOSE(line.c, 7.0);                                              // left as it was
  double singular[4] = { 1, 2, 2, 4 };
  int perm[2];
  EXPECT_FALSE(luDecompose(singular, 2, perm));
  const Samples cubic = samplesOf(8000, 8100, 1.0, [](double) { return 1.0; });
  lctest::MessageCapture log;
  EXPECT_FALSE(VictLine::genCorrectedInPost(cubic.input(), 8000, 8001.5, line));
  EXPECT_TRUE(log.has("make  LU (2) false in VictLine genCorrectedInPost"));
}

TEST(Normalize, VictoreenBackgroundWithStepGivesEdgeAndJump)
{
  SyntheticEdge v;
  v.gamma = 0.01; // a far-reaching arctan tail would bend the pre-edge fit
  const XafsSpectrum s(v.sample(7000, 9400, 2.0), "test", 0, 0.0, 8980.0, -40.0, 40.0);
  EXPECT_CLOSE(s.midx, v.e0, 0.5);
  EXPECT_CLOSE_REL(s.dMut, v.jump, 0.01);
  EXPECT_CLOSE(s.preValue(8700), v.background(8700), 1e-3);
  const int at8700 = 850, at9300 = 1150;
  EXPECT_CLOSE(s.curve(XafsSpectrum::CurveDoubleNormalized).y(at8700), 0.0, 0.01);
  EXPECT_CLOSE(s.curve(XafsSpectrum::CurveDoubleNormalized).y(at9300), 1.0, 0.01);
  EXPECT_CLOSE(s.curve(XafsSpectrum::CurvePostBasePlusOne).y(at9300), 1.0, 0.01);

  // Straight lines on a straight background.
  SpectrumPoints p;
  for (double E = 8800; E <= 9200; E += 1.0)
    p.append(E, 0.5 + 1e-4 * (E - 8800) + (E >= 8980 ? 2.0 : 0.0));
  const XafsSpectrum lin(p, "test", 1, 0.0, 0.0, 0.0, 0.0);
  EXPECT_CLOSE(lin.pre.slope, 1e-4, 1e-9);
  EXPECT_CLOSE(lin.dMut, 2.0, 1e-6);
  EXPECT_CLOSE(lin.midx, 8979.0, 1.0);
}

TEST(LuSolve, ReferenceFitRuleSkipsAZeroPivot)
{
  // The zero in the top-left corner needs a row exchange.
  double a[9] = { 0, 2, 1, 1, 1, 1, 2, 1, 3 };
  const double b[3] = { 7, 6, 13 };
  int perm[3];
  double y[3];
  double x[3];
  EXPECT_FALSE(luDecomposeSkipping(a, 3, perm));
  luSolveSkipping(a, 3, perm, b, y, x);
  EXPECT_CLOSE(x[0], 1.0);
  EXPECT_CLOSE(x[1], 2.0);
  EXPECT_CLOSE(x[2], 3.0);
  // Two identical columns: singular, every weight on the first, finite.
  double s[4] = { 4, 4, 4, 4 };
  const double c[2] = { 8, 8 };
  EXPECT_TRUE(luDecomposeSkipping(s, 2, perm));
  luSolveSkipping(s, 2, perm, c, y, x);
  EXPECT_CLOSE(x[0], 2.0);
  EXPECT_CLOSE(x[1], 0.0);
}
