#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include "spectrum/EdgeTable.h"
#include "spectrum/ElementTable.h"

#include <gtest/gtest.h>

TEST(ElementTable, SymbolsAndMasses)
{
  // Symbols are case-sensitive, edge names are not; other edge names give K.
  EXPECT_EQ(atomicNumberOf("Cu"), 29);
  EXPECT_EQ(atomicNumberOf("cu"), -1);
  EXPECT_EQ(atomicNumberOf("D"), 110);
  EXPECT_CLOSE(elementRecord(26).mass, 55.847);
  for (const auto& [name, index] :
       { std::pair{ "liii", 3 }, { "Li", 1 }, { "L2", 2 }, { "M1", 0 } })
    EXPECT_EQ(edgeIndexOf(name), index) << name;
}

TEST(EdgeTable, LoadsTheResource)
{
  loadEdgeTable();
  ASSERT_EQ(edgeTableCount(), 93);
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
  loadEdgeTable(
    lctest::writeFile(lctest::scratchDir("edge_table") + "/table.txt",
                      "= header\n# comment\nH 1 = = -3 = = = = = = = = = = = = = = = =\n"));
  EXPECT_EQ(edgeTableCount(), 2);
  for (int k = 0; k < kEdgeCount; ++k)
    EXPECT_TRUE(lctest::near(victoreenC(1, k), 0) && lctest::near(victoreenD(1, k), 0) &&
                lctest::near(edgeEnergyEV(1, k), 0));
  lctest::MessageCapture log;
  loadEdgeTable("/nonexistent/Victoreen1.txt");
  EXPECT_TRUE(log.has("Cannot open [Victoreen1.txt]\n"));
  EXPECT_EQ(edgeTableCount(), 0);
  EXPECT_CLOSE(edgeEnergyEV(29, 0), 0.0);
  loadEdgeTable();
}
