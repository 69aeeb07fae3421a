#include "analysis/LcfKernel.h"

#include <algorithm>

struct LcfScratch : KernelScratch
{
  PointSpectra::Scratch build;
  fit::GridCache cache;
  std::vector<double> e;
  std::vector<double> dn;
  std::vector<double> jump;
  std::vector<double> y;
  std::vector<double> dn4; // a group's curves and jumps, in rows of four
  std::vector<double> jump4;
};

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
  const PointSpectra::Scratch& b = s->build;
  const int n = m_spectra.energies();
  const int stride = valuesPerPoint();
  s->e.resize(size_t(n));
  s->dn.resize(size_t(n));
  s->jump.resize(size_t(n));
  s->y.resize(size_t(n));
  constexpr int W = kEdgeLanes;
  // One binning per run: every point has the raster's half widths.
  m_spectra.forEachGroup(
    points,
    count,
    s->build,
    [&](int first,
        int lanes,
        const double* group,
        const EdgeLine* pre,
        const EdgeLine* post,
        const EdgeResult* res) {
      if (fitGroup(points + first, lanes, group, s, res, pre, post, out + size_t(first) * stride))
        return;
      // What `compute` reads of the point's XafsSpectrum and its sample
      // table, made from the same numbers without building either.
      for (int l = 0; l < lanes; ++l) {
        const RasterPoint& p = points[first + l];
        fit::SampleView v;
        if (n > 0 && m_spectra.inside(p.cx, p.cy)) {
          const double shift = m_spectra.shifts.at(p.cx, p.cy);
          for (int i = 0; i < n; ++i) {
            const size_t at = size_t(i) * W + size_t(l);
            const double preAt = b.preAt[at];
            const double postAt = b.postAt[at];
            s->y[size_t(i)] = group[at];
            s->e[size_t(i)] = b.E[size_t(i)] - shift;
            s->dn[size_t(i)] = doubleNormalised(group[at], preAt, postAt);
            s->jump[size_t(i)] = postAt - preAt;
          }
          v.e = v.curveX = s->e.data();
          v.dn = v.curveY = s->dn.data();
          v.raw = s->y.data();
          v.n = v.nDn = v.nRaw = v.nc = n;
          v.dMut = res[l].dMut;
          v.jump = s->jump.data();
          v.jumpNoise = edgeJumpNoise(pre[l], post[l]);
        }
        double* o = out + size_t(first + l) * size_t(stride);
        o[m_prep.valuesPerPoint()] = double(fit::fitInto(m_prep, v, s->cache, o));
      }
    });
}

bool LcfKernel::fitGroup(const RasterPoint* points,
                         int lanes,
                         const double* group,
                         LcfScratch* s,
                         const EdgeResult* res,
                         const EdgeLine* pre,
                         const EdgeLine* post,
                         double* out) const
{
  // The group shares one grid when its points inside the stack share one
  // shift (always, without a shift map).
  const int n = m_spectra.energies();
  const PointSpectra::Scratch& b = s->build;
  fit::FourSamples four;
  double shift = 0.0;
  bool first = true;
  for (int l = 0; l < lanes; ++l) {
    four.present[l] = n > 0 && m_spectra.inside(points[l].cx, points[l].cy);
    if (!four.present[l])
      continue;
    const double at = m_spectra.shifts.at(points[l].cx, points[l].cy);
    if (!first && !(at == shift))
      return false;
    shift = at;
    first = false;
    four.dMut[l] = res[l].dMut;
    four.jumpNoise[l] = edgeJumpNoise(pre[l], post[l]);
  }
  const size_t cells = size_t(n) * kEdgeLanes;
  s->dn4.resize(cells);
  s->jump4.resize(cells);
  for (int i = 0; i < n; ++i)
    s->e[size_t(i)] = b.E[size_t(i)] - shift;
  const double* preAt = b.preAt.data();
  const double* postAt = b.postAt.data();
  doubleNormalisedRows(group, preAt, postAt, int(cells), s->dn4.data(), s->jump4.data());
  four.e = s->e.data();
  four.n = n;
  four.dn = s->dn4.data();
  four.raw = group;
  four.jump = s->jump4.data();
  FitStatus status[kEdgeLanes];
  const int stride = valuesPerPoint();
  if (!fit::fitFour(m_prep, four, lanes, s->cache, out, stride, status))
    return false;
  for (int l = 0; l < lanes; ++l)
    out[size_t(l) * size_t(stride) + size_t(m_prep.valuesPerPoint())] = double(status[l]);
  return true;
}

QVector<int> LcfKernel::refIndex() const
{
  QVector<int> idx;
  for (const fit::RefTable& r : m_prep.refs)
    idx.append(r.listIndex);
  return idx;
}
