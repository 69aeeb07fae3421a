#include "input/EnergyAssignment.h"
#include "input/Units.h"

#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <QFile>
#include <QTextStream>

#include <cmath>

using namespace energy;

namespace {

QString writeFile(const QString& name, const QString& text)
{
  const QString path = lctest::scratchDir("test_energy") + "/" + name;
  QFile f(path);
  f.open(QIODevice::WriteOnly | QIODevice::Text);
  QTextStream(&f) << text;
  return path;
}

} // namespace

TEST(EnergyFromFileName, EachPresetOnItsExampleName)
{
  const QStringList p = patternPresets();
  ASSERT_EQ(p.size(), 9);
  const struct
  {
    int preset;
    const char* name;
    const char* factor;
    double eV;
  } cases[] = {
    { 0, "/data/scan_08979_5000.tif", "", 8979.5 },
    { 0, "scan_18979_5000.tif", "", 18979.5 },
    { 1, "a8979_5000.tif", "1", 8979.5 },
    { 2, "Cu8979_50.img", "1", 8979.5 },
    { 3, "Cu8979_50eV.img", "", 8979.5 },
    { 4, "x8979.5000.tif", "1", 8979.5 },
    { 5, "x8979.50.tif", "1", 8979.5 },
    { 6, "x8979.50eV.tif", "", 8979.5 },
    { 7, "Cu_08_979500KeV.img", "1000", 8979.5 },
    { 8, "Cu8_979500KeV.img", "1000", 8979.5 },
  };
  for (const auto& c : cases)
    EXPECT_CLOSE(fromFileName(c.name, p[c.preset], c.factor, 3), c.eV, 1e-9) << c.name;
}

TEST(EnergyFromFileName, NoMatchGivesFileNumberAndFactorRules)
{
  const QString pattern = patternPresets()[1];
  EXPECT_CLOSE(fromFileName("dark.tif", pattern, "1", 12), 12.0);
  EXPECT_CLOSE(fromFileName("a8979_5000", pattern, "2", 0), 17959.0);
  EXPECT_CLOSE(fromFileName("a8979_5000", pattern, "0", 0), 8979.5);   // not above 0
  EXPECT_CLOSE(fromFileName("a8979_5000", pattern, "abc", 0), 8979.5); // no number
  // A pattern that matches no digits keeps the file number, never 0.
  EXPECT_CLOSE(fromFileName("abc_7.tif", "[a-z]+", "", 7), 7.0);

  EXPECT_EQ(factorForPattern(patternPresets()[7]), "1000");
  EXPECT_EQ(factorForPattern("\\d\\d_\\d\\dkev"), "1000");
  EXPECT_EQ(factorForPattern(patternPresets()[1]), "1");
  EXPECT_TRUE(factorForPattern(patternPresets()[3]).isEmpty()); // eV: kept
}

TEST(CalculatedEnergy, UnitsAndEvenSpacing)
{
  EnergyCalc c;
  EXPECT_CLOSE(c.energyOf(25), 8025.0);
  c.unit = int(CalcUnit::keV);
  c.Start = 8;
  c.Delta = 0.001;
  EXPECT_CLOSE(c.energyOf(25), 8025.0, 1e-9);
  c.unit = int(CalcUnit::deg);
  c.Start = 9.4442;
  c.Delta = -0.001;
  EXPECT_CLOSE(c.energyOf(0), 12049.01, 0.01);
  EXPECT_CLOSE(angleOfEnergy(c.energyOf(10), c.d), 9.4342, 1e-9);

  EnergyCalc a;
  a.evenInAngle = true;
  a.Delta = 123; // plays no part
  EXPECT_CLOSE(a.energyOf(0), 8000.0, 1e-6);
  EXPECT_CLOSE(a.energyOf(1000), 9000.0, 1e-6);
  const double mid = angleOfEnergy(a.energyOf(500), a.d);
  EXPECT_CLOSE(mid, (angleOfEnergy(8000, a.d) + angleOfEnergy(9000, a.d)) / 2, 1e-9);
  EXPECT_LT(a.energyOf(500), 8490.0); // even in angle, not in energy
  a.unit = int(CalcUnit::keV);
  a.Start = 8;
  a.End = 9;
  EXPECT_CLOSE(a.energyOf(1000), 9000.0, 1e-6);
}

