#include "app/TextItems.h"
#include "app/TextLines.h"
#include "input/TiffData.h"

#include <QDebug>
#include <QFile>
#include <QTextStream>

#include <cmath>

namespace {

// A header bound: the number truncated toward zero, or false where no int
// can hold it (a damaged header must not reach a float-to-int conversion).
bool rangeValue(const QString& text, qint64& out)
{
  const double v = text.toDouble();
  if (!std::isfinite(v) || std::fabs(v) > 1e9)
    return false;
  out = qint64(std::trunc(v));
  return true;
}

} // namespace

int TiffData::readVrskHeader(const QString& name)
{
  QFile f(name);
  if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
    qDebug().noquote() << "Can not open" << name << "[" << int(f.error()) << "]";
    return -1;
  }
  TextLines in(f);
  qint64 x0 = 0, x1 = 0, y0 = 0, y1 = 0;
  bool sane = true;
  int lines = 0;
  QString text;
  while (in.next(text)) {
    QString first, key, value;
    const QString rest = takeItem(text, first);
    if (!first.startsWith(QLatin1Char('#')))
      break;
    ++lines;
    takeItem(takeItem(rest, key), value);
    key = key.toUpper();
    qint64* target = key == "RANGE_X0"   ? &x0
                     : key == "RANGE_X1" ? &x1
                     : key == "RANGE_Y0" ? &y0
                     : key == "RANGE_Y1" ? &y1
                                         : nullptr;
    if (target && !rangeValue(value, *target))
      sane = false;
  }
  if (in.overlong()) {
    qDebug().noquote() << QString("VRSK line longer than %1 bytes :").arg(kMaxTextLineBytes)
                       << name;
    return -1;
  }
  const qint64 w = x1 - x0;
  const qint64 h = y1 - y0;
  if (!sane || w < 1 || h < 1)
    return -1;
  // Missing data lines legitimately read as 0, so the file size says
  // nothing; only sizes no detector has are refused.
  if (w * h > kMaxPixels || w > kMaxSide || h > kMaxSide) {
    qDebug().noquote() << QString("VRSK image size %1 x %2 is too large :").arg(w).arg(h) << name;
    return -1;
  }
  width = quint32(w);
  height = quint32(h);
  return lines;
}

bool TiffData::readVrsk(const QString& name)
{
  const int headerLines = readVrskHeader(name);
  if (headerLines < 0) {
    clear();
    return false;
  }
  fileName = name;
  resetRange();
  QFile f(name);
  if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
    qDebug().noquote() << "Can not open (2)" << name;
    clear();
    return false;
  }
  // Bounded lines: a data part without line breaks is refused after one.
  TextLines in(f);
  QString text;
  for (int i = 0; i < headerLines; ++i)
    in.next(text);
  startRows(VrskFloat, 4);
  // Lines missing at the end read as 0: the row in progress is zero-filled,
  // and rows after the last data line are not allocated at all (a header
  // alone may announce a GiB of them).
  bool more = true;
  for (quint32 r = 0; r < height && more; ++r) {
    float* out = nullptr;
    for (quint32 c = 0; c < width; ++c) {
      if (!in.next(text)) {
        more = false;
        break;
      }
      if (!out)
        out = reinterpret_cast<float*>(appendRow(true));
      QString item;
      const QString rest = takeItem(takeItem(text, item), item);
      takeItem(rest, item);
      const double v = item.toDouble() * 500.0;
      // Negative counts are stored as 0; so is a non-number ("nan",
      // "1e999"), which would otherwise poison every sum over the frame.
      out[c] = (std::isfinite(v) && v > 0.0 && v < 3.0e38) ? float(v) : 0.0f;
    }
    if (out)
      updateRange(out, width);
  }
  if (in.overlong()) {
    qDebug().noquote() << QString("VRSK line longer than %1 bytes :").arg(kMaxTextLineBytes)
                       << name;
    clear();
    return false;
  }
  endRowsWithZeros();
  return true;
}
