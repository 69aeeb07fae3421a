#include "analysis/GridSpectraKernel.h"

namespace {

struct GridScratch : KernelScratch
{
  PointSpectra::Scratch build;
  XafsSpectrum spectrum;
};

} // namespace

GridSpectraKernel::GridSpectraKernel(const PointSpectra& spectra, const QVector<double>& grid)
  : m_spectra(spectra)
  , m_grid(grid)
{
}

std::unique_ptr<KernelScratch> GridSpectraKernel::makeScratch() const
{
  return std::make_unique<GridScratch>();
}

void GridSpectraKernel::readGrid(const XafsSpectrum& s, double* out) const
{
  const int n = m_grid.size();
  if (s.curve(XafsSpectrum::CurveDoubleNormalized).isEmpty()) {
    // No spectrum: marked as unusable, left out of the decomposition.
    for (int i = 0; i < n; ++i)
      out[i] = qQNaN();
    return;
  }
  // The fitted curve lives on energies less the point's shift, so the grid
  // energy E is read at E + shift on the curve's own scale.
  for (int i = 0; i < n; ++i)
    out[i] = s.curveValueAt(XafsSpectrum::CurveDoubleNormalized, m_grid[i], s.extraShift);
}

void GridSpectraKernel::compute(const RasterPoint& p, KernelScratch* scratch, double* out) const
{
  computeBatch(&p, 1, scratch, out);
}

void GridSpectraKernel::computeBatch(const RasterPoint* points,
                                     int count,
                                     KernelScratch* scratch,
                                     double* out) const
{
  auto* s = static_cast<GridScratch*>(scratch);
  const size_t stride = size_t(m_grid.size());
  m_spectra.forEachSpectrum(
    points, count, s->build, s->spectrum, [&](int k, const XafsSpectrum& sp) {
      readGrid(sp, out + size_t(k) * stride);
    });
}

QVector<double> GridSpectraKernel::sampleGrid(const PointSpectra& spectra,
                                              int cx,
                                              int cy,
                                              int bx,
                                              int by,
                                              double lo,
                                              double hi)
{
  PointSpectra plain = spectra;
  plain.shifts = EnergyShiftView();
  const XafsSpectrum s = plain.at(cx, cy, bx, by);
  const SpectrumPoints& dn = s.curve(XafsSpectrum::CurveDoubleNormalized);
  QVector<double> grid;
  for (int i = 0; i < dn.size(); ++i)
    if (dn.x(i) >= lo && dn.x(i) <= hi)
      grid.append(dn.x(i));
  return grid;
}
