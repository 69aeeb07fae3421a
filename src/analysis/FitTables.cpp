#include "analysis/FitTables.h"

#include "spectrum/Lanes.h"
#include "spectrum/LuSolve.h"

#include <QDebug>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

// English for the log; the windows translate it in the "FitStatus" context.
QString fitStatusText(FitStatus status)
{
  switch (status) {
    case FitStatus::Ok:
      return QString();
    case FitStatus::EmptySample:
      return QString::fromLatin1(QT_TRANSLATE_NOOP("FitStatus", "the spectrum has no points"));
    case FitStatus::TooFewReferences:
      return QString::fromLatin1(QT_TRANSLATE_NOOP("FitStatus", "fewer than two references"));
    case FitStatus::NoCommonRange:
      return QString::fromLatin1(QT_TRANSLATE_NOOP(
        "FitStatus", "fewer than two usable references on the common energy range"));
    case FitStatus::NoEdge:
      return QString::fromLatin1(
        QT_TRANSLATE_NOOP("FitStatus", "edge jump not positive or below its noise"));
    case FitStatus::TooFewInUse:
      return QString::fromLatin1(QT_TRANSLATE_NOOP(
        "FitStatus", "fewer than two references in use (\"Use\" ticked and a file loaded)"));
  }
  return QString();
}

bool residualFromName(const QString& name, bool& rFactor)
{
  const QString n = name.trimmed();
  if (n.compare(QLatin1String("zansa"), Qt::CaseInsensitive) == 0)
    rFactor = false;
  else if (n.compare(QLatin1String("rfactor"), Qt::CaseInsensitive) == 0)
    rFactor = true;
  else
    return false;
  return true;
}

QString unknownResidualLine(const QString& word, const QString& name)
{
  return QStringLiteral("%1 : unknown residual %2 (zansa or rfactor)").arg(word, name);
}

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

bool within(double x, double lo, double hi)
{
  return x >= lo && x <= hi;
}

void buildCache(const Prepared& prep, const SampleView& s, GridCache& c)
{
  const int N = s.n;
  const int n = prep.refs.size();
  const int m = prep.mlcf ? n + 2 : n;
  c.grid.resize(N);
  std::copy(s.e, s.e + N, c.grid.begin());
  c.unknowns = m;
  c.firstSame.assign(size_t(N), 0);
  c.ascending = true;
  c.distinct = true;
  for (int i = 0; i < N; ++i) {
    c.distinct = c.distinct && !(i > 0 && s.e[i - 1] == s.e[i]);
    c.firstSame[size_t(i)] = i > 0 && s.e[i - 1] == s.e[i] ? c.firstSame[size_t(i - 1)] : i;
    c.ascending = c.ascending && s.e[i] == s.e[i] && (i == 0 || s.e[i - 1] <= s.e[i]);
  }
  c.dn.assign(size_t(n) * N, 0.0);
  c.mat.assign(size_t(m) * N, 0.0);
  c.inFit.assign(size_t(N), 0);
  c.inCommon.assign(size_t(N), 0);
  c.fitPoints = 0;
  for (int i = 0; i < N; ++i) {
    const double e = s.e[i];
    c.inFit[i] = within(e, prep.fitLo, prep.fitHi);
    c.fitPoints += c.inFit[i] ? 1 : 0;
    c.inCommon[i] = within(e, prep.commonLo, prep.commonHi);
    // The references are read only where a fit or the curve needs them, so
    // a NaN energy outside both is not reported.
    if (c.inCommon[i] || c.inFit[i])
      for (int j = 0; j < n; ++j)
        c.dn[size_t(j) * N + i] = prep.refs[j].at(e);
  }
  if (prep.mlcf) {
    // The background line is taken about the first energy of the range: the
    // same model as c0 + c1*E, but the normal equations stay well
    // conditioned at energies of thousands of eV. The line is discarded.
    double origin = 0.0;
    bool haveOrigin = false;
    for (int i = 0; i < N; ++i) {
      if (!c.inFit[i])
        continue;
      const double e = s.e[i];
      if (!haveOrigin) {
        origin = e;
        haveOrigin = true;
      }
      c.mat[i] = 1.0;
      c.mat[size_t(N) + i] = e - origin;
      for (int j = 0; j < n; ++j)
        c.mat[size_t(j + 2) * N + i] = prep.refs[j].mlcfAt(e);
    }
  } else {
    for (int i = 0; i < N; ++i)
      if (c.inFit[i])
        for (int j = 0; j < n; ++j)
          c.mat[size_t(j) * N + i] = c.dn[size_t(j) * N + i];
  }
  // Normal matrix, accumulated point by point in grid order.
  c.lu.assign(size_t(m) * m, 0.0);
  for (int i = 0; i < N; ++i) {
    if (!c.inFit[i])
      continue;
    for (int k = 0; k < m; ++k) {
      const double rk = c.mat[size_t(k) * N + i];
      double* ak = c.lu.data() + size_t(k) * m;
      for (int l = 0; l < m; ++l)
        ak[l] += rk * c.mat[size_t(l) * N + i];
    }
  }
  c.normal = c.lu;
  c.perm.assign(size_t(m), 0);
  c.singular = luDecomposeSkipping(c.lu.data(), m, c.perm.data());
  c.rhs.assign(size_t(m), 0.0);
  c.laneRhs.assign(size_t(m) * 4, 0.0);
  c.laneWeights.assign(size_t(n) * 4, 0.0);
  c.work.assign(size_t(m), 0.0);
  c.weights.assign(size_t(m), 0.0);
  c.constrained.assign(size_t(m), 0.0);
  c.unitSol.assign(size_t(m), 0.0);
  if (!prep.mlcf) {
    const std::vector<double> ones(size_t(m), 1.0);
    luSolveSkipping(c.lu.data(), m, c.perm.data(), ones.data(), c.work.data(), c.unitSol.data());
  }
  c.valid = true;
}

