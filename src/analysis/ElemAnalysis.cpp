#include "analysis/ElemAnalysis.h"

#include "spectrum/EdgeTable.h"
#include "spectrum/ElementTable.h"
#include "spectrum/XafsSpectrum.h"

#include <QDebug>

#include <algorithm>
#include <cmath>

namespace {

const char* const kMapSuffix[ElemMapCount] = { "0", "N", "MP", "MM", "DE", "ROI", "NROI" };

// Energy of point i on the corrected scale.
inline double shiftedEnergy(const XafsSpectrum& s, int i)
{
  return s.energy(i) - s.extraShift;
}

// First index i (0 .. n-2) whose mid-energy (E_i + E_i+1) / 2 exceeds e;
// n - 1 when none does.
int firstMidAbove(const XafsSpectrum& s, double e)
{
  const int n = s.size();
  for (int i = 0; i + 1 < n; ++i)
    if (0.5 * (shiftedEnergy(s, i) + shiftedEnergy(s, i + 1)) > e)
      return i;
  return std::max(n - 1, 0);
}

double edgeShift(const XafsSpectrum& s, const ElemCond& c, double mid, EdgeLocate locate)
{
  const int from = firstMidAbove(s, c.e0 - c.dE);
  const int to = firstMidAbove(s, c.e0 + c.dE);
  if (locate == EdgeLocate::DerivativePeak) {
    double at = 0.0;
    // The slope at `to` still looks at points inside the range.
    if (!edgefind::derivativePeak(
          s.size(),
          from,
          to + 1,
          [&s](int i) { return shiftedEnergy(s, i); },
          [&s](int i) { return s.value(i); },
          at))
      return 0.0;
    return at - c.e0;
  }
  double sum = 0.0;
  int count = 0;
  for (int i = from; i < to && i + 1 < s.size(); ++i)
    if (s.value(i) < mid && mid <= s.value(i + 1)) {
      const double e0 = shiftedEnergy(s, i);
      const double e1 = shiftedEnergy(s, i + 1);
      sum += locate == EdgeLocate::Interpolated
               ? edgefind::crossing(e0, s.value(i), e1, s.value(i + 1), mid)
               : 0.5 * (e0 + e1);
      ++count;
    }
  return count > 0 ? sum / count - c.e0 : 0.0;
}

double roiMean(const XafsSpectrum& s, const ElemCond& c, double muMinus)
{
  const int from = firstMidAbove(s, c.roiStart);
  const int to = firstMidAbove(s, c.roiEnd);
  double sum = 0.0;
  int count = 0;
  for (int i = from; i < to; ++i) {
    sum += s.value(i) - muMinus;
    ++count;
  }
  return count > 0 ? sum / count : 0.0;
}

} // namespace

QString elemMapName(const QString& edgeName, int kind)
{
  const char* suffix = (kind >= 0 && kind < ElemMapCount) ? kMapSuffix[kind] : "";
  return QStringLiteral("%1 Elem Ctrl %2").arg(edgeName, QLatin1String(suffix));
}

double elemMapValue(const ElemResult& r, int kind)
{
  switch (kind) {
    case ElemMapDMut:
      return r.dmut;
    case ElemMapRatio:
      return r.ratio;
    case ElemMapMuPlus:
      return r.muPlus;
    case ElemMapMuMinus:
      return r.muMinus;
    case ElemMapDE:
      return r.shift;
    case ElemMapROI:
      return r.roi;
    case ElemMapNROI:
      return r.nroi;
    default:
      return 0.0;
  }
}

double rawMuAt(const XafsSpectrum& s, double E)
{
  // Stored x = corrected energy + offset; the shift is taken off on top.
  const double offset = s.energyCorrected ? s.energyOffset : 0.0;
  return s.points.valueAt(E + s.extraShift + offset);
}

int validTargetIndex(int mainT, int edges)
{
  if (edges <= 0) {
    qDebug().noquote() << "Element analysis: no edges to analyse";
    return -1;
  }
  if (mainT < 0 || mainT >= edges) {
    qDebug().noquote() << QStringLiteral(
                            "Element analysis: target %1 is not an edge, the first edge is used")
                            .arg(mainT);
    return 0;
  }
  return mainT;
}

