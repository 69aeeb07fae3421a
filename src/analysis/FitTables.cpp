#include "analysis/FitTables.h"

#include "analysis/LuSolver.h"

#include <QDebug>

#include <algorithm>
#include <cmath>
#include <vector>

namespace fit {

namespace {

double lookup(const SpectrumPoints& c, double x)
{
  if (std::isnan(x)) {
    qDebug().noquote() << "nan EeV in XafsSpectrum::doubleNormalizedPreBase";
    return 0.0;
  }
  return c.valueAt(x);
}

} // namespace

double RefTable::at(double x) const
{
  return lookup(dn, x + shift);
}

double RefTable::mlcfAt(double x) const
{
  return lookup(mlcf, x + shift);
}

namespace {

struct Range
{
  double lo;
  double hi;
  bool contains(double x) const { return x >= lo && x <= hi; }
};

// Accumulates the normal equations of rows `a` against values `y`.
class NormalEquations
{
public:
  explicit NormalEquations(int m)
    : m_m(m)
    , m_a(static_cast<size_t>(m) * m, 0.0)
    , m_b(m, 0.0)
  {
  }
  void add(const std::vector<double>& row, double y)
  {
    for (int k = 0; k < m_m; ++k) {
      const double rk = row[k];
      double* ak = m_a.data() + static_cast<size_t>(k) * m_m;
      for (int l = 0; l < m_m; ++l)
        ak[l] += rk * row[l];
      m_b[k] += rk * y;
    }
  }
  std::vector<double> solve(bool* singular) const
  {
    return LuSolver::solve(m_a, m_b, m_m, singular);
  }

private:
  int m_m;
  std::vector<double> m_a;
  std::vector<double> m_b;
};

std::vector<double> solveLcf(const SampleTable& s,
                             const QVector<RefTable>& refs,
                             Range r,
                             bool* singular)
{
  const int n = refs.size();
  NormalEquations eq(n);
  std::vector<double> row(n);
  for (int i = 0; i < s.e.size(); ++i) {
    const double e = s.e[i];
    if (!r.contains(e))
      continue;
    for (int j = 0; j < n; ++j)
      row[j] = refs[j].at(e);
    eq.add(row, i < s.dn.size() ? s.dn[i] : 0.0);
  }
  return eq.solve(singular);
}

std::vector<double> solveMlcf(const SampleTable& s,
                              const QVector<RefTable>& refs,
                              Range r,
                              bool* singular)
{
  const int n = refs.size();
  NormalEquations eq(n + 2);
  std::vector<double> row(n + 2);
  // The background line is taken about the first energy of the range: the
  // same model as c0 + c1*E, but the normal equations stay well conditioned
  // at energies of thousands of eV. The line itself is discarded.
  double origin = 0.0;
  bool haveOrigin = false;
  for (int i = 0; i < s.e.size(); ++i) {
    const double e = s.e[i];
    if (!r.contains(e))
      continue;
    if (!haveOrigin) {
      origin = e;
      haveOrigin = true;
    }
    row[0] = 1.0;
    row[1] = e - origin;
    for (int j = 0; j < n; ++j)
      row[j + 2] = refs[j].mlcfAt(e);
    eq.add(row, i < s.raw.size() ? s.raw[i] : 0.0);
  }
  std::vector<double> x = eq.solve(singular);
  return std::vector<double>(x.begin() + 2, x.end());
}

double residual(const SampleTable& s, const SpectrumPoints& fitted, Range r)
{
  const SpectrumPoints& c = s.dnCurve;
  const int n = c.size();
  if (n < 3 || s.e.isEmpty())
    return 0.0;
  double sum = 0.0;
  int counted = 0;
  for (int k = 1; k <= n - 2; ++k) {
    const double x = c.x(k);
    if (!r.contains(x))
      continue;
    const double y = c.y(k);
    if (y == 0.0) {
      sum += 1.0;
    } else {
      const double d = (fitted.valueAt(x) - y) / y;
      sum += d * d;
    }
    ++counted;
  }
  if (counted == 0)
    return 0.0;
  return sum / counted / s.e.size();
}

} // namespace

LcfResult fitTables(const SampleTable& sample,
                    const QVector<RefTable>& refs,
                    int listSize,
                    bool mlcf,
                    const FitConditions& cond)
{
  LcfResult res;
  res.mlcf = mlcf;
  res.tag = cond.tag;
  const int n = refs.size();
  for (const RefTable& r : refs)
    res.refIndex.append(r.listIndex);
  res.fractions = QVector<double>(n, 0.0);
  res.amounts = QVector<double>(n, 0.0);
  if (sample.e.isEmpty()) {
    res.status = FitStatus::EmptySample;
    return res;
  }
  if (listSize < 2) {
    res.status = FitStatus::TooFewReferences;
    return res;
  }

  Range common{ 0.0, 1e300 };
  for (int j = 0; j < n; ++j) {
    common.lo = j == 0 ? refs[j].lo : std::max(common.lo, refs[j].lo);
    common.hi = j == 0 ? refs[j].hi : std::min(common.hi, refs[j].hi);
  }
  Range fitRange{ cond.sE0, cond.eE0 };
  if (n > 0) {
    fitRange.lo = std::max(fitRange.lo, common.lo);
    fitRange.hi = std::min(fitRange.hi, common.hi);
  }

  if (mlcf) {
    const std::vector<double> w = solveMlcf(sample, refs, fitRange, &res.singular);
    double sum = 0.0;
    for (double v : w)
      sum += v;
    // The sum keeps the negative weights; with a sum of 0 or less every
    // fraction is 0 rather than an infinity or NaN.
    const double norm = std::max(0.0, sum);
    for (int j = 0; j < n; ++j) {
      const double wj = std::max(0.0, w[j]);
      res.amounts[j] = wj;
      res.fractions[j] = norm > 0.0 ? wj / norm : 0.0;
    }
  } else {
    const std::vector<double> w = solveLcf(sample, refs, fitRange, &res.singular);
    const double jump = std::max(0.0, sample.dMut);
    for (int j = 0; j < n; ++j) {
      res.fractions[j] = w[j];
      res.amounts[j] = w[j] * jump;
    }
  }

  SpectrumPoints fitted;
  fitted.points.reserve(sample.e.size());
  for (int i = 0; i < sample.e.size(); ++i) {
    const double e = sample.e[i];
    if (!common.contains(e))
      continue;
    double f = 0.0;
    for (int j = 0; j < n; ++j)
      f += res.fractions[j] * refs[j].at(e);
    fitted.points.append(QPointF(e, f));
  }
  fitted.updateRanges();
  res.curve = fitted;
  res.z = residual(sample, fitted, fitRange);
  return res;
}

} // namespace fit
