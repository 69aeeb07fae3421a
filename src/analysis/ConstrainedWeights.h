#pragma once

#include <vector>

// Weights of a linear-combination fit whose fractions must add up to 1 and,
// when asked, must not be negative. Both work on the fit's own normal
// equations A·w = b, so the constrained fit costs the unconstrained one plus
// a few vector operations (and, with bounds in play, small re-solves).
namespace fit {

struct ConstrainedScratch
{
  std::vector<double> lu;
  std::vector<double> rhs;
  std::vector<double> ones;
  std::vector<double> work;
  std::vector<double> v;
  std::vector<double> u;
  std::vector<double> trial;
  std::vector<int> perm;
  std::vector<int> freeIdx;
  std::vector<char> atZero;
};

// `normal` is the n x n normal matrix (row-major), `b` the right-hand side,
// `v` = A⁻¹b and `u` = A⁻¹·1 from the full system's factorisation (a
// singular system: what the skipping solver leaves). Writes n weights into
// `w` that minimise the fit's squared error subject to Σw = 1 (and w ≥ 0
// when `nonNegative`). Where the constraint cannot be solved (A⁻¹·1 sums
// to 0, e.g. an empty fitting range), the weights are shared equally.
void sumToOneWeights(const double* normal,
                     const double* b,
                     const double* v,
                     const double* u,
                     int n,
                     bool nonNegative,
                     ConstrainedScratch& s,
                     double* w);

} // namespace fit
