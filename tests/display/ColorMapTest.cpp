#include "display/ColorMap.h"

#include <gtest/gtest.h>

#include <limits>

TEST(ColorMapping, IndexOverRangeLimitsAndDegenerateInputs)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  // Ends and beyond, quarter limits, limits dragged past each other (inverted
  // ramp); then non-numbers, a uniform frame, an unwritten map and equal
  // limits, which all give the lowest entry.
  const struct
  {
    double lower, upper, v, vmin, vmax;
    int index;
  } cases[] = {
    { 0, 1, 10, 10, 20, 0 },        { 0, 1, 20, 10, 20, 255 },   { 0, 1, 5, 10, 20, 0 },
    { 0, 1, 99, 10, 20, 255 },      { 0, 1, 15, 10, 20, 128 },   { .25, .75, 0, 0, 1, 0 },
    { .25, .75, .24, 0, 1, 0 },     { .25, .75, .5, 0, 1, 128 }, { .25, .75, .8, 0, 1, 255 },
    { .75, .25, 0, 0, 1, 255 },     { .75, .25, 1, 0, 1, 0 },    { 0, 1, nan, 0, 1, 0 },
    { 0, 1, inf, 0, 1, 0 },         { 0, 1, -inf, 0, 1, 0 },     { 0, 1, 5, 5, 5, 0 },
    { 0, 1, .5, 1e300, -1e300, 0 }, { 0, 1, .5, 0, inf, 0 },     { .5, .5, .9, 0, 1, 0 }
  };
  for (const auto& c : cases) {
    ColorMapping m;
    m.lower = c.lower;
    m.upper = c.upper;
    EXPECT_EQ(m.index(c.v, c.vmin, c.vmax), c.index)
      << c.lower << " " << c.upper << " " << c.v << " " << c.vmin << " " << c.vmax;
  }

  ColorMapping heat;
  heat.format = QImage::Format_RGB888;
  EXPECT_EQ(heat.index(20.0, 10.0, 20.0), 766);
  EXPECT_EQ(heat.colour(766), qRgb(255, 255, 255));
  EXPECT_EQ(heat.colour(300), qRgb(255, 45, 0));
}

TEST(ImageBuffer, ScanLinesRoundUpToFourBytes)
{
  EXPECT_EQ(scanLineBytes(5, 1), 8);
  EXPECT_EQ(scanLineBytes(8, 1), 8);
  ImageBuffer b;
  b.reset(5, 2, QImage::Format_RGB888);
  b.setIndex(4, 1, 766);
  const QImage img = b.image();
  ASSERT_EQ(img.bytesPerLine(), 16);
  EXPECT_EQ(img.pixel(4, 1), qRgb(255, 255, 255));
  EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 0));
}
