#include "display/ImageAreaGeometry.h"

#include <gtest/gtest.h>

// A square stack is drawn square in a wide area and a wide one wide in a
// tall area; the profiles take the image's height and width, so they line
// up with it; the colour bar sits beside the vertical profile.
TEST(ImageAreaGeometry, ImageKeepsItsShapeAndProfilesLineUp)
{
  const ImageAreaSizes sizes; // 110 profile, 44 bar, 4 spacing
  const QRect area(10, 20, 900, 700);

  const ImageAreaRects sq = imageAreaRects(area, QSize(128, 128), sizes);
  EXPECT_EQ(sq.image, QRect(10, 20, 586, 586)); // 700 - 110 - 4 rows of room
  EXPECT_EQ(sq.vProfile, QRect(600, 20, 110, 586));
  EXPECT_EQ(sq.colourBar, QRect(714, 20, 44, 586));
  EXPECT_EQ(sq.hProfile, QRect(10, 610, 586, 110));

  const ImageAreaRects wide = imageAreaRects(QRect(0, 0, 500, 900), QSize(200, 100), sizes);
  EXPECT_EQ(wide.image.size(), QSize(338, 169)); // 500 - 110 - 44 - 8 columns of room
  EXPECT_EQ(wide.hProfile.width(), wide.image.width());
  EXPECT_EQ(wide.vProfile.height(), wide.image.height());

  // Nothing shown yet: the image takes all the room; a tiny area never
  // gives an empty image.
  EXPECT_EQ(imageAreaRects(area, QSize(), sizes).image.size(), QSize(738, 586));
  EXPECT_FALSE(imageAreaRects(QRect(0, 0, 50, 50), QSize(128, 128), sizes).image.isEmpty());
}
