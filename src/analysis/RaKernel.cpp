#include "analysis/RaKernel.h"

#include "analysis/Analyzed2DRes.h"
#include "analysis/FitTables.h"
#include "analysis/LcfFit.h"
#include "input/TiffData.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

struct RaScratch : KernelScratch
{
  PointSpectra::Scratch build;
  XafsSpectrum spectrum;
};

} // namespace

void residualAt(const XafsSpectrum& s, double eRA, double factor, double& dmut, double& rest)
{
  // The lines were fitted on the stored energies; E_RA is on the scale
  // with the point's shift taken off.
  const double offset = s.energyCorrected ? s.energyOffset : 0.0;
  const double E = eRA + s.extraShift + offset;
  const double pre = s.preValue(E);
  const double post = s.postValue(E);
  dmut = post - pre;
  rest = pre - factor * dmut;
}

RaKernel::RaKernel(const PointSpectra& spectra, double eRA, double factor)
  : m_spectra(spectra)
  , m_eRA(eRA)
  , m_factor(factor)
{
}

std::unique_ptr<KernelScratch> RaKernel::makeScratch() const
{
  return std::make_unique<RaScratch>();
}

void RaKernel::compute(const RasterPoint& p, KernelScratch* scratch, double* out) const
{
  computeBatch(&p, 1, scratch, out);
}

void RaKernel::computeBatch(const RasterPoint* points,
                            int count,
                            KernelScratch* scratch,
                            double* out) const
{
  auto* s = static_cast<RaScratch*>(scratch);
  m_spectra.forEachSpectrum(
    points, count, s->build, s->spectrum, [&](int k, const XafsSpectrum& sp) {
      // Lines with no clear jump between them give a residual of noise.
      if (!fit::jumpClear(sp.dMut, edgeJumpNoise(sp)))
        out[2 * k] = out[2 * k + 1] = std::numeric_limits<double>::quiet_NaN();
      else
        residualAt(sp, m_eRA, m_factor, out[2 * k], out[2 * k + 1]);
    });
}

int fillResidualRatio(const Analyzed2DRes& rest, const Analyzed2DRes& dmut, Analyzed2DRes& ratio)
{
  ratio.reset(rest.cond());
  ratio.setNo(-1);
  const QVector<double>& r = rest.data();
  if (r.isEmpty())
    return 0;
  // Points not fitted (NaN) take no part in the minimum and stay NaN.
  double m = std::numeric_limits<double>::infinity();
  for (double v : r)
    if (!std::isnan(v))
      m = std::min(m, v);
  const int w = rest.width();
  const int h = rest.height();
  int replaced = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double rr = r[y * w + x] - m;
      if (std::isnan(r[y * w + x])) {
        ratio.setData(x, y, 0, 0, r[y * w + x]);
        continue;
      }
      double q = rr / (dmut.valueAt(x, y) + rr);
      if (!std::isfinite(q)) {
        q = 0.0;
        ++replaced;
      }
      ratio.setData(x, y, 0, 0, q);
    }
  return replaced;
}

QString residualEnergyOutside(const PointSpectra& spectra, double eRA)
{
  const QVector<TiffData*>& frames = spectra.sampler.stack().i1;
  if (frames.isEmpty())
    return QString();
  double lo = frames.first()->energy, hi = lo;
  for (const TiffData* f : frames) {
    lo = std::min(lo, f->energy);
    hi = std::max(hi, f->energy);
  }
  if (eRA >= lo && eRA <= hi)
    return QString();
  return QStringLiteral(
           "Residual absorption at %1 eV is outside the stack's energies (%2 to %3 eV): "
           "extrapolated")
    .arg(eRA)
    .arg(lo)
    .arg(hi);
}
