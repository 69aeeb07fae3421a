#include "gui/display/ColorBar.h"
#include "display/ColorMap.h"

#include "support/GuiEvents.h"
#include "support/Tolerance.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A bar 600 pixels high, as tall as its pixmap, editing its own mapping.
struct Bar : ::testing::Test
{
  Bar() { bar.resize(20, 600); }

  void drag(int fromY, int toY) { lctest::drag(&bar, QPoint(10, fromY), QPoint(10, toY)); }

  int greyAtPixmapRow(int y) const { return qGray(bar.pixmap().toImage().pixel(10, y)); }

  ColorBar bar;
  QSignalSpy updating{ &bar, &ColorBar::cBarUpdating };
  QSignalSpy updated{ &bar, &ColorBar::cBarUpdated };
};

} // namespace

TEST_F(Bar, DraggingALimitChangesTheMapping)
{
  drag(300, 100); // pressed midway: no limit taken
  EXPECT_CLOSE(bar.mapping().upper, 1.0);
  EXPECT_EQ(updating.count(), 0);
  EXPECT_EQ(updated.count(), 1);

  QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(10, 20));
  lctest::moveMouse(&bar, QPoint(10, 150), Qt::LeftButton);
  EXPECT_CLOSE(bar.mapping().upper, 0.75);
  EXPECT_EQ(updating.count(), 1);
  EXPECT_EQ(updated.count(), 1);
  QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(10, 150));
  EXPECT_EQ(updated.count(), 2);
  EXPECT_FALSE(bar.isDragging());

  // The lower limit dragged to the middle: the bottom half turns black,
  // above it the ramp starts again from black.
  drag(590, 300);
  EXPECT_CLOSE(bar.lower(), 0.5);
  EXPECT_EQ(greyAtPixmapRow(599), 0);
  EXPECT_EQ(greyAtPixmapRow(310), 0);
  EXPECT_GT(greyAtPixmapRow(250), 0);
  EXPECT_EQ(greyAtPixmapRow(100), 255);
  EXPECT_EQ(updating.count(), 3); // one per move

  // Dragged past the other limit, the ramp inverts.
  drag(290, 20);
  EXPECT_GT(bar.lower(), bar.upper());
  EXPECT_EQ(greyAtPixmapRow(599), 255);
}

// Bars given different mappings leave each other's alone.
TEST_F(Bar, OwnMappingLeavesTheOtherAloneAndPicturesCarryTheirScale)
{
  ColorMapping own;
  ColorBar second;
  second.setMapping(&own);
  second.setLimits(0.1, 0.2);
  EXPECT_CLOSE(own.upper, 0.2);
  EXPECT_CLOSE(bar.mapping().upper, 1.0);

  // The picture saved beside a file carries that file's scale; with the
  // scale on screen it is the bar's own pixmap. On the widget the values
  // are drawn at its own scale on a dark backing, so the top of a grey bar
  // (near white) still shows dark pixels behind the text.
  bar.setMinMax(0.25, 0.75);
  EXPECT_EQ(bar.pictureWithScale(0.25, 0.75), bar.pixmap().toImage());
  const QImage fixed = bar.pictureWithScale(0.0, 1.0);
  EXPECT_EQ(fixed.size(), bar.pixmap().size());
  EXPECT_NE(fixed, bar.pixmap().toImage());

  bar.resize(44, 500);
  const QImage shown = bar.grab().toImage();
  int dark = 0;
  for (int y = 4; y < 40; ++y)
    for (int x = 0; x < shown.width(); ++x)
      dark += qGray(shown.pixel(x, y)) < 100 ? 1 : 0;
  EXPECT_GT(dark, 50);
}
