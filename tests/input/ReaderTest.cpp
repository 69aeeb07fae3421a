#include "input/TiffData.h"
#include "input/TiffWriter.h"

#include "StackGen.h"
#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <QDir>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>

using lctest::readFile;
using lctest::writeFile;
using stackgen::Counts;
using stackgen::Format;

namespace {

// Pixel (x, y) of a w-wide frame holds base + x + step y.
Counts ramp(int w, int h, quint32 base, int step)
{
  Counts c(w * h);
  for (int i = 0; i < c.size(); ++i)
    c[i] = base + quint32(i % w + step * (i / w));
  return c;
}

std::unique_ptr<TiffData> frame(const QString& name, int w, int h, quint32 base, double energy = 0)
{
  const QString path = QDir(lctest::scratchDir("sample_" + name)).filePath("f.img");
  auto d = std::make_unique<TiffData>();
  if (!stackgen::writeFrame(path, Format::Img16, w, h, ramp(w, h, base, 10)) || !d->read(path))
    return nullptr;
  d->energy = energy;
  return d;
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
    ASSERT_TRUE(stackgen::writeFrame(path, c.format, 7, 3, ramp(7, 3, c.base, 7)));
    TiffData d;
    ASSERT_TRUE(d.read(path));
    EXPECT_EQ(d.pixelType, c.pixelType);
    EXPECT_EQ(d.width, 7u);
    EXPECT_CLOSE(d.minValue, c.base);
    EXPECT_CLOSE(d.maxValue, c.base + 20);
    EXPECT_CLOSE(d.value(5, 2), c.base + 19);
  }
}

TEST(TiffDataRead, ImgHeaderRules)
{
  const QDir dir(lctest::scratchDir("reader_img"));
  // The binary header's width wins over the comment's.
  const QString wide = dir.filePath("wide.img");
  ASSERT_TRUE(stackgen::writeImg(
    wide, 64, 2, 2, ramp(64, 2, 0, 64), "Prop_ImageWidth=100,Prop_ImageHeight=2,BytesPerPixel=2"));
  TiffData d;
  ASSERT_TRUE(d.read(wide));
  EXPECT_EQ(d.width, 64u);

  // No "BytesPerPixel=" key: 16-bit.
  const QString noKey = dir.filePath("nokey.img");
  ASSERT_TRUE(stackgen::writeImg(noKey, 4, 2, 2, ramp(4, 2, 5, 4), "Prop_ImageWidth=4"));
  ASSERT_TRUE(d.read(noKey));
  EXPECT_EQ(d.pixelType, TiffData::Img16);
  EXPECT_CLOSE(d.maxValue, 12);

  // The extension plays no part: an "IM" file named .tif is an ".img".
  const QString disguised = dir.filePath("IM_frame.tif");
  ASSERT_TRUE(stackgen::writeFrame(disguised, Format::Img32, 3, 3, ramp(3, 3, 1, 3)));
  ASSERT_TRUE(d.read(disguised));
  EXPECT_EQ(d.pixelType, TiffData::Img32);

  // One row short: refused before allocating, with the fixed lines.
  writeFile(wide, readFile(wide).chopped(64 * 2));
  lctest::MessageCapture log;
  TiffData cut;
  EXPECT_FALSE(cut.read(wide));
  EXPECT_TRUE(log.has("invalid file size. expected (h,w) = 2 64"));
  EXPECT_TRUE(log.has("Error on reading (3) " + wide));
  EXPECT_TRUE(cut.isEmpty());
}

TEST(TiffDataRead, VrskRangeAndScaling)
{
  const QString path = lctest::scratchDir("reader_vrsk") + "/v.dat";
  ASSERT_TRUE(stackgen::writeVrsk(path, 10, 2, QVector<double>(20, 0.01), 5, 3));
  TiffData d;
  ASSERT_TRUE(d.read(path));
  EXPECT_EQ(d.width, 10u); // RANGE_X1 - RANGE_X0, no +1
  EXPECT_EQ(d.height, 2u);
  EXPECT_CLOSE(d.value(9, 1), 5.0, 1e-4); // 0.01 x 500

  ASSERT_TRUE(stackgen::writeVrsk(path, 2, 2, { 1.0, -0.1, std::nan(""), 1.0 }));
  ASSERT_TRUE(d.read(path));
  EXPECT_CLOSE(d.value(1, 0), 0.0); // negative stored as 0
  EXPECT_CLOSE(d.value(0, 1), 0.0); // so is a non-number
  EXPECT_CLOSE(d.value(1, 1), 500.0);

  // Missing data lines at the end read as 0; the rest is kept.
  const QByteArray all = readFile(path);
  writeFile(path, all.left(all.lastIndexOf("\n1 1 ") + 1));
  TiffData cut;
  ASSERT_TRUE(cut.read(path));
  EXPECT_CLOSE(cut.value(0, 0), 500.0);
  EXPECT_CLOSE(cut.value(1, 1), 0.0);

  // Equal bounds leave no image.
  writeFile(path, "#VRSK-CTImg\n# RANGE_X0 4\n# RANGE_X1 4\n# RANGE_Y0 0\n# RANGE_Y1 2\n0 0 1\n");
  EXPECT_EQ(cut.readVrskHeader(path), -1);
  EXPECT_FALSE(cut.read(path));
}

