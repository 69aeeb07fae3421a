#pragma once

#include "analysis/PointKernel.h"
#include "analysis/PointSpectra.h"
#include "output/SpectraScanGrid.h"

// The spectrum of a block as a per-point spectra file writes it, as a point
// kernel: s (the shift map's value at the block), the number of points n,
// then n (energy, value) pairs. Normalised XAFS: the energy less the
// spectrum's shift and the normalised absorption (0 where there is none);
// raw XAFS: mu(E); raw: the I1 box sums.
class SpectraKernel : public PointKernel
{
public:
  SpectraKernel(const PointSpectra& spectra, SpectraFormat format);

  int valuesPerPoint() const override { return 2 + 2 * m_spectra.sampler.energies(); }
  std::unique_ptr<KernelScratch> makeScratch() const override;
  void compute(const RasterPoint& p, KernelScratch* scratch, double* out) const override;

  const PointSpectra& spectra() const { return m_spectra; }
  SpectraFormat format() const { return m_format; }

private:
  PointSpectra m_spectra;
  SpectraFormat m_format;
};