bool sameGrid(const GridCache& c, const SampleView& s)
{
  const int N = s.n;
  if (!c.valid || c.grid.size() != N)
    return false;
  const double* a = c.grid.constData();
  const double* b = s.e;
  for (int i = 0; i < N; ++i)
    if (!(a[i] == b[i]))
      return false;
  return true;
}

// The fitted value at grid point i: the weighted sum of the references.
double fittedAt(const GridCache& c, const double* fractions, int n, int N, int i)
{
  double f = 0.0;
  for (int j = 0; j < n; ++j)
    f += fractions[j] * c.dn[size_t(j) * N + i];
  return f;
}

using lanes::Traits;
using lanes::V1;
using lanes::V4;

// The right-hand sides of the normal equations, written once over a lane
// type (one sample, or four on one grid; y in rows of the lane width, its
// first `full` rows given, the rest 0). Each sums over the grid in order;
// a point outside the fit would add +0.0, which leaves a sum begun at +0.0
// unchanged, so it is skipped.
template<typename V>
LC_LANE_INLINE void rhsT(const GridCache& c, const double* y, int full, int N, double* rhs)
{
  constexpr int W = Traits<V>::W;
  const int m = c.unknowns;
  const double* mat = c.mat.data();
  const char* inFit = c.inFit.data();
  for (int k = 0; k < m; k += 2) {
    const double* r0 = mat + size_t(k) * N;
    const double* r1 = k + 1 < m ? r0 + N : r0;
    V s0;
    V s1;
    lanes::splat(0.0, s0);
    lanes::splat(0.0, s1);
    for (int i = 0; i < full; ++i) {
      if (!inFit[i])
        continue;
      V yi;
      V a;
      V b;
      lanes::load(y + size_t(i) * W, yi);
      lanes::splat(r0[i], a);
      lanes::splat(r1[i], b);
      s0 += a * yi;
      s1 += b * yi;
    }
    for (int i = full; i < N; ++i) {
      if (!inFit[i])
        continue;
      V a;
      V b;
      lanes::splat(r0[i] * 0.0, a);
      lanes::splat(r1[i] * 0.0, b);
      s0 += a;
      s1 += b;
    }
    lanes::store(rhs + size_t(k) * W, s0);
    if (k + 1 < m)
      lanes::store(rhs + size_t(k + 1) * W, s1);
  }
}

