#include "BodyFixture.h"

#include "analysis/AnalyzeCond.h"
#include "analysis/Analyzed2DRes.h"
#include "calibration/EmpFile.h"
#include "gui/calibration/CalibCtrl.h"
#include "gui/input/SelectDataFiles.h"
#include "input/EnergyAssignment.h"
#include "spectrum/EdgeTable.h"
#include "spectrum/XafsSpectrum.h"
#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include "ui_Body.h"
#include "ui_CalibCtrl.h"

#include <QSignalSpy>
#include <QTest>

namespace {

constexpr double kEs = 8979.0;
constexpr double kSi111 = 3.1355316;

// A map file of width x height whose shift at (x, y) is 0.1 x - 0.2 y eV.
// A map measured on `measuredWidth` columns from the left (all by default).
QString writeMap(const QString& path, int width, int height, int measuredWidth = -1)
{
  AnalyzeCond scan;
  scan.setup(width, height, 0, 0, 0, 0, measuredWidth < 0 ? width : measuredWidth, height);
  QVector<double> shifts;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      shifts << 0.1 * x - 0.2 * y;
  EXPECT_TRUE(writeEmpFile(path, EmpWriteInfo{ kEs, kSi111, "std.dat" }, scan, shifts));
  return path;
}

} // namespace

// calib_exec reports its end once, with or without images; with images the
// run starts over the image and logs its start and end.
TEST_F(BodyFixture, CalibExecReportsItsEndOnce)
{
  Body& b = *m_body;
  QSignalSpy reports(&b, &Body::finishBatchCmd);
  QSignalSpy ends(&b, &Body::calibrationEnded);
  lctest::MessageCapture log;
  const quint64 first = exec("calib_exec");
  EXPECT_EQ(reports.count(), 1);
  EXPECT_EQ(lastReport(reports), first);
  EXPECT_EQ(ends.count(), 1);
  EXPECT_FALSE(log.contains("Start Calibration"));

  ASSERT_TRUE(loadI1(makeStack("I1", 8), true));
  // No standard and no edge energy: shifts would be absolute edge
  // energies, so the run refuses, once, and the map stays.
  reports.clear();
  const quint64 refused = exec("calib_exec");
  EXPECT_EQ(reports.count(), 1);
  EXPECT_EQ(lastReport(reports), refused);
  EXPECT_EQ(ends.count(), 2);
  EXPECT_TRUE(log.contains("Calibration not started: no standard"));
  EXPECT_FALSE(log.contains("Start Calibration"));

  b.calibCtrl()->setEdgeEV(QStringLiteral("8980"));
  reports.clear();
  const quint64 second = exec("calib_exec");
  // The run goes on the engine's threads: its end comes from the event loop.
  EXPECT_TRUE(reports.count() == 1 || reports.wait(20000));
  QTest::qWait(50);
  EXPECT_EQ(reports.count(), 1);
  EXPECT_EQ(lastReport(reports), second);
  EXPECT_EQ(ends.count(), 3);
  EXPECT_TRUE(log.contains("Start Calibration"));
  EXPECT_TRUE(log.contains("End Calibration    ")); // the three blanks, then the time
  EXPECT_EQ(b.shiftMap()->width(), kWidth);
  EXPECT_EQ(b.shiftMap()->height(), kHeight);
}

