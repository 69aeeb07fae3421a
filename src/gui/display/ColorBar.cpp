#include "gui/display/ColorBar.h"

#include "display/ColorBarPicture.h"
#include "display/ColorMap.h"
#include "display/MouseC.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kPixmapWidth = 20;
constexpr int kPixmapHeight = 600;
const QColor kLimitColour(0, 192, 255);
const QColor kTextColour(0, 255, 192);

QString valueText(double v)
{
  return QString::asprintf("%g", v);
}
} // namespace

ColorBar::ColorBar(QWidget* parent)
  : DispA(parent)
  , m_ownMapping(std::make_unique<ColorMapping>())
  , m_mapping(m_ownMapping.get())
  , m_pixmap(kPixmapWidth, kPixmapHeight)
  , m_ramp(kPixmapWidth, kPixmapHeight)
{
  connect(this, &DispA::drawImage1, this, &ColorBar::draw1);
  connect(this, &DispA::mouseMoved0, this, &ColorBar::onMouseMoved);
  connect(this, &DispA::mousePressed0, this, &ColorBar::onMousePressed);
  connect(this, &DispA::mouseReleased0, this, &ColorBar::onMouseReleased);
  paintCBar();
}

ColorBar::~ColorBar() = default;

void ColorBar::setMapping(ColorMapping* mapping)
{
  m_mapping = mapping ? mapping : m_ownMapping.get();
  paintCBar();
}

void ColorBar::setLimits(double lower, double upper)
{
  m_mapping->lower = lower;
  m_mapping->upper = upper;
  paintCBar();
}

double ColorBar::lower() const
{
  return m_mapping->lower;
}
double ColorBar::upper() const
{
  return m_mapping->upper;
}

void ColorBar::setFormat(QImage::Format format)
{
  m_mapping->format = format;
  paintCBar();
}

QImage::Format ColorBar::format() const
{
  return m_mapping->format;
}

void ColorBar::setMinMax(double min, double max)
{
  m_min = min;
  m_max = max;
  paintCBar();
}

int ColorBar::barHeight() const
{
  // A bar not laid out yet measures as its pixmap.
  return height() > 0 ? height() : kPixmapHeight;
}

QColor ColorBar::colorOfH(int h) const
{
  const double t = std::clamp(static_cast<double>(h) / barHeight(), 0.0, 1.0);
  return QColor(m_mapping->colour(m_mapping->indexOfFraction(t)));
}

void ColorBar::paintCBar()
{
  const int H = m_pixmap.height();
  const int W = m_pixmap.width();
  QPainter p(&m_pixmap);
  for (int row = 0; row < H; ++row) {
    p.setPen(colorOfH(static_cast<int>(static_cast<double>(row) * barHeight() / H)));
    p.drawLine(0, H - 1 - row, W - 1, H - 1 - row);
  }
  p.setPen(QPen(kLimitColour, 1));
  const auto lineAt = [&](double limit) {
    const double y = (1.0 - limit) * H;
    if (std::isfinite(y))
      p.drawLine(QPointF(0, y), QPointF(W, y));
  };
  lineAt(upper());
  lineAt(lower());
  p.end();
  m_ramp = m_pixmap.copy();
  QPainter labels(&m_pixmap);
  putPixmapLabels(labels, m_min, m_max);
  labels.end();
  update();
}

void ColorBar::putPixmapLabels(QPainter& p, double min, double max) const
{
  const int H = m_pixmap.height();
  const int W = m_pixmap.width();
  QFont font = p.font();
  font.setPixelSize(10);
  p.setFont(font);
  p.setPen(kTextColour);
  drawText().putRotatedText(&p, QPointF(W / 2.0, 50), 90, valueText(max));
  drawText().putRotatedText(&p, QPointF(W / 2.0, H - 50), 90, valueText(min));
  if (isDragging()) {
    const double limit = m_dragged == Limit::Upper ? upper() : lower();
    drawText().putRotatedText(
      &p, QPointF(W / 2.0, H / 2.0), 90, valueText(min + (max - min) * limit));
  }
}

QImage ColorBar::pictureWithScale(double min, double max) const
{
  // Drawn without the widget, so a saved bar is the same from every window
  // size and from the batch runner.
  return colorBarPicture(*m_mapping, min, max);
}

void ColorBar::draw1(QPainter* p)
{
  // The ramp stretches with the widget; the values are written at the
  // widget's own scale so they keep their shape whatever its size.
  p->drawPixmap(rect(), m_ramp);
  putWidgetLabels(p);
}

void ColorBar::putWidgetLabels(QPainter* p) const
{
  p->save();
  QFont font = p->font();
  font.setPixelSize(std::clamp(width() - 8, 8, 12));
  p->setFont(font);
  const QFontMetricsF metrics(font);
  const double margin = 4.0;
  // Rotated by 90 degrees: the text runs downwards from `top`.
  const auto put = [&](double top, const QString& text, bool fromBottom) {
    const double length = metrics.horizontalAdvance(text);
    const double start = fromBottom ? top - length : top;
    const QRectF box(0, 0, length + 4, metrics.height());
    p->save();
    p->translate(width() / 2.0 + metrics.height() / 2.0, start);
    p->rotate(90);
    p->fillRect(box.translated(-2, 0), QColor(0, 0, 0, 170));
    p->setPen(Qt::white);
    p->drawText(box.translated(-2, 0), Qt::AlignCenter, text);
    p->restore();
  };
  put(margin, valueText(m_max), false);
  put(height() - margin, valueText(m_min), true);
  if (isDragging()) {
    const double limit = m_dragged == Limit::Upper ? upper() : lower();
    const QString text = valueText(m_min + (m_max - m_min) * limit);
    put(height() / 2.0 - metrics.horizontalAdvance(text) / 2.0, text, false);
  }
  p->restore();
}

double ColorBar::fractionAtPointer() const
{
  const double H = barHeight();
  return (H - mouse()->pos().y()) / H;
}

void ColorBar::onMousePressed()
{
  const double f = fractionAtPointer();
  const double toUpper = std::fabs(upper() - f);
  const double toLower = std::fabs(lower() - f);
  // Exactly between the two limits neither is taken.
  if (toUpper < toLower)
    m_dragged = Limit::Upper;
  else if (toLower < toUpper)
    m_dragged = Limit::Lower;
  else
    m_dragged = Limit::None;
  paintCBar();
}

void ColorBar::onMouseMoved()
{
  if (!mouse()->isPressed() || !isDragging())
    return;
  // Not clamped: a limit dragged past the other inverts the ramp.
  const double f = fractionAtPointer();
  if (m_dragged == Limit::Upper)
    m_mapping->upper = f;
  else
    m_mapping->lower = f;
  paintCBar();
  emit cBarUpdating();
}

void ColorBar::onMouseReleased()
{
  emit cBarUpdated();
  m_dragged = Limit::None;
  paintCBar();
}

void ColorBar::resizeEvent(QResizeEvent* event)
{
  DispA::resizeEvent(event);
  paintCBar();
}
