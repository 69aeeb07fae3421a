#include "gui/display/ImgDispA.h"
#include "gui/display/CrossSView.h"

#include "support/GuiEvents.h"
#include "support/Tolerance.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A 200 x 100 area showing a 100 x 50 image: two screen pixels per image
// pixel. The image is black on its left half and white on its right.
struct ImageArea : ::testing::Test
{
  ImageArea()
  {
    area.resize(200, 100);
    QImage img(100, 50, QImage::Format_Grayscale8);
    img.fill(0);
    for (int y = 0; y < 50; ++y)
      std::fill(img.scanLine(y) + 50, img.scanLine(y) + 100, uchar(255));
    area.setImage(img);
  }

  void expectView(double l, double t, double w, double h)
  {
    const QRectF v = area.viewWindow();
    const lctest::CloseRow rows[] = {
      { v.left(), l }, { v.top(), t }, { v.width(), w }, { v.height(), h }
    };
    lctest::expectAllClose(rows);
  }

  ImgDispA area;
};

} // namespace

TEST_F(ImageArea, WheelZoomsByOneTenthAboutThePointer)
{
  expectView(0, 0, 100, 50);
  const QPoint at(60, 30);
  const QPointF pointed = area.toImage(at);
  lctest::turnWheel(&area, at, -1); // towards the user: zoom out
  expectView(pointed.x() - 0.3 * 110, pointed.y() - 0.3 * 55, 110, 55);
  lctest::turnWheel(&area, at, 1);
  lctest::turnWheel(&area, at, 1);
  EXPECT_CLOSE(area.viewWindow().width(), 100 / 1.1);
  EXPECT_CLOSE(area.toImage(at).x(), pointed.x());
  EXPECT_CLOSE(area.toImage(at).y(), pointed.y());
}

TEST_F(ImageArea, DragSelectsClicksClear)
{
  QSignalSpy changed(&area, &ImgDispA::selectedAreaChanged);
  lctest::drag(&area, QPoint(60, 50), QPoint(20, 10)); // drawn up and to the left
  ASSERT_TRUE(area.isAreaSelected());
  EXPECT_EQ(area.selectedPixels(), QRect(10, 5, 20, 20));
  expectView(0, 0, 100, 50);
  EXPECT_EQ(changed.count(), 1);
  QTest::mouseClick(&area, Qt::LeftButton, Qt::NoModifier, QPoint(80, 80));
  EXPECT_TRUE(area.selectedPixels().isEmpty());

  // A selection reaching past the image is clipped to it.
  lctest::drag(&area, QPoint(180, 80), QPoint(300, 300));
  EXPECT_EQ(area.selectedPixels(), QRect(QPoint(90, 40), QPoint(99, 49)));

  // A right click clears the selection and keeps a zoomed view.
  lctest::turnWheel(&area, QPoint(10, 10), 1);
  area.setSelectedArea(30, 20, 5, 5);
  EXPECT_EQ(area.selectedPixels(), QRect(5, 5, 25, 15));
  const QRectF view = area.viewWindow();
  QTest::mouseClick(&area, Qt::RightButton, Qt::NoModifier, QPoint(100, 50));
  EXPECT_FALSE(area.isAreaSelected());
  expectView(view.left(), view.top(), view.width(), view.height());
}

TEST_F(ImageArea, CtrlDragSelectsAndZoomsToTheSelection)
{
  lctest::drag(&area, QPoint(120, 20), QPoint(180, 80), Qt::ControlModifier);
  ASSERT_TRUE(area.isAreaSelected());
  expectView(60, 10, 30, 30);
  // The whole widget now shows the white right half of the image.
  const QImage shot = area.grab().toImage();
  EXPECT_EQ(qGray(shot.pixel(5, 50)), 255);
  area.resetImageViewWindow();
  expectView(0, 0, 100, 50);
  area.setViewWAsSelectedArea();
  expectView(60, 10, 30, 30);
}

TEST_F(ImageArea, ShiftDragPansFromThePressPositionAndThePointerIsAnnounced)
{
  lctest::drag(&area, QPoint(100, 50), QPoint(140, 60), Qt::ShiftModifier);
  expectView(-20, -5, 100, 50); // not the sum over the moves
  EXPECT_FALSE(area.isAreaSelected());
  // In image units, as the batch's move_position sets it.
  QSignalSpy moved(&area, &ImgDispA::mouseMoved);
  area.setRealMousePos(7.5, 3);
  EXPECT_EQ(moved.count(), 1);
  EXPECT_EQ(area.pointerPixel(), QPoint(7, 3));
}

TEST(CrossSView, ValueRangeSkipsGapsAndWidensFlatProfiles)
{
  CrossSView view;
  double lo, hi;
  EXPECT_FALSE(view.valueRange(lo, hi));
  view.setProfile({ 1, std::nan(""), 4, 2 });
  ASSERT_TRUE(view.valueRange(lo, hi));
  EXPECT_TRUE(lctest::near(lo, 1) && lctest::near(hi, 4));
  view.setProfile({ 0, 0, 0 });
  ASSERT_TRUE(view.valueRange(lo, hi));
  EXPECT_LT(lo, 0);
  EXPECT_GT(hi, 0);
  view.resize(100, 60);
  EXPECT_FALSE(view.grab().isNull());
}
