#include "analysis/LcfKernel.h"

namespace {

struct LcfScratch : KernelScratch
{
  PointSpectra::Scratch build;
  XafsSpectrum spectrum;
  fit::SampleTable sample;
  fit::GridCache cache;
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
  auto* s = static_cast<LcfScratch*>(scratch);
  m_spectra.build(p.cx, p.cy, p.bx, p.by, s->build, s->spectrum);
  fillSampleTable(s->spectrum, s->sample);
  fit::fitInto(m_prep, s->sample, s->cache, out);
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
  m_spectra.sampleBatch(b.centres.constData(), count, points[0].bx, points[0].by, b);
  const int stride = valuesPerPoint();
  for (int k = 0; k < count; ++k) {
    m_spectra.normalise(b.batch[k], points[k].cx, points[k].cy, s->spectrum);
    fillSampleTable(s->spectrum, s->sample);
    fit::fitInto(m_prep, s->sample, s->cache, out + size_t(k) * size_t(stride));
  }
}

QVector<int> LcfKernel::refIndex() const
{
  QVector<int> idx;
  for (const fit::RefTable& r : m_prep.refs)
    idx.append(r.listIndex);
  return idx;
}
