#include "analysis/LcfFit.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

RefSnapshot RefSnapshot::take(const XafsSpectrum& spectrum,
                              double dE,
                              bool dEActive,
                              bool use,
                              bool victoreen)
{
  RefSnapshot r;
  r.spectrum = spectrum;
  r.dE = dE;
  r.dEActive = dEActive;
  r.use = use;
  r.victoreen = victoreen;
  const int mode = victoreen ? 0 : 1;
  if (spectrum.size() > 0 && (spectrum.mode == 0) != (mode == 0))
    r.spectrum.normalize(mode);
  return r;
}

QString normalisationMismatch(const QVector<RefSnapshot>& refs, int sampleMode)
{
  const bool sampleVictoreen = sampleMode == 0;
  QStringList rows;
  for (int i = 0; i < refs.size(); ++i)
    if (refs[i].usable() && refs[i].victoreen != sampleVictoreen)
      rows << QString::number(i + 1);
  if (rows.isEmpty())
    return QString();
  const QString refModel =
    sampleVictoreen ? QStringLiteral("straight") : QStringLiteral("Victoreen");
  const QString sampleModel =
    sampleVictoreen ? QStringLiteral("Victoreen") : QStringLiteral("straight");
  return QStringLiteral("Ref %1: normalised with %2 lines, the sample with %3 lines "
                        "(\"Energy Correction\"): the fractions may be biased")
    .arg(rows.join(QStringLiteral(", ")), refModel, sampleModel);
}

fit::SampleTable sampleTable(const XafsSpectrum& s)
{
  fit::SampleTable t;
  fillSampleTable(s, t);
  return t;
}

void fillSampleTable(const XafsSpectrum& s, fit::SampleTable& t)
{
  const int n = s.size();
  const SpectrumPoints& dn = s.curve(XafsSpectrum::CurveDoubleNormalized);
  t.e.resize(n);
  t.dn.resize(n);
  t.raw.resize(n);
  t.jump.resize(n);
  double* e = t.e.data();
  double* d = t.dn.data();
  double* raw = t.raw.data();
  double* jump = t.jump.data();
  const int nd = dn.size();
  for (int i = 0; i < n; ++i) {
    const double E = s.energy(i);
    e[i] = E - s.extraShift;
    d[i] = i < nd ? dn.y(i) : 0.0;
    raw[i] = s.value(i);
    jump[i] = s.postValue(E) - s.preValue(E);
  }
  // Copied into the table's own storage: sharing the spectrum's curve would
  // make the next normalisation of a reused spectrum allocate a fresh one.
  const int nc = dn.size();
  t.dnCurve.points.resize(nc);
  QPointF* out = t.dnCurve.points.data();
  for (int i = 0; i < nc; ++i)
    out[i] = QPointF(dn.points[i].x() - s.extraShift, dn.points[i].y());
  if (s.extraShift != 0.0) {
    t.dnCurve.updateRanges();
  } else {
    t.dnCurve.minX = dn.minX;
    t.dnCurve.maxX = dn.maxX;
    t.dnCurve.minY = dn.minY;
    t.dnCurve.maxY = dn.maxY;
    t.dnCurve.minIndex = dn.minIndex;
    t.dnCurve.maxIndex = dn.maxIndex;
  }
  t.dMut = s.dMut;
  t.jumpNoise = edgeJumpNoise(s);
}

double edgeJumpNoise(const XafsSpectrum& s)
{
  return edgeJumpNoise(s.pre, s.post);
}

double edgeJumpNoise(const EdgeLine& pre, const EdgeLine& post)
{
  // A line fitted to N points scattered by rms is known at the end of its
  // window to about 2·rms/√N (straight line; the Victoreen form is no
  // better). The jump is the difference of the two lines at the edge.
  // A line fitted to fewer than two points (an empty pre-edge window leaves
  // the line at 0, so the "jump" is the absorption itself) measures no jump
  // at all: its uncertainty is unbounded.
  if (pre.pointsUsed < 2 || post.pointsUsed < 2)
    return std::numeric_limits<double>::infinity();
  const auto atEnd = [](const EdgeLine& l) {
    return 2.0 * l.rms / std::sqrt(double(l.pointsUsed));
  };
  return std::hypot(atEnd(pre), atEnd(post));
}

QVector<fit::RefTable> usedReferenceTables(const QVector<RefSnapshot>& refs)
{
  QVector<fit::RefTable> tables;
  for (int i = 0; i < refs.size(); ++i) {
    const RefSnapshot& r = refs[i];
    if (!r.usable())
      continue;
    fit::RefTable t;
    t.listIndex = i;
    t.shift = r.dEActive ? r.dE : 0.0;
    double lo = r.spectrum.energy(0), hi = lo;
    for (int k = 1; k < r.spectrum.size(); ++k) {
      lo = std::min(lo, r.spectrum.energy(k));
      hi = std::max(hi, r.spectrum.energy(k));
    }
    t.lo = lo - t.shift;
    t.hi = hi - t.shift;
    t.dn = r.spectrum.curve(XafsSpectrum::CurveDoubleNormalized);
    t.mlcf = r.spectrum.curve(XafsSpectrum::CurveRawScale);
    tables.append(t);
  }
  return tables;
}

LcfResult fitSpectrum(const XafsSpectrum& sample,
                      const QVector<RefSnapshot>& refs,
                      bool mlcf,
                      const FitConditions& cond)
{
  LcfResult res =
    fit::fitTables(sampleTable(sample), usedReferenceTables(refs), refs.size(), mlcf, cond);
  if (cond.buildSpectrum && res.ok()) {
    // Straight-line mode, as an unticked "Victreen" box gives; no shift.
    res.fitted = XafsSpectrum(res.curve,
                              mlcf ? QStringLiteral("anal-MLCF") : QStringLiteral("anal-LCF"),
                              1,
                              0.0,
                              cond.suggestedEeV,
                              -10.0,
                              10.0);
  }
  return res;
}