// The residual sum over the inner points of a double-normalised curve that
// lies on the cache's grid in ascending order (cy in rows of the lane
// width): the fitted value at a point is the weighted sum of the
// references at the first grid point of its energy, exactly what
// interpolating the fitted curve gives there. `fractions` holds each
// reference's weight, lane by lane. Points outside the fit are skipped (a
// term of +0.0). With rFactor, `sum` is Σ(fit - y)² and `squares` Σy².
template<typename V>
LC_LANE_INLINE void residualOnGridT(const GridCache& c,
                                    const double* fractions,
                                    int n,
                                    const double* cy,
                                    int nc,
                                    bool rFactor,
                                    V& sum,
                                    V& squares,
                                    int& counted)
{
  using M = typename Traits<V>::M;
  constexpr int W = Traits<V>::W;
  const int N = c.grid.size();
  const char* inFit = c.inFit.data();
  V zero;
  V one;
  lanes::splat(0.0, zero);
  lanes::splat(1.0, one);
  sum = zero;
  squares = zero;
  counted = 0;
  for (int k = 1; k <= nc - 2; ++k) {
    if (!inFit[k])
      continue;
    const size_t i = c.distinct ? size_t(k) : size_t(c.firstSame[size_t(k)]);
    V f = zero;
    for (int j = 0; j < n; ++j) {
      V ref;
      V w;
      lanes::splat(c.dn[size_t(j) * N + i], ref);
      lanes::load(fractions + size_t(j) * W, w);
      f += w * ref;
    }
    V y;
    lanes::load(cy + size_t(k) * W, y);
    if (rFactor) {
      const V d = f - y;
      sum += d * d;
      squares += y * y;
    } else {
      const V d = (f - y) / y;
      const V dd = d * d;
      const M flat = y == zero;
      V t;
      lanes::select(flat, one, dd, t);
      sum += t;
    }
    ++counted;
  }
}

// From the right-hand sides in c.rhs: the weights, then the amounts and
// fractions into out (after z) as the fit reports them.
void shareOut(const Prepared& prep, GridCache& c, double dMut, double* out)
{
  const int n = prep.refs.size();
  const int m = c.unknowns;
  double* amounts = out + 1;
  double* fractions = out + 1 + n;
  luSolveSkipping(c.lu.data(), m, c.perm.data(), c.rhs.data(), c.work.data(), c.weights.data());
  if (prep.mlcf) {
    const double* w = c.weights.data() + 2;
    double sum = 0.0;
    for (int j = 0; j < n; ++j)
      sum += w[j];
    // The sum keeps the negative weights; with a sum of 0 or less every
    // fraction is 0 rather than an infinity or NaN.
    const double norm = std::max(0.0, sum);
    for (int j = 0; j < n; ++j) {
      const double wj = std::max(0.0, w[j]);
      amounts[j] = wj;
      fractions[j] = norm > 0.0 ? wj / norm : 0.0;
    }
  } else {
    const double* w = c.weights.data();
    if (prep.cond.sumToOne) {
      sumToOneWeights(c.normal.data(),
                      c.rhs.data(),
                      c.weights.data(),
                      c.unitSol.data(),
                      n,
                      prep.cond.nonNegative,
                      c.bounds,
                      c.constrained.data());
      w = c.constrained.data();
    }
    const double jump = std::max(0.0, dMut);
    for (int j = 0; j < n; ++j) {
      fractions[j] = w[j];
      amounts[j] = w[j] * jump;
    }
  }
}

} // namespace

