#include "BodyFixture.h"

#include "analysis/Analyzed2DRes.h"
#include "gui/calibration/CalibCtrl.h"
#include "gui/input/SelectDataFiles.h"
#include "spectrum/XafsSpectrum.h"
#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include "ui_Body.h"

#include <QSignalSpy>
#include <QTest>

// The window's calibration ends once, with or without images; with images
// the run starts over the image and logs its start and end.
TEST_F(BodyFixture, CalibrationEndsOnce)
{
  Body& b = *m_body;
  QSignalSpy ends(&b, &Body::calibrationEnded);
  lctest::MessageCapture log;
  b.execCalibration();
  EXPECT_EQ(ends.count(), 1);
  EXPECT_FALSE(log.contains("Start Calibration"));

  ASSERT_TRUE(loadI1(makeStack("I1", 8), true));
  // No standard and no edge energy: shifts would be absolute edge
  // energies, so the run refuses, once, and the map stays.
  b.execCalibration();
  EXPECT_EQ(ends.count(), 2);
  EXPECT_TRUE(log.contains("Calibration not started: no standard"));
  EXPECT_FALSE(log.contains("Start Calibration"));

  b.calibCtrl()->setEdgeEV(QStringLiteral("8980"));
  b.execCalibration();
  // The run goes on the engine's threads: its end comes from the event loop.
  EXPECT_TRUE(ends.count() == 3 || ends.wait(20000));
  QTest::qWait(50);
  EXPECT_EQ(ends.count(), 3);
  EXPECT_TRUE(log.contains("Start Calibration"));
  EXPECT_TRUE(log.contains("End Calibration    ")); // the three blanks, then the time
  EXPECT_EQ(b.shiftMap()->width(), kWidth);
  EXPECT_EQ(b.shiftMap()->height(), kHeight);
}

// With a standard but no image the spectrum is empty: no shift against the
// standard is claimed.
TEST_F(BodyFixture, NoShiftFromTheStandardWithoutASpectrum)
{
  const QString ref = m_dir + "/std.dat";
  QString text;
  for (int i = 0; i < 30; ++i)
    text += QString("%1 %2\n").arg(8950 + 2 * i).arg(i < 15 ? 0.1 : 1.1);
  lctest::writeFile(ref, text.toUtf8());
  exec("calib_load_std " + ref);
  ASSERT_NE(m_body->standardSpectrum(), nullptr);
  exec("move_position 3 3");
  EXPECT_EQ(m_body->form()->EShiftFromStd->text(), " 0.00");
}
