#pragma once

#include "analysis/PointKernel.h"
#include "analysis/PointSpectra.h"

class Analyzed2DRes;

// The residual absorption at one energy as a point kernel: the point's
// normalised spectrum, its pre-edge and post-edge lines at E_RA on the
// spectrum's corrected scale; writes dmut = post - pre and
// rest = pre - f * dmut.
class RaKernel : public PointKernel
{
public:
  RaKernel(const PointSpectra& spectra, double eRA, double factor);

  int valuesPerPoint() const override { return 2; }
  std::unique_ptr<KernelScratch> makeScratch() const override;
  void compute(const RasterPoint& p, KernelScratch* scratch, double* out) const override;
  void computeBatch(const RasterPoint* points,
                    int count,
                    KernelScratch* scratch,
                    double* out) const override;

private:
  // Both values of a point from its edge lines and jump, at E (E_RA on
  // the lines' scale); NaN without a clear jump.
  void residualInto(const EdgeLine& pre,
                    const EdgeLine& post,
                    double dMut,
                    double E,
                    double* out) const;

  PointSpectra m_spectra;
  double m_eRA = 8200.0;
  double m_factor = 1.0;
};

// Why E_RA gives an extrapolated residual: it lies outside the energies of
// the spectra's I1 frames. Empty when it lies inside (or there are no frames).
QString residualEnergyOutside(const PointSpectra& spectra, double eRA);

// The two values of the residual at E_RA for one spectrum.
void residualAt(const XafsSpectrum& s, double eRA, double factor, double& dmut, double& rest);
// The same from the spectrum's edge lines at E (E_RA on the lines' scale).
void residualAt(const EdgeLine& pre,
                const EdgeLine& post,
                double E,
                double factor,
                double& dmut,
                double& rest);

// "a2d Rati" from "a2d Rest" and "a2d DMut" over every pixel of the rest
// map: r = rest - (minimum of the whole rest map), ratio r / (d + r). The
// ratio map is reset to the rest map's raster first. Where the quotient is
// not finite (0/0 outside the analysed area, for one) 0 is written; returns
// how many pixels that was.
int fillResidualRatio(const Analyzed2DRes& rest, const Analyzed2DRes& dmut, Analyzed2DRes& ratio);
