#include "analysis/SpectraKernel.h"

namespace {

struct SpectraScratch : KernelScratch
{
  PointSpectra::Scratch build;
  XafsSpectrum spectrum;
};

} // namespace

SpectraKernel::SpectraKernel(const PointSpectra& spectra, SpectraFormat format)
  : m_spectra(spectra)
  , m_format(format)
{
}

std::unique_ptr<KernelScratch> SpectraKernel::makeScratch() const
{
  return std::make_unique<SpectraScratch>();
}

void SpectraKernel::compute(const RasterPoint& p, KernelScratch* scratch, double* out) const
{
  auto* s = static_cast<SpectraScratch*>(scratch);
  const int room = m_spectra.sampler.energies();
  out[0] = m_spectra.shifts.at(p.cx, p.cy);
  double* pair = out + 2;
  int n = 0;
  switch (m_format) {
    case SpectraFormat::NormalizedXafs: {
      m_spectra.build(p.cx, p.cy, p.bx, p.by, s->build, s->spectrum);
      const XafsSpectrum& x = s->spectrum;
      n = std::min(room, x.size());
      for (int i = 0; i < n; ++i) {
        pair[2 * i] = x.energy(i) - x.extraShift;
        pair[2 * i + 1] = i < x.normalized.size() ? x.normalized[i] : 0.0;
      }
      break;
    }
    case SpectraFormat::RawXafs: {
      m_spectra.sampler.spectrumAt(p.cx, p.cy, p.bx, p.by, s->build.points, s->build.i0Sums);
      const SpectrumPoints& mu = s->build.points;
      n = std::min(room, mu.size());
      for (int i = 0; i < n; ++i) {
        pair[2 * i] = mu.x(i);
        pair[2 * i + 1] = mu.y(i);
      }
      break;
    }
    case SpectraFormat::Raw: {
      const SpectrumPoints raw = rawSpectrumAt(m_spectra.sampler.stack(), p.cx, p.cy, p.bx, p.by);
      n = std::min(room, raw.size());
      for (int i = 0; i < n; ++i) {
        pair[2 * i] = raw.x(i);
        pair[2 * i + 1] = raw.y(i);
      }
      break;
    }
  }
  out[1] = n;
}
