#include "stack/StackSpectra.h"

#include "input/TiffData.h"
#include "stack/AbsorptionRow.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <type_traits>

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

namespace {

template<typename T>
inline double sumRows(const TiffData* f, qint64 x0, qint64 x1, qint64 y0, qint64 y1)
{
  double sum = 0.0;
  for (qint64 y = y0; y <= y1; ++y) {
    const T* r = static_cast<const T*>(f->rowAt(int(y)));
    double rowSum = 0.0;
    for (qint64 x = x0; x <= x1; ++x)
      rowSum += r[x];
    sum += rowSum;
  }
  return sum;
}

// The frame's own `sample`, inlined here: the runs call it for every frame
// of every point, and the same sums in the same order give the same numbers.
inline double sumBox(const TiffData* frame, int x, int y, int hw, int hh)
{
  if (!frame || frame->isEmpty())
    return 0.0;
  const qint64 bx = hw < 0 ? -qint64(hw) : qint64(hw);
  const qint64 by = hh < 0 ? -qint64(hh) : qint64(hh);
  const qint64 x0 = std::max<qint64>(qint64(x) - bx - frame->xShift, 0);
  const qint64 x1 = std::min<qint64>(qint64(x) + bx - frame->xShift, qint64(frame->width) - 1);
  const qint64 y0 = std::max<qint64>(qint64(y) - by - frame->yShift, 0);
  const qint64 y1 = std::min<qint64>(qint64(y) + by - frame->yShift, qint64(frame->height) - 1);
  if (x0 > x1 || y0 > y1)
    return 0.0;
  switch (frame->pixelType) {
    case TiffData::Tiff16:
    case TiffData::Img16:
      return sumRows<quint16>(frame, x0, x1, y0, y1);
    case TiffData::Img32:
      return sumRows<quint32>(frame, x0, x1, y0, y1);
    case TiffData::VrskFloat:
      return sumRows<float>(frame, x0, x1, y0, y1);
    default:
      return 0.0;
  }
}

// Whether the centres lie side by side on one row, left to right (a run's
// batch): found once for all the frames the batch reads.
bool sideBySide(const QPoint* at, int count)
{
  for (int j = 1; j < count; ++j)
    if (at[j].y() != at[0].y() || at[j].x() != at[0].x() + j)
      return false;
  return count > 0;
}

// sumBox of one frame for `count` boxes, the pixel type decided once;
// `inRow` is sideBySide(at, count).
template<typename T>
void sumBoxes(const TiffData* f,
              const QPoint* at,
              int count,
              int hw,
              int hh,
              bool inRow,
              double* out)
{
  const qint64 bx = hw < 0 ? -qint64(hw) : qint64(hw);
  const qint64 by = hh < 0 ? -qint64(hh) : qint64(hh);
  const qint64 w = f->width;
  const qint64 h = f->height;
  if (bx == 0 && by == 0) {
    // One pixel a box (no binning): the same sums, without the loops. The
    // zeros added keep the numbers those of sumRows, signed zeros included.
    // Boxes side by side on one row of the frame (a run's batch) read the
    // row in one pass.
    const qint64 x0 = qint64(at[0].x()) - f->xShift;
    const qint64 y0 = qint64(at[0].y()) - f->yShift;
    if (inRow && x0 >= 0 && x0 + count <= w && y0 >= 0 && y0 < h) {
      const T* r = static_cast<const T*>(f->rowAt(int(y0))) + x0;
      // An integer pixel is never -0.0: the zeros would change nothing.
      if (std::is_integral<T>::value)
        for (int j = 0; j < count; ++j)
          out[j] = double(r[j]);
      else
        for (int j = 0; j < count; ++j)
          out[j] = 0.0 + (0.0 + double(r[j]));
      return;
    }
    qint64 rowY = -1;
    const T* r = nullptr;
    for (int j = 0; j < count; ++j) {
      const qint64 x = qint64(at[j].x()) - f->xShift;
      const qint64 y = qint64(at[j].y()) - f->yShift;
      if (x < 0 || x >= w || y < 0 || y >= h) {
        out[j] = 0.0;
        continue;
      }
      if (y != rowY) {
        rowY = y;
        r = static_cast<const T*>(f->rowAt(int(y)));
      }
      double rowSum = 0.0;
      rowSum += r[x];
      double sum = 0.0;
      sum += rowSum;
      out[j] = sum;
    }
    return;
  }
  for (int j = 0; j < count; ++j) {
    const qint64 x0 = std::max<qint64>(qint64(at[j].x()) - bx - f->xShift, 0);
    const qint64 x1 = std::min<qint64>(qint64(at[j].x()) + bx - f->xShift, w - 1);
    const qint64 y0 = std::max<qint64>(qint64(at[j].y()) - by - f->yShift, 0);
    const qint64 y1 = std::min<qint64>(qint64(at[j].y()) + by - f->yShift, h - 1);
    out[j] = (x0 > x1 || y0 > y1) ? 0.0 : sumRows<T>(f, x0, x1, y0, y1);
  }
}

void sumBoxes(const TiffData* f,
              const QPoint* at,
              int count,
              int hw,
              int hh,
              bool inRow,
              double* out)
{
  if (!f || f->isEmpty()) {
    std::fill(out, out + count, 0.0);
    return;
  }
  switch (f->pixelType) {
    case TiffData::Tiff16:
    case TiffData::Img16:
      sumBoxes<quint16>(f, at, count, hw, hh, inRow, out);
      break;
    case TiffData::Img32:
      sumBoxes<quint32>(f, at, count, hw, hh, inRow, out);
      break;
    case TiffData::VrskFloat:
      sumBoxes<float>(f, at, count, hw, hh, inRow, out);
      break;
    default:
      std::fill(out, out + count, 0.0);
  }
}

} // namespace

