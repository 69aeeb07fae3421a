#pragma once

#include <QRectF>
#include <QString>

class QPainter;

// Text drawn into a rectangle, optionally sized to fill it, and text drawn
// rotated about a point (the colour bar writes its values at 90 degrees).
// The painter's font is restored afterwards.
class DrawText
{
public:
  // With `fit`, the point size is chosen so the text fills `rect` in the
  // tighter direction, capped at maxPointSize when that is positive.
  void putText(QPainter* p,
               const QRectF& rect,
               Qt::Alignment align,
               const QString& text,
               bool fit = true,
               double maxPointSize = 0.0) const;
  // Draws text centred on `centre`, turned by `degrees` (clockwise).
  void putRotatedText(QPainter* p,
                      const QPointF& centre,
                      double degrees,
                      const QString& text) const;
  // The point size that fits text into w x h (the fitting rule of putText).
  static double fittedPointSize(const QPainter* p,
                                const QString& text,
                                double w,
                                double h,
                                double maxPointSize);
};
