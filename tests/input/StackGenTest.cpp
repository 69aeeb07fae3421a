#include "input/TiffData.h"

#include "StackGen.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace stackgen;

TEST(StackGen, PhysicalStackReadsBackAsItsTruth)
{
  StackSpec plan;
  plan.width = 6;
  plan.height = 4;
  plan.energies = { 8950, 8979, 8984, 8990, 9040 };
  plan.noise = false;
  const StackTruth t = generateStack(plan, lctest::scratchDir("stackgen_truth"), Format::Img16);
  ASSERT_TRUE(t.ok);
  ASSERT_EQ(t.i1Files.size(), 5);
  ASSERT_EQ(t.i0Files.size(), 5);
  ASSERT_EQ(t.referenceFiles.size(), 2);
  TiffData dark;
  ASSERT_TRUE(dark.read(t.darkFile));
  EXPECT_CLOSE(dark.maxValue, plan.dark);
  for (int k = 0; k < 5; ++k) {
    TiffData i1, i0;
    ASSERT_TRUE(i1.read(t.i1Files[k]) && i0.read(t.i0Files[k]));
    EXPECT_LT(i0.maxValue, 65535.0);
    for (int p = 0; p < 24; ++p) {
      double mu = 0;
      for (int c = 0; c < 2; ++c)
        mu += t.fractions[c][p] * componentMu(t.components[c], t.energies[k] - t.shift[p]);
      const double i1net = i1.value(p % 6, p / 6) - plan.dark;
      ASSERT_CLOSE(
        -std::log(i1net / (i0.value(p % 6, p / 6) - plan.dark)), t.thickness[p] * mu, 2e-3);
    }
  }
}

TEST(StackGen, NoiseIsFixedBySeed)
{
  StackSpec plan;
  plan.energies = { 8970, 9000 };
  plan.writeI0 = false;
  const StackTruth a = generateStack(plan, lctest::scratchDir("stackgen_a"), Format::Tiff);
  const StackTruth b = generateStack(plan, lctest::scratchDir("stackgen_b"), Format::Tiff);
  plan.seed = 99;
  const StackTruth c = generateStack(plan, lctest::scratchDir("stackgen_c"), Format::Tiff);
  ASSERT_TRUE(a.ok && b.ok && c.ok);
  EXPECT_EQ(lctest::readFile(a.i1Files[1]), lctest::readFile(b.i1Files[1]));
  EXPECT_NE(lctest::readFile(a.i1Files[1]), lctest::readFile(c.i1Files[1]));
  EXPECT_TRUE(a.i0Files.isEmpty());
}

// The calibration check's shifts: -2 eV in the left column, +2 eV in the
// right, +3 eV over the block; the default stays the top-to-bottom ramp.
TEST(StackGen, CalibrationCheckShift)
{
  const QVector<double> s = calibrationCheckShift(9, 8);
  ASSERT_EQ(s.size(), 72);
  EXPECT_CLOSE(s[0], -2.0);
  EXPECT_CLOSE(s[8], 2.0);
  EXPECT_CLOSE(s[7 * 9 + 4], 0.0);
  EXPECT_CLOSE(s[2 * 9 + 3], 3.0); // columns 3..5, rows 2..3
  EXPECT_CLOSE(s[3 * 9 + 5], 3.0);
  EXPECT_CLOSE(s[4 * 9 + 5], 0.5);
  StackSpec plan;
  plan.width = 9;
  plan.height = 8;
  const StackSpec ramp = completed(plan);
  EXPECT_CLOSE(ramp.shift[0], -1.0);
  EXPECT_CLOSE(ramp.shift[7 * 9 + 8], 1.0);
}
