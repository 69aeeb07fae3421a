#include "imgproc/ImageFilters.h"
#include "BlobFrames.h"
#include "display/ColorMap.h"
#include "imgproc/ShiftSearch.h"
#include "input/TiffData.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <gtest/gtest.h>

namespace {

// 8 x 6: 10 left of column 4, `high` from column 4 on.
ProcImage step(double high)
{
  ProcImage m = ProcImage::zeros(8, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x)
      m.at(x, y) = x < 4 ? 10.0 : high;
  m.rescan();
  return m;
}

} // namespace

// Edge strength shows a step of height h as h on both sides of it and 0
// on the flats; Min drops weaker edges, Max cuts stronger ones, whichever
// order the two come in.
TEST(ImageFilters, EdgeStrengthAndItsLimits)
{
  const ProcImage e = edgeImage(step(110.0), 0.0, 1000.0);
  for (int y = 0; y < 6; ++y) {
    EXPECT_CLOSE(e.at(3, y), 100.0);
    EXPECT_CLOSE(e.at(4, y), 100.0);
    EXPECT_CLOSE(e.at(0, y), 0.0);
    EXPECT_CLOSE(e.at(7, y), 0.0);
  }
  EXPECT_CLOSE(e.max, 100.0);
  EXPECT_CLOSE(e.min, 0.0);
  EXPECT_CLOSE(edgeImage(step(110.0), 0.0, 40.0).at(3, 2), 40.0);
  EXPECT_CLOSE(edgeImage(step(110.0), 40.0, 0.0).at(3, 2), 40.0);
  EXPECT_CLOSE(edgeImage(step(30.0), 25.0, 1000.0).at(3, 2), 0.0);
}

// Binarisation sets pixels at or above the threshold; with both switches
// on, the edges are binarised (not the intensities).
TEST(ImageFilters, BinaryMaskAndTheOrderOfBoth)
{
  const ProcImage b = binarized(step(110.0), 110.0);
  EXPECT_CLOSE(b.at(3, 0), 0.0);
  EXPECT_CLOSE(b.at(4, 0), 1.0);
  EXPECT_CLOSE(b.max, 1.0);

  const QString dir = lctest::scratchDir(QStringLiteral("ImageFiltersBoth"));
  const auto frame = blobs::frame(dir, QStringLiteral("f"), 0, 0);
  ASSERT_TRUE(frame);
  ProcOptions o;
  o.edgeDetect = true;
  o.binary = true;
  o.threshold = 100.0;
  const ProcImage both = processedImage(baseImage(*frame, o), o);
  // The centre of the big blob is bright but flat: no edge there.
  EXPECT_CLOSE(both.at(20, 18), 0.0);
  EXPECT_CLOSE(both.at(25, 18), 1.0);
  o.edgeDetect = false;
  EXPECT_CLOSE(processedImage(baseImage(*frame, o), o).at(20, 18), 1.0);
}

// The processed image is the frame as stored: its shift is what the
// search finds, so it must not be applied again.
TEST(ImageFilters, FrameImageIgnoresTheFrameShift)
{
  const QString dir = lctest::scratchDir(QStringLiteral("ImageFiltersShift"));
  const auto frame = blobs::frame(dir, QStringLiteral("f"), 0, 0);
  ASSERT_TRUE(frame);
  frame->xShift = 5;
  frame->yShift = -2;
  const ProcImage img = frameImage(*frame);
  EXPECT_CLOSE(img.at(20, 18), double(blobs::value(20, 18, 0, 0)));
  EXPECT_CLOSE(img.max, frame->maxValue);
}

// Comparison of masks: 0 neither, 1 current only, 2 reference only,
// 3 both; where the displaced reference does not reach it counts as unset.
TEST(ImageFilters, ComparisonImageOfMasks)
{
  ProcImage cur = ProcImage::zeros(4, 1);
  ProcImage ref = ProcImage::zeros(4, 1);
  cur.at(0, 0) = cur.at(1, 0) = 1.0;
  ref.at(2, 0) = ref.at(3, 0) = 1.0;
  cur.rescan();
  ref.rescan();
  const ProcImage c = comparisonImage(cur, ref, 1, 0);
  EXPECT_CLOSE(c.at(0, 0), 1.0);
  EXPECT_CLOSE(c.at(1, 0), 3.0);
  EXPECT_CLOSE(c.at(2, 0), 2.0);
  EXPECT_CLOSE(c.at(3, 0), 0.0);
  EXPECT_FALSE(renderProcImage(c, ColorMapping()).isNull());
}
