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
TEST(ImageFilters, EdgeStrengthBinaryMaskAndTheStoredFrame)
{
  const ProcImage e = edgeImage(step(110.0), 0.0, 1000.0);
  for (int x = 0; x < 8; ++x)
    EXPECT_CLOSE(e.at(x, 5), x == 3 || x == 4 ? 100.0 : 0.0);
  EXPECT_CLOSE(edgeImage(step(110.0), 0.0, 40.0).at(3, 2), 40.0);
  EXPECT_CLOSE(edgeImage(step(110.0), 40.0, 0.0).at(3, 2), 40.0);
  EXPECT_CLOSE(edgeImage(step(30.0), 25.0, 1000.0).at(3, 2), 0.0);

  // Binarisation sets pixels at or above the threshold (both switches
  // together are checked through the window).
  const ProcImage b = binarized(step(110.0), 110.0);
  EXPECT_CLOSE(b.at(3, 0), 0.0);
  EXPECT_CLOSE(b.at(4, 0), 1.0);
  EXPECT_CLOSE(b.max, 1.0);

  // The frame as stored: its shift is what the search finds, so it must
  // not be applied twice.
  const auto frame = blobs::frame(lctest::scratchDir(QStringLiteral("ImageFilters")), "f", 0, 0);
  ASSERT_TRUE(frame);
  frame->xShift = 5;
  EXPECT_CLOSE(frameImage(*frame).at(20, 18), double(blobs::value(20, 18, 0, 0)));
}
