#include "display/MapImages.h"

#include "analysis/Analyzed2DRes.h"
#include "support/Maps.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>

namespace {

// A one-row map holding `values`, one pixel per point.
void fill(Analyzed2DRes& map, const QVector<double>& values)
{
  lctest::fillMap(map, values.size(), values);
}

int grey(const MapImages& images, const Analyzed2DRes& map, int x)
{
  return qGray(images.img(map).pixel(x, 0));
}

} // namespace

TEST(MapImages, ScaleFollowsTheMapsChoices)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  MapImages images;
  Analyzed2DRes map;
  fill(map, { 0.0, nan, 1.0, 0.5 });
  images.genImg(map, ColorMapping());
  ASSERT_TRUE(images.imageValid(map));
  EXPECT_EQ(grey(images, map, 1), 0);
  EXPECT_EQ(grey(images, map, 2), 255);

  // A fixed scale replaces the map's own range.
  map.setFixedScale(true);
  map.setScale(0.5, 1.5);
  images.genImg(map, ColorMapping());
  EXPECT_EQ(grey(images, map, 3), 0);
  EXPECT_EQ(grey(images, map, 2), 128);

  // The processed array is drawn on its own range: none before a deglitch
  // wrote it, then the values it kept.
  map.setFixedScale(false);
  map.selectProcImg(true);
  images.genImg(map, ColorMapping());
  EXPECT_EQ(grey(images, map, 2), 0);
  map.deglitch();
  images.genImg(map, ColorMapping());
  EXPECT_EQ(grey(images, map, 0), 0);
  EXPECT_EQ(grey(images, map, 2), 255);
}

TEST(MapImages, NewValuesAsAWholeDropThePicture)
{
  MapImages images;
  Analyzed2DRes map;
  fill(map, { 0.0, 1.0 });
  images.genImg(map, ColorMapping());
  // A single value keeps the picture until the next drawing.
  map.setData(0, 0, 0, 0, 5.0);
  EXPECT_EQ(grey(images, map, 0), 0);

  map.reset(map.cond());
  EXPECT_FALSE(images.imageValid(map));
  EXPECT_TRUE(images.img(map).isNull());
  images.genImg(map, ColorMapping());
  map.clear();
  EXPECT_FALSE(images.imageValid(map));
  // Without values there is nothing to draw.
  images.genImg(map, ColorMapping());
  EXPECT_FALSE(images.imageValid(map));

  // A map born where a destroyed one lived starts without a picture.
  auto first = std::make_unique<Analyzed2DRes>();
  fill(*first, { 0.0, 1.0 });
  images.genImg(*first, ColorMapping());
  first.reset();
  auto second = std::make_unique<Analyzed2DRes>();
  fill(*second, { 0.0, 1.0 });
  EXPECT_FALSE(images.imageValid(*second));
}

TEST(MapImages, ACopyGetsAPictureOfItsOwn)
{
  MapImages images;
  Analyzed2DRes map;
  fill(map, { 0.0, 0.5, 1.0 });
  ColorMapping heat;
  heat.format = QImage::Format_RGB888;
  images.genImg(map, heat);

  Analyzed2DRes copy;
  copy = map;
  images.genImgOfCopy(copy, map);
  ASSERT_TRUE(images.imageValid(copy));
  EXPECT_NE(images.img(copy).constBits(), images.img(map).constBits());
  EXPECT_EQ(images.img(copy), images.img(map));
  // Drawing the source again leaves the copy's picture alone.
  map.setData(0, 0, 0, 0, 5.0);
  images.genImg(map, ColorMapping());
  EXPECT_EQ(images.img(copy).format(), QImage::Format_RGB888);
  EXPECT_EQ(grey(images, map, 0), 255);

  // A copy of a map without a picture has none, whatever it showed before.
  Analyzed2DRes bare;
  fill(bare, { 1.0, 2.0, 3.0 });
  copy = bare;
  images.genImgOfCopy(copy, bare);
  EXPECT_FALSE(images.imageValid(copy));
}