Prepared::Prepared(const QVector<RefTable>& refs_,
                   int listSize_,
                   bool mlcf_,
                   const FitConditions& cond_)
  : refs(refs_)
  , listSize(listSize_)
  , mlcf(mlcf_)
  , cond(cond_)
{
  const int n = refs.size();
  for (int j = 0; j < n; ++j) {
    commonLo = j == 0 ? refs[j].lo : std::max(commonLo, refs[j].lo);
    commonHi = j == 0 ? refs[j].hi : std::min(commonHi, refs[j].hi);
  }
  fitLo = cond.sE0;
  fitHi = cond.eE0;
  if (n > 0) {
    fitLo = std::max(fitLo, commonLo);
    fitHi = std::min(fitHi, commonHi);
  }
}

SampleView viewOf(const SampleTable& t, std::vector<double>& xs, std::vector<double>& ys)
{
  const int nc = t.dnCurve.size();
  xs.resize(size_t(nc));
  ys.resize(size_t(nc));
  for (int k = 0; k < nc; ++k) {
    xs[size_t(k)] = t.dnCurve.x(k);
    ys[size_t(k)] = t.dnCurve.y(k);
  }
  SampleView v;
  v.e = t.e.constData();
  v.n = t.e.size();
  v.dn = t.dn.constData();
  v.nDn = t.dn.size();
  v.raw = t.raw.constData();
  v.nRaw = t.raw.size();
  v.curveX = xs.data();
  v.curveY = ys.data();
  v.nc = nc;
  v.dMut = t.dMut;
  v.jump = t.jump.size() == t.e.size() ? t.jump.constData() : nullptr;
  v.jumpNoise = t.jumpNoise;
  return v;
}

FitStatus fitInto(const Prepared& prep,
                  const SampleTable& s,
                  GridCache& c,
                  double* out,
                  bool* singular,
                  SpectrumPoints* curve)
{
  std::vector<double> xs;
  std::vector<double> ys;
  return fitInto(prep, viewOf(s, xs, ys), c, out, singular, curve);
}

FitStatus fitInto(const Prepared& prep,
                  const SampleView& s,
                  GridCache& c,
                  double* out,
                  bool* singular,
                  SpectrumPoints* curve)
{
  const int n = prep.refs.size();
  double* fractions = out + 1 + n;
  std::fill(out, out + prep.valuesPerPoint(), 0.0);
  if (singular)
    *singular = false;
  if (curve)
    *curve = SpectrumPoints();
  if (s.n == 0)
    return FitStatus::EmptySample;
  if (prep.listSize < 2)
    return FitStatus::TooFewReferences;
  const auto notFitted = [&](FitStatus why) {
    std::fill(out, out + prep.valuesPerPoint(), std::numeric_limits<double>::quiet_NaN());
    return why;
  };
  if (!jumpClear(s.dMut, s.jumpNoise))
    return notFitted(FitStatus::NoEdge);

  if (!sameGrid(c, s))
    buildCache(prep, s, c);
  // Fewer points than unknowns leave the normal equations without a
  // solution; with no point at all a constrained fit would still report
  // equal fractions and a residual of 0.
  if (n < 2)
    return notFitted(FitStatus::TooFewInUse);
  if (c.fitPoints < c.unknowns)
    return notFitted(FitStatus::NoCommonRange);
  const int N = s.n;
  if (s.jump)
    for (int i = 0; i < N; ++i)
      if (c.inFit[i] && !jumpClear(s.jump[i], s.jumpNoise))
        return notFitted(FitStatus::NoEdge);
  const double* yv = prep.mlcf ? s.raw : s.dn;
  const int ny = prep.mlcf ? s.nRaw : s.nDn;
  rhsT<V1>(c, yv, std::min(N, ny), N, c.rhs.data());
  shareOut(prep, c, s.dMut, out);
  if (singular)
    *singular = c.singular;

  if (curve) {
    curve->points.reserve(N);
    for (int i = 0; i < N; ++i)
      if (c.inCommon[i])
        curve->points.append(QPointF(s.e[i], fittedAt(c, fractions, n, N, i)));
    curve->updateRanges();
  }

  // The residual over the double-normalised curve's inner points. Where
  // that curve lies on the sample's grid in ascending order, the fitted
  // value at a point is the weighted sum at the first grid point of that
  // energy, exactly what interpolating the fitted curve gives there.
  const int nc = s.nc;
  const double* cx = s.curveX;
  const double* cy = s.curveY;
  double z = 0.0;
  if (nc >= 3) {
    bool onGrid = nc == N && c.ascending;
    for (int k = 0; onGrid && cx != s.e && k < N; ++k)
      onGrid = cx[k] == s.e[k];
    SpectrumPoints general;
    if (!onGrid) {
      for (int i = 0; i < N; ++i)
        if (c.inCommon[i])
          general.points.append(QPointF(s.e[i], fittedAt(c, fractions, n, N, i)));
      general.updateRanges();
    }
    double sum = 0.0;
    double squares = 0.0;
    int counted = 0;
    if (onGrid) {
      V1 lane;
      V1 laneSquares;
      residualOnGridT(c, fractions, n, cy, nc, prep.cond.rFactor, lane, laneSquares, counted);
      sum = lane;
      squares = laneSquares;
    } else {
      for (int k = 1; k <= nc - 2; ++k) {
        if (!within(cx[k], prep.fitLo, prep.fitHi))
          continue;
        const double yk = cy[k];
        const double fk = general.valueAt(cx[k]);
        if (prep.cond.rFactor) {
          sum += (fk - yk) * (fk - yk);
          squares += yk * yk;
        } else if (yk == 0.0) {
          sum += 1.0;
        } else {
          const double d = (fk - yk) / yk;
          sum += d * d;
        }
        ++counted;
      }
    }
    // An R-factor of curves that are 0 throughout is no number.
    if (counted > 0 && prep.cond.rFactor)
      z = squares > 0.0 ? sum / squares : std::numeric_limits<double>::quiet_NaN();
    else if (counted > 0)
      z = sum / counted / N;
  }
  out[0] = z;
  return FitStatus::Ok;
}

