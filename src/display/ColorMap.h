#pragma once

#include <QImage>
#include <QVector>
#include <QtGui/qrgb.h>

// How frames and maps become 8-bit images: a value is scaled to a fraction
// of its own range [vmin, vmax], stretched between the two colour-bar limits
// and looked up in the grey (256) or heat (767) table.
struct ColorMapping
{
  QImage::Format format = QImage::Format_Grayscale8; // or Format_RGB888 (heat)
  double lower = 0.0; // limits as fractions of the bar height
  double upper = 1.0;

  int bytesPerPixel() const { return format == QImage::Format_RGB888 ? 3 : 1; }
  // Table index of value v of an image whose values run from vmin to vmax.
  // NaN or infinite values, an empty range (vmax <= vmin) and equal limits
  // give the lowest entry; limits dragged past each other invert the ramp.
  int index(double v, double vmin, double vmax) const;
  // Index for a fraction t of the bar (steps 2 and 3 of the mapping).
  int indexOfFraction(double f) const;
  // Opaque colour of a table index in this format.
  QRgb colour(int index) const;
  int topIndex() const { return format == QImage::Format_RGB888 ? 766 : 255; }
};

// The two colour tables, built once and shared read-only by every thread.
const QVector<QRgb>& greyTable();
const QVector<QRgb>& heatTable();
void buildColourTables();

// Bytes of one scan line: width x bytes per pixel rounded up to 4.
int scanLineBytes(int width, int bytesPerPixel);

// A zero-filled pixel buffer in the display format and the QImage that wraps
// it without copying. The owner (a frame or a map) keeps both together.
class ImageBuffer
{
public:
  void reset(int width, int height, QImage::Format format);
  uchar* line(int y) { return m_data.data() + static_cast<size_t>(y) * m_bytesPerLine; }
  // Writes table entry `index` at (x, y) in the buffer's format.
  void setIndex(int x, int y, int index);
  QImage image() const; // wraps the buffer; valid while the buffer lives
  int width() const { return m_width; }
  int height() const { return m_height; }
  bool isNull() const { return m_width <= 0 || m_height <= 0; }

private:
  QVector<uchar> m_data;
  int m_width = 0;
  int m_height = 0;
  int m_bytesPerLine = 0;
  QImage::Format m_format = QImage::Format_Grayscale8;
};

