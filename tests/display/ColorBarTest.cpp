#include "display/ColorBar.h"
#include "display/ColorMap.h"

#include "support/GuiEvents.h"
#include "support/Tolerance.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A bar 600 pixels high, as tall as its pixmap, editing the process-wide
// mapping reset for every test.
struct Bar : ::testing::Test
{
  Bar()
  {
    currentColorMapping() = ColorMapping();
    bar.resize(20, 600);
  }
  ~Bar() override { currentColorMapping() = ColorMapping(); }

  void drag(int fromY, int toY)
  {
    QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(10, fromY));
    lctest::moveMouse(&bar, QPoint(10, toY), Qt::LeftButton);
    QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(10, toY));
  }

  int greyAtPixmapRow(int y) const { return qGray(bar.pixmap().toImage().pixel(10, y)); }

  ColorBar bar;
  QSignalSpy updating{ &bar, &ColorBar::cBarUpdating };
  QSignalSpy updated{ &bar, &ColorBar::cBarUpdated };
};

} // namespace

TEST_F(Bar, PressingMidwayTakesNoLimit)
{
  drag(300, 100);
  EXPECT_CLOSE(currentColorMapping().lower, 0.0);
  EXPECT_CLOSE(currentColorMapping().upper, 1.0);
  EXPECT_EQ(updating.count(), 0);
  EXPECT_EQ(updated.count(), 1);
}

TEST_F(Bar, DraggingALimitChangesTheSharedMapping)
{
  QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(10, 20));
  EXPECT_EQ(bar.draggedLimit(), ColorBar::Limit::Upper);
  lctest::moveMouse(&bar, QPoint(10, 150), Qt::LeftButton);
  EXPECT_CLOSE(currentColorMapping().upper, 0.75);
  EXPECT_EQ(updating.count(), 1);
  EXPECT_EQ(updated.count(), 0);
  QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(10, 150));
  EXPECT_EQ(updated.count(), 1);
  EXPECT_FALSE(bar.isDragging());
  EXPECT_EQ(currentColorMapping().index(0.75, 0, 1), 255);

  // The lower limit dragged to the middle: the bottom half turns black,
  // above it the ramp starts again from black.
  drag(590, 300);
  EXPECT_CLOSE(bar.lower(), 0.5);
  EXPECT_EQ(greyAtPixmapRow(599), 0);
  EXPECT_EQ(greyAtPixmapRow(310), 0);
  EXPECT_GT(greyAtPixmapRow(250), 0);
  EXPECT_EQ(greyAtPixmapRow(100), 255);
  EXPECT_EQ(updating.count(), 2);
  EXPECT_EQ(updated.count(), 2);

  // Dragged past the other limit, the ramp inverts.
  drag(290, 20);
  EXPECT_GT(bar.lower(), bar.upper());
  EXPECT_EQ(greyAtPixmapRow(599), 255);
}

TEST_F(Bar, ColourOfHeightFollowsFormatAndLimits)
{
  EXPECT_EQ(bar.colorOfH(0), QColor(0, 0, 0));
  EXPECT_EQ(bar.colorOfH(600), QColor(255, 255, 255));
  EXPECT_EQ(bar.colorOfH(300), QColor(128, 128, 128));
  bar.setFormat(QImage::Format_RGB888);
  EXPECT_EQ(currentColorMapping().format, QImage::Format_RGB888);
  EXPECT_EQ(bar.colorOfH(600), QColor(255, 255, 255));
  EXPECT_EQ(bar.colorOfH(150), QColor(191, 0, 0)); // a quarter: the red ramp
  bar.setFormat(QImage::Format_ARGB32);
  EXPECT_EQ(bar.colorOfH(600), QColor(0, 0, 0));
  bar.setLimits(0.4, 0.4); // equal limits: the lowest entry everywhere
  bar.setFormat(QImage::Format_Grayscale8);
  EXPECT_EQ(bar.colorOfH(600), QColor(0, 0, 0));

  // A bar with its own mapping leaves the process-wide one alone.
  ColorMapping own;
  ColorBar second;
  second.setMapping(&own);
  second.setLimits(0.1, 0.2);
  EXPECT_CLOSE(own.upper, 0.2);
  EXPECT_CLOSE(currentColorMapping().upper, 0.4);
}
