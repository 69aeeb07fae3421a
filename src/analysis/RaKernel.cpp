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
  residualAt(s.pre, s.post, eRA + s.extraShift + offset, factor, dmut, rest);
}

void residualAt(const EdgeLine& pre,
                const EdgeLine& post,
                double E,
                double factor,
                double& dmut,
                double& rest)
{
  const double below = pre.valueAt(E);
  const double above = post.valueAt(E);
  dmut = above - below;
  rest = below - factor * dmut;
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
  // What the residual reads of a point's spectrum (its lines, jump and
  // shift) comes from the group's numbers without building the spectrum.
  const int n = m_spectra.energies();
  m_spectra.forEachGroup(points,
                         count,
                         s->build,
                         [&](int first,
                             int lanes,
                             const double*,
                             const EdgeLine* pre,
                             const EdgeLine* post,
                             const EdgeResult* res) {
                           for (int l = 0; l < lanes; ++l) {
                             const RasterPoint& p = points[first + l];
                             double* o = out + size_t(2 * (first + l));
                             if (n > 0 && m_spectra.inside(p.cx, p.cy)) {
                               // A run's spectrum keeps its energies (no offset): E_RA + shift + 0.
                               const double E = m_eRA + m_spectra.shifts.at(p.cx, p.cy) + 0.0;
                               residualInto(pre[l], post[l], res[l].dMut, E, o);
                             } else {
                               // Off the stack: the empty spectrum's answer.
                               const XafsSpectrum& sp = s->spectrum;
                               m_spectra.normalise(SpectrumPoints(), p.cx, p.cy, s->spectrum);
                               const double offset = sp.energyCorrected ? sp.energyOffset : 0.0;
                               residualInto(
                                 sp.pre, sp.post, sp.dMut, m_eRA + sp.extraShift + offset, o);
                             }
                           }
                         });
}

void RaKernel::residualInto(const EdgeLine& pre,
                            const EdgeLine& post,
                            double dMut,
                            double E,
                            double* out) const
{
  // Lines with no clear jump between them give a residual of noise.
  if (!fit::jumpClear(dMut, edgeJumpNoise(pre, post)))
    out[0] = out[1] = std::numeric_limits<double>::quiet_NaN();
  else
    residualAt(pre, post, E, m_factor, out[0], out[1]);
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
