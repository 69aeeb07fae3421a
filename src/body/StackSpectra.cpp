#include "body/StackSpectra.h"

#include "input/TiffData.h"

#include <cmath>
#include <cstdlib>

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

SpectrumPoints spectrumAt(const StackView& stack, int x, int y, int hw, int hh)
{
  SpectrumPoints out;
  if (!insideStack(stack, x, y))
    return out;
  const double dark = stack.dark ? boxSum(stack.dark, x, y, hw, hh) : 0.0;
  const double count = pixelCount(hw, hh);
  const bool useTotal = !stack.totalI0.isEmpty();
  for (int i = 0; i < stack.i1.size(); ++i) {
    const TiffData* frame = stack.i1[i];
    const double e = frame->energy;
    const double i1 = boxSum(frame, x, y, hw, hh) - dark;
    double i0 = count;
    if (useTotal)
      i0 = i < stack.totalI0.size() ? stack.totalI0[i] : 0.0;
    else if (stack.useI0)
      i0 = i0At(stack, e, x, y, hw, hh) - dark;
    out.append(e, stack.fluoType ? fluorescenceMu(i0, i1) : transmissionMu(i0, i1));
  }
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
