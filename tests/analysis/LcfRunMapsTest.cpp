#include "analysis/LcfRunMaps.h"
#include "analysis/Analyzed2DRes.h"

#include "support/Maps.h"
#include "support/Tolerance.h"

#include <gtest/gtest.h>

#include <memory>

TEST(LcfRunMaps, RecordsUsedReferencesAtTheirListPositions)
{
  std::vector<std::unique_ptr<Analyzed2DRes>> own;
  LcfRunMaps maps;
  for (int i = 0; i < 3; ++i) {
    own.emplace_back(new Analyzed2DRes("LCF Ref 1"));
    maps.amounts.append(own.back().get());
    own.emplace_back(new Analyzed2DRes("LCF Ref 2"));
    maps.fractions.append(own.back().get());
  }
  Analyzed2DRes zansa("a2d Zansa");
  maps.zansa = &zansa;
  AnalyzeCond c = lctest::wholeArea(6, 3, 1);
  maps.reset(c);
  EXPECT_EQ(maps.fractions[2]->no(), 5);
  EXPECT_EQ(zansa.no(), 6);

  LcfResult r;
  r.refIndex = { 0, 2 };
  r.fractions = { 0.25, 0.75 };
  r.amounts = { 0.5, 1.5 };
  r.z = 0.01;
  maps.record(r, c);
  EXPECT_CLOSE(maps.fractions[2]->valueAt(2, 2), 0.75);
  EXPECT_CLOSE(maps.amounts[0]->valueAt(0, 0), 0.5);
  EXPECT_CLOSE(maps.amounts[1]->valueAt(1, 1), 0.0);
  EXPECT_CLOSE(zansa.valueAt(1, 1), 0.01);

  // A result naming a reference beyond the run's list is ignored; so is a
  // point off the image.
  r.refIndex = { 0, 5 };
  c.next();
  maps.record(r, c);
  EXPECT_CLOSE(maps.amounts[0]->valueAt(4, 1), 0.5);
  c.cx = 7;
  r.amounts = { 9.0, 1.5 };
  maps.record(r, c);
  EXPECT_CLOSE(maps.amounts[0]->max(), 0.5);
}
