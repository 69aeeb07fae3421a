#include "analysis/FourierKernel.h"

namespace {

struct FourierScratch : KernelScratch
{
  explicit FourierScratch(int n)
    : ws(n)
  {
  }
  FourierTransformer::Workspace ws;
  QVector<double> values;
};

} // namespace

FourierKernel::FourierKernel(const StackView& stack, const FourierTransformer& fourier)
  : m_stack(stack)
  , m_fourier(fourier)
{
}

std::unique_ptr<KernelScratch> FourierKernel::makeScratch() const
{
  return std::make_unique<FourierScratch>(m_fourier.size());
}

void FourierKernel::compute(const RasterPoint& p, KernelScratch* scratch, double* out) const
{
  auto* s = static_cast<FourierScratch*>(scratch);
  out[0] = m_stack.i1.isEmpty() ? 1.0 : boxSum(m_stack.i1.first(), p.cx, p.cy, p.bx, p.by);
  const SpectrumPoints curve = rawSpectrumAt(m_stack, p.cx, p.cy, p.bx, p.by);
  s->values.resize(curve.size());
  for (int i = 0; i < curve.size(); ++i)
    s->values[i] = curve.y(i);
  m_fourier.magnitudesOf(s->values.constData(), curve.size(), s->ws, out + 1);
}
