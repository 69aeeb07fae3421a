#include "spectrum/LuSolve.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <utility>

namespace {
// A pivot below this share of the largest entry is rounding noise of a
// rank-deficient system (for example fewer distinct points than unknowns).
constexpr double kPivotFloor = 64.0 * DBL_EPSILON;
} // namespace

bool luDecompose(double* a, int n, int* perm)
{
  if (n < 1 || n > kLuMaxSize)
    return false;
  double largest = 0.0;
  for (int i = 0; i < n * n; ++i) {
    if (!std::isfinite(a[i]))
      return false;
    largest = std::max(largest, std::fabs(a[i]));
  }
  if (largest == 0.0)
    return false;
  for (int i = 0; i < n; ++i)
    perm[i] = i;
  for (int k = 0; k < n; ++k) {
    int p = k;
    for (int i = k + 1; i < n; ++i) {
      if (std::fabs(a[i * n + k]) > std::fabs(a[p * n + k]))
        p = i;
    }
    if (!(std::fabs(a[p * n + k]) > kPivotFloor * largest))
      return false;
    if (p != k) {
      for (int j = 0; j < n; ++j)
        std::swap(a[k * n + j], a[p * n + j]);
      std::swap(perm[k], perm[p]);
    }
    for (int i = k + 1; i < n; ++i) {
      const double f = a[i * n + k] / a[k * n + k];
      a[i * n + k] = f;
      for (int j = k + 1; j < n; ++j)
        a[i * n + j] -= f * a[k * n + j];
    }
  }
  return true;
}

bool luSolveLower(const double* lu, int n, const int* perm, const double* b, double* y)
{
  for (int i = 0; i < n; ++i) {
    double s = b[perm[i]];
    for (int j = 0; j < i; ++j)
      s -= lu[i * n + j] * y[j];
    if (!std::isfinite(s))
      return false;
    y[i] = s;
  }
  return true;
}

bool luSolveUpper(const double* lu, int n, const double* y, double* x)
{
  for (int i = n - 1; i >= 0; --i) {
    double s = y[i];
    for (int j = i + 1; j < n; ++j)
      s -= lu[i * n + j] * x[j];
    const double d = lu[i * n + i];
    if (d == 0.0)
      return false;
    s /= d;
    if (!std::isfinite(s))
      return false;
    x[i] = s;
  }
  return true;
}

bool luDecomposeSkipping(double* a, int n, int* perm)
{
  for (int i = 0; i < n; ++i)
    perm[i] = i;
  bool singular = false;
  for (int k = 0; k < n; ++k) {
    int p = k;
    for (int i = k + 1; i < n; ++i) {
      if (std::fabs(a[i * n + k]) > std::fabs(a[p * n + k]))
        p = i;
    }
    if (p != k) {
      for (int j = 0; j < n; ++j)
        std::swap(a[k * n + j], a[p * n + j]);
      std::swap(perm[k], perm[p]);
    }
    const double pivot = a[k * n + k];
    if (pivot == 0.0) {
      singular = true;
      continue;
    }
    for (int i = k + 1; i < n; ++i) {
      const double f = a[i * n + k] / pivot;
      a[i * n + k] = f;
      for (int j = k + 1; j < n; ++j)
        a[i * n + j] -= f * a[k * n + j];
    }
  }
  return singular;
}

void luSolveSkipping(const double* lu,
                     int n,
                     const int* perm,
                     const double* b,
                     double* y,
                     double* x)
{
  for (int i = 0; i < n; ++i) {
    double s = b[perm[i]];
    for (int j = 0; j < i; ++j)
      s -= lu[i * n + j] * y[j];
    y[i] = s;
  }
  for (int i = n - 1; i >= 0; --i) {
    x[i] = 0.0;
    const double d = lu[i * n + i];
    if (d == 0.0)
      continue;
    double s = y[i];
    for (int j = i + 1; j < n; ++j)
      s -= lu[i * n + j] * x[j];
    x[i] = s / d;
  }
}