namespace {

__attribute__((target_clones("avx2", "default"))) void fourRhs(const GridCache& c,
                                                               const double* y,
                                                               int N,
                                                               double* rhs)
{
  rhsT<V4>(c, y, N, N, rhs);
}

__attribute__((target_clones("avx2", "default"))) void fourResidual(const GridCache& c,
                                                                    const double* fractions,
                                                                    int n,
                                                                    const double* cy,
                                                                    int nc,
                                                                    bool rFactor,
                                                                    double* sum,
                                                                    double* squares,
                                                                    int* counted)
{
  V4 lane;
  V4 laneSquares;
  residualOnGridT(c, fractions, n, cy, nc, rFactor, lane, laneSquares, *counted);
  lanes::store(sum, lane);
  lanes::store(squares, laneSquares);
}

__attribute__((target_clones("avx2", "default"))) void fourJumpsClear(const GridCache& c,
                                                                      const double* jump,
                                                                      int N,
                                                                      const double* noise,
                                                                      bool* clear)
{
  using M = Traits<V4>::M;
  V4 zero;
  V4 limit;
  lanes::splat(0.0, zero);
  lanes::load(noise, limit);
  M bad = zero != zero;
  for (int i = 0; i < N; ++i) {
    if (!c.inFit[size_t(i)])
      continue;
    V4 j;
    lanes::load(jump + size_t(i) * 4, j);
    bad |= ~((j > zero) & (j > limit));
  }
  for (int l = 0; l < 4; ++l)
    clear[l] = !bad[l];
}

} // namespace

