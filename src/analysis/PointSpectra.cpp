#include "analysis/PointSpectra.h"

double EnergyShiftView::at(int x, int y) const
{
  if (values.isEmpty() || !area.contains(x, y) || x < 0 || y < 0 || x >= width || y >= height)
    return 0.0;
  const qint64 i = qint64(y) * width + x;
  return i < values.size() ? values[int(i)] : 0.0;
}

PointSpectra::PointSpectra(const StackView& stack,
                           int mode_,
                           double suggestedEeV_,
                           const EnergyShiftView& shifts_,
                           const QString& name_)
  : sampler(stack)
  , mode(mode_)
  , suggestedEeV(suggestedEeV_)
  , shifts(shifts_)
  , name(name_)
{
}

void PointSpectra::build(int cx, int cy, int bx, int by, Scratch& scratch, XafsSpectrum& out) const
{
  sampler.spectrumAt(cx, cy, bx, by, scratch.points, scratch.i0Sums);
  out.assign(scratch.points, name, mode, shifts.at(cx, cy), suggestedEeV, -10.0, 10.0);
}

XafsSpectrum PointSpectra::at(int cx, int cy, int bx, int by) const
{
  Scratch scratch;
  XafsSpectrum out;
  build(cx, cy, bx, by, scratch, out);
  return out;
}
