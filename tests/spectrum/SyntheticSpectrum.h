#pragma once

#include "spectrum/EdgeLine.h"
#include "spectrum/SpectrumPoints.h"

#include <cmath>

// A Victoreen background c + a·λ³ + b·λ⁴ plus an arctan step of height
// `jump` at e0 (half width `gamma`), sampled every `step` eV.
struct SyntheticEdge
{
  double c = 0.2;
  double a = 0.05;
  double b = -0.01;
  double jump = 1.0;
  double e0 = 8980.0;
  double gamma = 0.1;

  double background(double E) const
  {
    const double l = kHcEVA / E;
    return c + a * l * l * l + b * l * l * l * l;
  }
  double at(double E) const
  {
    return background(E) + jump * (0.5 + std::atan((E - e0) / gamma) / 3.1415926535);
  }
  SpectrumPoints sample(double from, double to, double step) const
  {
    SpectrumPoints p;
    for (double E = from; E <= to + 1e-9; E += step)
      p.append(E, at(E));
    return p;
  }
};
