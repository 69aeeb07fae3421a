#include "input/TiffData.h"

#include "StackGen.h"
#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <tiffio.h>

#include <vector>

namespace {

using lctest::readFile;
using lctest::writeFile;

// A TIFF of another layout than one 16-bit unsigned sample per pixel.
void writeOddTiff(const QString& path, int bits, int samples, int format, bool tiled)
{
  TIFF* t = TIFFOpen(QFile::encodeName(path).constData(), "w");
  ASSERT_NE(t, nullptr);
  const int w = 16, h = 16;
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, w);
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, h);
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, bits);
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, samples);
  TIFFSetField(t, TIFFTAG_SAMPLEFORMAT, format);
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, samples == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
  std::vector<uint8_t> buf(size_t(w) * h * samples * bits / 8, 7);
  if (tiled) {
    TIFFSetField(t, TIFFTAG_TILEWIDTH, 16);
    TIFFSetField(t, TIFFTAG_TILELENGTH, 16);
    TIFFWriteEncodedTile(t, 0, buf.data(), tmsize_t(buf.size()));
  } else {
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, h);
    TIFFWriteEncodedStrip(t, 0, buf.data(), tmsize_t(buf.size()));
  }
  TIFFClose(t);
}

} // namespace

TEST(DamagedFiles, OtherTiffLayoutsAreRefusedByName)
{
  const QDir dir(lctest::scratchDir("damaged_layouts"));
  const struct
  {
    const char* name;
    int bits, samples, format;
    bool tiled;
  } cases[] = {
    { "8bit", 8, 1, SAMPLEFORMAT_UINT, false },     { "32bit", 32, 1, SAMPLEFORMAT_UINT, false },
    { "float", 32, 1, SAMPLEFORMAT_IEEEFP, false }, { "signed", 16, 1, SAMPLEFORMAT_INT, false },
    { "rgb", 16, 3, SAMPLEFORMAT_UINT, false },     { "tiled", 16, 1, SAMPLEFORMAT_UINT, true }
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = dir.filePath(QString(c.name) + ".tif");
    writeOddTiff(path, c.bits, c.samples, c.format, c.tiled);
    lctest::MessageCapture log;
    TiffData d;
    EXPECT_FALSE(d.read(path));
    EXPECT_EQ(log.count("Unsupported TIFF layout (bits per sample"), 1);
    EXPECT_TRUE(log.contains(path));
  }
}

TEST(DamagedFiles, TruncatedAtEveryByteNeverReadsPastTheFile)
{
  const QDir dir(lctest::scratchDir("damaged_truncated"));
  const stackgen::Counts counts(6 * 5, 1234);
  for (stackgen::Format f : { stackgen::Format::Tiff,
                              stackgen::Format::Img16,
                              stackgen::Format::Img32,
                              stackgen::Format::Vrsk }) {
    SCOPED_TRACE(stackgen::formatName(f).toStdString());
    const QString whole = dir.filePath("whole." + stackgen::extension(f));
    ASSERT_TRUE(stackgen::writeFrame(whole, f, 6, 5, counts));
    const QByteArray bytes = readFile(whole);
    const QString cut = dir.filePath("cut");
    for (int n = 0; n < bytes.size(); ++n) {
      writeFile(cut, bytes.left(n));
      lctest::MessageCapture quiet;
      TiffData d;
      const bool ok = d.read(cut);
      // An ".img" needs every pixel byte. libtiff may still read a TIFF
      // missing only its last directory bytes; a VRSK file may lack its
      // last data lines (they read as 0) but never its bounds.
      if (f == stackgen::Format::Img16 || f == stackgen::Format::Img32) {
        ASSERT_FALSE(ok) << n << " bytes";
      }
      if (!ok)
        continue;
      ASSERT_EQ(d.width * d.height, 30u) << n << " bytes";
      if (f == stackgen::Format::Tiff) {
        ASSERT_CLOSE(d.minValue, 1234.0) << n << " bytes";
      }
    }
  }
}

TEST(DamagedFiles, AbsurdSizesAreRefusedWithoutAllocating)
{
  const QDir dir(lctest::scratchDir("damaged_sizes"));
  // An ".img" header announcing 65535 x 65535 x 4 bytes with 8 pixel bytes.
  const QString img = dir.filePath("huge.img");
  ASSERT_TRUE(stackgen::writeImg(img, 2, 2, 4, stackgen::Counts(4, 1), "BytesPerPixel=4"));
  writeFile(img, readFile(img).replace(4, 4, QByteArray(4, char(0xff))));
  lctest::MessageCapture log;
  TiffData d;
  EXPECT_FALSE(d.read(img));
  EXPECT_TRUE(log.has("invalid file size. expected (h,w) = 65535 65535"));
  EXPECT_TRUE(log.has("Error on reading (2) " + img));

  // A TIFF whose width claims far more pixels than its strips hold.
  const QString tif = dir.filePath("huge.tif");
  ASSERT_TRUE(stackgen::writeFrame(tif, stackgen::Format::Tiff, 4, 4, stackgen::Counts(16, 1)));
  TIFF* t = TIFFOpen(QFile::encodeName(tif).constData(), "r+");
  ASSERT_NE(t, nullptr);
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, 1000000);
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, 1000000);
  TIFFRewriteDirectory(t);
  TIFFClose(t);
  EXPECT_FALSE(d.read(tif));

  // VRSK bounds beyond any detector, or beyond any integer.
  const QString vrsk = dir.filePath("huge.dat");
  writeFile(vrsk,
            "#VRSK-CTImg\n# RANGE_X0 0\n# RANGE_X1 100000\n# RANGE_Y0 0\n# RANGE_Y1 100000\n");
  EXPECT_FALSE(d.read(vrsk));
  EXPECT_TRUE(log.has("VRSK image size 100000 x 100000 is too large : " + vrsk));
  writeFile(vrsk, "#VRSK-CTImg\n# RANGE_X0 -1e300\n# RANGE_X1 1e300\n# RANGE_Y0 0\n# RANGE_Y1 2\n");
  EXPECT_FALSE(d.read(vrsk));

  const QString empty = writeFile(dir.filePath("empty.tif"), QByteArray());
  EXPECT_FALSE(d.read(empty));
  EXPECT_TRUE(log.has("Error on reading file (1) " + empty));
}
