#include "spectrum/VictLine.h"

#include "spectrum/EdgeLine.h"
#include "spectrum/LineSums.h"
#include "spectrum/LuSolve.h"

#include <QDebug>

#include <algorithm>
#include <cmath>

namespace {

bool inWindow(double E, double lo, double hi)
{
  return lo <= E && E < hi;
}

// Solves the n x n normal equations; false when any of the three LU steps
// fails, with that step in `failedStep` (1 decompose, 2 lower, 3 upper).
bool solveNormal(double* m, double* rhs, int n, double* x, int* failedStep = nullptr)
{
  int perm[kLuMaxSize];
  double y[kLuMaxSize];
  int step = 1;
  bool ok = luDecompose(m, n, perm);
  if (ok) {
    step = 2;
    ok = luSolveLower(m, n, perm, rhs, y);
  }
  if (ok) {
    step = 3;
    ok = luSolveUpper(m, n, y, x);
  }
  if (!ok && failedStep)
    *failedStep = step;
  return ok;
}

// Records the points used and the root-mean-square residual. At the
// least-squares solution Σr² = Σy² - x·rhs, so no second pass over the
// points is needed; rounding can leave it slightly below 0.
void recordResidual(EdgeLine& line,
                    int used,
                    double sumY2,
                    const double* x,
                    const double* rhs,
                    int n)
{
  double fitted = 0.0;
  for (int k = 0; k < n; ++k)
    fitted += x[k] * rhs[k];
  line.pointsUsed = used;
  line.rms = used > 0 ? std::sqrt(std::max(0.0, sumY2 - fitted) / used) : 1.0;
}

} // namespace

bool VictLine::fitVictoreen(const LineFitInput& in, double lo, double hi, EdgeLine& out)
{
  if (in.count < 4)
    return false;
  // The powers are taken of u = λ/λref, λref the wavelength of the first
  // point in the window: the same normal equations scaled to entries near
  // 1, which keeps the narrow windows near an edge solvable in double
  // precision.
  const lanes::V1 lo1 = lo;
  const lanes::V1 hi1 = hi;
  lanes::V1 s[10];
  lanes::V1 ref;
  lanes::victoreenSums(in.energy, in.lambda, in.value, in.count, lo1, hi1, s, ref);
  double sums[10];
  for (int k = 0; k < 10; ++k)
    sums[k] = s[k];
  return victoreenFromSums(sums, ref, out);
}

bool VictLine::victoreenFromSums(const double* s, double ref, EdgeLine& out)
{
  if (s[0] < 3.0) // three unknowns
    return false;
  double m[9] = { s[0], s[1], s[2], s[1], s[3], s[4], s[2], s[4], s[5] };
  double rhs[3] = { s[6], s[7], s[8] };
  double x[3];
  if (!solveNormal(m, rhs, 3, x))
    return false;
  out.linear = false;
  out.c = x[0];
  out.a = x[1] / (ref * ref * ref);
  out.b = x[2] / (ref * ref * ref * ref);
  recordResidual(out, int(s[0]), s[9], x, rhs, 3);
  return true;
}

bool VictLine::fitStraight(const LineFitInput& in, double lo, double hi, EdgeLine& out)
{
  if (in.count < 3)
    return false;
  // Energies are taken relative to the first point in the window so ΣE²
  // does not swamp N.
  const lanes::V1 lo1 = lo;
  const lanes::V1 hi1 = hi;
  lanes::V1 s[6];
  lanes::V1 origin;
  lanes::V1 first;
  lanes::straightSums(in.energy, in.value, in.count, lo1, hi1, s, origin, first);
  double sums[6];
  for (int k = 0; k < 6; ++k)
    sums[k] = s[k];
  return straightFromSums(sums, origin, first, out);
}

bool VictLine::straightFromSums(const double* s, double origin, double first, EdgeLine& out)
{
  const int used = int(s[0]);
  double x[2] = { 0.0, 0.0 }; // no point: the constant 0
  double rhs[2] = { s[3], s[4] };
  if (used == 1) {
    x[0] = first;
  } else if (used > 1) {
    double m[4] = { s[0], s[1], s[1], s[2] };
    if (!solveNormal(m, rhs, 2, x))
      return false;
  }
  out.linear = true;
  out.slope = x[1];
  out.c = x[0] - x[1] * origin;
  recordResidual(out, used, s[5], x, rhs, 2);
  return true;
}

bool VictLine::genCorrectedInPost(const LineFitInput& in, double lo, double hi, EdgeLine& out)
{
  // Fitted in t = (E - mid) / half over the window, then expanded into the
  // powers of E that the line evaluates.
  double eMin = 0.0;
  double eMax = 0.0;
  int used = 0;
  for (int i = 0; i < in.count; ++i) {
    const double E = in.energy[i];
    if (!inWindow(E, lo, hi))
      continue;
    eMin = used == 0 ? E : std::min(eMin, E);
    eMax = used == 0 ? E : std::max(eMax, E);
    ++used;
  }
  const double mid = 0.5 * (eMin + eMax);
  const double half = eMax > eMin ? 0.5 * (eMax - eMin) : 1.0;
  double m[16] = {};
  double rhs[4] = {};
  for (int i = 0; i < in.count; ++i) {
    if (!inWindow(in.energy[i], lo, hi))
      continue;
    const double t = (in.energy[i] - mid) / half;
    const double p[4] = { 1.0, t, t * t, t * t * t };
    for (int r = 0; r < 4; ++r) {
      rhs[r] += p[r] * in.value[i];
      for (int k = 0; k < 4; ++k)
        m[r * 4 + k] += p[r] * p[k];
    }
  }
  int perm[4];
  double y[4];
  double q[4];
  if (!luDecompose(m, 4, perm)) {
    qDebug().noquote() << "make  LU (2) false in VictLine genCorrectedInPost";
    return false;
  }
  if (!luSolveLower(m, 4, perm, rhs, y)) {
    qDebug().noquote() << "solve LV (2) false in VictLine genCorrectedInPost";
    return false;
  }
  if (!luSolveUpper(m, 4, y, q)) {
    qDebug().noquote() << "solve UV (2) false in VictLine genCorrectedInPost";
    return false;
  }
  // q0 + q1·t + q2·t² + q3·t³ with t = (E - mid)/h, expanded in E.
  const double h = half;
  const double a3 = q[3] / (h * h * h);
  const double a2 = q[2] / (h * h);
  const double a1 = q[1] / h;
  out.p3 = a3;
  out.p2 = a2 - 3.0 * a3 * mid;
  out.p1 = a1 - 2.0 * a2 * mid + 3.0 * a3 * mid * mid;
  out.p0 = q[0] - a1 * mid + a2 * mid * mid - a3 * mid * mid * mid;
  return true;
}
