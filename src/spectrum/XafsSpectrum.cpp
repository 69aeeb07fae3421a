#include "spectrum/XafsSpectrum.h"

#include <QDebug>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>

namespace {

// Spectra of up to this many points normalise without heap scratch.
constexpr int kStackPoints = 512;
using Scratch = QVarLengthArray<double, kStackPoints>;

const int kMetaTypeId = qRegisterMetaType<XafsSpectrum>("XafsSpectrum");

// 0 instead of an infinity or NaN, so a zero or broken jump (a flat
// spectrum at the dark level) gives flat curves instead of poisoning every
// map and fit that reads them.
inline double finiteOrZero(double v)
{
  return std::isfinite(v) ? v : 0.0;
}

} // namespace

// Per-point corrected energies, wavelengths and values, computed once per
// normalisation and shared by the fits, the edge finder and the curves.
struct XafsSpectrum::Work
{
  Scratch E;
  Scratch lambda;
  Scratch y;
  int n = 0;
  LineFitInput input() const { return { E.constData(), lambda.constData(), y.constData(), n }; }
};

XafsSpectrum::XafsSpectrum(const SpectrumPoints& pointList,
                           const QString& spectrumName,
                           int fitMode,
                           double shift,
                           double suggestedEdge,
                           double preEndEV,
                           double postStartEV)
  : name(spectrumName)
  , points(pointList)
{
  Q_UNUSED(kMetaTypeId);
  setUp(fitMode, shift, suggestedEdge, preEndEV, postStartEV);
}

void XafsSpectrum::assign(const SpectrumPoints& pointList,
                          const QString& spectrumName,
                          int fitMode,
                          double shift,
                          double suggestedEdge,
                          double preEndEV,
                          double postStartEV)
{
  name = spectrumName;
  // Values copied into the storage this spectrum already owns.
  const int n = pointList.size();
  points.points.resize(n);
  std::copy(pointList.points.constBegin(), pointList.points.constEnd(), points.points.begin());
  points.minX = pointList.minX;
  points.maxX = pointList.maxX;
  points.minY = pointList.minY;
  points.maxY = pointList.maxY;
  points.minIndex = pointList.minIndex;
  points.maxIndex = pointList.maxIndex;
  setUp(fitMode, shift, suggestedEdge, preEndEV, postStartEV);
}

void XafsSpectrum::setUp(int fitMode,
                         double shift,
                         double suggestedEdge,
                         double preEndEV,
                         double postStartEV)
{
  expectedEdge = suggestedEdge;
  expectedEdgeSet = suggestedEdge > 0.0;
  preEnd = expectedEdgeSet ? preEndEV : -10.0;
  postStart = expectedEdgeSet ? postStartEV : 10.0;
  preStart = -1000.0;
  postEnd = 1000.0;
  energyCorrected = false;
  energyOffset = 0.0;
  mode = fitMode;
  extraShift = shift;
  if (points.size() >= 1)
    normalize(fitMode);
  else
    clearNormalisation();
}

void XafsSpectrum::fillWork(Work& w) const
{
  const int n = points.size();
  w.n = n;
  w.E.resize(n);
  w.lambda.resize(n);
  w.y.resize(n);
  const QPointF* p = points.points.constData();
  const double offset = energyCorrected ? energyOffset : 0.0;
  for (int i = 0; i < n; ++i) {
    const double E = p[i].x() - offset;
    w.E[i] = E;
    w.lambda[i] = kHcEVA / E;
    w.y[i] = p[i].y();
  }
}

double XafsSpectrum::smoothedAt(double E) const
{
  const int n = std::min(points.size(), smoothed.size());
  if (n == 0)
    return 0.0;
  if (n == 1)
    return smoothed[0];
  const double offset = energyCorrected ? energyOffset : 0.0;
  const QPointF* p = points.points.constData();
  const QPointF* hit = std::lower_bound(
    p, p + n, E, [offset](const QPointF& a, double v) { return a.x() - offset < v; });
  const int k = int(hit - p);
  if (k == 0)
    return smoothed[0];
  if (k == n)
    return smoothed[n - 1];
  const double x0 = p[k - 1].x() - offset;
  const double x1 = p[k].x() - offset;
  if (x1 == E || x1 == x0)
    return smoothed[k];
  return smoothed[k - 1] + (smoothed[k] - smoothed[k - 1]) * (E - x0) / (x1 - x0);
}

