#pragma once

// The one way tests compare computed numbers: an absolute tolerance, or a
// relative one for values whose scale varies. Never bare == on doubles.

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <utility>

namespace lctest {

constexpr double kTight = 1e-9;

inline ::testing::AssertionResult near(double actual, double expected, double tol = kTight)
{
  if (std::isnan(expected) && std::isnan(actual))
    return ::testing::AssertionSuccess();
  if (std::fabs(actual - expected) <= tol)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "actual " << actual << " differs from expected " << expected << " by "
         << std::fabs(actual - expected) << " (tolerance " << tol << ")";
}

inline ::testing::AssertionResult nearRel(double actual, double expected, double relTol)
{
  const double scale = std::max(std::fabs(expected), 1e-300);
  if (std::fabs(actual - expected) <= relTol * scale)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "actual " << actual << " differs from expected " << expected << " by "
         << std::fabs(actual - expected) / scale << " relative (tolerance " << relTol << ")";
}

// One (actual, expected) row of a table checked by expectAllClose, which
// names the failing row.
using CloseRow = std::pair<double, double>;

template<std::size_t N>
void expectAllClose(const CloseRow (&rows)[N], double tol = kTight)
{
  for (std::size_t row = 0; row < N; ++row)
    EXPECT_TRUE(near(rows[row].first, rows[row].second, tol)) << "row " << row;
}

} // namespace lctest

#define EXPECT_CLOSE(actual, expected, ...) EXPECT_TRUE(::lctest::near((actual), (expected), ##__VA_ARGS__))
#define ASSERT_CLOSE(actual, expected, ...) ASSERT_TRUE(::lctest::near((actual), (expected), ##__VA_ARGS__))
#define EXPECT_CLOSE_REL(actual, expected, rel) EXPECT_TRUE(::lctest::nearRel((actual), (expected), (rel)))
