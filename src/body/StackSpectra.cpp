#include "body/StackSpectra.h"

#include "input/TiffData.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

// The value a point takes where the intensities give no usable ratio. One
// marker for both modes, so that a missing total-I0 entry or a box at the dark
// level reads the same whichever mode is on, and nothing non-finite ever
// reaches a normalisation or a fit.
constexpr double kNoRatio = 1.0;

double transmissionMu(double i0, double i1)
{
  if (i0 * i1 > 0) {
    const double mu = std::log(i0 / i1);
    if (std::isfinite(mu))
      return mu;
  }
  return kNoRatio;
}

double fluorescenceMu(double i0, double i1)
{
  if (i0 != 0) {
    const double mu = i1 / i0;
    if (std::isfinite(mu))
      return mu;
  }
  return kNoRatio;
}

bool insideStack(const StackView& stack, int x, int y)
{
  return x >= 0 && y >= 0 && x < stack.width && y < stack.height;
}

// Pixels in the box: the unit incident intensity of a box without I0 frames.
// Counted with the absolute half widths, as the box sum reads them.
double pixelCount(int hw, int hh)
{
  return (2.0 * std::abs(double(hw)) + 1.0) * (2.0 * std::abs(double(hh)) + 1.0);
}

} // namespace

double boxSum(const TiffData* frame, int x, int y, int hw, int hh)
{
  return frame ? frame->sample(x, y, hw, hh) : 0.0;
}

double i0At(const StackView& stack, double e, int x, int y, int hw, int hh)
{
  return sampleAtEnergy(stack.i0, e, x, y, hw, hh);
}

StackSampler::StackSampler(const StackView& stack)
  : m_stack(stack)
{
  const QVector<TiffData*>& i0 = m_stack.i0;
  const int n = i0.size();
  m_brackets.resize(m_stack.i1.size());
  for (int i = 0; i < m_stack.i1.size(); ++i) {
    Bracket& b = m_brackets[i];
    if (n == 0)
      continue;
    if (n == 1) {
      b.lo = b.hi = 0;
      continue;
    }
    // The two frames around e, or the first or last two beyond the ends.
    const double e = m_stack.i1[i]->energy;
    int lo = 0;
    int hi = n - 1;
    if (e < i0[0]->energy) {
      hi = 1;
    } else if (e >= i0[n - 1]->energy) {
      lo = n - 2;
    } else {
      while (hi - lo > 1) {
        const int mid = (lo + hi) / 2;
        if (e >= i0[mid]->energy)
          lo = mid;
        else
          hi = mid;
      }
    }
    b.lo = lo;
    b.hi = hi;
  }
}

void StackSampler::spectrumAt(int x,
                              int y,
                              int hw,
                              int hh,
                              SpectrumPoints& out,
                              QVector<double>& i0Sums) const
{
  out.points.resize(0);
  const StackView& stack = m_stack;
  if (!insideStack(stack, x, y)) {
    out.updateRanges();
    return;
  }
  const double dark = stack.dark ? boxSum(stack.dark, x, y, hw, hh) : 0.0;
  const double count = pixelCount(hw, hh);
  const bool useTotal = !stack.totalI0.isEmpty();
  const bool useI0 = !useTotal && stack.useI0;
  const int nI0 = stack.i0.size();
  if (useI0) {
    // Each I0 frame summed at most once; NaN marks "not summed yet".
    i0Sums.fill(std::numeric_limits<double>::quiet_NaN(), nI0);
  }
  auto i0Sum = [&](int k) {
    double& v = i0Sums[k];
    if (std::isnan(v))
      v = boxSum(stack.i0[k], x, y, hw, hh);
    return v;
  };
  const int n = stack.i1.size();
  out.points.reserve(n);
  for (int i = 0; i < n; ++i) {
    const TiffData* frame = stack.i1[i];
    const double e = frame->energy;
    const double i1 = boxSum(frame, x, y, hw, hh) - dark;
    double i0 = count;
    if (useTotal) {
      i0 = i < stack.totalI0.size() ? stack.totalI0[i] : 0.0;
    } else if (useI0) {
      const Bracket& b = m_brackets[i];
      double at = 1.0;
      if (nI0 == 1)
        at = i0Sum(0);
      else if (nI0 > 1)
        at = interpolateLine(
          stack.i0[b.lo]->energy, i0Sum(b.lo), stack.i0[b.hi]->energy, i0Sum(b.hi), e);
      i0 = at - dark;
    }
    out.points.append(QPointF(e, stack.fluoType ? fluorescenceMu(i0, i1) : transmissionMu(i0, i1)));
  }
  out.updateRanges();
}

SpectrumPoints spectrumAt(const StackView& stack, int x, int y, int hw, int hh)
{
  SpectrumPoints out;
  QVector<double> scratch;
  StackSampler(stack).spectrumAt(x, y, hw, hh, out, scratch);
  return out;
}

SpectrumPoints rawSpectrumAt(const StackView& stack, int x, int y, int hw, int hh)
{
  SpectrumPoints out;
  if (!insideStack(stack, x, y))
    return out;
  for (const TiffData* frame : stack.i1)
    out.append(frame->energy, boxSum(frame, x, y, hw, hh));
  return out;
}

namespace {

// Shared walk of both profiles: `along` pixels, the box centred on
// (p, fixed) for a row or (fixed, p) for a column.
SpectrumPoints profile(const StackView& stack,
                       const TiffData* frame,
                       int fixed,
                       int limit,
                       int along,
                       bool row,
                       int hw,
                       int hh,
                       bool asMu)
{
  SpectrumPoints out;
  if (!frame || fixed < 0 || fixed >= limit)
    return out;
  for (int p = 0; p < along; ++p) {
    const int x = row ? p : fixed;
    const int y = row ? fixed : p;
    double v = boxSum(frame, x, y, hw, hh);
    if (asMu)
      v = transmissionMu(i0At(stack, frame->energy, x, y, hw, hh), v);
    out.append(p, v);
  }
  return out;
}

} // namespace

SpectrumPoints rowProfile(const StackView& stack,
                          const TiffData* frame,
                          int y,
                          int hw,
                          int hh,
                          bool asMu)
{
  return profile(stack, frame, y, stack.height, stack.width, true, hw, hh, asMu);
}

SpectrumPoints columnProfile(const StackView& stack,
                             const TiffData* frame,
                             int x,
                             int hw,
                             int hh,
                             bool asMu)
{
  return profile(stack, frame, x, stack.width, stack.height, false, hw, hh, asMu);
}
