#include "support/TestData.h"
#include "support/Tolerance.h"

#include "spectrum/XafsSpectrum.h"

#include <gtest/gtest.h>

#include <cmath>

using lctest::writeFile;

TEST(Load, MeasuredTransmissionSpectra)
{
  // Points, energy range and tabulated edge, eV.
  const struct
  {
    const char* file;
    int points;
    double first, last, edge;
  } cases[] = {
    { "fe2o3_rt1.xmu", 412, 6911.7, 8099.3, 7112 },
    { "feo_rt1.xdi", 412, 6911.7, 8099.3, 7112 },
    { "fe3c_rt.xdi", 348, 6962.0, 7969.25, 7112 },
    { "PFBL12C_2005.dat", 818, 12049, 13260, 12284 },
  };
  for (const auto& m : cases) {
    SCOPED_TRACE(m.file);
    LC_REQUIRE_SHARED_FILE(path, m.file);
    XafsSpectrum s;
    ASSERT_TRUE(s.load(path));
    EXPECT_EQ(s.size(), m.points);
    EXPECT_CLOSE(s.points.minX, m.first, 5.0);
    EXPECT_CLOSE(s.points.maxX, m.last, 20.0); // angles: a few eV off the nominal block ends
    s.normalize(0);
    EXPECT_GE(s.midx, m.edge - 3.0);
    EXPECT_LE(s.midx, m.edge + 15.0);
    EXPECT_GT(s.dMut, 0.0);
  }
}

TEST(Load, FluorescenceScanNormalisesSoundly)
{
  LC_REQUIRE_SHARED_FILE(path, "PF9A_2022.dat");
  XafsSpectrum s;
  ASSERT_TRUE(s.load(path));
  EXPECT_EQ(s.fileKind, XafsSpectrum::FileKind::Format9809);
  EXPECT_EQ(s.size(), 1426);
  // A "Fluorescence" scan reads I1/I0 (first data line: angle 17.41440,
  // I0 1792467, I1 14016), which rises at the Fe K edge.
  EXPECT_CLOSE(s.value(0), 14016.0 / 1792467.0, 1e-12);
  EXPECT_CLOSE(s.energy(0),
               12398.424360387684 / (2 * 3.13551 * std::sin(17.41440 * 3.1415926535 / 180)),
               1e-6);
  for (int mode : { 0, 1 }) {
    s.normalize(mode);
    EXPECT_TRUE(std::isfinite(s.dMut) && s.dMut > 0.0);
    EXPECT_CLOSE(s.midx, 7117.0, 10.0);
    for (double v : s.normalized)
      ASSERT_TRUE(std::isfinite(v));
  }
}

TEST(Load, WrittenFileLoadsBack)
{
  LC_REQUIRE_SHARED_FILE(path, "fe2o3_rt1.xmu");
  XafsSpectrum s;
  ASSERT_TRUE(s.load(path));
  s.normalize(0);
  s.extraShift = 2.0;
  const QString out = lctest::scratchDir("spectrum_write") + "/fe2o3.txt";
  ASSERT_TRUE(s.writeText(out, true));
  EXPECT_TRUE(lctest::readFile(out).startsWith("###Lumacresta::XafsSpectrum\n# midx    : "));

  XafsSpectrum back;
  ASSERT_TRUE(back.load(out));
  ASSERT_EQ(back.size(), s.size());
  for (int i = 0; i < s.size(); i += 37) {
    EXPECT_CLOSE(back.energy(i), s.energy(i) - 2.0, 0.05);
    EXPECT_CLOSE(back.value(i), s.curve(XafsSpectrum::CurveDoubleNormalized).y(i), 1e-5);
  }
}

TEST(Load, DamagedFilesNeverCrash)
{
  const QString dir = lctest::scratchDir("spectrum_damaged");
  XafsSpectrum s;
  s.points.append(8000, 1.0);
  writeFile(dir + "/empty.dat", "");
  EXPECT_FALSE(s.load(dir + "/empty.dat"));
  EXPECT_FALSE(s.load(dir + "/missing.dat"));
  EXPECT_EQ(s.size(), 1); // a failed load keeps the spectrum

  QByteArray binary;
  for (int i = 0; i < 4096; ++i)
    binary.append(char((i * 7919) & 0xff));
  writeFile(dir + "/binary.dat", binary);
  s.load(dir + "/binary.dat");
  for (int i = 0; i < s.size(); ++i)
    EXPECT_TRUE(std::isfinite(s.energy(i)) && s.energy(i) > 0);

  writeFile(dir + "/nooffset.dat", "9809 header\n D= 3.1 A\n 1 2 3 4 5 6\n");
  ASSERT_TRUE(s.load(dir + "/nooffset.dat"));
  EXPECT_EQ(s.size(), 0);
  s.normalize(0);
  EXPECT_CLOSE(s.dMut, 0.0);

  writeFile(dir + "/words.dat", "Energy mu\nabc def\n");
  EXPECT_FALSE(s.load(dir + "/words.dat"));
  writeFile(dir + "/header.dat", "Energy mu\n8000 1.5\n8001 x\n0 2\n8002 1.7\n");
  ASSERT_TRUE(s.load(dir + "/header.dat"));
  ASSERT_EQ(s.size(), 2);
  EXPECT_CLOSE(s.energy(1), 8002.0);

  // Angles that give no finite positive energy, and a bad spacing.
  writeFile(dir + "/angles.dat",
            "9809\n D= -1\n Offset 0 0 0 0\n 0 0 0 100 50\n 0 x 0 100 50\n 0 20 0 100 50\n");
  ASSERT_TRUE(s.load(dir + "/angles.dat"));
  ASSERT_EQ(s.size(), 1);
  EXPECT_CLOSE(
    s.energy(0), 12398.424360387684 / (2 * 3.13553 * std::sin(20 * 3.1415926535 / 180)), 1e-6);
}
