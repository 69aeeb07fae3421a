#pragma once

#include "analysis/FitTables.h"
#include "analysis/LcfFit.h"
#include "analysis/PointKernel.h"
#include "analysis/PointSpectra.h"

struct LcfScratch;

// The LCF / MLCF fit as a point kernel: build the point's normalised
// spectrum, fit it with the references prepared once for the run. Writes z,
// then the amount and the fraction of every used reference (list order),
// then the fit's FitStatus as a number (so a run can count the points it
// could not fit, and why).
// `fitSpectrum` gives the same numbers for one spectrum: both go through
// fit::fitInto with the same prepared references.
class LcfKernel : public PointKernel
{
public:
  LcfKernel(const PointSpectra& spectra,
            const QVector<RefSnapshot>& refs,
            bool mlcf,
            const FitConditions& cond);

  int valuesPerPoint() const override { return m_prep.valuesPerPoint() + 1; }
  std::unique_ptr<KernelScratch> makeScratch() const override;
  void compute(const RasterPoint& p, KernelScratch* scratch, double* out) const override;
  void computeBatch(const RasterPoint* points,
                    int count,
                    KernelScratch* scratch,
                    double* out) const override;

  const fit::Prepared& prepared() const { return m_prep; }
  const PointSpectra& spectra() const { return m_spectra; }
  // List index of every used reference, in the order of the values.
  QVector<int> refIndex() const;

private:
  // Fits a group of kEdgeLanes neighbouring points four at a time (see
  // fit::fitFour); false when its points need fitting one by one.
  bool fitGroup(const RasterPoint* points,
                int lanes,
                const double* group,
                LcfScratch* s,
                const EdgeResult* res,
                const EdgeLine* pre,
                const EdgeLine* post,
                double* out) const;

  PointSpectra m_spectra;
  fit::Prepared m_prep;
};
