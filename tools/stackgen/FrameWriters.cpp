#include "StackGen.h"

#include "input/TiffWriter.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <vector>

namespace stackgen {

QString extension(Format format)
{
  switch (format) {
    case Format::Tiff:
      return "tif";
    case Format::Img16:
    case Format::Img32:
      return "img";
    case Format::Vrsk:
      return "dat";
  }
  return "tif";
}

QString formatName(Format format)
{
  switch (format) {
    case Format::Tiff:
      return "tif";
    case Format::Img16:
      return "img16";
    case Format::Img32:
      return "img32";
    case Format::Vrsk:
      return "vrsk";
  }
  return "tif";
}

bool formatFromName(const QString& name, Format& format)
{
  for (Format f : { Format::Tiff, Format::Img16, Format::Img32, Format::Vrsk }) {
    if (formatName(f).compare(name, Qt::CaseInsensitive) == 0) {
      format = f;
      return true;
    }
  }
  return false;
}

QString frameFileName(const QString& prefix, double energy, Format format)
{
  const qint64 tenThousandths = qint64(std::llround(energy * 10000.0));
  return QString("%1_%2_%3.%4")
    .arg(prefix)
    .arg(tenThousandths / 10000, 5, 10, QLatin1Char('0'))
    .arg(tenThousandths % 10000, 4, 10, QLatin1Char('0'))
    .arg(extension(format));
}

QString imgComment(int width, int height, int bytesPerPixel)
{
  return QString("Prop_ImageWidth=%1,Prop_ImageHeight=%2,BytesPerPixel=%3")
    .arg(width)
    .arg(height)
    .arg(bytesPerPixel);
}

namespace {

void putLe(QByteArray& out, quint32 v, int bytes)
{
  for (int i = 0; i < bytes; ++i)
    out.append(char((v >> (8 * i)) & 0xff));
}

bool saveBytes(const QString& path, const QByteArray& bytes)
{
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
    return false;
  return f.commit();
}

bool sizeOk(int width, int height, int n)
{
  return width > 0 && height > 0 && qint64(width) * height == n;
}

} // namespace

bool writeImg(const QString& path,
              int width,
              int height,
              int bytesPerPixel,
              const Counts& counts,
              const QString& comment)
{
  if (!sizeOk(width, height, counts.size()) || width > 65535 || height > 65535)
    return false;
  const QByteArray text = comment.toLatin1();
  const int bytes = bytesPerPixel == 4 ? 4 : 2;
  QByteArray out("IM");
  putLe(out, quint32(text.size()), 2);
  putLe(out, quint32(width), 2);
  putLe(out, quint32(height), 2);
  out.append(56, '\0');
  out.append(text);
  out.reserve(out.size() + counts.size() * bytes);
  for (quint32 v : counts)
    putLe(out, bytes == 2 ? std::min<quint32>(v, 65535) : v, bytes);
  return saveBytes(path, out);
}

bool writeVrsk(const QString& path,
               int width,
               int height,
               const QVector<double>& values,
               int x0,
               int y0)
{
  if (!sizeOk(width, height, values.size()))
    return false;
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
    return false;
  QTextStream out(&f);
  out << "#VRSK-CTImg generated sample\n"
      << "# RANGE_X0 " << x0 << "\n# RANGE_X1 " << x0 + width << "\n# RANGE_Y0 " << y0
      << "\n# RANGE_Y1 " << y0 + height << "\n";
  out.setRealNumberPrecision(10);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      out << x0 + x << ' ' << y0 + y << ' ' << values[y * width + x] << '\n';
  out.flush();
  return out.status() == QTextStream::Ok && f.commit();
}

bool writeFrame(const QString& path, Format format, int width, int height, const Counts& counts)
{
  if (!sizeOk(width, height, counts.size()))
    return false;
  switch (format) {
    case Format::Tiff: {
      std::vector<quint16> data(counts.size());
      std::transform(counts.begin(), counts.end(), data.begin(), [](quint32 v) {
        return quint16(std::min<quint32>(v, 65535));
      });
      return writeTiff16(path, width, height, data.data());
    }
    case Format::Img16:
      return writeImg(path, width, height, 2, counts, imgComment(width, height, 2));
    case Format::Img32:
      return writeImg(path, width, height, 4, counts, imgComment(width, height, 4));
    case Format::Vrsk: {
      QVector<double> values(counts.size());
      std::transform(
        counts.begin(), counts.end(), values.begin(), [](quint32 v) { return v / 500.0; });
      return writeVrsk(path, width, height, values);
    }
  }
  return false;
}

QStringList writeSimpleStack(const QString& dir,
                             const QString& prefix,
                             Format format,
                             int width,
                             int height,
                             const QVector<double>& energies,
                             const std::function<quint32(int x, int y, int k)>& value)
{
  if (!QDir().mkpath(dir) || width <= 0 || height <= 0)
    return {};
  QStringList files;
  Counts counts(width * height);
  for (int k = 0; k < energies.size(); ++k) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        counts[y * width + x] = value(x, y, k);
    const QString path = QDir(dir).filePath(frameFileName(prefix, energies[k], format));
    if (!writeFrame(path, format, width, height, counts))
      return {};
    files << path;
  }
  return files;
}

} // namespace stackgen