// Without an image a map file brings its own size; with one, a file of
// another size is refused and the map stays as it was.
TEST_F(BodyFixture, MapFileSizeRules)
{
  Body& b = *m_body;
  lctest::MessageCapture log;
  exec("calib_load_map " + writeMap(m_dir + "/small.emp", 5, 4));
  ASSERT_TRUE(b.shiftMap()->hasData());
  EXPECT_EQ(b.shiftMap()->width(), 5);
  EXPECT_CLOSE(b.shiftMapValueAt(4, 3), 0.4 - 0.6, 1e-3);
  EXPECT_CLOSE(b.shiftMapValueAt(5, 0), 0.0); // off the map

  ASSERT_TRUE(loadI1(makeStack("I1", 8), true));
  exec("calib_load_map " + writeMap(m_dir + "/other.emp", 6, 4));
  EXPECT_TRUE(log.has("Loading Energy Map size : 6 x 4 : is not matched to the current image "
                      "size : 32 x 24"));
  EXPECT_EQ(b.shiftMap()->width(), 5);
  // The image's size, but measured on the left half only: refused too.
  exec("calib_load_map " + writeMap(m_dir + "/half.emp", 32, 24, 16));
  EXPECT_TRUE(log.contains("Energy map not loaded: the energy-shift map (32 x 24, measured on 0 "
                           "0 16 24) does not cover the area (0 0 32 "));
  EXPECT_EQ(b.shiftMap()->width(), 5);

  lctest::writeFile(m_dir + "/bad.emp", "###LMCR\nWidth [pix]             : 1000000000\n");
  exec("calib_load_map " + m_dir + "/bad.emp");
  EXPECT_TRUE(log.has("Invalid Energy Map Data File : " + m_dir + "/bad.emp"));
  EXPECT_EQ(b.shiftMap()->width(), 5);
  EXPECT_CLOSE(b.shiftMapValueAt(4, 3), -0.2, 1e-3);
}

// One failed point in a map: the word replaces it by the mean of its
// neighbours and leaves the rest; with no map it refuses and reports once.
TEST_F(BodyFixture, RemoveOutliersReplacesAFailedPoint)
{
  Body& b = *m_body;
  QSignalSpy reports(m_body.get(), &Body::finishBatchCmd);
  lctest::MessageCapture log;
  exec("calib_remove_outliers");
  EXPECT_EQ(reports.size(), 1);
  EXPECT_TRUE(log.contains("calib_remove_outliers : no energy-shift map"));

  AnalyzeCond scan;
  scan.setup(kWidth, kHeight, 0, 0, 0, 0, kWidth, kHeight);
  QVector<double> shifts;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      shifts << (x == 10 && y == 5 ? 100.0 : 0.1 * x - 0.2 * y);
  const QString file = m_dir + "/outlier.emp";
  ASSERT_TRUE(writeEmpFile(file, EmpWriteInfo{ kEs, kSi111, "std.dat" }, scan, shifts));
  b.calibCtrl()->setEdgeEV(QString());
  exec("calib_load_map " + file);
  EXPECT_CLOSE(b.shiftMapValueAt(10, 5), 100.0, 0.1);
  exec("calib_remove_outliers");
  EXPECT_CLOSE(b.shiftMapValueAt(10, 5), 0.0, 1e-3);
  EXPECT_CLOSE(b.shiftMapValueAt(31, 0), 3.1, 1e-3);
}

// A map of the image's size: read back through the main window, saved and
// read again; the spectrum at a position takes the map's shift, and a
// non-empty EdgeEeV field reinterprets the angles against its energy.
TEST_F(BodyFixture, MapFileRoundTripAndTheShiftAtAPosition)
{
  Body& b = *m_body;
  ASSERT_TRUE(loadI1(makeStack("I1", 8), true));
  b.calibCtrl()->setEdgeEV(QString());
  exec("calib_load_map " + writeMap(m_dir + "/full.emp", kWidth, kHeight));
  EXPECT_CLOSE(b.shiftMapValueAt(10, 5), 1.0 - 1.0, 1e-3);
  EXPECT_CLOSE(b.shiftMapValueAt(31, 0), 3.1, 1e-3);
  exec("move_position 31 0");
  EXPECT_EQ(b.form()->EShiftOnTbl->text(), " 3.10");

  exec("calib_set_edge_eV 8979");
  exec("calib_save_map " + m_dir + "/again");
  exec("calib_clear_map");
  EXPECT_FALSE(b.shiftMap()->hasData());
  exec("move_position 31 0");
  EXPECT_EQ(b.form()->EShiftOnTbl->text(), " 0.00");
  exec("calib_load_map " + m_dir + "/again.emp");
  EXPECT_CLOSE(b.shiftMapValueAt(31, 0), 3.1, 2e-3);

  exec("calib_set_edge_eV 9100");
  exec("calib_load_map " + m_dir + "/full.emp");
  const double d = kSi111;
  const double dTheta = energy::angleOfEnergy(kEs - 3.1, d) - energy::angleOfEnergy(kEs, d);
  const double expected =
    9100.0 - energy::energyOfAngle(energy::angleOfEnergy(9100.0, d) + dTheta, d);
  EXPECT_CLOSE(b.shiftMapValueAt(31, 0), expected, 1e-3);
  EXPECT_GT(std::fabs(expected - 3.1), 0.01);
}

