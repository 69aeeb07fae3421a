#pragma once

#include <vector>

// Dense LU solve of the small normal equations of the reference fits.
//
// Partial pivoting through a row-permutation vector: the pivot is the
// largest absolute value of the column among the remaining rows (the first
// of equal ones wins). A zero pivot marks the system singular, but the
// decomposition and both substitutions go on and skip that row, so a
// singular system still yields finite weights (the unknown of a skipped row
// stays 0). Identical references therefore give all the weight to the first.
class LuSolver
{
public:
  // a: n x n row-major matrix, b: n values. Returns the solution (n values);
  // `singular` (when given) tells whether a zero pivot was met.
  static std::vector<double> solve(std::vector<double> a,
                                   std::vector<double> b,
                                   int n,
                                   bool* singular = nullptr);
};