TEST(CalculatedEnergy, OutOfRangeFieldsFallBackToAValidEnergy)
{
  lctest::MessageCapture cap;
  EnergyRule r; // calculated, even in energy
  r.calc.Start = -100;
  EXPECT_CLOSE(r.energyOf("f.tif", 5), 8005.0);
  EXPECT_TRUE(cap.has("No valid energy for f.tif (-95), use 8005"));

  r.calc = EnergyCalc();
  r.calc.evenInAngle = true;
  r.calc.Num = 0;
  EXPECT_CLOSE(r.energyOf("f.tif", 5), 8005.0);
  r.calc.Num = 1000;
  r.calc.Start = 1000; // below hc/2d: no angle selects it (the -1 marker)
  EXPECT_CLOSE(r.energyOf("f.tif", 5), 8005.0);

  r.calc = EnergyCalc();
  r.calc.unit = int(CalcUnit::deg);
  r.calc.Start = 0; // sin 0
  EXPECT_CLOSE(r.energyOf("f.tif", 0), 8000.0);
  EXPECT_TRUE(std::isfinite(r.energyOf("f.tif", 1)));

  r = EnergyRule(); // an unmatched first file would get the energy 0
  r.fromFileName = true;
  r.pattern = patternPresets()[1];
  EXPECT_CLOSE(r.energyOf("first.tif", 0), 8000.0);
  EXPECT_CLOSE(r.energyOf("second.tif", 1), 1.0);
}

TEST(ReferenceEnergies, ListLookupAndRuleSelection)
{
  EXPECT_CLOSE(fromReferenceList({}, 7), 8007.0);
  const QVector<double> list{ 7000, 7001, 7002 };
  EXPECT_CLOSE(fromReferenceList(list, -3), 7000.0);
  EXPECT_CLOSE(fromReferenceList(list, 1), 7001.0);
  EXPECT_CLOSE(fromReferenceList(list, 9), 7002.0);

  EnergyRule r;
  r.refEnergies = list;
  r.fromRefFile = true;
  EXPECT_CLOSE(r.energyOf("a", 1), 8001.0); // the file-number radio wins
  r.fromFileNum = false;
  EXPECT_CLOSE(r.energyOf("a", 1), 7001.0);
  r.fromFileName = true; // the name wins over both
  r.pattern = patternPresets()[1];
  EXPECT_CLOSE(r.energyOf("a8979_5000", 1), 8979.5);
}

TEST(ReferenceEnergies, Read9809File)
{
  LC_REQUIRE_SHARED_FILE(path, "PFBL12C_2005.dat");
  QVector<double> e{ 1, 2 };
  ASSERT_TRUE(readReferenceEnergies(path, kDefaultD, e));
  ASSERT_EQ(e.size(), 818); // the closing 0x1A line is no point
  EXPECT_CLOSE(e.first(), energyOfAngle(9.44420, kDefaultD), 1e-9);
  EXPECT_CLOSE(e.first(), 12049.0, 1.0);
  EXPECT_CLOSE(e.last(), energyOfAngle(8.58580, kDefaultD), 1e-9); // second column
}

TEST(ReferenceEnergies, ColumnAndGenerated9809FilesSkipNonNumbers)
{
  const QString column = writeFile("angles.txt",
                                   "# angle counts\n"
                                   "Angle Counts\n"
                                   "9.5 100\n"
                                   "\n"
                                   "abc 1\n"
                                   "0 5\n"
                                   "9.4\n"
                                   "9.3 x\n");
  QVector<double> e;
  ASSERT_TRUE(readReferenceEnergies(column, kDefaultD, e));
  ASSERT_EQ(e.size(), 2);
  EXPECT_CLOSE(e[0], energyOfAngle(9.5, kDefaultD));
  EXPECT_CLOSE(e[1], energyOfAngle(9.4, kDefaultD));

  const QString f9809 = writeFile("scan.dat",
                                  "  9809  KEK-PF\n"
                                  "  1.0 2.0\n"
                                  "    Offset  0 0\n"
                                  "  Energy mu\n"
                                  "# 1 2\n"
                                  "  9.6 9.5 1.0\n"
                                  "  9.4\n"
                                  "  9.3 9.2 1.0\n");
  ASSERT_TRUE(readReferenceEnergies(f9809, 2.0, e));
  ASSERT_EQ(e.size(), 2);
  EXPECT_CLOSE(e[0], energyOfAngle(9.5, 2.0));
  EXPECT_CLOSE(e[1], energyOfAngle(9.2, 2.0));

  lctest::MessageCapture cap;
  EXPECT_FALSE(readReferenceEnergies(column + ".missing", kDefaultD, e));
  EXPECT_TRUE(cap.has("Can't open ref file " + column + ".missing"));
  EXPECT_EQ(e.size(), 2); // kept
}

TEST(Units, SpacingAndFormats)
{
  Units u;
  EXPECT_CLOSE(u.d(), 3.13553);
  lctest::MessageCapture cap;
  u.setD(0);
  u.setD(std::nan(""));
  EXPECT_CLOSE(u.d(), 3.13553);
  EXPECT_EQ(cap.count("Crystal spacing must be above 0"), 2);
  u.setD(3.13551);
  EXPECT_CLOSE(u.d(), 3.13551);
  EXPECT_EQ(Units::print(8979.5, "eV"), " 8979.50");
  EXPECT_EQ(Units::print(8.9795, "keV"), " 8.97950");
  EXPECT_EQ(Units::print(9.5, "deg"), " 9.50000");
}
