#include "analysis/ElemKernel.h"

#include <vector>

namespace {

struct ElemScratch : KernelScratch
{
  PointSpectra::Scratch build;
  XafsSpectrum spectrum;
  std::vector<ElemResult> results;
};

struct RatioScratch : KernelScratch
{
  std::vector<double> ratios;
};

} // namespace

ElemKernel::ElemKernel(const PointSpectra& spectra,
                       const QVector<ElemCond>& elems,
                       int mainT,
                       const ElemBackground& bg,
                       EdgeLocate locate)
  : m_spectra(spectra)
  , m_elems(elems)
  , m_mainT(mainT)
  , m_bg(bg)
  , m_locate(locate)
{
}

std::unique_ptr<KernelScratch> ElemKernel::makeScratch() const
{
  auto s = std::make_unique<ElemScratch>();
  s->results.resize(size_t(m_elems.size()));
  return s;
}

void ElemKernel::compute(const RasterPoint& p, KernelScratch* scratch, double* out) const
{
  computeBatch(&p, 1, scratch, out);
}

void ElemKernel::computeBatch(const RasterPoint* points,
                              int count,
                              KernelScratch* scratch,
                              double* out) const
{
  auto* s = static_cast<ElemScratch*>(scratch);
  m_spectra.forEachSpectrum(points, count, s->build, s->spectrum, [&](int, const XafsSpectrum& sp) {
    analyzeSpectrumElems0(sp, m_elems, m_mainT, m_bg, s->results.data(), m_locate);
    for (int k = 0; k < m_elems.size(); ++k)
      for (int kind = 0; kind < ElemMapCount; ++kind)
        *out++ = elemMapValue(s->results[size_t(k)], kind);
  });
}

ElemCorKernel::ElemCorKernel(const QVector<QVector<double>>& ratioMaps,
                             int width,
                             int height,
                             const QVector<ElemCond>& elems,
                             double corTh)
  : m_ratioMaps(ratioMaps)
  , m_width(width)
  , m_height(height)
  , m_elems(elems)
  , m_corTh(corTh)
{
}

std::unique_ptr<KernelScratch> ElemCorKernel::makeScratch() const
{
  auto s = std::make_unique<RatioScratch>();
  s->ratios.resize(size_t(m_elems.size()));
  return s;
}

void ElemCorKernel::compute(const RasterPoint& p, KernelScratch* scratch, double* out) const
{
  auto* s = static_cast<RatioScratch*>(scratch);
  const bool onMap = p.cx >= 0 && p.cy >= 0 && p.cx < m_width && p.cy < m_height;
  const qint64 at = qint64(p.cy) * m_width + p.cx;
  for (int k = 0; k < m_elems.size(); ++k) {
    const QVector<double>& m = k < m_ratioMaps.size() ? m_ratioMaps[k] : QVector<double>();
    s->ratios[size_t(k)] = (onMap && at < m.size()) ? m[int(at)] : 0.0;
  }
  double cor = 0.0;
  if (!elemCorrelation(m_elems, s->ratios.data(), cor))
    cor = 0.0;
  out[0] = cor;
  out[1] = cor >= m_corTh ? cor : 0.0;
}
