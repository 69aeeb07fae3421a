#include "analysis/PointSpectra.h"

#include "analysis/AnalyzeCond.h"
#include "input/TiffData.h"

#include <QCoreApplication>

double EnergyShiftView::at(int x, int y) const
{
  if (values.isEmpty() || !area.contains(x, y) || x < 0 || y < 0 || x >= width || y >= height)
    return 0.0;
  const qint64 i = qint64(y) * width + x;
  return i < values.size() ? values[int(i)] : 0.0;
}

QString shiftMapGap(const EnergyShiftView& v, const AnalyzeCond& a, bool translated)
{
  if (v.isEmpty())
    return QString();
  const QRect measured = v.measured.isNull() ? v.area : v.measured;
  const QRect wanted = a.blockSpan();
  if (v.width == a.width && v.height == a.height && measured.contains(wanted))
    return QString();
  static const char* const text =
    QT_TRANSLATE_NOOP("Refusal",
                      "the energy-shift map (%1 x %2, measured on %3 %4 %5 %6) does not cover "
                      "the area (%7 %8 %9 %10 of %11 x %12): calibrate again, load a matching "
                      "map or clear it");
  return (translated ? QCoreApplication::translate("Refusal", text) : QString::fromLatin1(text))
    .arg(v.width)
    .arg(v.height)
    .arg(measured.x())
    .arg(measured.y())
    .arg(measured.width())
    .arg(measured.height())
    .arg(wanted.x())
    .arg(wanted.y())
    .arg(wanted.width())
    .arg(wanted.height())
    .arg(a.width)
    .arg(a.height);
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
  // A line whose fit fails keeps what it held: fresh lines, as a spectrum of
  // its own starts with, so no point inherits the last point's line.
  out.pre = EdgeLine();
  out.post = EdgeLine();
  out.assign(points, name, mode, shifts.at(cx, cy), suggestedEeV, -10.0, 10.0);
}

XafsSpectrum PointSpectra::at(int cx, int cy, int bx, int by) const
{
  Scratch scratch;
  XafsSpectrum out;
  build(cx, cy, bx, by, scratch, out);
  return out;
}

bool PointSpectra::inside(int cx, int cy) const
{
  const StackView& v = sampler.stack();
  return cx >= 0 && cy >= 0 && cx < v.width && cy < v.height;
}

static_assert(kMuLanes == kEdgeLanes, "the sampler's groups are the normalisation's lanes");

void PointSpectra::sampleLanes(const QPoint* centres,
                               int count,
                               int bx,
                               int by,
                               Scratch& scratch) const
{
  const int n = energies();
  const int groups = (count + kEdgeLanes - 1) / kEdgeLanes;
  scratch.mu.resize(size_t(groups) * size_t(n) * kEdgeLanes);
  sampler.muLanes(centres, count, bx, by, scratch.mu.data(), scratch.i0Sums);
  // Energies and wavelengths are shared by the batch's points.
  scratch.E.resize(size_t(n));
  scratch.lambda.resize(size_t(n));
  for (int i = 0; i < n; ++i) {
    scratch.E[size_t(i)] = sampler.stack().i1[i]->energy;
    if (mode == 0)
      scratch.lambda[size_t(i)] = kHcEVA / scratch.E[size_t(i)];
  }
  scratch.smoothed.resize(size_t(n) * kEdgeLanes);
  scratch.preAt.resize(size_t(n) * kEdgeLanes);
  scratch.postAt.resize(size_t(n) * kEdgeLanes);
}

void PointSpectra::normaliseLanes(const double* y,
                                  int lanes,
                                  Scratch& scratch,
                                  EdgeLine* pre,
                                  EdgeLine* post,
                                  EdgeResult* res) const
{
  // The windows XafsSpectrum::assign sets for a run's spectrum.
  EdgeWindows win;
  win.mode = mode;
  win.expectedEdgeSet = suggestedEeV > 0.0;
  win.expectedEdge = suggestedEeV;
  win.preEnd = -10.0;
  win.postStart = 10.0;
  const EdgeSamples samples{
    scratch.E.data(), mode == 0 ? scratch.lambda.data() : nullptr, y, int(scratch.E.size())
  };
  for (int l = 0; l < kEdgeLanes; ++l) {
    pre[l] = EdgeLine();
    post[l] = EdgeLine();
  }
  normaliseFour(win,
                samples,
                pre,
                post,
                scratch.smoothed.data(),
                scratch.preAt.data(),
                scratch.postAt.data(),
                res,
                lanes);
}
