#pragma once

#include "analysis/AnalyzeCond.h"
#include "analysis/LcfResult.h"

#include <QVector>

class Analyzed2DRes;

// The result maps of one LCF / MLCF run: per reference of the list, as it
// was when the run started, an amount map and a fraction map, and the
// residual map "a2d Zansa". The maps are not owned (the reference rows and
// the Analyzer own them); the list is fixed for the run, so ticking "Use" or
// adding a reference meanwhile never shifts or overruns it.
struct LcfRunMaps
{
  QVector<Analyzed2DRes*> amounts;   // index = reference list index
  QVector<Analyzed2DRes*> fractions; // index = reference list index
  Analyzed2DRes* zansa = nullptr;

  // Resets every map to the run: amount map i gets number i, fraction map i
  // number i + nRefs, the residual map 2 * nRefs.
  void reset(const AnalyzeCond& cond);
  // Writes one answer at the cursor's block: each used reference's amount
  // and fraction into its list position's maps, z into the residual map.
  // Points off the image are skipped.
  void record(const LcfResult& r, const AnalyzeCond& at);
  // The same from a kernel's values: used reference u (list index
  // refIndex[u]) has amounts[u] and fractions[u].
  void record(double z,
              const double* amounts,
              const double* fractions,
              const QVector<int>& refIndex,
              const AnalyzeCond& at);
};
