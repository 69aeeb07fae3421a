#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include "spectrum/EdgeTable.h"
#include "spectrum/ElementTable.h"

#include <QFile>
#include <QTextStream>

#include <gtest/gtest.h>

TEST(ElementTable, SymbolsAndMasses)
{
  EXPECT_EQ(atomicNumberOf("Cu"), 29);
  EXPECT_EQ(atomicNumberOf("cu"), -1);
  EXPECT_EQ(atomicNumberOf("D"), 110);
  EXPECT_EQ(atomicNumberOf("Mt"), 109);
  EXPECT_CLOSE(elementRecord(26).mass, 55.847);
  EXPECT_CLOSE(elementRecord(103).mass, 0.0);
  EXPECT_EQ(edgeIndexOf("liii"), 3);
  EXPECT_EQ(edgeIndexOf("Li"), 1);
  EXPECT_EQ(edgeIndexOf("L2"), 2);
  EXPECT_EQ(edgeIndexOf("M1"), 0);
}

TEST(EdgeTable, LoadsTheResource)
{
  loadEdgeTable();
  ASSERT_EQ(edgeTableCount(), 93);
  QFile f(":Victoreen1.txt");
  ASSERT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text));
  QTextStream in(&f);
  double cuK = 0;
  while (!in.atEnd()) {
    const QStringList items = in.readLine().split(' ', Qt::SkipEmptyParts);
    if (items.value(0) == "Cu")
      cuK = items.value(2).toDouble();
  }
  EXPECT_CLOSE(edgeEnergyEV(29, 0), 1000 * cuK);
  EXPECT_CLOSE(edgeEnergyEV(26, 0), 7112.0, 1e-9);
  EXPECT_GT(victoreenC(29, 0), 0.0);

  // Symbols past the table's end leave the caller's value alone.
  double eV = 123.0;
  EXPECT_FALSE(lookupEdgeEnergy("Pu", "K", eV));
  EXPECT_FALSE(lookupEdgeEnergy("D", "K", eV));
  EXPECT_FALSE(lookupEdgeEnergy("Xx", "K", eV));
  EXPECT_CLOSE(eV, 123.0);
  EXPECT_TRUE(lookupEdgeEnergy("U", "L3", eV));
  EXPECT_CLOSE(eV, edgeEnergyEV(92, 3));
}

TEST(EdgeTable, NoValuesAndMissingResource)
{
  const QString path = lctest::scratchDir("edge_table") + "/table.txt";
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Text));
    f.write("= header\n# comment\nH 1 = = -3 = = = = = = = = = = = = = = = =\n");
  }
  loadEdgeTable(path);
  EXPECT_EQ(edgeTableCount(), 2);
  for (int k = 0; k < kEdgeCount; ++k) {
    EXPECT_CLOSE(victoreenC(1, k), 0.0);
    EXPECT_CLOSE(victoreenD(1, k), 0.0);
    EXPECT_CLOSE(edgeEnergyEV(1, k), 0.0);
  }
  lctest::MessageCapture log;
  loadEdgeTable("/nonexistent/Victoreen1.txt");
  EXPECT_TRUE(log.has("Cannot open [Victoreen1.txt]\n"));
  EXPECT_EQ(edgeTableCount(), 0);
  EXPECT_CLOSE(edgeEnergyEV(29, 0), 0.0);
  loadEdgeTable();
}
