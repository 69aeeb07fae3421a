#include "gui/calibration/CalibCtrl.h"
#include "StackGen.h"
#include "app/Refusal.h"
#include "calibration/CalibKernel.h"
#include "gui/display/RefusalLine.h"
#include "gui/spectrum/XafsFileSelect.h"
#include "session/Session.h"
#include "spectrum/XafsSpectrum.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include "ui_CalibCtrl.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The crystals give their spacings; the statistics fields show six digits.
TEST(CalibCtrl, CrystalsStatisticsStandardAndTheSessionsCalibration)
{
  Session session;
  CalibCtrl c(session);
  Ui::CalibCtrl& ui = *c.form();
  const char* names[] = { "Si(111)", "Si(311)", "Si(333)", "Ge(111)", "Ge(333)" };
  const double spacings[] = { 3.1355316, 1.637478, 1.0451772, 3.2663822, 1.0887941 };
  ASSERT_EQ(ui.SelCrystal->count(), 5);
  for (int i = 0; i < 5; ++i) {
    ui.SelCrystal->setCurrentIndex(i);
    EXPECT_EQ(c.crystalName(), names[i]);
    EXPECT_CLOSE(c.spacing(), spacings[i]);
  }
  ShiftStats s;
  s.n = 4;
  s.average = 0.125;
  s.min = -1.5;
  s.max = 1234567.0;
  s.sigma = 2.0 / 3.0;
  c.showStatistics(s);
  EXPECT_EQ(ui.DEAvr->text(), "0.125");
  EXPECT_EQ(ui.DEMin->text(), "-1.5");
  EXPECT_EQ(ui.DEMax->text(), "1.23457e+06");
  EXPECT_EQ(ui.DESigma->text(), "0.666667");

  // A standard file is loaded, normalised and its edge shown; an unreadable
  // one leaves no standard and a cleared selector.
  QTemporaryDir dir;
  stackgen::StackSpec plan;
  plan.width = 2;
  plan.height = 2;
  const stackgen::StackTruth t = stackgen::generateStack(plan, dir.path(), stackgen::Format::Tiff);
  ASSERT_TRUE(t.ok);
  QSignalSpy loaded(&c, &CalibCtrl::newStdFileLoaded);
  c.loadStd(t.referenceFiles[0]);
  ASSERT_EQ(loaded.count(), 1);
  ASSERT_NE(c.standard(), nullptr);
  EXPECT_CLOSE(c.edgeEV(), c.standard()->midx, 1e-2);
  EXPECT_CLOSE(c.standard()->midx, 8979.0, 2.0);
  EXPECT_EQ(c.stdFileName(), t.referenceFiles[0]);
  // The window's standard and edge are the Session's.
  EXPECT_EQ(c.standard(), session.calibration().standard.get());
  EXPECT_EQ(session.calibration().edgeEV, c.form()->EdgeEeV->text());

  c.form()->StdBGVictreen->setChecked(true); // normalised again, copies follow
  EXPECT_EQ(loaded.count(), 2);
  EXPECT_TRUE(session.calibration().stdVictoreen);

  // A file that gives no standard keeps the one before, named as before.
  c.loadStd(dir.path() + "/missing.dat");
  ASSERT_NE(c.standard(), nullptr);
  EXPECT_EQ(c.stdFileName(), t.referenceFiles[0]);
  EXPECT_EQ(loaded.count(), 2);
  // After Clear, a refused file leaves the field empty, not the old name,
  // and the spectrum window is told to stop drawing the standard.
  c.form()->SelectStd->clearButton()->click();
  EXPECT_EQ(session.calibration().standard, nullptr);
  EXPECT_EQ(loaded.count(), 3);
  c.loadStd(dir.path() + "/missing.dat");
  EXPECT_EQ(c.standard(), nullptr);
  EXPECT_TRUE(c.stdFileName().isEmpty());
  c.loadStd(t.referenceFiles[0]);
  ASSERT_NE(c.standard(), nullptr);

  // Values set in the Session (by a batch) show in the fields and stay.
  Session::Calibration& cal = session.calibration();
  cal.locate = EdgeLocate::DerivativePeak;
  cal.targetVictoreen = true;
  cal.spacing = 1.637478;
  cal.edgeEV = "7112";
  c.showCalibration();
  EXPECT_EQ(c.form()->EdgeLocate->currentIndex(), int(EdgeLocate::DerivativePeak));
  EXPECT_TRUE(c.form()->TargetBGVictreen->isChecked());
  EXPECT_EQ(c.crystalName(), "Si(311)");
  EXPECT_EQ(c.form()->EdgeEeV->text(), "7112");
  EXPECT_EQ(cal.edgeEV, "7112");
  EXPECT_TRUE(cal.targetVictoreen);
}

// A long refusal under the fields wraps onto lines of its own: the window
// grows, the statistics fields keep their height.
TEST(CalibCtrl, ALongRefusalLeavesTheFieldsTheirHeight)
{
  Session session;
  CalibCtrl c(session);
  QLabel* line = addRefusalLine(&c);
  c.show();
  QCoreApplication::processEvents();
  const int height = c.form()->DEAvr->height();
  refuse(&c, QString("No spectrum in file : /a/long/folder/name/").repeated(4) + "I1_08940.tif");
  QCoreApplication::processEvents();
  ASSERT_GT(line->height(), 2 * line->fontMetrics().height());
  EXPECT_EQ(c.form()->DEAvr->height(), height);
  EXPECT_EQ(c.form()->DEMax->height(), height);
}
