#include "analysis/ConstrainedWeights.h"

#include "spectrum/LuSolve.h"

#include <algorithm>
#include <cmath>

namespace fit {

namespace {

// w = v + λu with λ chosen so that Σw = 1: the minimum of the quadratic on
// the plane Σw = 1 (Lagrange), given v = A⁻¹b and u = A⁻¹·1.
void onPlane(const double* v, const double* u, int k, double* w)
{
  double sv = 0.0;
  double su = 0.0;
  for (int i = 0; i < k; ++i) {
    sv += v[i];
    su += u[i];
  }
  const double lambda = (1.0 - sv) / su;
  if (su == 0.0 || !std::isfinite(lambda)) {
    std::fill(w, w + k, 1.0 / k);
    return;
  }
  for (int i = 0; i < k; ++i)
    w[i] = v[i] + lambda * u[i];
}

// The plane solution restricted to the free unknowns (the others held at 0).
void solveFree(const double* normal,
               const double* b,
               int n,
               const std::vector<int>& freeIdx,
               ConstrainedScratch& s,
               double* wFree)
{
  const int k = int(freeIdx.size());
  s.lu.assign(size_t(k) * k, 0.0);
  for (int r = 0; r < k; ++r) {
    s.rhs[r] = b[freeIdx[r]];
    for (int c = 0; c < k; ++c)
      s.lu[size_t(r) * k + c] = normal[size_t(freeIdx[r]) * n + freeIdx[c]];
  }
  luDecomposeSkipping(s.lu.data(), k, s.perm.data());
  luSolveSkipping(s.lu.data(), k, s.perm.data(), s.rhs.data(), s.work.data(), s.v.data());
  luSolveSkipping(s.lu.data(), k, s.perm.data(), s.ones.data(), s.work.data(), s.u.data());
  onPlane(s.v.data(), s.u.data(), k, wFree);
}

} // namespace

void sumToOneWeights(const double* normal,
                     const double* b,
                     const double* v,
                     const double* u,
                     int n,
                     bool nonNegative,
                     ConstrainedScratch& s,
                     double* w)
{
  if (n <= 0)
    return;
  onPlane(v, u, n, w);
  if (!nonNegative)
    return;
  bool feasible = true;
  for (int i = 0; i < n && feasible; ++i)
    feasible = w[i] >= 0.0;
  if (feasible)
    return;

  // Primal active set from a feasible start (equal shares): every step keeps
  // the weights on the plane and non-negative, moving towards the plane
  // solution of the free unknowns until a weight reaches 0 (it is then held
  // there), or releasing the held weight whose multiplier says the error
  // would fall if it grew. The count of steps is bounded, so a degenerate
  // system cannot hang a run.
  s.rhs.assign(size_t(n), 0.0);
  s.ones.assign(size_t(n), 1.0);
  s.work.assign(size_t(n), 0.0);
  s.v.assign(size_t(n), 0.0);
  s.u.assign(size_t(n), 0.0);
  s.trial.assign(size_t(n), 0.0);
  s.perm.assign(size_t(n), 0);
  s.atZero.assign(size_t(n), 0);
  std::fill(w, w + n, 1.0 / n);
  double scale = 0.0;
  for (int i = 0; i < n; ++i)
    scale = std::max(scale, std::fabs(normal[size_t(i) * n + i]) + std::fabs(b[i]));
  const double tol = 1e-12 * std::max(scale, 1e-300);

  for (int step = 0; step < 4 * n + 4; ++step) {
    s.freeIdx.clear();
    for (int i = 0; i < n; ++i)
      if (!s.atZero[i])
        s.freeIdx.push_back(i);
    const int k = int(s.freeIdx.size());
    solveFree(normal, b, n, s.freeIdx, s, s.trial.data());

    // Step towards the trial point as far as the bounds allow.
    double alpha = 1.0;
    int blocking = -1;
    for (int r = 0; r < k; ++r) {
      const int i = s.freeIdx[r];
      if (s.trial[r] < 0.0 && w[i] > s.trial[r]) {
        const double a = w[i] / (w[i] - s.trial[r]);
        if (a < alpha) {
          alpha = a;
          blocking = i;
        }
      }
    }
    for (int r = 0; r < k; ++r) {
      const int i = s.freeIdx[r];
      w[i] += alpha * (s.trial[r] - w[i]);
    }
    if (blocking >= 0) {
      w[blocking] = 0.0;
      s.atZero[size_t(blocking)] = 1;
      // Rounding may leave another weight a hair below 0; hold it too.
      for (int r = 0; r < k; ++r)
        if (w[s.freeIdx[r]] < 0.0) {
          w[s.freeIdx[r]] = 0.0;
          s.atZero[size_t(s.freeIdx[r])] = 1;
        }
      continue;
    }

    // At the plane solution of the free set: the gradient A·w − b is the
    // same (μ) on every free unknown; a held weight with a gradient below μ
    // would lower the error if it grew, so the most negative one is freed.
    double mu = 0.0;
    for (int r = 0; r < k; ++r) {
      const int i = s.freeIdx[r];
      double g = -b[i];
      for (int j = 0; j < n; ++j)
        g += normal[size_t(i) * n + j] * w[j];
      mu += g;
    }
    mu = k > 0 ? mu / k : 0.0;
    int release = -1;
    double most = -tol;
    for (int i = 0; i < n; ++i) {
      if (!s.atZero[i])
        continue;
      double g = -b[i];
      for (int j = 0; j < n; ++j)
        g += normal[size_t(i) * n + j] * w[j];
      if (g - mu < most) {
        most = g - mu;
        release = i;
      }
    }
    if (release < 0)
      break;
    s.atZero[size_t(release)] = 0;
  }
  // The steps keep Σw = 1 up to rounding; take that rounding off so the
  // fractions of a point add up to 1 as closely as the doubles allow.
  double sum = 0.0;
  for (int i = 0; i < n; ++i)
    sum += w[i];
  if (sum > 0.0)
    for (int i = 0; i < n; ++i)
      w[i] /= sum;
}

} // namespace fit
