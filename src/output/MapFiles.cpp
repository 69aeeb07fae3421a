#include "output/MapFiles.h"

#include "input/TiffWriter.h"

#include <QBuffer>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <QTemporaryDir>

#include <tiffio.h>

QString insertIntoFileName(const QString& fname, const QString& inserted)
{
  const QFileInfo info(fname);
  return QStringLiteral("%1/%2-%3.%4")
    .arg(info.absolutePath(), info.completeBaseName(), inserted, info.suffix());
}

QString numberedFileName(const QString& fname, int index, const QString& suffix)
{
  const QFileInfo info(fname);
  return QDir(info.absolutePath())
    .filePath(QStringLiteral("%1-%2.%3").arg(info.completeBaseName()).arg(index).arg(suffix));
}

bool saveBytes(const QString& fileName, const QByteArray& bytes)
{
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly))
    return false;
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

namespace {

// The contents of a file that `write` puts at a scratch path (libtiff
// writes to paths, not to memory); empty when it fails.
template<class Write>
QByteArray viaScratchFile(Write write)
{
  const QTemporaryDir scratch;
  if (!scratch.isValid())
    return QByteArray();
  const QString path = scratch.filePath(QStringLiteral("out.tif"));
  if (!write(path))
    return QByteArray();
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeRgbTiff(const QString& path, const QImage& image)
{
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
  if (!tif)
    return false;
  bool ok = TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(rgb.width())) &&
            TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(rgb.height())) &&
            TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(3)) &&
            TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(8)) &&
            TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE) &&
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB) &&
            TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
            TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(1));
  for (int y = 0; ok && y < rgb.height(); ++y)
    ok = TIFFWriteScanline(tif, const_cast<uchar*>(rgb.constScanLine(y)), uint32_t(y), 0) == 1;
  ok = ok && TIFFFlush(tif) == 1;
  TIFFClose(tif);
  return ok;
}

} // namespace

bool saveImageFile(const QImage& image, const QString& fileName)
{
  const QString suffix = QFileInfo(fileName).suffix().toLower();
  QByteArray bytes;
  if (image.isNull()) {
    // nothing to write
  } else if (suffix == QLatin1String("tif") || suffix == QLatin1String("tiff")) {
    bytes = viaScratchFile([&](const QString& path) { return writeRgbTiff(path, image); });
  } else {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!QImageWriter(&buffer, suffix.toLatin1()).write(image))
      bytes.clear();
  }
  if (bytes.isEmpty() || !saveBytes(fileName, bytes)) {
    qDebug().noquote() << "Can't save image" << fileName;
    return false;
  }
  return true;
}

QString taggedFileName(const QString& fname, const QString& tag)
{
  const QFileInfo info(fname);
  const QString suffix = info.suffix();
  const QString dir = fname.left(fname.size() - info.fileName().size());
  if (suffix.isEmpty())
    return fname + '-' + tag;
  return dir + info.completeBaseName() + '-' + tag + '.' + suffix;
}

QString colourBarFileName(const QString& fname, int index)
{
  QString name =
    insertIntoFileName(insertIntoFileName(fname, QString::number(index)), QStringLiteral("cBar"));
  const QByteArray suffix = QFileInfo(name).suffix().toLower().toLatin1();
  const bool tiff = suffix == "tif" || suffix == "tiff";
  if (!tiff && !QImageWriter::supportedImageFormats().contains(suffix))
    name = QFileInfo(name).dir().filePath(QFileInfo(name).completeBaseName() + ".png");
  return name;
}

QByteArray tiff16Bytes(int width, int height, const QVector<quint16>& values)
{
  if (width <= 0 || height <= 0 || values.size() != qint64(width) * height)
    return QByteArray();
  return viaScratchFile(
    [&](const QString& path) { return writeTiff16(path, width, height, values.constData()); });
}

bool writeMapTiff(const QString& fileName, int width, int height, const QVector<quint16>& values)
{
  const QByteArray bytes = tiff16Bytes(width, height, values);
  return !bytes.isEmpty() && saveBytes(fileName, bytes);
}

QByteArray mapText(const MapRows& rows, const MapTextLayout& layout)
{
  const QString sep = layout.commaSeparated ? QStringLiteral(",") : QStringLiteral(" ");
  QString text;
  bool firstRow = true;
  for (const QVector<MapPoint>& row : rows) {
    if (layout.xyValue) {
      for (const MapPoint& p : row)
        text += QString::number(p.x) + sep + QString::number(p.y) + sep +
                QString::asprintf("%g\n", p.value);
      continue;
    }
    if (!firstRow)
      text += QLatin1Char('\n');
    firstRow = false;
    for (int i = 0; i < row.size(); ++i) {
      if (i > 0)
        text += sep;
      text += QString::asprintf("%g", row[i].value);
    }
  }
  if (!layout.xyValue && !firstRow)
    text += QLatin1Char('\n');
  return text.toUtf8();
}

bool writeMapText(const QString& fileName, const MapRows& rows, const MapTextLayout& layout)
{
  if (saveBytes(fileName, mapText(rows, layout)))
    return true;
  qDebug().noquote() << "Can't open" << fileName;
  return false;
}

bool writeFlatDark(const QString& dir, int width, int height)
{
  if (width <= 0 || height <= 0) {
    // The size of a flat or dark image is that of the stack; there is none.
    qDebug().noquote() << "No stack loaded: flat.dat and dark.dat not written";
    return false;
  }
  const int n = width * height;
  const QDir d(dir);
  const bool flat =
    writeMapTiff(d.filePath(QStringLiteral("flat.dat")), width, height, QVector<quint16>(n, 1));
  const bool dark =
    writeMapTiff(d.filePath(QStringLiteral("dark.dat")), width, height, QVector<quint16>(n, 0));
  if (!flat || !dark)
    qDebug().noquote() << "Can't write flat.dat / dark.dat in" << d.absolutePath();
  return flat && dark;
}
