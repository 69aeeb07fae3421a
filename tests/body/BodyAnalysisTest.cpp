#include "BodyFixture.h"
#include "analysis/AnalyzeCond.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/ComponentRun.h"
#include "analysis/MapsRun.h"
#include "display/MapImages.h"
#include "gui/analysis/AElemsConds.h"
#include "gui/analysis/Analyzer.h"
#include "gui/analysis/ComponentsWindow.h"
#include "gui/analysis/ElemCtrl.h"
#include "gui/analysis/LCFReference.h"
#include "gui/batch/BatchCtrl.h"
#include "gui/input/EOFSetup.h"
#include "gui/input/SelectDataFiles.h"
#include "gui/spectrum/XafsFileSelect.h"
#include "session/Session.h"

#include "Hdf5Writer.h"
#include "StackGen.h"
#include "support/Maps.h"
#include "support/MessageCapture.h"
#include "support/Tolerance.h"
#include "ui_Analyzer.h"
#include "ui_Body.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

#include <cmath>

using BodyAnalysisRun = BodyFixture;

// A batch through the windows runs on the core executor against the main
// window's Session, and the windows follow: generated files loaded by the
// Session show in the lists and the view, a word's value shows in its
// field, a refused number in the status line, a refused run is counted,
// the run's fraction map comes on view, window-only words act, and every
// command ends once.
TEST_F(BodyAnalysisRun, ABatchRunsOnTheSessionAndTheWindowsFollow)
{
  stackgen::StackSpec plan;
  plan.width = 16;
  plan.height = 16;
  plan.shift = QVector<double>(16 * 16, 0.0);
  const QString dir = m_dir + "/gen";
  const stackgen::StackTruth truth = stackgen::generateStack(plan, dir, stackgen::Format::Tiff);
  ASSERT_TRUE(truth.ok);
  BatchExecutor& executor = m_body->batchExecutor();
  QSignalSpy ended(&executor, &BatchExecutor::commandEnded);
  QSignalSpy failed(&executor, &BatchExecutor::commandFailed);
  ASSERT_TRUE(exec(QStringList{ "eng_by_name_i1",
                                "eng_by_name_i0",
                                R"(set_i1_energy_pattern "(\d|)\d\d\d\d_\d\d\d\d")",
                                R"(set_i0_energy_pattern "(\d|)\d\d\d\d_\d\d\d\d")",
                                QString("load_I1_files_of_pattern NEW %1 I1_*.tif").arg(dir),
                                QString("load_I0_files_of_pattern NEW %1 I0_*.tif").arg(dir),
                                "set_band_w 2x",
                                "analyzer_exec_LCF" }));
  EXPECT_EQ(ended.count(), 8);
  ASSERT_EQ(failed.count(), 2);
  EXPECT_EQ(failed[0].at(0).toString(), "set_band_w 2x");
  EXPECT_TRUE(m_body->statusBar()->currentMessage().contains("2x is not a number"));
  // ... until the next batch starts from the batch window.
  m_body->batchCtrl()->findChild<QPushButton*>(QStringLiteral("Exec"))->click();
  EXPECT_TRUE(m_body->statusBar()->currentMessage().isEmpty());
  // The batch window's log says which commands failed and why, each under
  // its own line.
  QApplication::processEvents();
  const QString log = m_body->batchCtrl()->findChild<QPlainTextEdit*>("BatchLogs")->toPlainText();
  EXPECT_TRUE(log.contains("set_band_w : 2x\n  failed: set_band_w : 2x is not a number\n"))
    << qPrintable(log);
  EXPECT_TRUE(log.contains("analyzer_exec_LCF : \n  failed: ")) << qPrintable(log);
  EXPECT_EQ(m_body->i1List()->count(), m_body->i1Frames().size());
  EXPECT_GT(m_body->i1Frames().size(), 0);
  EXPECT_GE(m_body->shownIndex(), 0);
  // Loading alone asks for no fit: no "Not fitted" line.
  EXPECT_FALSE(m_body->analyzer()->referenceNote().contains("Not fitted"));
  m_body->selectedDark(truth.darkFile);
  ended.clear();
  ASSERT_TRUE(exec(QStringList{ "set_band_w 0",
                                "set_band_h 0",
                                "analyzer_set_LCF_std 0 1 0 " + truth.referenceFiles[0] + " 0",
                                "analyzer_set_LCF_std 1 1 0 " + truth.referenceFiles[1] + " 0",
                                "analyzer_exec_LCF" }));
  EXPECT_EQ(ended.count(), 5);
  EXPECT_EQ(failed.count(), 2);
  EXPECT_EQ(m_body->form()->HWidth->text(), "0");
  EXPECT_EQ(m_body->analyzer()->references()[1]->fileSelect()->fileName(), truth.referenceFiles[1]);
  // Which reference and which kind, not the kind's bare number.
  EXPECT_EQ(m_body->form()->SaveTarget->text(),
            QStringLiteral("Save Data writes: LCF Ref 1 Fraction"));
  double err = 0.0;
  const Analyzed2DRes* map = m_body->analyzer()->references()[0]->map(1);
  EXPECT_EQ(map, &*m_body->session().references()[0].fraction);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      err += std::fabs(map->valueAt(x, y) - truth.fractions[0][y * 16 + x]);
  EXPECT_LT(err / 256, 0.02);

  // The fraction map is on view: moving the colour bar's limits renders the
  // map again, not the frames.
  ASSERT_TRUE(m_body->isMapShown());
  EXPECT_EQ(m_body->form()->dispA->image(), m_body->mapImages().img(*map));
  const QImage shown = m_body->form()->dispA->image();
  ASSERT_TRUE(exec("cbar_set_range 0 1 0.45 0.55"));
  EXPECT_NE(m_body->form()->dispA->image(), shown);
  // The amount map chosen by a word shows in the buttons; a window-only
  // word puts the frames back on view.
  ASSERT_TRUE(exec(QStringList{ "analyzer_select_image_type 0 0", "select_disp_image 0" }));
  EXPECT_TRUE(m_body->analyzer()->form()->ShowAmount->isChecked());
  EXPECT_FALSE(m_body->isMapShown());
  // The list shows the energy options a word set: a load by hand starts
  // from them.
  ASSERT_TRUE(exec(QStringList{ "eng_by_name_factor_i1 2.5", "skip_i1 2" }));
  EXPECT_EQ(m_body->i1List()->eofSetup()->rule().factor, "2.5");
  EXPECT_EQ(m_body->i1List()->skip(), 2);

  // Unticking the sum by hand: the greyed bound does not stay ticked.
  const Analyzer* an = m_body->analyzer();
  ASSERT_TRUE(exec("analyzer_set_LCF_constraint 1 1"));
  EXPECT_TRUE(an->form()->LCFNonNegative->isChecked());
  EXPECT_TRUE(an->fitConditions().nonNegative);
  an->form()->LCFSumToOne->click();
  EXPECT_FALSE(an->form()->LCFNonNegative->isEnabled());
  EXPECT_FALSE(an->form()->LCFNonNegative->isChecked());

  // The element rows and conditions and the components window show the
  // Session's values and runs (the components window once showed a run of
  // its own, never the batch's).
  ASSERT_TRUE(exec(QStringList{ "analyzer_target_elements Cu",
                                "analyzer_elems_roi Cu-K 8990 9010",
                                "analyzer_elems_bg_dE 0.5",
                                "analyzer_exec_elems",
                                "analyzer_exec_pca 2" }));
  ASSERT_EQ(an->elems().size(), 1);
  EXPECT_EQ(an->elems()[0]->findChild<QLineEdit*>("ROIs")->text(), "8990");
  EXPECT_EQ(an->elemsConds()->findChild<QLineEdit*>("BGVDE")->text(), "0.5");
  EXPECT_TRUE(an->elems()[0]->map(ElemMapDMut)->hasData());
  const ComponentsWindow* win = m_body->componentsWindow();
  EXPECT_GT(win->varianceList()->count(), 0);
  const Analyzed2DRes* componentMap = m_body->componentRun()->maps().value(1);
  ASSERT_NE(componentMap, nullptr);
  EXPECT_GE(win->mapChoice()->findText("PCA Score 2"), 0);
  // Its list names the map on view, none while another is (a new run does
  // not claim its first map is shown).
  const Analyzed2DRes* before = m_body->session().currentMap();
  ASSERT_NE(before->name(), "PCA Score 1");
  EXPECT_EQ(win->mapChoice()->currentIndex(), -1);
  // A map chosen there is the Session's choice, and on view.
  ASSERT_TRUE(m_body->selectMapByName("PCA Score 2"));
  EXPECT_EQ(win->mapChoice()->currentText(), "PCA Score 2");
  EXPECT_EQ(m_body->session().currentMap(), componentMap);
  EXPECT_EQ(m_body->form()->dispA->image(), m_body->mapImages().img(*componentMap));
  EXPECT_EQ(m_body->form()->SaveTarget->text(), "Save Data writes: " + componentMap->label());

  // The residual button starts the Session's run: its maps equal the word's.
  an->form()->ExecRA->click();
  ASSERT_TRUE(QTest::qWaitFor([this] { return !m_body->raRun()->isRunning(); }, 20000));
  const Analyzed2DRes* ratio = m_body->session().ownMap(Session::RatiMap);
  ASSERT_TRUE(ratio->hasData());
  const QVector<double> fromWindow = ratio->data();
  ASSERT_TRUE(exec("analyzer_exec_ra"));
  EXPECT_EQ(ratio->data(), fromWindow);

  // A refused run's line stays through the failures after it and goes with
  // the next command that succeeds.
  const auto* refusal =
    an->findChild<QLabel*>(QStringLiteral("RefusalLine"), Qt::FindDirectChildrenOnly);
  ASSERT_TRUE(exec("select_region 500 500 10 10"));
  an->form()->ExecLCF->click();
  QApplication::processEvents();
  ASSERT_TRUE(exec("set_band_w x"));
  EXPECT_TRUE(refusal->text().contains("the area lies outside the image"));
  ASSERT_TRUE(exec("select_region 0 0 16 16"));
  EXPECT_TRUE(refusal->text().isEmpty());
}

TEST(BodyAnalysis, CheckValsListsTheSelectedMap)
{
  Body body;
  Analyzed2DRes* map = body.analyzer()->currentMap();
  ASSERT_EQ(map, body.analyzer()->references()[0]->map(1));
  map->reset(lctest::wholeArea(2, 2));
  map->setData(1, 0, 0, 0, 0.5);
  lctest::MessageCapture capture;
  body.showAnalyzedVals();
  const QStringList lines = capture.messages();
  ASSERT_EQ(lines.size(), 5);
  EXPECT_EQ(lines[0], "vals of LCF Ref 2");
  EXPECT_EQ(lines[2], "   1    0        0.500000        0.000000");
  EXPECT_EQ(lines[3], "   0    1        0.000000        0.000000");
}