bool fitFour(const Prepared& prep,
             const FourSamples& s,
             int lanes,
             GridCache& c,
             double* out,
             int stride,
             FitStatus* status)
{
  const int n = prep.refs.size();
  const int values = prep.valuesPerPoint();
  const int N = s.n;
  if (N > 0 && !sameGrid(c, SampleView{ s.e, nullptr, nullptr, N }))
    buildCache(prep, SampleView{ s.e, nullptr, nullptr, N }, c);
  // A grid read point by point (not ascending) takes the single path.
  if (N > 0 && !c.ascending)
    return false;
  bool active[4] = {};
  bool anyActive = false;
  for (int l = 0; l < lanes; ++l) {
    double* o = out + size_t(l) * size_t(stride);
    std::fill(o, o + values, 0.0);
    if (!s.present[l] || N == 0) {
      status[l] = FitStatus::EmptySample;
    } else if (prep.listSize < 2) {
      status[l] = FitStatus::TooFewReferences;
    } else if (!jumpClear(s.dMut[l], s.jumpNoise[l]) || n < 2 || c.fitPoints < c.unknowns) {
      status[l] = !jumpClear(s.dMut[l], s.jumpNoise[l]) ? FitStatus::NoEdge
                  : n < 2                               ? FitStatus::TooFewInUse
                                                        : FitStatus::NoCommonRange;
      std::fill(o, o + values, std::numeric_limits<double>::quiet_NaN());
    } else {
      status[l] = FitStatus::Ok;
      active[l] = true;
    }
  }
  // A lane whose local jump is not clear at a point of the fit has no edge.
  bool clear[4] = { true, true, true, true };
  fourJumpsClear(c, s.jump, N, s.jumpNoise, clear);
  for (int l = 0; l < lanes; ++l) {
    if (active[l] && !clear[l]) {
      active[l] = false;
      status[l] = FitStatus::NoEdge;
      double* o = out + size_t(l) * size_t(stride);
      std::fill(o, o + values, std::numeric_limits<double>::quiet_NaN());
    }
    anyActive = anyActive || active[l];
  }
  if (!anyActive)
    return true;
  const int m = c.unknowns;
  fourRhs(c, prep.mlcf ? s.raw : s.dn, N, c.laneRhs.data());
  // Per lane the solve and the shares, as fitInto; then the residual of the
  // four at once, the weights in rows of four.
  double* weights = c.laneWeights.data();
  for (int l = 0; l < lanes; ++l) {
    if (!active[l])
      continue;
    double* o = out + size_t(l) * size_t(stride);
    for (int k = 0; k < m; ++k)
      c.rhs[size_t(k)] = c.laneRhs[size_t(k) * 4 + size_t(l)];
    shareOut(prep, c, s.dMut[l], o);
    for (int j = 0; j < n; ++j)
      weights[j * 4 + l] = o[1 + n + j];
  }
  if (N >= 3) {
    double sum[4];
    double squares[4];
    int counted = 0;
    const bool rFactor = prep.cond.rFactor;
    fourResidual(c, weights, n, s.dn, N, rFactor, sum, squares, &counted);
    for (int l = 0; l < lanes; ++l) {
      if (!active[l] || counted == 0)
        continue;
      // An R-factor of curves that are 0 throughout is no number.
      double& z = out[size_t(l) * size_t(stride)];
      if (rFactor)
        z = squares[l] > 0.0 ? sum[l] / squares[l] : std::numeric_limits<double>::quiet_NaN();
      else
        z = sum[l] / counted / N;
    }
  }
  return true;
}

LcfResult fitTables(const SampleTable& sample,
                    const QVector<RefTable>& refs,
                    int listSize,
                    bool mlcf,
                    const FitConditions& cond)
{
  const Prepared prep(refs, listSize, mlcf, cond);
  LcfResult res;
  res.mlcf = mlcf;
  res.tag = cond.tag;
  const int n = refs.size();
  for (const RefTable& r : refs)
    res.refIndex.append(r.listIndex);
  std::vector<double> out(size_t(prep.valuesPerPoint()), 0.0);
  GridCache cache;
  res.status = fitInto(prep, sample, cache, out.data(), &res.singular, &res.curve);
  res.z = out[0];
  res.amounts = QVector<double>(out.begin() + 1, out.begin() + 1 + n);
  res.fractions = QVector<double>(out.begin() + 1 + n, out.begin() + 1 + 2 * n);
  return res;
}

} // namespace fit
