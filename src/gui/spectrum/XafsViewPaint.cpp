// The painting of the spectrum window: axes, curves, the scaled raw and
// Fourier curves and the marker. Kept apart from the window's state and
// slots so each file holds one idea.

#include "gui/spectrum/XafsView.h"

#include "app/TextItems.h"
#include "display/ChCoord.h"
#include "gui/display/DispA.h"

#include "ui_XafsView.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>

namespace {

// Screen margins of the plot, as fractions of its size: room for the tick
// labels on the left and at the bottom.
constexpr double kLeftMargin = 0.12;
constexpr double kRightMargin = 0.03;
// Room for the raw curve's own axis on the right while it is shown.
constexpr double kRawRightMargin = 0.12;
constexpr double kBottomMargin = 0.1;
constexpr double kTopMargin = 0.04;

constexpr int kRawColour = 7;
constexpr int kFftColour = 8;

struct Range
{
  double lo = std::numeric_limits<double>::infinity();
  double hi = -std::numeric_limits<double>::infinity();
  void take(double v)
  {
    if (std::isfinite(v)) {
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
  }
  bool valid() const { return lo <= hi; }
};

// A polyline that breaks at non-finite points instead of drawing through them.
QPainterPath pathOf(const QVector<QPointF>& pts, const ChCoord* cc)
{
  QPainterPath path;
  bool pen = false;
  for (const QPointF& pt : pts) {
    if (!std::isfinite(pt.x()) || !std::isfinite(pt.y())) {
      pen = false;
      continue;
    }
    const QPointF s(cc->sx(pt.x()), cc->sy(pt.y()));
    if (pen)
      path.lineTo(s);
    else
      path.moveTo(s);
    pen = true;
  }
  return path;
}

void drawCurve(QPainter* p, const ChCoord* cc, const QVector<QPointF>& pts, int colour, bool dashed)
{
  QPen pen(readableColour(colour));
  pen.setWidthF(dashed ? 1.0 : 1.5);
  if (dashed)
    pen.setStyle(Qt::DashLine);
  p->setPen(pen);
  p->setBrush(Qt::NoBrush);
  p->drawPath(pathOf(pts, cc));
}

} // namespace

// The constant term (k = 0) would only dwarf the oscillations the curve is
// there to show.
QVector<QPointF> XafsView::fourierCurve(const QVector<double>& values)
{
  const int n = values.size();
  QVector<QPointF> curve;
  for (int k = 1; k <= n / 2; ++k) {
    std::complex<double> sum;
    for (int j = 0; j < n; ++j)
      sum += values[j] * std::polar(1.0, -2.0 * M_PI * double(j) * k / n);
    curve.append(QPointF(k, std::abs(sum)));
  }
  return curve;
}

double XafsView::plottedEnergy(const XafsSpectrum& s, int i) const
{
  const double shift = m_ui->ECorrect->isChecked() ? s.extraShift : 0.0;
  return s.energy(i) - shift;
}

QVector<XafsView::Curve> XafsView::curves() const
{
  const bool normalized = m_ui->Normalized->isChecked();
  auto valuesOf = [&](const XafsSpectrum& s, int colour) {
    Curve c;
    c.colour = colour;
    for (int i = 0; i < s.points.size(); ++i) {
      const double y = normalized ? (i < s.normalized.size() ? s.normalized[i] : 0.0) : s.value(i);
      c.points.append(QPointF(plottedEnergy(s, i), y));
    }
    return c;
  };
  QVector<Curve> out;
  if (m_hasSpectrum) {
    out.append(valuesOf(m_spectrum, 0));
    // The two edge lines, which normalisation turns into the levels 0 and 1.
    Curve pre{ {}, 1, true };
    Curve post{ {}, 2, true };
    for (int i = 0; i < m_spectrum.points.size(); ++i) {
      const double e = m_spectrum.energy(i);
      const double x = plottedEnergy(m_spectrum, i);
      pre.points.append(QPointF(x, normalized ? 0.0 : m_spectrum.preValue(e)));
      post.points.append(QPointF(x, normalized ? 1.0 : m_spectrum.postValue(e)));
    }
    out << pre << post;
  }
  if (m_hasStandard)
    out.append(valuesOf(m_standard, 3));
  for (int i = 0; i < m_others.size(); ++i)
    out.append(valuesOf(m_others[i], 4 + i));
  return out;
}

void XafsView::setTransform()
{
  DispA* area = m_ui->Plot;
  ChCoord* cc = area->coord();
  cc->setFullArea(0, 0, area->width(), area->height());
  const bool raw = m_ui->ShowRaw->isChecked() && !m_raw.points.isEmpty();
  cc->setMargins(kLeftMargin, raw ? kRawRightMargin : kRightMargin, kBottomMargin, kTopMargin);
  cc->applyMargins();
  Range r;
  for (const Curve& c : curves())
    for (const QPointF& pt : c.points)
      if (pt.x() >= m_lower && pt.x() <= m_upper)
        r.take(pt.y());
  if (!r.valid()) {
    r.lo = 0.0;
    r.hi = 1.0;
  }
  const double pad = r.hi > r.lo ? 0.05 * (r.hi - r.lo) : std::max(0.5, 0.05 * std::fabs(r.hi));
  // Screen y grows downwards: the top of the drawing area shows the maximum.
  cc->setRealRange(m_lower, r.hi + pad, m_upper, r.lo - pad);
}

void XafsView::draw(QPainter* p)
{
  setTransform();
  const ChCoord* cc = m_ui->Plot->coord();
  p->save();
  p->setRenderHint(QPainter::Antialiasing);
  drawAxes(p);
  p->setClipRect(QRectF(QPointF(cc->sx0(), cc->sy0()), QPointF(cc->sx1(), cc->sy1())));
  const QVector<Curve> shown = curves();
  for (const Curve& c : shown)
    drawCurve(p, cc, c.points, c.colour, c.dashed);
  if (m_ui->ShowFFT->isChecked() && m_hasSpectrum)
    drawFourier(p, shown.first().points);
  drawMarker(p);
  if (m_ui->ShowRaw->isChecked() && !m_raw.points.isEmpty())
    drawRaw(p); // it lifts the clipping for its axis
  drawLegend(p, shown);
  p->restore();
  m_ui->ExtMsg->setText(legendText());
}

// The raw box sums are counts, not absorption: they get their own linear
// scale over the energies shown, with its axis on the right in the curve's
// colour, instead of being squeezed into the absorption axis.
void XafsView::drawRaw(QPainter* p)
{
  const ChCoord* cc = m_ui->Plot->coord();
  const double shift = m_ui->ECorrect->isChecked() && m_hasSpectrum ? m_spectrum.extraShift : 0.0;
  QVector<QPointF> raw;
  Range r;
  for (const QPointF& pt : m_raw.points) {
    const double e = pt.x() - shift;
    raw.append(QPointF(e, pt.y()));
    if (e >= m_lower && e <= m_upper)
      r.take(pt.y());
  }
  if (!r.valid())
    return;
  const double pad = r.hi > r.lo ? 0.05 * (r.hi - r.lo) : std::max(0.5, 0.05 * std::fabs(r.hi));
  const double lo = r.lo - pad;
  const double hi = r.hi + pad;
  // Raw value v drawn where the absorption axis has the same fraction of
  // its height.
  const double aTop = cc->ry0();
  const double aBottom = cc->ry1();
  auto toAxis = [&](double v) { return aBottom + (v - lo) / (hi - lo) * (aTop - aBottom); };
  QVector<QPointF> mapped;
  for (const QPointF& pt : raw)
    mapped.append(QPointF(pt.x(), toAxis(pt.y())));
  drawCurve(p, cc, mapped, kRawColour, false);
  p->setClipping(false); // the axis labels sit outside the frame

  const QColor colour = readableColour(kRawColour);
  p->setPen(colour);
  const QFontMetricsF metrics(p->font());
  const double right = cc->sx1();
  for (double v : tickValues(niceAxis(lo, hi), 50)) {
    const double y = cc->sy(toAxis(v));
    if (y < cc->sy0() - 0.5 || y > cc->sy1() + 0.5)
      continue;
    p->drawLine(QPointF(right, y), QPointF(right - 5.0, y));
    p->drawText(QPointF(right + 3, y + metrics.ascent() / 2), QString::number(v, 'g', 4));
  }
  const QString caption = tr("raw intensity (right axis)");
  p->drawText(
    QPointF(right - metrics.horizontalAdvance(caption) - 12, cc->sy0() + metrics.ascent() + 4),
    caption);
}

// The magnitudes over their own frequency axis: k along the top edge of the
// frame, |F_k| scaled into the frame's height.
void XafsView::drawFourier(QPainter* p, const QVector<QPointF>& shown)
{
  QVector<double> values;
  for (const QPointF& pt : shown)
    values.append(std::isfinite(pt.y()) ? pt.y() : 0.0);
  const QVector<QPointF> curve = fourierCurve(values);
  if (curve.isEmpty())
    return;
  const ChCoord* cc = m_ui->Plot->coord();
  const QRectF frame(QPointF(cc->sx0(), cc->sy0()), QPointF(cc->sx1(), cc->sy1()));
  const double kLo = curve.first().x();
  const double kHi = curve.last().x();
  auto sx = [&](double k) {
    return kHi > kLo ? frame.left() + (k - kLo) / (kHi - kLo) * frame.width() : frame.center().x();
  };
  Range r;
  for (const QPointF& pt : curve)
    r.take(pt.y());
  const double span = r.hi > r.lo ? r.hi - r.lo : 1.0;
  // The top tenth stays free for the axis labels.
  auto sy = [&](double v) { return frame.bottom() - (v - r.lo) / span * 0.9 * frame.height(); };
  QPainterPath path;
  for (const QPointF& pt : curve) {
    const QPointF s(sx(pt.x()), sy(pt.y()));
    if (path.elementCount() == 0)
      path.moveTo(s);
    else
      path.lineTo(s);
  }
  const QColor colour = readableColour(kFftColour);
  QPen pen(colour);
  pen.setStyle(Qt::DashLine);
  p->setPen(pen);
  p->setBrush(Qt::NoBrush);
  p->drawPath(path);

  p->setPen(colour);
  const QFontMetricsF metrics(p->font());
  for (double k : tickValues(niceAxis(kLo, kHi), 20)) {
    if (k < kLo || k > kHi || k != std::floor(k))
      continue;
    const double x = sx(k);
    p->drawLine(QPointF(x, frame.top()), QPointF(x, frame.top() + 5.0));
    const QString label = QString::number(k, 'g', 6);
    const double w = metrics.horizontalAdvance(label);
    const double left = std::clamp(x - w / 2, frame.left() + 2.0, frame.right() - w - 2.0);
    p->drawText(QPointF(left, frame.top() + 5.0 + metrics.ascent()), label);
  }
  const QString caption = tr("|F(k)| over frequency index k (top axis)");
  p->drawText(QPointF(frame.right() - metrics.horizontalAdvance(caption) - 6,
                      frame.top() + 5.0 + metrics.ascent() + metrics.height()),
              caption);
}

// A box in the top left corner naming each curve the owner named.
void XafsView::drawLegend(QPainter* p, const QVector<Curve>& shown)
{
  QVector<QPair<QString, int>> entries;
  const int others = shown.size() - m_others.size();
  for (int i = 0; i < m_legend.size(); ++i) {
    if (i == 0 && m_hasSpectrum)
      entries.append({ m_legend[0], shown.first().colour });
    else if (i > 0 && others + i - 1 < shown.size())
      entries.append({ m_legend[i], shown[others + i - 1].colour });
  }
  if (entries.isEmpty())
    return;
  const ChCoord* cc = m_ui->Plot->coord();
  const QFontMetricsF metrics(p->font());
  const double line = metrics.height();
  double textWidth = 0.0;
  for (const auto& e : entries)
    textWidth = std::max(textWidth, metrics.horizontalAdvance(e.first));
  // Below the Fourier curve's axis labels while they are shown.
  const double top = cc->sy0() + 6 + (m_ui->ShowFFT->isChecked() ? line + 6 : 0.0);
  const QRectF box(cc->sx0() + 6, top, textWidth + 40, line * entries.size() + 6);
  p->setClipping(false);
  p->setPen(QPen(Qt::gray));
  p->setBrush(QColor(255, 255, 255, 220));
  p->drawRect(box);
  for (int i = 0; i < entries.size(); ++i) {
    const double y = box.top() + 3 + line * (i + 0.5);
    QPen pen(readableColour(entries[i].second));
    pen.setWidthF(2.0);
    p->setPen(pen);
    p->drawLine(QPointF(box.left() + 5, y), QPointF(box.left() + 27, y));
    p->setPen(Qt::black);
    p->drawText(QPointF(box.left() + 33, y + metrics.ascent() / 2 - 1), entries[i].first);
  }
}

void XafsView::drawMarker(QPainter* p)
{
  const ChCoord* cc = m_ui->Plot->coord();
  if (m_marked < 0 || m_marked < m_lower || m_marked > m_upper)
    return;
  QPen pen(Qt::darkGray);
  pen.setStyle(Qt::DotLine);
  p->setPen(pen);
  const double x = cc->sx(m_marked);
  p->drawLine(QPointF(x, cc->sy0()), QPointF(x, cc->sy1()));
}

void XafsView::drawAxes(QPainter* p)
{
  const ChCoord* cc = m_ui->Plot->coord();
  const QRectF frame(QPointF(cc->sx0(), cc->sy0()), QPointF(cc->sx1(), cc->sy1()));
  p->setPen(QPen(Qt::black));
  p->setBrush(Qt::NoBrush);
  p->drawRect(frame);
  const double tick = 5.0;
  const QFontMetricsF metrics(p->font());
  for (double v : tickValues(niceAxis(m_lower, m_upper), 50)) {
    const double x = cc->sx(v);
    p->drawLine(QPointF(x, frame.bottom()), QPointF(x, frame.bottom() - tick));
    const QString label = QString::number(v, 'g', 6);
    const double w = metrics.horizontalAdvance(label);
    p->drawText(QPointF(x - w / 2, frame.bottom() + metrics.height()), label);
  }
  for (double v : tickValues(niceAxis(cc->ry1(), cc->ry0()), 50)) {
    const double y = cc->sy(v);
    p->drawLine(QPointF(frame.left(), y), QPointF(frame.left() + tick, y));
    const QString label = QString::number(v, 'g', 4);
    const double w = metrics.horizontalAdvance(label);
    p->drawText(QPointF(frame.left() - w - 3, y + metrics.ascent() / 2), label);
  }
}
