#include "BodyFixture.h"

#include "display/ColorMap.h"
#include "gui/display/ColorBar.h"
#include "gui/input/SelectDataFiles.h"
#include "input/TiffData.h"
#include "support/MessageCapture.h"

#include "ui_Body.h"

#include <QImage>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

namespace {
// Grey level of the frame's display image at pixel (x, y).
int grey(const TiffData* frame, int x, int y)
{
  return qGray(frame->displayImage.pixel(x, y));
}
} // namespace

// showData ignores indices outside the shown stack and prev/next stay
// inside; switching ShowData shows the frame selected in the other stack's
// list, and the slider spans that stack.
TEST_F(BodyFixture, ShownFrameStaysInsideTheShownStackAndTakesColourBarChanges)
{
  ASSERT_TRUE(loadI1(makeStack("I", 4), true));
  ASSERT_TRUE(loadI0(makeStack("Z", 3), true));
  m_body->showData(2);
  const QImage shown = m_body->form()->dispA->image();
  for (int no : { -1, 4, 1000 }) {
    m_body->showData(no);
    EXPECT_EQ(m_body->shownIndex(), 2) << no;
    EXPECT_EQ(m_body->form()->dispA->image(), shown) << no;
  }
  m_body->i0List()->select(1);
  EXPECT_EQ(m_body->shownIndex(), 2); // the I1 stack is still shown
  m_body->seekImage(3);
  m_body->next();
  EXPECT_EQ(m_body->shownIndex(), 3);

  m_body->form()->ShowI0Data->setChecked(true);
  EXPECT_EQ(m_body->shownIndex(), 1);
  EXPECT_EQ(m_body->form()->SeekBar->maximum(), 2);
  EXPECT_EQ(m_body->form()->dispA->image(), m_body->i0Frames().at(1)->displayImage);
  m_body->showData(0);
  m_body->prev();
  EXPECT_EQ(m_body->shownIndex(), 0);

  m_body->form()->ShowData->setChecked(true);
  EXPECT_EQ(m_body->shownIndex(), 3);
  EXPECT_EQ(m_body->form()->SeekBar->maximum(), 3);

  // Moving a colour-bar limit re-renders the frame on view at once and, at
  // the release, every frame of the shown stack.
  ASSERT_TRUE(loadI1(makeStack("C", 3), true));
  m_body->showData(2);
  m_body->showData(1);
  const TiffData* other = m_body->i1Frames().at(2);
  // Only the frame on view holds a display image.
  EXPECT_TRUE(other->displayImage.isNull());
  EXPECT_FALSE(m_body->i1Frames().at(1)->displayImage.isNull());

  ColorBar* bar = m_body->form()->CBar;
  bar->setLimits(0.0, 0.25); // three quarters of the range turn white
  m_body->cBarUpdating();
  EXPECT_EQ(qGray(m_body->form()->dispA->image().pixel(kWidth - 1, kHeight / 2)), 255);

  lctest::MessageCapture log;
  m_body->cBarUpdated();
  EXPECT_TRUE(log.contains("cBarUpdated"));
  // The other frames take the new limits when they are shown.
  m_body->showData(2);
  EXPECT_EQ(grey(other, kWidth - 1, kHeight / 2), 255);
  EXPECT_EQ(grey(other, 0, 0), 0);
  bar->setLimits(0.0, 1.0);
}

// On a short screen the controls scroll instead of being squeezed: every
// group keeps the height it needs and the panel keeps its width.
TEST_F(BodyFixture, ShortWindowScrollsItsControls)
{
  m_body->show();
  m_body->resize(900, 560);
  QTest::qWait(50); // the layouts settle in posted events
  const Ui::Body& ui = *m_body->form();
  EXPECT_GE(ui.ControlBox->height(), ui.ControlBox->minimumSizeHint().height());
  EXPECT_GE(ui.ControlBox->width(), ui.ControlBox->minimumSizeHint().width());
  EXPECT_TRUE(ui.ControlScroll->verticalScrollBar()->isVisible());
  EXPECT_LT(m_body->minimumSizeHint().height(), 560);
}
