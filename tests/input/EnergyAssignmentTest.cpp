#include "input/EnergyAssignment.h"
#include "input/Units.h"

#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <cmath>
#include <tuple>

using namespace energy;

namespace {

QString writeFile(const QString& name, const QByteArray& text)
{
  return lctest::writeFile(lctest::scratchDir("test_energy_" + name) + "/" + name, text);
}

} // namespace

TEST(EnergyFromFileName, PresetsFactorsAndNoMatch)
{
  const QStringList p = patternPresets();
  ASSERT_EQ(p.size(), 9);
  // Each preset on its example name; then a name that does not match (the
  // file number), factors that multiply, are not above 0 or are no number,
  // and a pattern matching no digits (the file number, never 0).
  const std::tuple<QString, const char*, const char*, double> cases[] = {
    { p[0], "/data/scan_08979_5000.tif", "", 8979.5 },
    { p[0], "scan_18979_5000.tif", "", 18979.5 },
    { p[1], "a8979_5000.tif", "1", 8979.5 },
    { p[2], "Cu8979_50.img", "1", 8979.5 },
    { p[3], "Cu8979_50eV.img", "", 8979.5 },
    { p[4], "x8979.5000.tif", "1", 8979.5 },
    { p[5], "x8979.50.tif", "1", 8979.5 },
    { p[6], "x8979.50eV.tif", "", 8979.5 },
    { p[7], "Cu_08_979500KeV.img", "1000", 8979.5 },
    { p[8], "Cu8_979500KeV.img", "1000", 8979.5 },
    { p[1], "dark.tif", "1", 3.0 },
    { p[1], "a8979_5000", "2", 17959.0 },
    { p[1], "a8979_5000", "0", 8979.5 },
    { p[1], "a8979_5000", "abc", 8979.5 },
    { "[a-z]+", "abc_7.tif", "", 3.0 },
    // Groups read where the whole match is no number: integer, fraction.
    { "_(\\d+)_(\\d+)\\.", "scan_08979_5000.tif", "", 8979.5 },
    { "E(\\d+)eV", "E8979eV.tif", "", 8979.0 },
  };
  for (const auto& [pattern, name, factor, eV] : cases)
    EXPECT_CLOSE(fromFileName(name, pattern, factor, 3), eV, 1e-9) << name;

  // The rule a session and the windows start with: the first preset.
  EnergyRule byName;
  byName.fromFileName = true;
  EXPECT_CLOSE(byName.energyOf("scan_08979_5000.tif", 3), 8979.5);

  // A load whose names match no number, or whose pattern is no regular
  // expression, is refused with the file and the matched text; only the
  // files the loader reads count.
  EnergyRule r;
  r.fromFileName = true;
  r.pattern = "_[a-z]+_";
  const QStringList files = { "a_1.tif", "scan_abc_1.tif" };
  EXPECT_EQ(r.refusal(files, 1, 0, 0),
            "Files not loaded: the energy pattern _[a-z]+_ matches \"_abc_\" in scan_abc_1.tif, "
            "which is no number");
  EXPECT_EQ(r.refusal(files, 1, 0, 1), QString());
  EXPECT_EQ(r.refusal(files, 2, 0, 0), QString());
  r.pattern = "(";
  EXPECT_TRUE(r.refusal(files, 1, 0, 0).startsWith("Files not loaded: the energy pattern ( is no"));
  r.fromFileName = false;
  EXPECT_EQ(r.refusal(files, 1, 0, 0), QString());

  // Only the selected source's settings decide whether energies change.
  EnergyRule a, b;
  b.pattern = "x";
  EXPECT_TRUE(a.sameEnergies(b));
  b.calc.Start = 9000;
  EXPECT_FALSE(a.sameEnergies(b));

  EXPECT_EQ(factorForPattern(p[7]), "1000");
  EXPECT_EQ(factorForPattern("\\d\\d_\\d\\dkev"), "1000");
  EXPECT_EQ(factorForPattern(p[1]), "1");
  EXPECT_TRUE(factorForPattern(p[3]).isEmpty()); // eV: kept
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
  for (const auto& [n, e] : { std::pair{ -3, 7000.0 }, { 1, 7001.0 }, { 9, 7002.0 } })
    EXPECT_CLOSE(fromReferenceList(list, n), e) << n;

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
  EXPECT_EQ(Units::print(8979.5, "eV"), " 8979.50");
  EXPECT_EQ(Units::print(8.9795, "keV"), " 8.97950");
  EXPECT_EQ(Units::print(9.5, "deg"), " 9.50000");
}