// Strips are `width` rows high: a 3-wide image needs four strips.
TEST(TiffWriter, RoundTripOfATallImage)
{
  const QDir dir(lctest::scratchDir("writer"));
  QVector<quint16> data(3 * 11);
  for (int i = 0; i < data.size(); ++i)
    data[i] = quint16(1000 + 7 * i);
  ASSERT_TRUE(writeTiff16(dir.filePath("tall.tif"), 3, 11, data.constData()));
  TiffData d;
  ASSERT_TRUE(d.read(dir.filePath("tall.tif")));
  ASSERT_EQ(d.height, 11u);
  for (int i = 0; i < data.size(); ++i)
    ASSERT_CLOSE(d.value(i % 3, i / 3), data[i]);
  EXPECT_FALSE(writeTiff16(dir.filePath("none.tif"), 0, 4, nullptr));
}

TEST(TiffDataSample, BoxSumsWithBordersAndShifts)
{
  auto d = frame("box", 5, 4, 1);
  ASSERT_TRUE(d);
  EXPECT_CLOSE(d->sample(0, 0, 1, 1), 1 + 2 + 11 + 12); // 5 of 9 positions outside
  EXPECT_CLOSE(d->sample(2, 1, -1, 0), 12 + 13 + 14);   // negative bins count as |bin|
  EXPECT_CLOSE(d->sample(4, 3, 0, 0), 35);
  EXPECT_CLOSE(d->sample(5, 3, 0, 0), 0);
  // Summing the whole frame with bins far beyond any image or int range.
  EXPECT_CLOSE(d->sample(0, 0, INT_MIN, INT_MAX), 20 * 1 + 4 * 10 + 5 * 60);
  EXPECT_CLOSE(d->sample(INT_MAX, INT_MIN, 2, 2), 0);

  d->xShift = 1;
  d->yShift = -1;
  EXPECT_CLOSE(d->sample(1, 0, 0, 0), 11);           // stored column 0, row 1
  EXPECT_CLOSE(d->sample(0, 0, 0, 0), 0);            // shifted in from outside
  EXPECT_CLOSE(d->sample(4, 3, 1, 1), 33 + 34 + 35); // rows 4 and 5 are outside
}

TEST(TiffDataSample, InterpolationInEnergy)
{
  std::unique_ptr<TiffData> a = frame("e1", 2, 2, 10, 1.0);
  std::unique_ptr<TiffData> b = frame("e2", 2, 2, 20, 2.0);
  std::unique_ptr<TiffData> c = frame("e4", 2, 2, 40, 4.0);
  ASSERT_TRUE(a && b && c);
  const QVector<TiffData*> list{ a.get(), b.get(), c.get() };
  EXPECT_CLOSE(sampleAtEnergy({}, 3.0, 0, 0, 0, 0), 1.0);
  EXPECT_CLOSE(sampleAtEnergy({ b.get() }, 9.0, 0, 0, 0, 0), 20.0);
  // Between frames, and extended along the first or the last two.
  for (const auto& [e, v] : { std::pair{ 1.5, 15.0 }, { 3.0, 30.0 }, { 0.0, 0.0 }, { 6.0, 60.0 } })
    EXPECT_CLOSE(sampleAtEnergy(list, e, 0, 0, 0, 0), v) << e;
  EXPECT_CLOSE(sampleAtEnergy(list, 4.0, 1, 1, 0, 0), 51.0);
  b->energy = 1.0; // equal energies: the mean of the two
  EXPECT_CLOSE(sampleAtEnergy({ a.get(), b.get() }, 5.0, 0, 0, 0, 0), 15.0);
}

TEST(TiffDataRender, MapsThroughTheGivenLimitsAndShift)
{
  auto d = frame("render", 3, 2, 100); // values 100..112
  ASSERT_TRUE(d);
  d->render(ColorMapping());
  ASSERT_FALSE(d->displayImage.isNull());
  EXPECT_EQ(qGray(d->displayImage.pixel(0, 0)), 0);
  EXPECT_EQ(qGray(d->displayImage.pixel(2, 1)), 255);

  ColorMapping heat;
  heat.format = QImage::Format_RGB888;
  heat.upper = 0.5;
  d->xShift = 1;
  d->render(heat);
  EXPECT_EQ(d->displayImage.pixel(0, 1), qRgb(0, 0, 0));       // shifted in
  EXPECT_EQ(d->displayImage.pixel(2, 0), qRgb(127, 0, 0));     // 101: t = 1/6
  EXPECT_EQ(d->displayImage.pixel(2, 1), qRgb(255, 255, 255)); // above the upper limit
}
