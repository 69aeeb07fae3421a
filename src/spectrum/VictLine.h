#pragma once

#include "spectrum/SpectrumPoints.h"

struct EdgeLine;

// The samples one line fit reads: per point the (corrected) energy, its
// wavelength hc/E and the value, `count` points in all.
struct LineFitInput
{
  const double* energy = nullptr;
  const double* lambda = nullptr;
  const double* value = nullptr;
  int count = 0;
};

// A stored point line (the replacement of an edge line beyond its limit)
// and the least-squares fits of one edge line over an energy window.
class VictLine
{
public:
  SpectrumPoints line;

  // The stored line interpolated at E (end segments extended).
  double valueAt(double E) const { return line.valueAt(E); }

  // Victoreen form c + a·λ³ + b·λ⁴ over the points with lo <= E < hi. Needs
  // at least 4 points in the whole input; fails (leaving `out` as it was)
  // when the normal equations cannot be solved.
  static bool fitVictoreen(const LineFitInput& in, double lo, double hi, EdgeLine& out);
  // Straight line c + slope·E over lo <= E < hi. Needs at least 3 points in
  // the whole input; no point in the window gives the constant 0, one point
  // the constant value of that point.
  static bool fitStraight(const LineFitInput& in, double lo, double hi, EdgeLine& out);
  // The two fits from their sums (see lanes::straightSums and
  // lanes::victoreenSums): a batch of spectra is summed lane by lane and
  // each lane finished here, as the fits above finish theirs.
  static bool straightFromSums(const double* sums, double origin, double first, EdgeLine& out);
  static bool victoreenFromSums(const double* sums, double ref, EdgeLine& out);
  // The corrected post-edge: a least-squares cubic p3·E³ + p2·E² + p1·E + p0
  // over lo <= E < hi, which the line then uses beyond its limit. Logs which
  // LU step failed.
  static bool genCorrectedInPost(const LineFitInput& in, double lo, double hi, EdgeLine& out);
};
