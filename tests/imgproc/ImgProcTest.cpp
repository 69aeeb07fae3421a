#include "gui/imgproc/ImgProc.h"
#include "BlobFrames.h"
#include "input/TiffData.h"
#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include "ui_ImgProc.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ImgProcTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    const QString dir = lctest::scratchDir(QStringLiteral("ImgProcWindow"));
    m_ref = blobs::frame(dir, QStringLiteral("ref"), 0, 0);
    m_moved = blobs::frame(dir, QStringLiteral("moved"), 2, 3);
    m_small = blobs::frame(dir, QStringLiteral("small"), 0, 0, 40, 40);
    ASSERT_TRUE(m_ref && m_moved && m_small);
    m_proc.show();
  }

  QPoint fields() const { return QPoint(m_ui.ShiftX->text().toInt(), m_ui.ShiftY->text().toInt()); }

  ImgProc m_proc;
  Ui::ImgProc& m_ui = *m_proc.form();
  std::unique_ptr<TiffData> m_ref, m_moved, m_small;
};

} // namespace

// Comparing or searching without a current image, without a reference or
// with images of two sizes writes its line and leaves the fields alone.
TEST_F(ImgProcTest, MissingImagesAreReportedAndChangeNothing)
{
  lctest::MessageCapture log;
  m_ui.Compare->setChecked(true);
  EXPECT_TRUE(log.has(QStringLiteral("no bin image")));

  m_proc.setFrame(m_small.get());
  EXPECT_TRUE(log.has(QStringLiteral("no ref bin image")));
  QTest::mouseClick(m_ui.SetRef, Qt::LeftButton);
  m_proc.setFrame(m_moved.get());
  EXPECT_TRUE(log.has(QStringLiteral("size mis-match")));

  log.clear();
  m_ui.ShiftX->setText(QStringLiteral("7"));
  QTest::mouseClick(m_ui.ShiftAuto, Qt::LeftButton);
  EXPECT_EQ(log.messages(), QStringList{ QStringLiteral("size mis-match") });
  EXPECT_EQ(fields(), QPoint(7, 0));
}

// The working loop: reference from one frame, the next frame searched
// from the typed start, the shift emitted by Set Shift (and at once with
// A. Set Shift); the step buttons move one field by one.
TEST_F(ImgProcTest, SearchStepAndSetShift)
{
  QSignalSpy shifts(&m_proc, &ImgProc::imgShift);
  m_proc.setFrame(m_ref.get());
  QTest::mouseClick(m_ui.SetRef, Qt::LeftButton);
  m_proc.setFrame(m_moved.get());
  m_ui.Compare->setChecked(true);
  QTest::mouseClick(m_ui.ShiftAuto, Qt::LeftButton);
  EXPECT_EQ(fields(), QPoint(-2, -3));
  // The best score, left from the optimum, must not pin a search started
  // elsewhere.
  m_ui.ShiftX->setText(QStringLiteral("4"));
  m_ui.ShiftY->setText(QStringLiteral("2"));
  QTest::mouseClick(m_ui.ShiftAuto, Qt::LeftButton);
  EXPECT_EQ(fields(), QPoint(-2, -3));
  EXPECT_CLOSE(m_proc.lastScore(), 1.0, 1e-3);
  EXPECT_CLOSE(m_ui.NormScolarP->text().toDouble(), m_proc.lastScore(), 1e-6);
  // The score is read whole in the narrowest window.
  m_proc.resize(m_proc.minimumSizeHint());
  QApplication::processEvents();
  EXPECT_GT(m_ui.NormScolarP->width(),
            m_ui.NormScolarP->fontMetrics().horizontalAdvance(QStringLiteral("-0.0000000")));
  EXPECT_TRUE(shifts.isEmpty());

  QTest::mouseClick(m_ui.ShiftU, Qt::LeftButton);
  QTest::mouseClick(m_ui.ShiftR, Qt::LeftButton);
  EXPECT_EQ(fields(), QPoint(-1, -4));
  EXPECT_LT(m_proc.lastScore(), 0.99);
  QTest::mouseClick(m_ui.ShiftD, Qt::LeftButton);
  QTest::mouseClick(m_ui.ShiftL, Qt::LeftButton);
  QTest::mouseClick(m_ui.SetShift, Qt::LeftButton);
  ASSERT_EQ(shifts.size(), 1);
  EXPECT_EQ(shifts[0], (QVariantList{ -2, -3 }));

  // A. A. Shift with A. Set Shift: handing over a frame aligns it.
  m_ui.AAutoShift->setChecked(true);
  m_ui.ASetShift->setChecked(true);
  m_ui.ShiftX->setText(QStringLiteral("0"));
  m_ui.ShiftY->setText(QStringLiteral("0"));
  m_proc.setFrame(m_moved.get());
  ASSERT_EQ(shifts.size(), 2);
  EXPECT_EQ(shifts[1], (QVariantList{ -2, -3 }));
}

// The threshold field and its slider follow each other over the range of
// the image before binarisation, and a new threshold rebuilds the mask.
TEST_F(ImgProcTest, ThresholdFieldAndSliderInStep)
{
  m_proc.setFrame(m_ref.get());
  m_ui.BinaryImage->setChecked(true);
  const double lo = m_ref->minValue;
  const double hi = m_ref->maxValue;
  m_ui.BinThVSlider->setValue(500);
  EXPECT_CLOSE(m_ui.BinThV->text().toDouble(), lo + (hi - lo) / 2, 1e-6);
  EXPECT_CLOSE(m_proc.current().at(20, 18), 1.0);
  EXPECT_CLOSE(m_proc.current().at(5, 5), 0.0);

  m_ui.BinThV->setText(QString::number(lo + (hi - lo) / 4));
  emit m_ui.BinThV->editingFinished();
  EXPECT_EQ(m_ui.BinThVSlider->value(), 250);

  // Edge detection switches the base, the threshold now cuts edges.
  m_ui.BinThV->setText(QStringLiteral("100"));
  emit m_ui.BinThV->editingFinished();
  m_ui.EdgeDetect->setChecked(true);
  EXPECT_CLOSE(m_proc.current().at(20, 18), 0.0);
  EXPECT_CLOSE(m_proc.current().at(25, 18), 1.0);
}
