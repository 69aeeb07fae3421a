#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include "spectrum/EdgeTable.h"

#include <gtest/gtest.h>

TEST(EdgeTable, LoadsTheResourceLooksUpEdgesAndSurvivesBadTables)
{
  loadEdgeTable();
  ASSERT_EQ(edgeTableCount(), 93);
  EXPECT_CLOSE(edgeEnergyEV(26, 0), 7112.0, 1e-9);

  // Unknown symbols (the case counts) and symbols past the table's end leave
  // the caller's value alone; edge names are read in any case.
  double eV = 123.0;
  for (const char* symbol : { "Pu", "D", "Xx", "cu" })
    EXPECT_FALSE(lookupEdgeEnergy(symbol, "K", eV)) << symbol;
  EXPECT_CLOSE(eV, 123.0);
  EXPECT_TRUE(lookupEdgeEnergy("U", "liii", eV));
  EXPECT_CLOSE(eV, edgeEnergyEV(92, 3));

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
