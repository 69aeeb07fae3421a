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
  normalise(scratch.points, cx, cy, out);
}

void PointSpectra::sampleBatch(const QPoint* centres,
                               int count,
                               int bx,
                               int by,
                               Scratch& scratch) const
{
  if (scratch.batch.size() < count)
    scratch.batch.resize(count);
  sampler.spectraAt(centres, count, bx, by, scratch.batch.data(), scratch.i0Sums);
}

void PointSpectra::normalise(const SpectrumPoints& points, int cx, int cy, XafsSpectrum& out) const
{
  out.assign(points, name, mode, shifts.at(cx, cy), suggestedEeV, -10.0, 10.0);
}

XafsSpectrum PointSpectra::at(int cx, int cy, int bx, int by) const
{
  Scratch scratch;
  XafsSpectrum out;
  build(cx, cy, bx, by, scratch, out);
  return out;
}
