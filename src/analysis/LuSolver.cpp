#include "analysis/LuSolver.h"

#include <cmath>

std::vector<double> LuSolver::solve(std::vector<double> a,
                                    std::vector<double> b,
                                    int n,
                                    bool* singular)
{
  std::vector<double> x(n > 0 ? static_cast<size_t>(n) : 0, 0.0);
  if (n <= 0 || a.size() < static_cast<size_t>(n) * n || b.size() < static_cast<size_t>(n)) {
    if (singular)
      *singular = n > 0;
    return x;
  }
  std::vector<int> perm(n);
  for (int i = 0; i < n; ++i)
    perm[i] = i;
  auto at = [&a, n](int row, int col) -> double& { return a[static_cast<size_t>(row) * n + col]; };

  bool isSingular = false;
  for (int k = 0; k < n; ++k) {
    int best = k;
    double bestAbs = std::fabs(at(perm[k], k));
    for (int i = k + 1; i < n; ++i) {
      const double v = std::fabs(at(perm[i], k));
      if (v > bestAbs) {
        bestAbs = v;
        best = i;
      }
    }
    std::swap(perm[k], perm[best]);
    const double pivot = at(perm[k], k);
    if (pivot == 0.0) {
      isSingular = true;
      continue;
    }
    for (int i = k + 1; i < n; ++i) {
      const double factor = at(perm[i], k) / pivot;
      at(perm[i], k) = factor;
      for (int j = k + 1; j < n; ++j)
        at(perm[i], j) -= factor * at(perm[k], j);
    }
  }

  // Forward substitution (unit lower triangle) in permuted order.
  std::vector<double> y(n, 0.0);
  for (int k = 0; k < n; ++k) {
    double s = b[perm[k]];
    for (int j = 0; j < k; ++j)
      s -= at(perm[k], j) * y[j];
    y[k] = s;
  }
  // Back substitution; a row with a zero pivot is skipped and its unknown stays 0.
  for (int k = n - 1; k >= 0; --k) {
    const double pivot = at(perm[k], k);
    if (pivot == 0.0)
      continue;
    double s = y[k];
    for (int j = k + 1; j < n; ++j)
      s -= at(perm[k], j) * x[j];
    x[k] = s / pivot;
  }
  if (singular)
    *singular = isSingular;
  return x;
}
