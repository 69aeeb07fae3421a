#include "BodyFixture.h"

#include "gui/imgproc/ImgProc.h"
#include "gui/input/SelectDataFiles.h"
#include "input/TiffData.h"
#include "stack/StackSpectra.h"
#include "support/Tolerance.h"

#include "ui_Body.h"
#include "ui_ImgProc.h"

#include <QTest>

#include <cmath>

namespace {

// Point k of the one-pixel spectrum at (x, y).
double muAt(const Body& body, int x, int y, int k)
{
  const SpectrumPoints s = spectrumAt(body.stackView(), x, y, 0, 0);
  return k < s.size() ? s.y(k) : 0.0;
}

// With no I0 frames: -ln of the count the fixture writes there.
double pixelMu(int x, int y, int k)
{
  return -std::log(1000.0 + 10 * k + x + 32 * y);
}

} // namespace

// The processor only ever holds an I1 frame: showing an I0 frame does not
// hand it over (it would dangle once the I0 stack is cleared), and
// clearing the I1 stack makes it let go. Rebuilding the processed image
// reads the frame again, so a wrong pointer shows up here under ASan.
TEST_F(BodyFixture, ProcessorHoldsOnlyLiveI1Frames)
{
  ASSERT_TRUE(loadI1(makeStack("I1", 3), true));
  ASSERT_TRUE(loadI0(makeStack("I0", 3), true));
  ImgProc* proc = m_body->imgProc();
  Ui::ImgProc& pui = *proc->form();
  m_body->showData(1);
  EXPECT_EQ(proc->frame(), m_body->i1Frames().at(1));
  QTest::mouseClick(m_body->form()->ShowImgProc, Qt::LeftButton);
  EXPECT_EQ(proc->current().width, kWidth);

  m_body->form()->ShowI0Data->setChecked(true);
  m_body->showData(2);
  EXPECT_EQ(proc->frame(), m_body->i1Frames().at(1));
  m_body->clearI0Files();
  QTest::mouseClick(pui.SetRef, Qt::LeftButton);
  pui.EdgeDetect->setChecked(true);
  pui.Compare->setChecked(true);
  EXPECT_EQ(proc->current().width, kWidth);

  m_body->clearI1Files();
  EXPECT_EQ(proc->frame(), nullptr);
  pui.EdgeDetect->setChecked(false);
  EXPECT_TRUE(proc->current().isEmpty());

  // Shown again, the processor asks for the I1 frame selected in the list
  // (here while the I0 stack is on view, so nothing handed it over).
  m_body->form()->ShowData->setChecked(true);
  ASSERT_TRUE(loadI1(makeStack("J1", 2), true));
  EXPECT_EQ(proc->frame(), m_body->i1Frames().at(1));
  m_body->form()->ShowI0Data->setChecked(true);
  m_body->i1List()->select(0);
  proc->hide();
  proc->show();
  EXPECT_EQ(proc->frame(), m_body->i1Frames().at(0));
}

// A shift set from the processor moves the selected frame's point of the
// spectrum and its picture; Clear All Shifts reads every frame unshifted.
TEST_F(BodyFixture, ShiftsChangeWhatTheFramesRead)
{
  ASSERT_TRUE(loadI1(makeStack("S", 3), true));
  ImgProc* proc = m_body->imgProc();
  Ui::ImgProc& pui = *proc->form();
  m_body->showData(1);
  pui.ShiftX->setText(QStringLiteral("2"));
  pui.ShiftY->setText(QStringLiteral("-1"));
  QTest::mouseClick(pui.SetShift, Qt::LeftButton);

  const TiffData* f1 = m_body->i1Frames().at(1);
  EXPECT_EQ(f1->xShift, 2);
  EXPECT_EQ(f1->yShift, -1);
  EXPECT_CLOSE(muAt(*m_body, 10, 7, 1), pixelMu(8, 8, 1));
  EXPECT_CLOSE(muAt(*m_body, 10, 7, 0), pixelMu(10, 7, 0));
  // The picture on view carries the shift: its first two columns are
  // outside the stored image.
  EXPECT_EQ(m_body->form()->dispA->image().pixelColor(0, 5),
            m_body->form()->dispA->image().pixelColor(1, 5));

  m_body->showData(2);
  m_body->setImgShift(-3, 4);
  QTest::mouseClick(pui.ClearAllShifts, Qt::LeftButton);
  for (int k = 0; k < 3; ++k)
    EXPECT_CLOSE(muAt(*m_body, 10, 7, k), pixelMu(10, 7, k));
}
