#include "output/SpectraScanGrid.h"

#include <QFileInfo>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// Half widths beyond any image; keeps 2*hw+1 and the block sums in range.
constexpr int kMaxHalfWidth = 1 << 24;

int truncated(double v)
{
  if (!std::isfinite(v))
    return 0;
  // Coordinates beyond the int range are cut to it before the truncation.
  return int(std::clamp(v, -2147483520.0, 2147483520.0));
}

qint64 stepsTo(qint64 first, qint64 end, qint64 step)
{
  return first >= end ? 1 : (end - first + step - 1) / step;
}

} // namespace

SpectraScanGrid SpectraScanGrid::from(int width, int height, int hw, int hh, const QRectF& region)
{
  SpectraScanGrid g;
  g.width = std::max(0, width);
  g.height = std::max(0, height);
  g.hw = std::clamp(hw, 0, kMaxHalfWidth);
  g.hh = std::clamp(hh, 0, kMaxHalfWidth);
  g.x0 = truncated(region.left());
  g.x1 = truncated(region.left() + region.width());
  g.y0 = truncated(region.top());
  g.y1 = truncated(region.top() + region.height());
  if (g.x0 > g.x1)
    std::swap(g.x0, g.x1);
  if (g.y0 > g.y1)
    std::swap(g.y0, g.y1);
  return g;
}

qint64 SpectraScanGrid::blocks() const
{
  return stepsTo(qint64(x0) + hw, x1, dX()) * stepsTo(qint64(y0) + hh, y1, dY());
}

AnalyzeCond SpectraScanGrid::cond() const
{
  AnalyzeCond c;
  c.width = width;
  c.height = height;
  c.bx = hw;
  c.by = hh;
  c.x0 = x0;
  c.x1 = x1;
  c.y0 = y0;
  c.y1 = y1;
  c.stepX = dX();
  c.stepY = dY();
  c.reset();
  return c;
}

QByteArray spectraHeader(SpectraFormat format, const SpectraScanGrid& g)
{
  const char* first =
    format == SpectraFormat::NormalizedXafs ? "# Lumacresta Save Normalized Xafs Spectra 1.0\n"
    : format == SpectraFormat::RawXafs      ? "# Lumacresta Save Raw Xafs Spectra 1.0\n"
                                            : "# Lumacresta Save Raw Spectra 1.0\n";
  QByteArray h(first);
  h += QStringLiteral("# X-Range (x0, x1), steps : %1 %2 %3\n")
         .arg(g.x0)
         .arg(g.x1)
         .arg(g.nx())
         .toLatin1();
  h += QStringLiteral("# Y-Range (y0, y1), steps : %1 %2 %3\n")
         .arg(g.y0)
         .arg(g.y1)
         .arg(g.ny())
         .toLatin1();
  h += QStringLiteral("# Full Width, Height      : %1 %2\n").arg(g.width).arg(g.height).toLatin1();
  h += QStringLiteral("# Bin Half Width, Height  : %1 %2\n").arg(g.hw).arg(g.hh).toLatin1();
  h += QStringLiteral("# Step dX, dY             : %1 %2\n").arg(g.dX()).arg(g.dY()).toLatin1();
  h += "# End of Header\n";
  return h;
}

QString spectraFileName(const QString& fname)
{
  const QFileInfo info(fname);
  const QString named = info.suffix().isEmpty() ? fname + QStringLiteral(".dat") : fname;
  return QFileInfo(named).absoluteFilePath();
}

void appendNumberG(QByteArray& out, double v)
{
  // to_chars with the general format and a precision is printf's "%.6g",
  // without the locale and several times faster; a spectra file holds
  // millions of numbers.
  char buf[32];
  const std::to_chars_result r =
    std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 6);
  out.append(buf, int(r.ptr - buf));
}
