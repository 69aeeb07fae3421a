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

} // namespace

// Per-point corrected energies, wavelengths and values, computed once per
// normalisation and shared by the fits, the edge finder and the curves.
struct XafsSpectrum::Work
{
  Scratch E;
  Scratch lambda;
  Scratch y;
  int n = 0;
  EdgeSamples samples() const { return { E.constData(), lambda.constData(), y.constData(), n }; }
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

int XafsSpectrum::findEdgeIndex(const Work& w, const double* preAt, const double* postAt) const
{
  if (smoothed.size() != w.n)
    return 0;
  return edgeIndexBetween(w.E.constData(), smoothed.constData(), preAt, postAt, w.n);
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

EdgeWindows XafsSpectrum::windows(int fitMode) const
{
  EdgeWindows win;
  win.mode = fitMode;
  win.expectedEdgeSet = expectedEdgeSet;
  win.expectedEdge = expectedEdge;
  win.preEnd = preEnd;
  win.postStart = postStart;
  return win;
}

bool XafsSpectrum::fitLinesOn(const Work& w, double e0, int fitMode)
{
  bool ok = false;
  dMut = fitEdgeLines(windows(fitMode), w.samples(), e0, pre, post, &ok);
  return ok;
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
    const double dn = doubleNormalised(y, preAt[i], postAt[i]);
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
  smoothed.resize(n);
  Scratch preAt(n);
  Scratch postAt(n);
  const EdgeResult r = normaliseSamples(
    windows(fitMode), w.samples(), pre, post, smoothed.data(), preAt.data(), postAt.data());
  midx = r.midx;
  dMut = r.dMut;
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