void analyzeSpectrumElems0(const XafsSpectrum& s,
                           const QVector<ElemCond>& elems,
                           int mainT,
                           const ElemBackground& bg,
                           ElemResult* out,
                           EdgeLocate locate)
{
  const int n = elems.size();
  for (int k = 0; k < n; ++k) {
    const ElemCond& c = elems[k];
    ElemResult r;
    const double muPlus = rawMuAt(s, c.e0 + c.dE);
    const double muMinus = rawMuAt(s, c.e0 - c.dE);
    r.dmutRaw = muPlus - muMinus;
    if (r.dmutRaw > c.thDMut) {
      r.dmut = r.dmutRaw;
      r.muPlus = muPlus;
      r.muMinus = muMinus;
      r.shift = edgeShift(s, c, 0.5 * (muPlus + muMinus), locate);
      r.roi = roiMean(s, c, muMinus);
      if (c.noNeg && r.roi < 0.0) {
        r.roi = bg.roi;
        r.nroi = bg.nroi;
      } else {
        r.nroi = r.roi / r.dmut;
        // A threshold below zero lets a zero jump through.
        if (!std::isfinite(r.nroi))
          r.nroi = 0.0;
      }
    } else {
      r.dmut = bg.dmut;
      r.muPlus = bg.dmut;
      r.muMinus = bg.dmut;
      r.shift = bg.dE;
      r.roi = bg.roi;
      r.nroi = bg.nroi;
    }
    out[k] = r;
  }
  if (n == 0)
    return;
  const int t = (mainT >= 0 && mainT < n) ? mainT : 0;
  const double target = out[t].dmut != 0.0 ? out[t].dmut : 1.0;
  for (int k = 0; k < n; ++k)
    out[k].ratio = out[k].dmut / target;
}

bool elemCorrelation(const QVector<ElemCond>& elems, const double* ratios, double& cor)
{
  double srr = 0.0, sss = 0.0, srs = 0.0;
  for (int k = 0; k < elems.size(); ++k) {
    if (!elems[k].use)
      continue;
    const double r = ratios[k];
    const double st = elems[k].stdRatio;
    srr += r * r;
    sss += st * st;
    srs += r * st;
  }
  if (!(srr > 0.0 && sss > 0.0))
    return false;
  cor = srs / std::sqrt(srr * sss);
  return std::isfinite(cor);
}

QVector<ElemEntry> parseElemNames(const QString& text, bool byAtomicNumber)
{
  QVector<ElemEntry> entries;
  const QStringList edgeNames = { "K", "L1", "LI", "L2", "LII", "L3", "LIII" };
  for (const QString& raw : text.split(QLatin1Char(','))) {
    const QString item = raw.trimmed();
    if (item.isEmpty())
      continue;
    ElemEntry e;
    const int dash = item.indexOf(QLatin1Char('-'));
    e.symbol = (dash < 0 ? item : item.left(dash)).trimmed();
    e.edge = dash < 0 ? QStringLiteral("K") : item.mid(dash + 1).trimmed();
    if (e.edge.isEmpty())
      e.edge = QStringLiteral("K");
    e.z = atomicNumberOf(e.symbol);
    if (e.z < 1 || !lookupEdgeEnergy(e.symbol, e.edge, e.e0)) {
      qDebug().noquote() << "Unknown element or edge : " + item;
      continue;
    }
    // An edge name the table does not know reads as the K edge: the row is
    // made, but not without a word.
    if (!edgeNames.contains(e.edge, Qt::CaseInsensitive))
      qDebug().noquote() << "Unknown element or edge : " + item + " (read as the K edge)";
    entries.append(e);
  }
  if (byAtomicNumber)
    std::stable_sort(entries.begin(), entries.end(), [](const ElemEntry& a, const ElemEntry& b) {
      return a.z < b.z;
    });
  return entries;
}
