#include "input/TiffData.h"
#include "input/TiffLib.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include <tiffio.h>

#include <cstring>
#include <memory>

namespace {

struct TiffCloser
{
  void operator()(TIFF* t) const { TIFFClose(t); }
};

// The most bytes one stored byte can decode to: a few KB of compressed data
// claiming the largest frame (strips sharing one run of zeros) must be
// refused before half a GiB is allocated and scanned. Deflate cannot exceed
// 1032:1, PackBits 64:1 and LZW's longest string of 4096 bytes comes from a
// code of at least 9 bits. Other codecs get a generous bound (a zstd frame
// of zeros reaches about 30 000:1), which still refuses a few KB claiming
// half a GiB.
qint64 maxExpansion(uint16_t compression)
{
  switch (compression) {
    case COMPRESSION_NONE:
      return 1;
    case COMPRESSION_PACKBITS:
      return 64;
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
      return 1032;
    case COMPRESSION_LZW:
      return 4096;
    default:
      return qint64(1) << 16;
  }
}

// Only one 16-bit unsigned grey sample per pixel in strips reads correctly
// scan line by scan line; anything else would be misread or read past the
// row buffer, so it is refused with its layout named.
QString unsupportedLayout(TIFF* tif, quint32 width)
{
  uint16_t bits = 0, samples = 0, format = 0, planar = 0;
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &format);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
  const bool tiled = TIFFIsTiled(tif);
  const bool ok = bits == 16 && samples == 1 && format == SAMPLEFORMAT_UINT && !tiled &&
                  quint64(TIFFScanlineSize64(tif)) >= quint64(width) * 2;
  if (ok)
    return QString();
  return QString("bits per sample %1, samples per pixel %2, sample format %3, %4")
    .arg(bits)
    .arg(samples)
    .arg(format)
    .arg(tiled ? "tiled" : "strips");
}

} // namespace

bool TiffData::readTiff(const QString& name)
{
  TiffMessages messages;
  std::unique_ptr<TIFF, TiffCloser> tif(openTiffForReading(name, &messages));
  if (!tif) {
    qDebug().noquote() << "Can not read TIFF (" + messages.reason("no TIFF directory") + ") :"
                       << name;
    return false;
  }
  uint32_t h = 0, w = 0;
  TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &h);
  TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &w);
  if (h > 0 && w > 0) {
    const QString layout = unsupportedLayout(tif.get(), w);
    if (!layout.isEmpty()) {
      qDebug().noquote() << "Unsupported TIFF layout (" + layout + ") :" << name;
      return false;
    }
    // A damaged header must not make us allocate what the file cannot hold:
    // an uncompressed image needs all its bytes in the file, a compressed
    // one at least its bytes over the codec's best ratio.
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_COMPRESSION, &compression);
    const qint64 pixels = qint64(w) * h;
    if (pixels > kMaxPixels || pixels * 2 > QFileInfo(name).size() * maxExpansion(compression)) {
      qDebug().noquote() << QString("TIFF size %1 x %2 exceeds the file :").arg(w).arg(h) << name;
      return false;
    }
  }
  fileName = name;
  resetRange();
  height = h;
  width = w;
  scanlineSize = quint32(TIFFScanlineSize(tif.get()));
  startRows(Tiff16, 2);
  // The scan line may be wider than the row (padding); read it whole, keep
  // the row.
  const size_t rowBytes = size_t(width) * 2;
  const bool direct = scanlineSize == rowBytes;
  std::vector<quint8> line(direct ? 0 : scanlineSize);
  // A frame without columns stays empty: billions of empty rows would only
  // cost time.
  const quint32 rows = width > 0 ? height : 0;
  for (quint32 r = 0; r < rows; ++r) {
    quint8* dst = appendRow(false);
    if (TIFFReadScanline(tif.get(), direct ? dst : line.data(), r, 0) < 0) {
      qDebug().noquote() << QString("Error on reading TIFF scan line %1 (%2) :")
                              .arg(r)
                              .arg(messages.reason("no data"))
                         << name;
      clear();
      return false;
    }
    if (!direct)
      std::memcpy(dst, line.data(), rowBytes);
    updateRange(reinterpret_cast<const quint16*>(dst), width);
  }
  return true;
}
