#pragma once

#include "analysis/LcfResult.h"
#include "spectrum/SpectrumPoints.h"

#include <QVector>

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
};

// listSize is the number of references in the caller's list, used or not.
LcfResult fitTables(const SampleTable& sample,
                    const QVector<RefTable>& refs,
                    int listSize,
                    bool mlcf,
                    const FitConditions& cond);

} // namespace fit
