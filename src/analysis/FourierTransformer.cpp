#include "analysis/FourierTransformer.h"

#include "spectrum/SpectrumPoints.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace {

// FFTW's planner keeps global state.
std::mutex g_planner;

fftw_complex* allocComplex(int n)
{
  // 16 bytes a complex value.
  return static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * size_t(n)));
}

} // namespace

struct FourierTransformer::Plans
{
  fftw_complex* fwdIn = nullptr;
  fftw_complex* fwdOut = nullptr;
  fftw_complex* bwdIn = nullptr;
  fftw_complex* bwdOut = nullptr;
  fftw_plan forward = nullptr;
  fftw_plan backward = nullptr;

  explicit Plans(int n)
    : fwdIn(allocComplex(n))
    , fwdOut(allocComplex(n))
    , bwdIn(allocComplex(n))
    , bwdOut(allocComplex(n))
  {
    std::lock_guard<std::mutex> lock(g_planner);
    forward = fftw_plan_dft_1d(n, fwdIn, fwdOut, FFTW_FORWARD, FFTW_ESTIMATE);
    backward = fftw_plan_dft_1d(n, bwdIn, bwdOut, FFTW_BACKWARD, FFTW_ESTIMATE);
  }
  ~Plans()
  {
    {
      std::lock_guard<std::mutex> lock(g_planner);
      fftw_destroy_plan(forward);
      fftw_destroy_plan(backward);
    }
    fftw_free(fwdIn);
    fftw_free(fwdOut);
    fftw_free(bwdIn);
    fftw_free(bwdOut);
  }
};

FourierTransformer::FourierTransformer() = default;
FourierTransformer::~FourierTransformer() = default;

void FourierTransformer::setUp(int n)
{
  n = std::max(0, n);
  if (n == m_n)
    return;
  m_plans.reset();
  m_n = n;
  m_mags.fill(0.0, n);
  if (n > 0)
    m_plans = std::make_unique<Plans>(n);
}

void FourierTransformer::load(const double* values, int count, void* in) const
{
  auto* c = static_cast<fftw_complex*>(in);
  const int used = std::clamp(count, 0, m_n);
  for (int i = 0; i < used; ++i) {
    c[i][0] = values[i];
    c[i][1] = 0.0;
  }
  for (int i = used; i < m_n; ++i) {
    c[i][0] = 0.0;
    c[i][1] = 0.0;
  }
}

void FourierTransformer::transform(const SpectrumPoints& curve)
{
  if (m_n == 0)
    return;
  const int used = std::min(m_n, curve.size());
  for (int i = 0; i < used; ++i) {
    m_plans->fwdIn[i][0] = curve.y(i);
    m_plans->fwdIn[i][1] = 0.0;
  }
  for (int i = used; i < m_n; ++i) {
    m_plans->fwdIn[i][0] = 0.0;
    m_plans->fwdIn[i][1] = 0.0;
  }
  fftw_execute(m_plans->forward);
}

void FourierTransformer::transform(const double* values)
{
  if (m_n == 0)
    return;
  load(values, m_n, m_plans->fwdIn);
  fftw_execute(m_plans->forward);
}

const QVector<double>& FourierTransformer::magnitudes()
{
  for (int k = 0; k < m_n; ++k)
    m_mags[k] = std::sqrt(m_plans->fwdOut[k][0] * m_plans->fwdOut[k][0] +
                          m_plans->fwdOut[k][1] * m_plans->fwdOut[k][1]);
  return m_mags;
}

FourierTransformer::Workspace::Workspace(int n)
  : m_n(std::max(0, n))
  , m_in(m_n > 0 ? allocComplex(m_n) : nullptr)
  , m_out(m_n > 0 ? allocComplex(m_n) : nullptr)
{
}

FourierTransformer::Workspace::~Workspace()
{
  fftw_free(m_in);
  fftw_free(m_out);
}

void FourierTransformer::magnitudesOf(const double* values,
                                      int count,
                                      Workspace& ws,
                                      double* mags) const
{
  if (m_n == 0 || ws.m_n != m_n)
    return;
  load(values, count, ws.m_in);
  // The plan on other buffers of the same size and alignment (fftw_malloc):
  // FFTW's new-array execute, safe on many threads at once.
  auto* out = static_cast<fftw_complex*>(ws.m_out);
  fftw_execute_dft(m_plans->forward, static_cast<fftw_complex*>(ws.m_in), out);
  for (int k = 0; k < m_n; ++k)
    mags[k] = std::sqrt(out[k][0] * out[k][0] + out[k][1] * out[k][1]);
}
