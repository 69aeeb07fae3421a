#pragma once

#include "analysis/ConstrainedWeights.h"
#include "analysis/LcfResult.h"
#include "spectrum/SpectrumPoints.h"

#include <QVector>

#include <vector>

// The reference fits work on plain tables taken once from the spectra: the
// lookups then need no spectrum object, and the numbers depend only on these
// values (re-entrant, so points can be spread over threads bit-identically).
namespace fit {

struct RefTable
{
  int listIndex = 0;
  double shift = 0.0; // dE while the reference's shift is active, else 0
  double lo = 0.0;    // lowest and highest raw energy, less the shift
  double hi = 0.0;
  SpectrumPoints dn;   // double-normalised curve, for LCF and the fitted curve
  SpectrumPoints mlcf; // the curve on the absorption scale that MLCF combines
  // Values at sample energy x, read at x + shift by linear interpolation
  // with the end segments extended. A NaN energy is reported and gives 0.
  double at(double x) const;
  double mlcfAt(double x) const;
};

struct SampleTable
{
  // Per raw point: corrected energy less the calibration shift, the
  // double-normalised value at the same index (0 past its end) and the raw
  // absorption.
  QVector<double> e;
  QVector<double> dn;
  QVector<double> raw;
  // The double-normalised curve with its own energies (calibration shift
  // taken off), over which the residual is summed.
  SpectrumPoints dnCurve;
  double dMut = 0.0;
  // Per raw point: the local jump post(E) - pre(E) the double-normalised
  // value was divided by; empty when unknown.
  QVector<double> jump;
  // The uncertainty of a jump from the scatter of the points about the
  // pre-edge and post-edge lines; 0 when unknown.
  double jumpNoise = 0.0;
};

// What a fit reads of a sample, as plain arrays: a SampleTable, or a run's
// own buffers. `curveX`/`curveY` (nc points) is the double-normalised curve
// the residual is summed over.
struct SampleView
{
  const double* e = nullptr;
  const double* dn = nullptr;
  const double* raw = nullptr;
  int n = 0;
  int nDn = 0; // entries of dn (and of raw: nRaw)
  int nRaw = 0;
  const double* curveX = nullptr;
  const double* curveY = nullptr;
  int nc = 0;
  double dMut = 0.0;
  const double* jump = nullptr; // n local jumps post(E) - pre(E), or none
  double jumpNoise = 0.0;
};
// A table's arrays; valid while the table is unchanged. `xs`/`ys` receive
// the curve's coordinates.
SampleView viewOf(const SampleTable& t, std::vector<double>& xs, std::vector<double>& ys);

// A spectrum whose edge jump is not positive or lies within its noise has
// no edge to normalise by: its double-normalised curve is noise divided by
// almost nothing, and a fit of it gives fractions of any size. The same
// holds at every energy the fit reads: a Victoreen pre-edge line fitted on
// a short, noisy pre-edge can cross the post-edge line within the data.
inline bool jumpClear(double jump, double noise)
{
  return jump > 0.0 && jump > noise;
}

// What a fit needs that does not depend on the sample: the used references,
// the fitting range and the references' common range. Made once per run.
struct Prepared
{
  Prepared() = default;
  // listSize is the number of references in the caller's list, used or not.
  Prepared(const QVector<RefTable>& refs, int listSize, bool mlcf, const FitConditions& cond);

  QVector<RefTable> refs;
  int listSize = 0;
  bool mlcf = false;
  FitConditions cond;
  double commonLo = 0.0; // the references' common range
  double commonHi = 1e300;
  double fitLo = 0.0; // the fitting range within it
  double fitHi = 30000.0;
  // Doubles a fit writes: z, then the amount and the fraction of every used
  // reference.
  int valuesPerPoint() const { return 1 + 2 * refs.size(); }
};

// Everything of a fit that depends only on the sample's energies: the
// references' values on that grid and the factorised normal matrix. Every
// point of a run without a shift map shares one grid, so a worker builds
// this once and then solves each point with one substitution. Rebuilt when
// a point's energies differ.
struct GridCache
{
  QVector<double> grid;    // the energies the cache was built for
  std::vector<double> dn;  // refs x grid: double-normalised reference values
  std::vector<double> mat; // rows of the design matrix, columns x grid
  std::vector<char> inFit; // grid point within the fitting range
  std::vector<char> inCommon;
  // Per grid point the first grid point of the same energy, and whether the
  // grid is ascending without NaNs (a curve on it is read point by point).
  std::vector<int> firstSame;
  bool ascending = false;
  bool distinct = false; // no two grid points share an energy
  std::vector<double> lu;
  std::vector<int> perm;
  std::vector<double> rhs;
  std::vector<double> laneRhs;     // four samples' right-hand sides (fitFour)
  std::vector<double> laneWeights; // and their fractions, in rows of four
  std::vector<double> work;
  std::vector<double> weights;
  // For fits constrained to a sum of 1: the normal matrix before
  // factorisation and A⁻¹·1, both fixed by the grid.
  std::vector<double> normal;
  std::vector<double> unitSol;
  std::vector<double> constrained;
  ConstrainedScratch bounds;
  int unknowns = 0;
  int fitPoints = 0; // grid points within the fitting range
  bool singular = false;
  bool valid = false;
};

// Fits `sample` and writes z, the amounts and the fractions (see
// Prepared::valuesPerPoint) into `out`; `curve`, when given, receives the
// fitted curve. For an empty sample or fewer than two references in the
// list it writes zeros; for fewer than two used references with enough
// sample points in their common range, or a sample without an edge
// (hasEdge), NaN. The numbers depend only on the arguments, not on what
// `cache` held before.
FitStatus fitInto(const Prepared& prep,
                  const SampleView& sample,
                  GridCache& cache,
                  double* out,
                  bool* singular = nullptr,
                  SpectrumPoints* curve = nullptr);
FitStatus fitInto(const Prepared& prep,
                  const SampleTable& sample,
                  GridCache& cache,
                  double* out,
                  bool* singular = nullptr,
                  SpectrumPoints* curve = nullptr);

// Four samples on one energy grid, one a lane: per grid point a row of
// four values (lane l of row i belongs to sample l), the double-normalised
// curve being (e, dn) itself.
struct FourSamples
{
  const double* e = nullptr; // the shared grid, n energies
  int n = 0;
  const double* dn = nullptr;   // n rows of four
  const double* raw = nullptr;  // n rows of four
  const double* jump = nullptr; // n rows of four
  double dMut[4] = {};
  double jumpNoise[4] = {};
  bool present[4] = {}; // false: an empty sample
};
// Fits the first `lanes` samples: lane l writes at out + l * stride what
// fitInto writes for that sample alone, with its status in status[l], bit
// for bit (the right-hand sides and the residual run through the same lane
// code, four at a time). False, writing nothing, for a grid that is not
// ascending: fit such samples one by one.
bool fitFour(const Prepared& prep,
             const FourSamples& samples,
             int lanes,
             GridCache& cache,
             double* out,
             int stride,
             FitStatus* status);

// One fit as a value (the single-spectrum path and the tests).
LcfResult fitTables(const SampleTable& sample,
                    const QVector<RefTable>& refs,
                    int listSize,
                    bool mlcf,
                    const FitConditions& cond);

} // namespace fit
