#include "input/TiffData.h"
#include "input/TiffWriter.h"

#include "StackGen.h"
#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <QDir>
#include <QFile>

#include <cmath>

#include <gtest/gtest.h>

using stackgen::Counts;
using stackgen::Format;

namespace {

Counts ramp(int w, int h, quint32 base)
{
  Counts c(w * h);
  for (int i = 0; i < c.size(); ++i)
    c[i] = base + quint32(i);
  return c;
}

} // namespace

TEST(TiffDataRead, EveryFormatGivesItsValuesTypeAndRange)
{
  const QDir dir(lctest::scratchDir("reader_formats"));
  const struct
  {
    Format format;
    int pixelType;
    quint32 base;
  } cases[] = { { Format::Tiff, TiffData::Tiff16, 32760 }, // across 0x8000
                { Format::Img16, TiffData::Img16, 200 },
                { Format::Img32, TiffData::Img32, 70000 },
                { Format::Vrsk, TiffData::VrskFloat, 300 } };
  for (const auto& c : cases) {
    SCOPED_TRACE(stackgen::formatName(c.format).toStdString());
    // Wider than tall, so a swapped width/height would show.
    const QString path = dir.filePath("f." + stackgen::formatName(c.format));
    ASSERT_TRUE(stackgen::writeFrame(path, c.format, 7, 3, ramp(7, 3, c.base)));
    TiffData d;
    ASSERT_TRUE(d.read(path));
    EXPECT_EQ(d.pixelType, c.pixelType);
    EXPECT_EQ(d.width, 7u);
    EXPECT_EQ(d.height, 3u);
    EXPECT_EQ(d.fileName, path);
    EXPECT_CLOSE(d.minValue, c.base);
    EXPECT_CLOSE(d.maxValue, c.base + 20);
    EXPECT_CLOSE(d.value(5, 2), c.base + 19);
    EXPECT_CLOSE(d.value(0, 1), c.base + 7);
  }
}

TEST(TiffDataRead, ImgHeaderRules)
{
  const QDir dir(lctest::scratchDir("reader_img"));
  // The binary header's width wins over the comment's.
  const QString wide = dir.filePath("wide.img");
  ASSERT_TRUE(stackgen::writeImg(
    wide, 64, 2, 2, ramp(64, 2, 0), "Prop_ImageWidth=100,Prop_ImageHeight=2,BytesPerPixel=2"));
  TiffData a;
  ASSERT_TRUE(a.read(wide));
  EXPECT_EQ(a.width, 64u);

  // No "BytesPerPixel=" key: 16-bit.
  const QString noKey = dir.filePath("nokey.img");
  ASSERT_TRUE(stackgen::writeImg(noKey, 4, 2, 2, ramp(4, 2, 5), "Prop_ImageWidth=4"));
  TiffData b;
  ASSERT_TRUE(b.read(noKey));
  EXPECT_EQ(b.pixelType, TiffData::Img16);
  EXPECT_CLOSE(b.maxValue, 12);

  // The extension plays no part: an "IM" file named .tif is an ".img".
  const QString disguised = dir.filePath("IM_frame.tif");
  ASSERT_TRUE(stackgen::writeFrame(disguised, Format::Img32, 3, 3, ramp(3, 3, 1)));
  TiffData c;
  ASSERT_TRUE(c.read(disguised));
  EXPECT_EQ(c.pixelType, TiffData::Img32);

  // One row short: refused before allocating, with the fixed lines.
  QFile f(wide);
  ASSERT_TRUE(f.open(QIODevice::ReadWrite));
  ASSERT_TRUE(f.resize(f.size() - 64 * 2));
  f.close();
  lctest::MessageCapture log;
  TiffData d;
  EXPECT_FALSE(d.read(wide));
  EXPECT_TRUE(log.has("invalid file size. expected (h,w) = 2 64"));
  EXPECT_TRUE(log.has("Error on reading (3) " + wide));
  EXPECT_TRUE(d.isEmpty());
}

