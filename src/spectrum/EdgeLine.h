#pragma once

#include "spectrum/VictLine.h"

// hc in eV·Å: every energy-wavelength conversion of the program.
constexpr double kHcEVA = 12398.424360387684;

// A pre-edge or post-edge line: Victoreen form c + a·λ³ + b·λ⁴ (λ in Å) or a
// straight line c + slope·E, optionally replaced beyond a limit by a cubic
// in E or by a stored point line.
struct EdgeLine
{
  bool linear = false;
  double c = 0.0;
  double a = 0.0;
  double b = 0.0;
  double slope = 0.0;
  bool useOutside = false;
  bool outsideIsAbove = false;
  double lowerLimit = 0.0;
  double upperLimit = 0.0;
  int outsideKind = 0; // 2: pointLine; otherwise the cubic
  double p3 = 0.0;
  double p2 = 0.0;
  double p1 = 0.0;
  double p0 = 0.0;
  VictLine pointLine;
  // Of the last successful fit: points used and root-mean-square residual
  // (1.0 when no point was used).
  int pointsUsed = 0;
  double rms = 1.0;

  double valueAt(double E) const { return valueAt(E, kHcEVA / E); }
  // The same with the wavelength already known (the normalisation computes
  // it once per point).
  double valueAt(double E, double lambda) const
  {
    if (useOutside && (outsideIsAbove ? E > upperLimit : E < lowerLimit)) {
      if (outsideKind == 2)
        return pointLine.valueAt(E);
      return ((p3 * E + p2) * E + p1) * E + p0;
    }
    if (linear)
      return c + slope * E;
    const double l3 = lambda * lambda * lambda;
    return c + a * l3 + b * l3 * lambda;
  }
};
