#include "BodyFixture.h"

#include "display/ColorBar.h"
#include "display/ColorMap.h"
#include "display/ImgDispA.h"
#include "input/SelectDataFiles.h"
#include "input/TiffData.h"
#include "support/MessageCapture.h"

#include "ui_Body.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>

namespace {
// Grey level of the frame's display image at pixel (x, y).
int grey(const TiffData* frame, int x, int y)
{
  return qGray(frame->displayImage.pixel(x, y));
}
} // namespace

// showData ignores indices outside the shown stack; prev/next stay inside.
TEST_F(BodyFixture, ShowDataOutsideTheStackKeepsTheShownFrame)
{
  ASSERT_TRUE(loadI1(makeStack("O", 4), true));
  m_body->showData(2);
  ASSERT_EQ(m_body->shownIndex(), 2);
  const QImage shown = m_body->form()->dispA->image();
  for (int no : { -1, 4, 1000 }) {
    m_body->showData(no);
    EXPECT_EQ(m_body->shownIndex(), 2) << no;
    EXPECT_EQ(m_body->form()->dispA->image(), shown) << no;
  }
  m_body->seekImage(3);
  m_body->next();
  EXPECT_EQ(m_body->shownIndex(), 3);
  EXPECT_EQ(m_body->form()->ImgNo->toolTip(), m_body->i1Frames().at(3)->fileName);
  m_body->showData(0);
  m_body->prev();
  EXPECT_EQ(m_body->shownIndex(), 0);
}

// Switching ShowData shows the frame selected in the other stack's list,
// and the slider spans that stack.
TEST_F(BodyFixture, SwitchingShowDataShowsTheOtherListsSelection)
{
  ASSERT_TRUE(loadI1(makeStack("I", 4), true));
  ASSERT_TRUE(loadI0(makeStack("Z", 3), true));
  m_body->showData(2);
  m_body->i0List()->select(1);
  EXPECT_EQ(m_body->shownIndex(), 2); // the I1 stack is still shown

  m_body->form()->ShowI0Data->setChecked(true);
  EXPECT_EQ(&m_body->shownStack(), &m_body->i0Frames());
  EXPECT_EQ(m_body->shownIndex(), 1);
  EXPECT_EQ(m_body->form()->SeekBar->maximum(), 2);
  EXPECT_EQ(m_body->form()->dispA->image(), m_body->i0Frames().at(1)->displayImage);

  m_body->form()->ShowData->setChecked(true);
  EXPECT_EQ(m_body->shownIndex(), 2);
  EXPECT_EQ(m_body->form()->SeekBar->maximum(), 3);
}

// Moving a colour-bar limit re-renders the frame on view at once and, at
// the release, every frame of the shown stack.
TEST_F(BodyFixture, ColourBarChangesReRenderTheShownStack)
{
  ASSERT_TRUE(loadI1(makeStack("C", 3), true));
  m_body->showData(1);
  const TiffData* other = m_body->i1Frames().at(2);
  ASSERT_GT(grey(other, kWidth - 1, kHeight / 2), 100);

  ColorBar* bar = m_body->form()->CBar;
  bar->setLimits(0.0, 0.25); // three quarters of the range turn white
  m_body->cBarUpdating();
  EXPECT_EQ(qGray(m_body->form()->dispA->image().pixel(kWidth - 1, kHeight / 2)), 255);

  lctest::MessageCapture log;
  m_body->cBarUpdated();
  EXPECT_TRUE(log.contains("cBarUpdated"));
  EXPECT_EQ(grey(other, kWidth - 1, kHeight / 2), 255);
  EXPECT_EQ(grey(other, 0, 0), 0);
  bar->setLimits(0.0, 1.0);
}

// The main window with a loaded stack, a selected area and the colour bar,
// grabbed offscreen into the build folder for a look.
TEST_F(BodyFixture, ScreenshotOfTheMainWindow)
{
  ASSERT_TRUE(loadI1(makeStack("P", 5), true));
  m_body->resize(1200, 860);
  m_body->show();
  m_body->showData(4);
  m_body->form()->dispA->setSelectedArea(6, 4, 20, 14);
  m_body->form()->CBar->setLimits(0.1, 0.9);
  m_body->cBarUpdated();
  QCoreApplication::processEvents();

  const QImage shot = m_body->grab().toImage();
  const QString path =
    QDir(QCoreApplication::applicationDirPath()).filePath("body-main-window.png");
  ASSERT_TRUE(shot.save(path));
  EXPECT_EQ(shot.width(), m_body->width());
  m_body->form()->CBar->setLimits(0.0, 1.0);
}

// Pointing at a pixel reads out its position and the shown frame's value.
TEST_F(BodyFixture, PointerReadOutShowsPositionAndValue)
{
  ASSERT_TRUE(loadI1(makeStack("R", 3), true));
  m_body->resize(1200, 860);
  m_body->show();
  m_body->showData(2);
  ImgDispA* area = m_body->form()->dispA;
  area->resetImageViewWindow();
  const QPoint at(int((10.5 / kWidth) * area->width()), int((5.5 / kHeight) * area->height()));
  QMouseEvent move(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(area, &move);
  EXPECT_EQ(m_body->form()->Position->text(), "(  10,    5)");
  EXPECT_EQ(m_body->form()->Value->text(), QString::number(1000 + 20 + 10 + kWidth * 5));
}
