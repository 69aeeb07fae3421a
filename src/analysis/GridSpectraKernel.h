#pragma once

#include "analysis/PointKernel.h"
#include "analysis/PointSpectra.h"

#include <QVector>

// The normalised spectrum of every point on one fixed energy grid, as a point
// kernel: the double-normalised curve the LCF run fits (the point's energy
// shift taken off), read at each grid energy. A point's values are the
// spectrum, so a run gathers the area's spectra as rows of one matrix.
class GridSpectraKernel : public PointKernel
{
public:
  GridSpectraKernel(const PointSpectra& spectra, const QVector<double>& grid);

  int valuesPerPoint() const override { return m_grid.size(); }
  std::unique_ptr<KernelScratch> makeScratch() const override;
  void compute(const RasterPoint& p, KernelScratch* scratch, double* out) const override;
  void computeBatch(const RasterPoint* points,
                    int count,
                    KernelScratch* scratch,
                    double* out) const override;

  const QVector<double>& grid() const { return m_grid; }

  // The sample's energies (corrected, no shift) within [lo, hi], from the
  // spectrum of the block at (cx, cy); empty when the block has none.
  static QVector<double>
  sampleGrid(const PointSpectra& spectra, int cx, int cy, int bx, int by, double lo, double hi);

private:
  void readGrid(const XafsSpectrum& s, double* out) const;

  PointSpectra m_spectra;
  QVector<double> m_grid;
};
