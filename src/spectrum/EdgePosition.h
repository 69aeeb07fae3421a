#pragma once

#include <QString>
#include <QStringList>

class XafsSpectrum;

// How an edge position is read off a spectrum. `Grid` is the normalisation's
// own answer (`midx`, an energy of the grid); the other two place the edge
// between grid points, so that a map of edge positions on a coarse grid does
// not move in whole grid steps.
enum class EdgeLocate
{
  Grid = 0,
  // The half-jump crossing interpolated linearly between the two points of
  // the curve that bracket it.
  Interpolated = 1,
  // The largest slope of the curve, refined by a parabola through the
  // slopes at the three points around it.
  DerivativePeak = 2
};

// "grid", "interpolated", "derivative" and back (letter case ignored); false
// for any other word.
QString edgeLocateName(EdgeLocate locate);
bool edgeLocateFromName(const QString& name, EdgeLocate& locate);
// The choices as the windows list them, in EdgeLocate order.
QStringList edgeLocateCaptions();

// The edge energy of a normalised spectrum: `midx` for Grid; otherwise the
// refined position on the smoothed curve, with the fitted pre- and post-edge
// lines giving the half-jump level. The derivative is searched in the
// normalisation's edge window (the whole spectrum when no edge is expected).
// Falls back to `midx` where the refinement has nothing to work on.
double edgeEnergy(const XafsSpectrum& s, EdgeLocate locate);

namespace edgefind {

// E where the straight line through (e0, y0) and (e1, y1) reaches `level`.
// Callers bracket the level (y0 < level <= y1), so y1 > y0.
inline double crossing(double e0, double y0, double e1, double y1, double level)
{
  return e0 + (level - y0) / (y1 - y0) * (e1 - e0);
}

// The largest central slope (y[i+1] - y[i-1]) / (E[i+1] - E[i-1]) for
// from <= i < to (clamped to the inner points), refined by the vertex of the
// parabola through the slopes at i-1, i, i+1 and kept within E[i-1]..E[i+1].
// `energy(i)` and `value(i)` give the curve; n its point count. Returns
// false when no slope is above 0.
template<class EnergyAt, class ValueAt>
bool derivativePeak(int n, int from, int to, EnergyAt energy, ValueAt value, double& at)
{
  const auto slope = [&](int i) {
    const double dE = energy(i + 1) - energy(i - 1);
    return dE > 0.0 ? (value(i + 1) - value(i - 1)) / dE : 0.0;
  };
  const int lo = from < 1 ? 1 : from;
  const int hi = to > n - 1 ? n - 1 : to;
  int best = -1;
  double bestSlope = 0.0;
  for (int i = lo; i < hi; ++i) {
    const double d = slope(i);
    if (d > bestSlope) {
      bestSlope = d;
      best = i;
    }
  }
  if (best < 0)
    return false;
  at = energy(best);
  // The neighbours' slopes need their own neighbours.
  if (best < 2 || best > n - 3)
    return true;
  const double x0 = energy(best - 1), x1 = at, x2 = energy(best + 1);
  const double d0 = slope(best - 1), d2 = slope(best + 1);
  if (!(x0 < x1 && x1 < x2))
    return true;
  const double s01 = (bestSlope - d0) / (x1 - x0);
  const double s12 = (d2 - bestSlope) / (x2 - x1);
  const double a = (s12 - s01) / (x2 - x0);
  if (!(a < 0.0))
    return true;
  const double b = s01 - a * (x0 + x1);
  const double vertex = -b / (2.0 * a);
  if (vertex >= x0 && vertex <= x2)
    at = vertex;
  return true;
}

} // namespace edgefind
