#include "analysis/LcfKernel.h"

namespace {

struct LcfScratch : KernelScratch
{
  PointSpectra::Scratch build;
  fit::GridCache cache;
  std::vector<double> e;
  std::vector<double> dn;
  std::vector<double> jump;
};

} // namespace

LcfKernel::LcfKernel(const PointSpectra& spectra,
                     const QVector<RefSnapshot>& refs,
                     bool mlcf,
                     const FitConditions& cond)
  : m_spectra(spectra)
  , m_prep(usedReferenceTables(refs), refs.size(), mlcf, cond)
{
}

std::unique_ptr<KernelScratch> LcfKernel::makeScratch() const
{
  return std::make_unique<LcfScratch>();
}

void LcfKernel::compute(const RasterPoint& p, KernelScratch* scratch, double* out) const
{
  computeBatch(&p, 1, scratch, out);
}

void LcfKernel::computeBatch(const RasterPoint* points,
                             int count,
                             KernelScratch* scratch,
                             double* out) const
{
  auto* s = static_cast<LcfScratch*>(scratch);
  PointSpectra::Scratch& b = s->build;
  b.centres.resize(count);
  for (int k = 0; k < count; ++k)
    b.centres[k] = QPoint(points[k].cx, points[k].cy);
  // One binning per run: every point has the raster's half widths.
  m_spectra.sampleRows(b.centres.constData(), count, points[0].bx, points[0].by, b);
  const int n = m_spectra.energies();
  const int stride = valuesPerPoint();
  s->e.resize(size_t(n));
  s->dn.resize(size_t(n));
  s->jump.resize(size_t(n));
  EdgeLine pre;
  EdgeLine post;
  // What `compute` reads of the point's XafsSpectrum and its sample table,
  // made from the same numbers without building either.
  for (int k = 0; k < count; ++k) {
    fit::SampleView v;
    const double* y = b.mu.data() + size_t(k) * size_t(n);
    if (n > 0 && m_spectra.inside(points[k].cx, points[k].cy)) {
      const EdgeResult r = m_spectra.normaliseRow(y, b, pre, post);
      const double shift = m_spectra.shifts.at(points[k].cx, points[k].cy);
      for (int i = 0; i < n; ++i) {
        s->e[size_t(i)] = b.E[size_t(i)] - shift;
        s->dn[size_t(i)] = doubleNormalised(y[i], b.preAt[size_t(i)], b.postAt[size_t(i)]);
        s->jump[size_t(i)] = b.postAt[size_t(i)] - b.preAt[size_t(i)];
      }
      v.e = v.curveX = s->e.data();
      v.dn = v.curveY = s->dn.data();
      v.raw = y;
      v.n = v.nDn = v.nRaw = v.nc = n;
      v.dMut = r.dMut;
      v.jump = s->jump.data();
      v.jumpNoise = edgeJumpNoise(pre, post);
    }
    double* o = out + size_t(k) * size_t(stride);
    o[m_prep.valuesPerPoint()] = double(fit::fitInto(m_prep, v, s->cache, o));
  }
}

QVector<int> LcfKernel::refIndex() const
{
  QVector<int> idx;
  for (const fit::RefTable& r : m_prep.refs)
    idx.append(r.listIndex);
  return idx;
}
