#include "imgproc/ImageFilters.h"
#include "BlobFrames.h"
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
  for (int x = 0; x < 8; ++x)
    EXPECT_CLOSE(e.at(x, 5), x == 3 || x == 4 ? 100.0 : 0.0);
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

  // The frame as stored: its shift is what the search finds, so it must
  // not be applied twice.
  frame->xShift = 5;
  EXPECT_CLOSE(frameImage(*frame).at(20, 18), double(blobs::value(20, 18, 0, 0)));
}
