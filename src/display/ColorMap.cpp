#include "display/ColorMap.h"

#include <cmath>

namespace {

QVector<QRgb> makeGrey()
{
  QVector<QRgb> t(256);
  for (int i = 0; i < 256; ++i)
    t[i] = qRgb(i, i, i);
  return t;
}

QVector<QRgb> makeHeat()
{
  QVector<QRgb> t(767);
  for (int i = 0; i <= 255; ++i)
    t[i] = qRgb(i, 0, 0);
  for (int i = 256; i <= 510; ++i)
    t[i] = qRgb(255, i - 255, 0);
  for (int i = 511; i <= 765; ++i)
    t[i] = qRgb(255, 255, i - 510);
  t[766] = qRgb(255, 255, 255);
  return t;
}

} // namespace

const QVector<QRgb>& greyTable()
{
  static const QVector<QRgb> table = makeGrey();
  return table;
}

const QVector<QRgb>& heatTable()
{
  static const QVector<QRgb> table = makeHeat();
  return table;
}

void buildColourTables()
{
  greyTable();
  heatTable();
}

int ColorMapping::indexOfFraction(double f) const
{
  const double span = upper - lower;
  if (!std::isfinite(f) || !std::isfinite(span) || span == 0.0)
    return 0;
  double t = (f - lower) / span;
  if (!(t > 0.0)) // also catches NaN
    t = 0.0;
  if (t > 1.0)
    t = 1.0;
  const int top = topIndex();
  const int steps = format == QImage::Format_RGB888 ? 766 : 256;
  const int i = static_cast<int>(t * steps);
  return i > top ? top : i;
}

int ColorMapping::index(double v, double vmin, double vmax) const
{
  const double range = vmax - vmin;
  if (!std::isfinite(v) || !std::isfinite(range) || !(range > 0.0))
    return 0;
  return indexOfFraction((v - vmin) / range);
}

QRgb ColorMapping::colour(int index) const
{
  if (format == QImage::Format_RGB888)
    return heatTable().value(index, qRgb(0, 0, 0));
  if (format == QImage::Format_Grayscale8)
    return greyTable().value(index, qRgb(0, 0, 0));
  return qRgb(0, 0, 0);
}

int scanLineBytes(int width, int bytesPerPixel)
{
  return (width * bytesPerPixel + 3) / 4 * 4;
}

void ImageBuffer::reset(int width, int height, QImage::Format format)
{
  m_width = width > 0 ? width : 0;
  m_height = height > 0 ? height : 0;
  m_format = format;
  m_bytesPerLine = scanLineBytes(m_width, format == QImage::Format_RGB888 ? 3 : 1);
  m_data.fill(0, m_bytesPerLine * m_height);
}

void ImageBuffer::setIndex(int x, int y, int index)
{
  uchar* p = line(y);
  if (m_format == QImage::Format_RGB888) {
    const QRgb c = heatTable().value(index);
    p += 3 * x;
    p[0] = static_cast<uchar>(qRed(c));
    p[1] = static_cast<uchar>(qGreen(c));
    p[2] = static_cast<uchar>(qBlue(c));
  } else {
    p[x] = static_cast<uchar>(index);
  }
}

QImage ImageBuffer::image() const
{
  if (isNull())
    return QImage();
  return QImage(m_data.constData(), m_width, m_height, m_bytesPerLine, m_format);
}

