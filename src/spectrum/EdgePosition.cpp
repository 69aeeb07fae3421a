#include "spectrum/EdgePosition.h"

#include <QCoreApplication>

#include "spectrum/XafsSpectrum.h"

namespace {

const char* const kNames[] = { "grid", "interpolated", "derivative" };

// Index of the point the normalisation placed the edge on.
int edgeIndex(const XafsSpectrum& s)
{
  for (int i = 0; i < s.size(); ++i)
    if (s.energy(i) == s.midx)
      return i;
  return -1;
}

double interpolatedHalfJump(const XafsSpectrum& s)
{
  const int n = s.size();
  const int i = edgeIndex(s);
  if (n < 3 || s.smoothed.size() != n || i < 0)
    return s.midx;
  // Distance of the smoothed curve above the half-jump level.
  const auto above = [&s](int j) {
    const double e = s.energy(j);
    return s.smoothed[j] - 0.5 * (s.preValue(e) + s.postValue(e));
  };
  // The edge point's neighbours bracket the level; which pair holds the
  // crossing depends on which side of the level the edge point is.
  const int j = above(i) >= 0.0 ? i - 1 : i;
  if (j < 0 || j + 1 >= n)
    return s.midx;
  const double g0 = above(j);
  const double g1 = above(j + 1);
  if (!(g0 < 0.0 && g1 >= 0.0) || !(s.energy(j + 1) > s.energy(j)))
    return s.midx;
  return edgefind::crossing(s.energy(j), g0, s.energy(j + 1), g1, 0.0);
}

double smoothedDerivativePeak(const XafsSpectrum& s)
{
  const int n = s.size();
  if (n < 3 || s.smoothed.size() != n)
    return s.midx;
  int from = 1;
  int to = n - 1;
  if (s.expectedEdgeSet) {
    const double lo = s.expectedEdge + s.preEnd;
    const double hi = s.expectedEdge + s.postStart;
    while (from < n - 1 && s.energy(from) < lo)
      ++from;
    to = from;
    while (to < n - 1 && s.energy(to) <= hi)
      ++to;
    // A window that misses the spectrum searches all of it, as the
    // normalisation does.
    if (to <= from) {
      from = 1;
      to = n - 1;
    }
  }
  double at = s.midx;
  if (!edgefind::derivativePeak(
        n,
        from,
        to,
        [&s](int k) { return s.energy(k); },
        [&s](int k) { return s.smoothed[k]; },
        at))
    return s.midx;
  return at;
}

} // namespace

QString edgeLocateName(EdgeLocate locate)
{
  const int k = int(locate);
  return QLatin1String(k >= 0 && k < 3 ? kNames[k] : kNames[0]);
}

bool edgeLocateFromName(const QString& name, EdgeLocate& locate)
{
  for (int k = 0; k < 3; ++k)
    if (name.compare(QLatin1String(kNames[k]), Qt::CaseInsensitive) == 0) {
      locate = EdgeLocate(k);
      return true;
    }
  return false;
}

QStringList edgeLocateCaptions()
{
  // The windows show them in their language (context "EdgeLocate").
  return { QString::fromLatin1(QT_TRANSLATE_NOOP("EdgeLocate", "Grid point")),
           QString::fromLatin1(QT_TRANSLATE_NOOP("EdgeLocate", "Interpolated edge")),
           QString::fromLatin1(QT_TRANSLATE_NOOP("EdgeLocate", "Derivative maximum")) };
}

double edgeEnergy(const XafsSpectrum& s, EdgeLocate locate)
{
  switch (locate) {
    case EdgeLocate::Interpolated:
      return interpolatedHalfJump(s);
    case EdgeLocate::DerivativePeak:
      return smoothedDerivativePeak(s);
    case EdgeLocate::Grid:
    default:
      return s.midx;
  }
}
