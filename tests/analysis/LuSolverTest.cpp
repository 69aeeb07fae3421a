#include "analysis/LuSolver.h"

#include "support/Tolerance.h"

#include <gtest/gtest.h>

TEST(LuSolver, SolvesWithRowPivoting)
{
  // The zero in the top-left corner needs a row exchange.
  const std::vector<double> a = { 0, 2, 1, 1, 1, 1, 2, 1, 3 };
  bool singular = true;
  const std::vector<double> x = LuSolver::solve(a, { 7, 6, 13 }, 3, &singular);
  EXPECT_FALSE(singular);
  ASSERT_EQ(x.size(), 3u);
  EXPECT_CLOSE(x[0], 1.0);
  EXPECT_CLOSE(x[1], 2.0);
  EXPECT_CLOSE(x[2], 3.0);
}
