#include "display/ColorMap.h"

#include <gtest/gtest.h>

#include <limits>

TEST(ColorMapping, FullRangeEndsAndBeyond)
{
  ColorMapping grey;
  EXPECT_EQ(grey.index(10.0, 10.0, 20.0), 0);
  EXPECT_EQ(grey.index(20.0, 10.0, 20.0), 255);
  EXPECT_EQ(grey.index(5.0, 10.0, 20.0), 0);
  EXPECT_EQ(grey.index(99.0, 10.0, 20.0), 255);
  EXPECT_EQ(grey.index(15.0, 10.0, 20.0), 128);

  ColorMapping heat;
  heat.format = QImage::Format_RGB888;
  EXPECT_EQ(heat.index(20.0, 10.0, 20.0), 766);
  EXPECT_EQ(heat.colour(766), qRgb(255, 255, 255));
  EXPECT_EQ(heat.colour(300), qRgb(255, 45, 0));
}

TEST(ColorMapping, QuarterLimitsStretchAndInvert)
{
  ColorMapping m;
  m.lower = 0.25;
  m.upper = 0.75;
  EXPECT_EQ(m.index(0.0, 0.0, 1.0), 0);
  EXPECT_EQ(m.index(0.24, 0.0, 1.0), 0);
  EXPECT_EQ(m.index(0.5, 0.0, 1.0), 128);
  EXPECT_EQ(m.index(0.8, 0.0, 1.0), 255);
  // A limit dragged past the other inverts the ramp.
  m.lower = 0.75;
  m.upper = 0.25;
  EXPECT_EQ(m.index(0.0, 0.0, 1.0), 255);
  EXPECT_EQ(m.index(1.0, 0.0, 1.0), 0);
}

TEST(ColorMapping, DegenerateInputsGiveLowestEntry)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  ColorMapping m;
  EXPECT_EQ(m.index(nan, 0.0, 1.0), 0);
  EXPECT_EQ(m.index(inf, 0.0, 1.0), 0);
  EXPECT_EQ(m.index(-inf, 0.0, 1.0), 0);
  EXPECT_EQ(m.index(5.0, 5.0, 5.0), 0);      // uniform frame
  EXPECT_EQ(m.index(0.5, 1e300, -1e300), 0); // unwritten map
  EXPECT_EQ(m.index(0.5, 0.0, inf), 0);
  m.lower = m.upper = 0.5; // equal limits
  EXPECT_EQ(m.index(0.9, 0.0, 1.0), 0);
}

TEST(ImageBuffer, ScanLinesRoundUpToFourBytes)
{
  EXPECT_EQ(scanLineBytes(5, 1), 8);
  EXPECT_EQ(scanLineBytes(8, 1), 8);
  EXPECT_EQ(scanLineBytes(5, 3), 16);
  ImageBuffer b;
  b.reset(5, 2, QImage::Format_RGB888);
  b.setIndex(4, 1, 766);
  const QImage img = b.image();
  ASSERT_EQ(img.bytesPerLine(), 16);
  EXPECT_EQ(img.pixel(4, 1), qRgb(255, 255, 255));
  EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 0));
}
