#include "calibration/EmpFile.h"
#include "analysis/AnalyzeCond.h"
#include "input/EnergyAssignment.h"
#include "support/Maps.h"
#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <QFile>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

constexpr double kEs = 8979.0;
constexpr double kSi111 = 3.1355316;

// A 4 x 3 map from a run with half widths 1 x 0 over [0, 4) x [1, 3).
AnalyzeCond smallScan()
{
  return lctest::area(4, 3, 1, 0, 0, 1, 4, 2);
}

EMPHeader headerOf(const QByteArray& text)
{
  QByteArray bytes = text;
  QTextStream in(&bytes);
  return readEmpHeader(in);
}

// A header with every line, its numbers given, then the delimiter.
QByteArray header(const QString& width, const QString& height, const QString& spacing = "3.13553")
{
  return QStringLiteral("###Lumacresta::LMCR\n"
                        "Record Date             : 24/01/02 10:11:12.123\n"
                        "Std Edge Energy [eV]    : 8979\n"
                        "Spacing [nm]            : %3\n"
                        "Width [pix]             : %1\n"
                        "Height [pix]            : %2\n"
                        "Bin Half Width [pix]    : 0\n"
                        "Bin Half Height [pix]   : 0\n"
                        "Area X0                 : 0\n"
                        "Area X1                 : %1\n"
                        "Area Y0                 : 0\n"
                        "Area Y1                 : %2\n"
                        "Std File Name           : std.dat\n"
                        "Map Height              : %2\n"
                        "##-----------------\n")
    .arg(width, height, spacing)
    .toUtf8();
}

bool readValues(const QByteArray& text, double es, QVector<double>& values)
{
  QByteArray bytes = text;
  QTextStream in(&bytes);
  const EMPHeader h = readEmpHeader(in);
  return h.valid && readEmpValues(in, h, es, values);
}

} // namespace

// Shifts written as angle differences come back to the file's six digits,
// with the geometry of the run in the header and one "Map Width" line per
// row; a shift whose energy no angle selects comes back as something else.
TEST(EmpFile, RoundTripKeepsShiftsAndGeometry)
{
  const AnalyzeCond scan = smallScan();
  const QVector<double> shifts = {
    -2.0, -0.5, 0.0, 0.25, 1.0, 3.0, 7.5, -12.0, 0.1, 0.2, 0.3, kEs - 1000.0
  }; // the last: 1000 eV, no angle
  const EmpWriteInfo info{ kEs, kSi111, QStringLiteral("std.dat") };
  const QString name = lctest::scratchDir("EmpFile") + "/map";
  ASSERT_TRUE(writeEmpFile(name, info, scan, shifts));
  const QString written = name + ".emp";
  const QStringList lines = QString::fromUtf8(lctest::readFile(written)).split('\n');
  EXPECT_EQ(lines.value(0), "###Lumacresta::LMCR");
  EXPECT_EQ(lines.value(2), "Std Edge Energy [eV]    : 8979");
  EXPECT_EQ(lines.value(3), "Spacing [nm]            : 3.13553");
  EXPECT_EQ(lines.value(6), "Bin Half Width [pix]    : 1");
  EXPECT_EQ(lines.value(10), "Area Y0                 : 1");
  EXPECT_EQ(lines.value(12), "Std File Name           : std.dat");
  EXPECT_EQ(lines.value(13), "Map Height              : 3");
  EXPECT_EQ(lines.value(14), "Map Width               : 0 4");
  EXPECT_EQ(lines.value(16), "Map Width               : 2 4");
  EXPECT_EQ(lines.value(17), "##-----------------");
  EXPECT_TRUE(lines.value(18).endsWith(' '));

  QFile f(written);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text));
  QTextStream in(&f);
  const EMPHeader h = readEmpHeader(in);
  ASSERT_TRUE(h.valid);
  EXPECT_EQ(h.width, 4);
  EXPECT_EQ(h.height, 3);
  EXPECT_EQ(h.binHalfWidth, 1);
  EXPECT_EQ(h.areaY0, 1);
  EXPECT_EQ(h.areaY1, 3);
  QVector<double> back;
  ASSERT_TRUE(readEmpValues(in, h, h.stdEdgeEnergy, back));
  ASSERT_EQ(back.size(), shifts.size());
  for (int i = 0; i + 1 < shifts.size(); ++i)
    EXPECT_CLOSE(back[i], shifts[i], 0.02) << i; // 6 digits of an angle near 23 degrees
  // Written as -1 - θ0, read back at the angle -1 degree.
  const double theta0 = energy::angleOfEnergy(kEs, kSi111);
  EXPECT_CLOSE(back.last(), kEs - energy::energyOfAngle(-1.0, kSi111), 1.0);
  EXPECT_LT(theta0, 90.0);
}

TEST(EmpFile, NameGetsTheSuffixOnlyWhenItHasNoneAndUnwritablePlacesFail)
{
  EXPECT_TRUE(empFileName("/tmp/a/map").endsWith("/tmp/a/map.emp"));
  EXPECT_TRUE(empFileName("/tmp/a/map.txt").endsWith("/tmp/a/map.txt"));
  EXPECT_TRUE(empFileName("/tmp/a/map.v1.emp").endsWith("/tmp/a/map.v1.emp"));

  // A write to an unwritable place fails and says so.
  lctest::MessageCapture log;
  const QVector<double> one{ 0.0 };
  EXPECT_FALSE(writeEmpFile("/proc/no/such/dir/map.emp", EmpWriteInfo{}, smallScan(), one));
  EXPECT_TRUE(log.has("Can not open /proc/no/such/dir/map.emp"));
}

