#include "display/DrawText.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

double DrawText::fittedPointSize(const QPainter* p,
                                 const QString& text,
                                 double w,
                                 double h,
                                 double maxPointSize)
{
  QFont probe = p->font();
  probe.setPointSizeF(10.0);
  const QRectF box =
    QFontMetricsF(probe).boundingRect(QRectF(0, 0, 5000, 5000), Qt::AlignLeft, text);
  // A direction the text does not take up (an empty string's width) does
  // not limit the size.
  double scale = -1.0;
  if (box.width() > 0.0)
    scale = w / box.width();
  if (box.height() > 0.0)
    scale = scale < 0.0 ? h / box.height() : std::min(scale, h / box.height());
  double size = scale < 0.0 ? 10.0 : 10.0 * scale;
  if (maxPointSize > 0.0)
    size = std::min(size, maxPointSize);
  return std::max(size, 0.5); // QFont refuses sizes of zero or less
}

void DrawText::putText(QPainter* p,
                       const QRectF& rect,
                       Qt::Alignment align,
                       const QString& text,
                       bool fit,
                       double maxPointSize) const
{
  const QRectF r = rect.normalized();
  const QFont saved = p->font();
  if (fit) {
    QFont f = saved;
    f.setPointSizeF(fittedPointSize(p, text, r.width(), r.height(), maxPointSize));
    p->setFont(f);
  }
  p->drawText(r, static_cast<int>(align), text);
  p->setFont(saved);
}

void DrawText::putRotatedText(QPainter* p,
                              const QPointF& centre,
                              double degrees,
                              const QString& text) const
{
  const QRectF box = QFontMetricsF(p->font()).boundingRect(text);
  p->save();
  p->translate(centre);
  p->rotate(degrees);
  p->drawText(
    QRectF(-box.width() / 2, -box.height() / 2, box.width(), box.height()), Qt::AlignCenter, text);
  p->restore();
}
