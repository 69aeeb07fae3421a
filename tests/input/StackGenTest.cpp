#include "input/TiffData.h"

#include "StackGen.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <gtest/gtest.h>

#include <cmath>

using namespace stackgen;

TEST(StackGen, NamesCarryTheEnergy)
{
  EXPECT_EQ(frameFileName("scan", 8979.5, Format::Tiff), "scan_08979_5000.tif");
  EXPECT_EQ(frameFileName("I0", 18979.25, Format::Img32), "I0_18979_2500.img");
  EXPECT_EQ(frameFileName("v", 9000.0, Format::Vrsk), "v_09000_0000.dat");
}

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
    EXPECT_GT(i1.minValue, plan.dark);
    EXPECT_LT(i0.maxValue, 65535.0);
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 6; ++x) {
        const int p = y * 6 + x;
        double mu = 0;
        for (int c = 0; c < 2; ++c)
          mu += t.fractions[c][p] * componentMu(t.components[c], t.energies[k] - t.shift[p]);
        const double measured =
          -std::log((i1.value(x, y) - plan.dark) / (i0.value(x, y) - plan.dark));
        ASSERT_CLOSE(measured, t.thickness[p] * mu, 2e-3);
      }
    }
  }
  // The reference spectra are "#"-headed (energy, mu) columns.
  QFile ref(t.referenceFiles[1]);
  ASSERT_TRUE(ref.open(QIODevice::ReadOnly | QIODevice::Text));
  QTextStream in(&ref);
  int points = 0;
  while (!in.atEnd()) {
    const QString line = in.readLine();
    if (line.startsWith('#'))
      continue;
    const QStringList items = line.split(' ');
    ASSERT_EQ(items.size(), 2);
    EXPECT_CLOSE(items[1].toDouble(), componentMu(t.components[1], items[0].toDouble()), 1e-8);
    ++points;
  }
  EXPECT_EQ(points, 5);
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
  auto bytes = [](const QString& p) {
    QFile f(p);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  };
  EXPECT_EQ(bytes(a.i1Files[1]), bytes(b.i1Files[1]));
  EXPECT_NE(bytes(a.i1Files[1]), bytes(c.i1Files[1]));
  EXPECT_TRUE(a.i0Files.isEmpty());
}