void XafsSpectrum::smooth()
{
  const int n = points.size();
  smoothed.resize(n);
  const QPointF* p = points.points.constData();
  double* s = smoothed.data();
  // A running sum over the points i-2 .. i+2 that exist (1 to 5 of them).
  static constexpr double kInverseCount[6] = { 0.0, 1.0, 1.0 / 2, 1.0 / 3, 1.0 / 4, 1.0 / 5 };
  double sum = 0.0;
  int lo = 0;
  int hi = -1;
  for (int i = 0; i < n; ++i) {
    while (hi < std::min(n - 1, i + 2))
      sum += p[++hi].y();
    while (lo < i - 2)
      sum -= p[lo++].y();
    s[i] = sum * kInverseCount[hi - lo + 1];
  }
}

int XafsSpectrum::findEdgeIndex(const Work& w, const double* preAt, const double* postAt) const
{
  const int n = w.n;
  if (n < 3 || smoothed.size() != n)
    return 0;
  // smoothedAt(E_j) at a point energy is the smoothed value of the first
  // of the points sharing that energy; `runStart` follows that point.
  const double* E = w.E.constData();
  const double* s = smoothed.constData();
  int runStart = E[1] == E[0] ? 0 : 1;
  double below = s[0];
  double here = s[runStart];
  int best = 0;
  double bestRise = 0.0;
  for (int i = 1; i <= n - 2; ++i) {
    if (E[i + 1] != E[i])
      runStart = i + 1;
    const double above = s[runStart];
    const double half = 0.5 * (preAt[i] + postAt[i]);
    if (below < half && half < above && above - below > bestRise) {
      bestRise = above - below;
      best = i;
    }
    below = here;
    here = above;
  }
  return best;
}

double XafsSpectrum::findEdge() const
{
  const int n = points.size();
  if (n < 1)
    return 0.0;
  Work w;
  fillWork(w);
  Scratch preAt(n);
  Scratch postAt(n);
  for (int i = 0; i < n; ++i) {
    preAt[i] = pre.valueAt(w.E[i], w.lambda[i]);
    postAt[i] = post.valueAt(w.E[i], w.lambda[i]);
  }
  return w.E[findEdgeIndex(w, preAt.constData(), postAt.constData())];
}

int XafsSpectrum::firstEdgeGuess(const Work& w) const
{
  const int n = w.n;
  // Rises smoothed[i+1] - smoothed[i] exist for i <= n-2; the window's
  // midpoints (x[i] + x[i+2]) / 2 for i <= n-3. No qualifying start point
  // means the whole spectrum is searched, as with no expected edge.
  int lo = 0;
  int hi = n - 2;
  if (expectedEdgeSet && n >= 3) {
    int start = -1;
    int end = -1;
    for (int i = 0; i <= n - 3 && end < 0; ++i) {
      const double mid = 0.5 * (w.E[i] + w.E[i + 2]);
      if (start < 0 && mid > expectedEdge + preEnd)
        start = i;
      if (mid > expectedEdge + postStart)
        end = i;
    }
    if (start >= 0) {
      lo = start;
      hi = end >= 0 ? end : n - 2;
    }
  }
  int best = -1;
  double bestRise = 0.0;
  for (int i = lo; i <= hi; ++i) {
    const double rise = smoothed[i + 1] - smoothed[i];
    if (rise > bestRise) {
      bestRise = rise;
      best = i;
    }
  }
  return best < 0 ? 0 : best;
}

bool XafsSpectrum::fitLinesOn(const Work& w, double e0, int fitMode)
{
  const LineFitInput in = w.input();
  const double first = w.n > 0 ? w.E[0] : 0.0;
  const double last = w.n > 0 ? w.E[w.n - 1] : 0.0;
  bool preOk;
  bool postOk;
  if (fitMode == 0) {
    preOk = VictLine::fitVictoreen(in, first, e0 + preEnd, pre);
    postOk = VictLine::fitVictoreen(in, e0 + postStart, last, post);
  } else {
    preOk = VictLine::fitStraight(in, first, e0 + preEnd, pre);
    postOk = VictLine::fitStraight(in, e0 + postStart, last, post);
  }
  const double jump = postValue(e0) - preValue(e0);
  dMut = jump;
  if (jump < 0.0) {
    // An inverted edge (a fluorescence channel read as ln(I0/I1)): part the
    // lines so the post-edge line lies above the pre-edge line and the
    // normalised curves keep a positive jump. dMut keeps the measured value;
    // the normalisation recomputes it from the parted lines.
    const double s = 0.55 * jump;
    pre.c += s;
    pre.p0 += s;
    post.c -= s;
    post.p0 -= s;
  }
  return preOk && postOk;
}

