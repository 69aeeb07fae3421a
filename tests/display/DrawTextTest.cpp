#include "display/DrawText.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

// Fitted text fills the tighter direction of its box, respects the size cap
// and leaves the painter's font as it was.
TEST(DrawText, FittedTextFitsItsBox)
{
  QImage canvas(400, 200, QImage::Format_RGB32);
  QPainter p(&canvas);
  const QString text = "Edge 8979.0";
  const double size = DrawText::fittedPointSize(&p, text, 300, 40, 0);
  QFont f = p.font();
  f.setPointSizeF(size);
  const QRectF box = QFontMetricsF(f).boundingRect(QRectF(0, 0, 5000, 5000), Qt::AlignLeft, text);
  EXPECT_LE(box.width(), 300 * 1.1);
  EXPECT_LE(box.height(), 40 * 1.1);
  EXPECT_TRUE(box.width() > 300 * 0.8 || box.height() > 40 * 0.8);

  EXPECT_LE(DrawText::fittedPointSize(&p, text, 300, 40, 6), 6.0);
  EXPECT_GT(DrawText::fittedPointSize(&p, "", 300, 40, 0), 0.0); // nothing to measure
  EXPECT_GT(DrawText::fittedPointSize(&p, text, 0, 0, 0), 0.0);  // a collapsed box

  const QFont before = p.font();
  DrawText().putText(&p, QRectF(300, 100, -250, -80), Qt::AlignCenter, text);
  DrawText().putRotatedText(&p, QPointF(200, 100), 90, text);
  EXPECT_EQ(p.font(), before);
}
