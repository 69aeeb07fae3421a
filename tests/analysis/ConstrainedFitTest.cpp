#include "analysis/ConstrainedWeights.h"
#include "analysis/FitTables.h"

#include "support/Tolerance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using fit::RefTable;
using fit::SampleTable;

namespace {

SpectrumPoints edge(double centre, double width)
{
  SpectrumPoints c;
  for (double e = 8900; e <= 9100; e += 1.0)
    c.append(e, 0.5 + std::atan((e - centre) / width) / M_PI + 0.001 * (e - 9000));
  return c;
}

RefTable ref(int index, const SpectrumPoints& c)
{
  RefTable r;
  r.listIndex = index;
  r.dn = c;
  r.mlcf = c;
  r.lo = c.minX;
  r.hi = c.maxX;
  return r;
}

// A sample on 2 eV steps: the mixture w of the references, times `scale`.
SampleTable mixture(const QVector<RefTable>& refs, const QVector<double>& w, double scale = 1.0)
{
  SampleTable s;
  for (double e = 8920; e <= 9080; e += 2.0) {
    double y = 0.0;
    for (int j = 0; j < refs.size(); ++j)
      y += w[j] * refs[j].at(e);
    s.e.append(e);
    s.dn.append(scale * y);
    s.raw.append(scale * y);
    s.dnCurve.append(e, scale * y);
  }
  s.dMut = 2.0;
  return s;
}

FitConditions constrained(bool nonNegative)
{
  FitConditions c;
  c.sumToOne = true;
  c.nonNegative = nonNegative;
  return c;
}

double sum(const QVector<double>& v)
{
  double s = 0.0;
  for (double x : v)
    s += x;
  return s;
}

// Error of w for the quadratic ½wᵀAw − bᵀw.
double objective(const double* a, const double* b, const double* w, int n)
{
  double f = 0.0;
  for (int i = 0; i < n; ++i) {
    double ai = 0.0;
    for (int j = 0; j < n; ++j)
      ai += a[i * n + j] * w[j];
    f += 0.5 * w[i] * ai - b[i] * w[i];
  }
  return f;
}

// v = A⁻¹b and u = A⁻¹·1 over the unknowns in `mask` (others 0), by
// Gauss-Jordan elimination: independent of the program's solver.
void solveBoth(const double* a, const double* b, int n, int mask, double* v, double* u)
{
  int idx[8];
  int k = 0;
  for (int i = 0; i < n; ++i)
    if (mask & (1 << i))
      idx[k++] = i;
  double g[8][10];
  for (int r = 0; r < k; ++r) {
    for (int c = 0; c < k; ++c)
      g[r][c] = a[idx[r] * n + idx[c]];
    g[r][k] = b[idx[r]];
    g[r][k + 1] = 1.0;
  }
  for (int p = 0; p < k; ++p) {
    int piv = p;
    for (int r = p + 1; r < k; ++r)
      if (std::fabs(g[r][p]) > std::fabs(g[piv][p]))
        piv = r;
    std::swap(g[p], g[piv]);
    for (int r = 0; r < k; ++r)
      if (r != p) {
        const double f = g[r][p] / g[p][p];
        for (int c = p; c < k + 2; ++c)
          g[r][c] -= f * g[p][c];
      }
  }
  for (int i = 0; i < n; ++i)
    v[i] = u[i] = 0.0;
  for (int r = 0; r < k; ++r) {
    v[idx[r]] = g[r][k] / g[r][r];
    u[idx[r]] = g[r][k + 1] / g[r][r];
  }
}

// The minimum on the plane Σw = 1 with the unknowns outside `mask` at 0.
void planeSolution(const double* a, const double* b, int n, int mask, double* w)
{
  double v[8];
  double u[8];
  solveBoth(a, b, n, mask, v, u);
  double sv = 0.0;
  double su = 0.0;
  for (int i = 0; i < n; ++i) {
    sv += v[i];
    su += u[i];
  }
  for (int i = 0; i < n; ++i)
    w[i] = v[i] + (1.0 - sv) / su * u[i];
}

} // namespace