TEST(TiffDataRead, VrskRangeAndScaling)
{
  const QDir dir(lctest::scratchDir("reader_vrsk"));
  const QString path = dir.filePath("v.dat");
  ASSERT_TRUE(stackgen::writeVrsk(path, 10, 2, QVector<double>(20, 0.01), 5, 3));
  TiffData d;
  ASSERT_TRUE(d.read(path));
  EXPECT_EQ(d.width, 10u); // RANGE_X1 - RANGE_X0, no +1
  EXPECT_EQ(d.height, 2u);
  EXPECT_CLOSE(d.value(9, 1), 5.0, 1e-4); // 0.01 x 500

  QVector<double> v(4, 1.0);
  v[1] = -0.1;
  v[2] = std::nan("");
  ASSERT_TRUE(stackgen::writeVrsk(path, 2, 2, v));
  ASSERT_TRUE(d.read(path));
  EXPECT_CLOSE(d.value(1, 0), 0.0); // negative stored as 0
  EXPECT_CLOSE(d.value(0, 1), 0.0); // so is a non-number
  EXPECT_CLOSE(d.value(1, 1), 500.0);

  // Missing data lines at the end read as 0; the rest is kept.
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadWrite));
  const QByteArray all = f.readAll();
  ASSERT_TRUE(f.resize(all.lastIndexOf("\n1 1 ") + 1));
  f.close();
  TiffData cut;
  ASSERT_TRUE(cut.read(path));
  EXPECT_CLOSE(cut.value(0, 0), 500.0);
  EXPECT_CLOSE(cut.value(1, 1), 0.0);

  // Equal bounds leave no image.
  ASSERT_TRUE(QFile::remove(path));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("#VRSK-CTImg\n# RANGE_X0 4\n# RANGE_X1 4\n# RANGE_Y0 0\n# RANGE_Y1 2\n0 0 1\n");
  f.close();
  EXPECT_EQ(cut.readVrskHeader(path), -1);
  EXPECT_FALSE(cut.read(path));
}

TEST(TiffDataRead, UnknownFirstBytesAndMissingFiles)
{
  const QDir dir(lctest::scratchDir("reader_unknown"));
  QFile f(dir.filePath("text.tif"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("PK this is not an image at all");
  f.close();
  lctest::MessageCapture log;
  TiffData d;
  EXPECT_FALSE(d.read(f.fileName()));
  EXPECT_TRUE(log.messages().isEmpty());
  EXPECT_FALSE(d.read(dir.filePath("absent.tif")));
  EXPECT_TRUE(log.has("Can not open (1) " + dir.filePath("absent.tif")));
}

TEST(TiffWriter, RoundTripWideAndTallImages)
{
  const QDir dir(lctest::scratchDir("writer"));
  // Strips are `width` rows high: the 3-wide image needs four strips.
  for (const auto& size : { std::make_pair(11, 3), std::make_pair(3, 11) }) {
    const int w = size.first, h = size.second;
    QVector<quint16> data(w * h);
    for (int i = 0; i < data.size(); ++i)
      data[i] = quint16(1000 + 7 * i);
    const QString path = dir.filePath(QString("rt_%1x%2.tif").arg(w).arg(h));
    ASSERT_TRUE(writeTiff16(path, w, h, data.constData()));
    TiffData d;
    ASSERT_TRUE(d.read(path));
    ASSERT_EQ(int(d.width), w);
    ASSERT_EQ(int(d.height), h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        ASSERT_CLOSE(d.value(x, y), data[y * w + x]);
  }
  ASSERT_TRUE(writeConstantTiff16(dir.filePath("flat.tif"), 5, 4, 1));
  TiffData flat;
  ASSERT_TRUE(flat.read(dir.filePath("flat.tif")));
  EXPECT_CLOSE(flat.minValue, 1.0);
  EXPECT_CLOSE(flat.maxValue, 1.0);
  EXPECT_FALSE(writeTiff16(dir.filePath("none.tif"), 0, 4, nullptr));
}