// The header needs its tag, the delimiter and the width, height, edge and
// spacing lines; the short tag counts as well.
TEST(EmpFile, HeaderRules)
{
  EXPECT_TRUE(headerOf(header("4", "3")).valid);
  QByteArray shortTag = header("4", "3");
  shortTag.replace("###Lumacresta::LMCR", "###LMCR");
  EXPECT_TRUE(headerOf(shortTag).valid);

  QByteArray noSpacing = header("4", "3");
  noSpacing.replace("Spacing [nm]            : 3.13553\n", "");
  EXPECT_FALSE(headerOf(noSpacing).valid);
  QByteArray noDelimiter = header("4", "3");
  noDelimiter.replace("##-----------------\n", "");
  EXPECT_FALSE(headerOf(noDelimiter).valid);

  lctest::MessageCapture log;
  QByteArray wrongTag = header("4", "3");
  wrongTag.replace("###Lumacresta::LMCR", "# some other file");
  EXPECT_FALSE(headerOf(wrongTag).valid);
  EXPECT_TRUE(log.has("Not a emp file."));
}

// Sizes, area, spacing and energies are checked before anything is
// allocated for the body: a header claiming 10^9 x 10^9 pixels is refused.
TEST(EmpFile, UnsoundHeadersAreRefused)
{
  const QByteArray cases[] = {
    header("1000000000", "1000000000"),
    header("99999999999", "3"), // past int
    header("0", "3"),
    header("-4", "3"),
    header("4", "three"),
    header("4", "3", "0"),
    header("4", "3", "nan"),
    QByteArray(header("4", "3"))
      .replace("Area X1                 : 4", "Area X1                 : 5"),
    QByteArray(header("4", "3"))
      .replace("Area Y0                 : 0", "Area Y0                 : 4"),
    QByteArray(header("4", "3"))
      .replace("Bin Half Width [pix]    : 0", "Bin Half Width [pix]    : -1"),
    QByteArray(header("4", "3"))
      .replace("Std Edge Energy [eV]    : 8979", "Std Edge Energy [eV]    : inf"),
  };
  for (const QByteArray& text : cases)
    EXPECT_FALSE(headerOf(text).valid) << text.constData();
}

// A short body fills with dθ = 0 (a shift of 0) and says "run out!" once
// per missing value; a value that is no number fails the whole read.
TEST(EmpFile, ShortAndDamagedBodies)
{
  lctest::MessageCapture log;
  QVector<double> values;
  ASSERT_TRUE(readValues(header("2", "2") + "0.01 0 \n0.02 \n", kEs, values));
  ASSERT_EQ(values.size(), 4);
  EXPECT_EQ(log.count("run out!"), 1);
  EXPECT_CLOSE(values[1], 0.0, 1e-9);
  EXPECT_CLOSE(values[3], 0.0, 1e-9);
  EXPECT_GT(values[0], 0.0);  // a larger angle is a lower energy: a positive shift
  EXPECT_LT(values[0], 10.0); // 0.01 degree near 23 degrees: about 7 eV

  // A few bytes of header that claim 32 million values (found by fuzzing):
  // the lines stop at a hundred and the rest are counted in one.
  QFile big(QStringLiteral(LC_SOURCE_DIR "/tests/data/fuzz/emp_header_only_large.emp"));
  ASSERT_TRUE(big.open(QIODevice::ReadOnly));
  QTextStream in(&big);
  const EMPHeader h = readEmpHeader(in);
  ASSERT_TRUE(h.valid);
  QVector<double> zeros;
  log.clear();
  ASSERT_TRUE(readEmpValues(in, h, h.stdEdgeEnergy, zeros));
  ASSERT_EQ(zeros.size(), 88979 * 359);
  EXPECT_CLOSE(zeros.last(), 0.0, 1e-9);
  EXPECT_EQ(log.count("run out!"), kRunOutLines + 1); // the last one counts the rest
  EXPECT_TRUE(
    log.has(QStringLiteral("run out! (%1 more missing values)").arg(88979 * 359 - kRunOutLines)));

  QVector<double> kept = { 7.0 };
  EXPECT_FALSE(readValues(header("2", "2") + "0.01 zero 0 0\n", kEs, kept));
  EXPECT_TRUE(log.has("Unreadable value in energy map : zero"));
  ASSERT_EQ(kept.size(), 1);
  EXPECT_CLOSE(kept[0], 7.0);
}

// The angles are turned back into shifts against the energy the reader is
// given, not the header's: another standard edge shifts every value.
TEST(EmpFile, AnotherStandardEdgeShiftsTheValues)
{
  QVector<double> atHeader, atOther;
  ASSERT_TRUE(readValues(header("1", "1") + "0\n", kEs, atHeader));
  ASSERT_TRUE(readValues(header("1", "1") + "0\n", kEs + 10.0, atOther));
  EXPECT_CLOSE(atHeader[0], 0.0, 1e-9);
  EXPECT_CLOSE(atOther[0], 0.0, 1e-9); // dθ = 0 is no shift at either edge
  QVector<double> shifted;
  ASSERT_TRUE(readValues(header("1", "1") + "-0.01\n", kEs + 10.0, shifted));
  const double d = 3.13553; // the header's spacing
  const double expected =
    kEs + 10.0 - energy::energyOfAngle(energy::angleOfEnergy(kEs + 10.0, d) - 0.01, d);
  EXPECT_CLOSE(shifted[0], expected, 1e-9);
}