TEST(ConstrainedFit, MixturesRecoverFractionsThatSumToOne)
{
  const QVector<RefTable> refs = { ref(0, edge(8990, 3)),
                                   ref(1, edge(9005, 5)),
                                   ref(2, edge(9020, 8)) };
  const QVector<double> truth = { 0.2, 0.5, 0.3 };
  for (bool nonNeg : { false, true }) {
    const LcfResult r = fit::fitTables(mixture(refs, truth), refs, 3, false, constrained(nonNeg));
    ASSERT_EQ(r.fractions.size(), 3);
    for (int j = 0; j < 3; ++j) {
      EXPECT_CLOSE(r.fractions[j], truth[j], 1e-9);
      EXPECT_CLOSE(r.amounts[j], truth[j] * 2.0, 1e-9);
    }
    EXPECT_CLOSE(sum(r.fractions), 1.0, 1e-14);
  }
  // A sample 10 % too strong: the free fit follows it, the constrained one
  // keeps the sum at 1 and the proportions of the mixture.
  const SampleTable strong = mixture(refs, truth, 1.1);
  const LcfResult freeFit = fit::fitTables(strong, refs, 3, false, FitConditions());
  EXPECT_CLOSE(sum(freeFit.fractions), 1.1, 1e-9);
  const LcfResult held = fit::fitTables(strong, refs, 3, false, constrained(false));
  EXPECT_CLOSE(sum(held.fractions), 1.0, 1e-14);
  EXPECT_GT(held.z, freeFit.z);
  // MLCF already divides by the weights' sum: the option leaves it alone.
  const LcfResult m1 = fit::fitTables(strong, refs, 3, true, FitConditions());
  const LcfResult m2 = fit::fitTables(strong, refs, 3, true, constrained(true));
  for (int j = 0; j < 3; ++j)
    EXPECT_CLOSE(m1.fractions[j], m2.fractions[j], 0.0);
}

TEST(ConstrainedFit, NegativeFractionIsHeldAtZero)
{
  const QVector<RefTable> refs = { ref(0, edge(8990, 3)), ref(1, edge(9010, 6)) };
  const SampleTable s = mixture(refs, { -0.3, 1.3 });
  const LcfResult freeFit = fit::fitTables(s, refs, 2, false, FitConditions());
  EXPECT_CLOSE(freeFit.fractions[0], -0.3, 1e-9);
  // Summing to 1 alone allows the negative share; the bound does not.
  const LcfResult summed = fit::fitTables(s, refs, 2, false, constrained(false));
  EXPECT_CLOSE(summed.fractions[0], -0.3, 1e-9);
  const LcfResult bounded = fit::fitTables(s, refs, 2, false, constrained(true));
  EXPECT_CLOSE(bounded.fractions[0], 0.0, 0.0);
  EXPECT_CLOSE(bounded.fractions[1], 1.0, 1e-14);
  EXPECT_CLOSE(bounded.amounts[0], 0.0, 0.0);
  // The curve and the residual follow the bounded fractions.
  EXPECT_GT(bounded.z, summed.z);
  ASSERT_FALSE(bounded.curve.points.isEmpty());
  EXPECT_CLOSE(bounded.curve.points[10].y(), refs[1].at(bounded.curve.points[10].x()), 1e-12);
}

TEST(ConstrainedFit, ActiveSetFindsTheBestNonNegativeWeights)
{
  // Random small systems against a search over every support set: the
  // optimum of the convex problem is the best feasible plane solution of
  // some subset of the unknowns.
  constexpr int n = 4;
  unsigned seed = 12345;
  auto rnd = [&seed]() {
    seed = seed * 1103515245u + 12345u;
    return double((seed >> 8) % 20001) / 10000.0 - 1.0;
  };
  fit::ConstrainedScratch scratch;
  for (int trial = 0; trial < 200; ++trial) {
    double m[n * 6];
    double t[6];
    for (double& x : m)
      x = rnd();
    for (double& x : t)
      x = rnd();
    double a[n * n] = {};
    double b[n] = {};
    for (int i = 0; i < n; ++i)
      for (int k = 0; k < 6; ++k) {
        b[i] += m[i * 6 + k] * t[k];
        for (int j = 0; j < n; ++j)
          a[i * n + j] += m[i * 6 + k] * m[j * 6 + k];
      }
    double best = std::numeric_limits<double>::infinity();
    for (int mask = 1; mask < (1 << n); ++mask) {
      double w[n];
      planeSolution(a, b, n, mask, w);
      bool feasible = true;
      for (double x : w)
        feasible = feasible && x >= -1e-12;
      if (feasible)
        best = std::min(best, objective(a, b, w, n));
    }
    double v[n];
    double u[n];
    solveBoth(a, b, n, (1 << n) - 1, v, u);
    double w[n];
    fit::sumToOneWeights(a, b, v, u, n, true, scratch, w);
    double s = 0.0;
    for (double x : w) {
      EXPECT_GE(x, 0.0);
      s += x;
    }
    EXPECT_CLOSE(s, 1.0, 1e-14);
    EXPECT_CLOSE(objective(a, b, w, n), best, 1e-9 * (1.0 + std::fabs(best))) << "trial " << trial;
  }
}
