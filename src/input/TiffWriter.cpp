#include "input/TiffWriter.h"
#include "input/TiffLib.h"

#include <QFile>

#include <tiffio.h>

#include <algorithm>
#include <vector>

bool writeTiff16(const QString& fileName, int width, int height, const quint16* data)
{
  if (width <= 0 || height <= 0 || !data)
    return false;
  installTiffHandlers();
  TIFF* tif = TIFFOpen(QFile::encodeName(fileName).constData(), "w");
  if (!tif)
    return false;
  // Strips of `width` rows: the strip height follows the image width, which
  // only changes how many strips a tall image gets.
  const bool tagsSet = TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(width)) &&
                       TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(height)) &&
                       TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE) &&
                       TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK) &&
                       TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(width)) &&
                       TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(1)) &&
                       TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(16)) &&
                       TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
                       TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
  if (!tagsSet) {
    TIFFClose(tif);
    return false;
  }
  uint32_t rowsPerStrip = 0;
  TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
  if (rowsPerStrip == 0)
    rowsPerStrip = uint32_t(height);
  const uint8_t* p = reinterpret_cast<const uint8_t*>(data);
  tstrip_t strip = 0;
  for (uint32_t first = 0; first < uint32_t(height); first += rowsPerStrip, ++strip) {
    const uint32_t rows = std::min(rowsPerStrip, uint32_t(height) - first);
    const tmsize_t bytes = TIFFVStripSize(tif, rows);
    if (TIFFWriteEncodedStrip(tif, strip, const_cast<uint8_t*>(p), bytes) < 0) {
      TIFFClose(tif);
      return false;
    }
    p += bytes;
  }
  const bool flushed = TIFFFlush(tif) == 1;
  TIFFClose(tif);
  return flushed;
}

bool writeConstantTiff16(const QString& fileName, int width, int height, quint16 value)
{
  if (width <= 0 || height <= 0)
    return false;
  const std::vector<quint16> data(size_t(width) * size_t(height), value);
  return writeTiff16(fileName, width, height, data.data());
}
