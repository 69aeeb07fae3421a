#include "BodyFixture.h"
#include "analysis/AnalyzeCond.h"
#include "analysis/Analyzed2DRes.h"
#include "display/MapImages.h"
#include "gui/analysis/Analyzer.h"
#include "gui/analysis/LCFReference.h"

#include "Hdf5Writer.h"
#include "StackGen.h"
#include "support/MessageCapture.h"
#include "support/Tolerance.h"
#include "ui_Analyzer.h"
#include "ui_Body.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

#include <cmath>

using BodyAnalysisRun = BodyFixture;

// The whole road as a batch drives it: generated files through the loaders,
// the spectrum of every point built from the stacks, fitted on the worker,
// recorded in the maps. The command ends when the run is done, not before.
TEST_F(BodyAnalysisRun, FractionMapsOfALoadedStackAndTheBoundUntickedWithTheSum)
{
  stackgen::StackSpec plan;
  plan.width = 16;
  plan.height = 16;
  plan.shift = QVector<double>(16 * 16, 0.0);
  const QString dir = m_dir + "/gen";
  const stackgen::StackTruth truth = stackgen::generateStack(plan, dir, stackgen::Format::Tiff);
  ASSERT_TRUE(truth.ok);
  QSignalSpy reports(m_body.get(), &Body::finishBatchCmd);
  for (const char* list : { "I1", "I0" }) {
    exec(QString("load_%1_files_of_pattern NEW %2 %1_*.tif").arg(list, dir));
    ASSERT_TRUE(reports.wait(10000));
  }
  // Loading alone asks for no fit: no "Not fitted" line.
  QTest::qWait(200);
  EXPECT_FALSE(m_body->analyzer()->referenceNote().contains("Not fitted"));
  m_body->selectedDark(truth.darkFile);
  // Refused for want of references; the later run clears the line.
  const QLabel* refusal = m_body->analyzer()->findChild<QLabel*>(QStringLiteral("RefusalLine"));
  ASSERT_NE(refusal, nullptr);
  exec("analyzer_exec_LCF");
  QApplication::processEvents();
  EXPECT_FALSE(refusal->text().isEmpty());
  // One point per pixel.
  for (const QString& line : { QString("set_band_w 0"),
                               QString("set_band_h 0"),
                               "analyzer_set_LCF_std 0 1 0 " + truth.referenceFiles[0] + " 0",
                               "analyzer_set_LCF_std 1 1 0 " + truth.referenceFiles[1] + " 0" })
    exec(line);

  QSignalSpy finished(m_body.get(), &Body::finishBatchExec);
  bool mapDoneAtReport = false;
  QObject::connect(m_body.get(), &Body::finishBatchCmd, m_body.get(), [&] {
    const Analyzed2DRes* map = m_body->mapToSave();
    mapDoneAtReport = map && map->hasData();
  });
  const int before = reports.size();
  const quint64 seq = exec("analyzer_exec_LCF");
  EXPECT_EQ(reports.size(), before);
  ASSERT_TRUE(reports.wait(60000));
  QTest::qWait(50);
  EXPECT_EQ(finished.count(), 1);
  EXPECT_EQ(lastReport(reports), seq);
  EXPECT_TRUE(mapDoneAtReport);
  // Which reference and which kind, not the kind's bare number.
  EXPECT_EQ(m_body->form()->SaveTarget->text(),
            QStringLiteral("Save Data writes: LCF Ref 1 Fraction"));
  EXPECT_TRUE(refusal->text().isEmpty());
  EXPECT_TRUE(m_body->statusBar()->currentMessage().isEmpty());
  double err = 0.0;
  const Analyzed2DRes* map = m_body->analyzer()->references()[0]->map(1);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      err += std::fabs(map->valueAt(x, y) - truth.fractions[0][y * 16 + x]);
  EXPECT_LT(err / 256, 0.02);

  // The fraction map is on view: moving the colour bar's limits renders the
  // map again, not the frames.
  ASSERT_TRUE(m_body->isMapShown());
  const QImage shown = m_body->form()->dispA->image();
  m_body->form()->CBar->setLimits(0.45, 0.55);
  emit m_body->form()->CBar->cBarUpdated();
  EXPECT_NE(m_body->form()->dispA->image(), shown);
  EXPECT_EQ(m_body->form()->dispA->image(), m_body->mapImages().img(*map));

  // Unticking the sum by hand: the greyed bound does not stay ticked.
  const Analyzer* an = m_body->analyzer();
  exec("analyzer_set_LCF_constraint 1 1");
  EXPECT_TRUE(an->fitConditions().nonNegative);
  an->form()->LCFSumToOne->click();
  EXPECT_FALSE(an->form()->LCFNonNegative->isEnabled());
  EXPECT_FALSE(an->form()->LCFNonNegative->isChecked());
}

TEST(BodyAnalysis, CheckValsListsTheSelectedMap)
{
  Body body;
  Analyzed2DRes* map = body.analyzer()->currentMap();
  ASSERT_EQ(map, body.analyzer()->references()[0]->map(1));
  AnalyzeCond c;
  c.setup(2, 2, 0, 0, 0, 0, 2, 2);
  map->reset(c);
  map->setData(1, 0, 0, 0, 0.5);
  lctest::MessageCapture capture;
  body.showAnalyzedVals();
  const QStringList lines = capture.messages();
  ASSERT_EQ(lines.size(), 5);
  EXPECT_EQ(lines[0], "vals of LCF Ref 2");
  EXPECT_EQ(lines[2], "   1    0        0.500000        0.000000");
  EXPECT_EQ(lines[3], "   0    1        0.000000        0.000000");
}