double boxSum(const TiffData* frame, int x, int y, int hw, int hh)
{
  return sumBox(frame, x, y, hw, hh);
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
  for (const Bracket& b : m_brackets)
    for (int k : { b.lo, b.hi })
      if (k >= 0 && !m_i0Used.contains(k))
        m_i0Used.append(k);
  std::sort(m_i0Used.begin(), m_i0Used.end());
}

void StackSampler::spectrumAt(int x,
                              int y,
                              int hw,
                              int hh,
                              SpectrumPoints& out,
                              QVector<double>& work) const
{
  const QPoint at(x, y);
  spectraAt(&at, 1, hw, hh, &out, work);
}

void StackSampler::spectraAt(const QPoint* centres,
                             int count,
                             int hw,
                             int hh,
                             SpectrumPoints* outs,
                             QVector<double>& work) const
{
  const int n = m_stack.i1.size();
  work.resize(count * n + scratchSize(count));
  double* mu = work.data();
  muRowsInto(centres, count, hw, hh, mu, mu + size_t(count) * size_t(n));
  for (int j = 0; j < count; ++j) {
    SpectrumPoints& out = outs[j];
    out.points.resize(insideStack(m_stack, centres[j].x(), centres[j].y()) ? n : 0);
    if (out.isEmpty()) {
      out.updateRanges();
      continue;
    }
    QPointF* dst = out.points.data();
    const double* row = mu + size_t(j) * size_t(n);
    for (int i = 0; i < n; ++i)
      dst[i] = QPointF(m_stack.i1[i]->energy, row[i]);
    out.updateRanges();
  }
}

int StackSampler::scratchSize(int count) const
{
  const bool useI0 = m_stack.totalI0.isEmpty() && m_stack.useI0;
  const int padded = (count + kMuLanes - 1) / kMuLanes * kMuLanes;
  return count * (2 + m_stack.i1.size() + (useI0 ? m_stack.i0.size() : 0)) +
         2 * padded * m_stack.i1.size();
}

void StackSampler::muRows(const QPoint* centres,
                          int count,
                          int hw,
                          int hh,
                          double* mu,
                          QVector<double>& work) const
{
  work.resize(scratchSize(count));
  muRowsInto(centres, count, hw, hh, mu, work.data());
}

void StackSampler::muLanes(const QPoint* centres,
                           int count,
                           int hw,
                           int hh,
                           double* mu,
                           QVector<double>& work) const
{
  work.resize(scratchSize(count));
  muRowsInto(centres, count, hw, hh, mu, work.data(), true);
}

