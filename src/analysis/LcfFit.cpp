#include "analysis/LcfFit.h"

#include <algorithm>

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
  double* e = t.e.data();
  double* d = t.dn.data();
  double* raw = t.raw.data();
  const int nd = dn.size();
  for (int i = 0; i < n; ++i) {
    e[i] = s.energy(i) - s.extraShift;
    d[i] = i < nd ? dn.y(i) : 0.0;
    raw[i] = s.value(i);
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