bool XafsSpectrum::fitLines(double e0, int fitMode)
{
  Work w;
  fillWork(w);
  return fitLinesOn(w, e0, fitMode);
}

void XafsSpectrum::rebuildCurves(const Work& w, const double* preAt, const double* postAt)
{
  const int n = w.n;
  normalized.resize(n);
  QPointF* out[4];
  for (int c = 0; c < 4; ++c) {
    curves[CurvePostBase + c].points.resize(n);
    out[c] = curves[CurvePostBase + c].points.data();
  }
  double* norm = normalized.data();
  const bool jumpOk = std::isfinite(dMut) && dMut != 0.0;
  const double inv = jumpOk ? 1.0 / dMut : 0.0;
  // Ranges are kept in the same pass (strict comparisons: the first point
  // reaching an extreme keeps the index).
  double lo[4] = {};
  double hi[4] = {};
  double eLo = n > 0 ? w.E[0] : 0.0;
  double eHi = eLo;
  int loAt[4] = {};
  int hiAt[4] = {};
  for (int i = 0; i < n; ++i) {
    const double E = w.E[i];
    eLo = std::min(eLo, E);
    eHi = std::max(eHi, E);
    const double y = w.y[i];
    const double aboveBase = y - preAt[i];
    const double belowPost = y - postAt[i];
    const double local = postAt[i] - preAt[i];
    const double dn = local != 0.0 ? finiteOrZero(aboveBase / local) : 0.0;
    norm[i] = finiteOrZero(aboveBase * inv);
    const double v[4] = { finiteOrZero(belowPost * inv),
                          jumpOk ? finiteOrZero(dn * dMut) : 0.0,
                          jumpOk ? finiteOrZero(belowPost * inv + 1.0) : 0.0,
                          dn };
    if (i == 0) {
      for (int c = 0; c < 4; ++c)
        lo[c] = hi[c] = v[c];
    }
    for (int c = 0; c < 4; ++c) {
      out[c][i] = QPointF(E, v[c]);
      if (v[c] < lo[c]) {
        lo[c] = v[c];
        loAt[c] = i;
      }
      if (v[c] > hi[c]) {
        hi[c] = v[c];
        hiAt[c] = i;
      }
    }
  }
  for (int c = 0; c < 4; ++c) {
    SpectrumPoints& curve = curves[CurvePostBase + c];
    curve.minX = eLo;
    curve.maxX = eHi;
    curve.minY = lo[c];
    curve.maxY = hi[c];
    curve.minIndex = loAt[c];
    curve.maxIndex = hiAt[c];
  }
}

void XafsSpectrum::clearNormalisation()
{
  midx = 0.0;
  dMut = 0.0;
  smoothed.clear();
  normalized.clear();
  for (int c = CurvePostBase; c <= CurveDoubleNormalized; ++c)
    curves[c].clear();
}

void XafsSpectrum::normalize(int fitMode)
{
  mode = fitMode;
  const int n = points.size();
  if (n == 0) {
    // Several callers normalise straight after a load without looking at
    // the point count: an empty spectrum stays at a zero edge and jump.
    clearNormalisation();
    return;
  }
  Work w;
  fillWork(w);
  smooth();
  midx = w.E[firstEdgeGuess(w)];
  fitLinesOn(w, midx, fitMode);
  Scratch preAt(n);
  Scratch postAt(n);
  for (int i = 0; i < n; ++i) {
    preAt[i] = pre.valueAt(w.E[i], w.lambda[i]);
    postAt[i] = post.valueAt(w.E[i], w.lambda[i]);
  }
  const int edge = findEdgeIndex(w, preAt.constData(), postAt.constData());
  midx = w.E[edge];
  dMut = postAt[edge] - preAt[edge];
  rebuildCurves(w, preAt.constData(), postAt.constData());
}

double XafsSpectrum::curveValueAt(Curve c, double E, double shift) const
{
  if (c < CurveI0 || c > CurveDoubleNormalized)
    return 0.0;
  return curves[c].valueAt(E + shift);
}

double XafsSpectrum::doubleNormalizedPreBase(double E) const
{
  if (std::isnan(E)) {
    qDebug().noquote() << QStringLiteral("nan EeV in XafsSpectrum::doubleNormalizedPreBase");
    return 0.0;
  }
  return curves[CurveDoubleNormalized].valueAt(E);
}