// select_disp_image 2 puts the shift map on view; 0 the frames again.
TEST_F(BodyFixture, ShiftMapOnView)
{
  Body& b = *m_body;
  Ui::Body& ui = *b.form();
  ASSERT_TRUE(loadI1(makeStack("I1", 8), true));
  exec("calib_load_map " + writeMap(m_dir + "/full.emp", kWidth, kHeight));
  exec("select_disp_image 2");
  EXPECT_TRUE(ui.ShowShiftMap->isChecked());
  EXPECT_TRUE(b.isMapShown());
  EXPECT_EQ(ui.dispA->image().size(), QSize(kWidth, kHeight));
  EXPECT_CLOSE(ui.CBar->minValue(), b.shiftMap()->min());
  exec("select_disp_image 0 1");
  EXPECT_FALSE(b.isMapShown());
  EXPECT_EQ(b.shownIndex(), b.i1List()->currentIndex());
}

// The suggested edge follows the element and the edge from the edge table.
TEST_F(BodyFixture, SuggestedEdgeFollowsElementAndEdge)
{
  Ui::Body& ui = *m_body->form();
  double fe = 0.0, feL3 = 0.0;
  ASSERT_TRUE(lookupEdgeEnergy("Fe", "K", fe));
  ASSERT_TRUE(lookupEdgeEnergy("Fe", "L3", feL3));
  exec("Suggesting_Elm Fe");
  EXPECT_EQ(ui.SuggestingEeV->text(), QString::number(fe, 'g', 6));
  exec("Suggesting_Edge 3");
  EXPECT_EQ(ui.SuggestingEeV->text(), QString::number(feL3, 'g', 6));
  exec("Suggesting_Edge_eV 123");
  exec("Suggest_Elm 1");
  EXPECT_EQ(ui.SuggestingEeV->text(), QString::number(feL3, 'g', 6));
  EXPECT_CLOSE(m_body->suggestedEdgeEV(), feL3);
  exec("Suggesting_Elm Xx"); // unknown: the field stays
  EXPECT_EQ(ui.SuggestingEeV->text(), QString::number(feL3, 'g', 6));
}

// A loaded standard reaches the main window's copy, which the map files
// and the shifts are measured against.
TEST_F(BodyFixture, StandardReachesTheMainWindow)
{
  const QString ref = m_dir + "/std.dat";
  QString text;
  for (int i = 0; i <= 60; ++i) {
    const double e = 8940.0 + 2.0 * i;
    text += QString("%1 %2\n").arg(e).arg(e < 8980.0 ? 0.1 : 1.1);
  }
  lctest::writeFile(ref, text.toUtf8());
  exec("calib_load_std " + ref);
  ASSERT_NE(m_body->standardSpectrum(), nullptr);
  EXPECT_CLOSE(m_body->calibStandardEdgeNow(), m_body->standardSpectrum()->midx);
  EXPECT_CLOSE(m_body->standardSpectrum()->midx, 8980.0, 2.0);
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