void StackSampler::muRowsInto(const QPoint* centres,
                              int count,
                              int hw,
                              int hh,
                              double* mu,
                              double* buffer,
                              bool lanes) const
{
  const StackView& stack = m_stack;
  const int n = stack.i1.size();
  const bool useTotal = !stack.totalI0.isEmpty();
  const bool useI0 = !useTotal && stack.useI0;
  const int nI0 = stack.i0.size();
  const double count1 = pixelCount(hw, hh);
  // Lanes: groups of kMuLanes boxes with their values at one energy side
  // by side; otherwise rows of n values, one a box.
  const int padded = lanes ? (count + kMuLanes - 1) / kMuLanes * kMuLanes : count;
  // work: per box its dark sum and its I0 value at the energy at hand, per
  // I1 frame and per I0 frame read its box sums, then the incident
  // intensities and the dark-corrected I1 sums in the layout of `mu`: the
  // ratios and logarithms of the whole batch are taken in one pass. Boxes
  // off the stack are summed too (a few adds) and their results dropped.
  double* dark = buffer;
  double* i0v = dark + count;
  double* i1All = i0v + count;
  double* i0Sums = i1All + size_t(n) * size_t(count);
  double* i0Cells = i0Sums + (useI0 ? nI0 : 0) * count;
  double* i1Cells = i0Cells + size_t(padded) * size_t(n);
  const bool inRow = sideBySide(centres, count);
  if (stack.dark)
    sumBoxes(stack.dark, centres, count, hw, hh, inRow, dark);
  else
    std::fill(dark, dark + count, 0.0);
  TiffData* const* i0 = stack.i0.constData();
  if (useI0)
    for (int k : m_i0Used)
      sumBoxes(i0[k], centres, count, hw, hh, inRow, i0Sums + k * count);
  // All I1 frames are summed first, in a loop that does little else: the
  // reads of many frames are then on their way at once.
  TiffData* const* i1Frames = stack.i1.constData();
  for (int i = 0; i < n; ++i)
    sumBoxes(i1Frames[i], centres, count, hw, hh, inRow, i1All + size_t(i) * size_t(count));
  for (int i = 0; i < n; ++i) {
    const double e = i1Frames[i]->energy;
    const Bracket b = m_brackets[i];
    double* i1Sums = i1All + size_t(i) * size_t(count);
    if (useTotal) {
      std::fill(i0v, i0v + count, i < stack.totalI0.size() ? stack.totalI0[i] : 0.0);
    } else if (!useI0) {
      std::fill(i0v, i0v + count, count1);
    } else if (nI0 == 0) {
      for (int j = 0; j < count; ++j)
        i0v[j] = 1.0 - dark[j];
    } else if (nI0 == 1) {
      for (int j = 0; j < count; ++j)
        i0v[j] = i0Sums[j] - dark[j];
    } else {
      const double ea = i0[b.lo]->energy;
      const double eb = i0[b.hi]->energy;
      const double* lo = i0Sums + b.lo * count;
      const double* hi = i0Sums + b.hi * count;
      if (ea == eb) {
        for (int j = 0; j < count; ++j)
          i0v[j] = interpolateLine(ea, lo[j], eb, hi[j], e) - dark[j];
      } else {
        // interpolateLine's line, written out so that it vectorises.
        const double run = eb - ea;
        const double at = e - ea;
        for (int j = 0; j < count; ++j)
          i0v[j] = (hi[j] - lo[j]) / run * at + lo[j] - dark[j];
      }
    }
    for (int j = 0; j < count; ++j)
      i1Sums[j] -= dark[j];
    if (lanes) {
      for (int g = 0; g * kMuLanes < padded; ++g) {
        const size_t at = (size_t(g) * size_t(n) + size_t(i)) * kMuLanes;
        for (int l = 0; l < kMuLanes; ++l) {
          const int j = g * kMuLanes + l;
          i0Cells[at + size_t(l)] = j < count ? i0v[j] : kNoRatio;
          i1Cells[at + size_t(l)] = j < count ? i1Sums[j] : kNoRatio;
        }
      }
    } else {
      for (int j = 0; j < count; ++j) {
        i0Cells[size_t(j) * size_t(n) + size_t(i)] = i0v[j];
        i1Cells[size_t(j) * size_t(n) + size_t(i)] = i1Sums[j];
      }
    }
  }
  const int cells = padded * n;
  if (stack.fluoType)
    for (int c = 0; c < cells; ++c)
      mu[c] = fluorescenceMu(i0Cells[c], i1Cells[c]);
  else
    transmissionRow(i0Cells, i1Cells, mu, cells);
  // ln(1 / 1) is 0: the lanes past `count` hold the marker again.
  for (int j = count; j < padded; ++j)
    for (int i = 0; i < n; ++i)
      mu[(size_t(j / kMuLanes) * size_t(n) + size_t(i)) * kMuLanes + size_t(j % kMuLanes)] =
        kNoRatio;
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
    out.append(frame->energy, sumBox(frame, x, y, hw, hh));
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
    double v = sumBox(frame, x, y, hw, hh);
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
