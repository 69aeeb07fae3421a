#include "display/ColorBarPicture.h"

#include "display/ColorMap.h"
#include "display/DrawText.h"

#include <QDebug>
#include <QFont>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kWidth = 20;
constexpr int kHeight = 600;
const QColor kLimitColour(0, 192, 255);
const QColor kTextColour(0, 255, 192);

} // namespace

QImage colorBarPicture(const ColorMapping& mapping, double min, double max)
{
  QImage picture(kWidth, kHeight, QImage::Format_RGB32);
  QPainter p(&picture);
  for (int row = 0; row < kHeight; ++row) {
    const double t = std::clamp(double(row) / kHeight, 0.0, 1.0);
    p.setPen(QColor(mapping.colour(mapping.indexOfFraction(t))));
    p.drawLine(0, kHeight - 1 - row, kWidth - 1, kHeight - 1 - row);
  }
  p.setPen(QPen(kLimitColour, 1));
  for (const double limit : { mapping.upper, mapping.lower }) {
    const double y = (1.0 - limit) * kHeight;
    if (std::isfinite(y))
      p.drawLine(QPointF(0, y), QPointF(kWidth, y));
  }
  // Text needs the fonts of a QGuiApplication; a process without one (a
  // core test, a Python process) gets the bar without its values rather
  // than a crash.
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    qDebug().noquote() << "Colour bar without its values: no fonts without a QGuiApplication";
    return picture;
  }
  QFont font = p.font();
  font.setPixelSize(10);
  p.setFont(font);
  p.setPen(kTextColour);
  const DrawText text;
  text.putRotatedText(&p, QPointF(kWidth / 2.0, 50), 90, QString::asprintf("%g", max));
  text.putRotatedText(&p, QPointF(kWidth / 2.0, kHeight - 50), 90, QString::asprintf("%g", min));
  p.end();
  return picture;
}
