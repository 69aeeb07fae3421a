#include "input/TiffData.h"

#include "StackGen.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <QDir>

#include <gtest/gtest.h>

#include <climits>
#include <memory>

namespace {

// A w x h 16-bit frame whose pixel (x, y) holds base + x + 10 y.
std::unique_ptr<TiffData> frame(const QString& name, int w, int h, quint32 base, double energy = 0)
{
  stackgen::Counts c(w * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      c[y * w + x] = base + quint32(x + 10 * y);
  const QString path = QDir(lctest::scratchDir("sample_" + name)).filePath("f.img");
  auto d = std::make_unique<TiffData>();
  if (!stackgen::writeFrame(path, stackgen::Format::Img16, w, h, c) || !d->read(path))
    return nullptr;
  d->energy = energy;
  return d;
}

} // namespace

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
  EXPECT_CLOSE(sampleAtEnergy(list, 1.5, 0, 0, 0, 0), 15.0);
  EXPECT_CLOSE(sampleAtEnergy(list, 3.0, 0, 0, 0, 0), 30.0);
  EXPECT_CLOSE(sampleAtEnergy(list, 0.0, 0, 0, 0, 0), 0.0);  // along the first two
  EXPECT_CLOSE(sampleAtEnergy(list, 6.0, 0, 0, 0, 0), 60.0); // along the last two
  EXPECT_CLOSE(sampleAtEnergy(list, 4.0, 1, 1, 0, 0), 51.0);
  b->energy = 1.0; // equal energies: the mean of the two
  EXPECT_CLOSE(sampleAtEnergy({ a.get(), b.get() }, 5.0, 0, 0, 0, 0), 15.0);
}

TEST(TiffDataRender, MapsThroughTheGivenLimitsAndShift)
{
  auto d = frame("render", 3, 2, 100); // values 100..112
  ASSERT_TRUE(d);
  ColorMapping grey;
  d->render(grey);
  ASSERT_FALSE(d->displayImage.isNull());
  EXPECT_EQ(d->displayImage.bytesPerLine(), 4); // 3 bytes rounded up
  EXPECT_EQ(qGray(d->displayImage.pixel(0, 0)), 0);
  EXPECT_EQ(qGray(d->displayImage.pixel(2, 1)), 255);

  ColorMapping heat;
  heat.format = QImage::Format_RGB888;
  heat.upper = 0.5;
  d->xShift = 1;
  d->render(heat);
  EXPECT_EQ(d->displayFormat, int(QImage::Format_RGB888));
  EXPECT_EQ(d->displayImage.bytesPerLine(), 12);               // 9 bytes rounded up
  EXPECT_EQ(d->displayImage.pixel(0, 1), qRgb(0, 0, 0));       // shifted in
  EXPECT_EQ(d->displayImage.pixel(2, 0), qRgb(127, 0, 0));     // 101: t = 1/6
  EXPECT_EQ(d->displayImage.pixel(2, 1), qRgb(255, 255, 255)); // above the upper limit
}
