#include "BodyFixture.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/Analyzer.h"
#include "analysis/LCFReference.h"

#include "StackGen.h"
#include "support/Tolerance.h"
#include "ui_Body.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>

using BodyAnalysisRun = BodyFixture;

// The whole road: generated files through the loaders, the spectrum of every
// point built from the stacks, fitted on the worker, recorded in the maps.
TEST_F(BodyAnalysisRun, FractionMapsOfALoadedStack)
{
  stackgen::StackSpec plan;
  plan.width = 16;
  plan.height = 16;
  plan.shift = QVector<double>(16 * 16, 0.0);
  const stackgen::StackTruth truth =
    stackgen::generateStack(plan, m_dir + "/gen", stackgen::Format::Tiff);
  ASSERT_TRUE(truth.ok);
  ASSERT_TRUE(loadI1(truth.i1Files, true));
  ASSERT_TRUE(loadI0(truth.i0Files, true));
  m_body->selectedDark(truth.darkFile);
  Analyzer* a = m_body->analyzer();
  for (int i = 0; i < 2; ++i)
    ASSERT_TRUE(a->setLCFStd(i, true, 0.0, truth.referenceFiles[i], "0"));

  // One point per pixel.
  m_body->form()->HWidth->setText("0");
  m_body->form()->VWidth->setText("0");
  QSignalSpy finished(m_body.get(), &Body::finishBatchExec);
  m_body->startLCF2DAnalysis();
  ASSERT_TRUE(finished.wait(60000));
  QTest::qWait(50);
  EXPECT_EQ(finished.count(), 1);
  EXPECT_FALSE(m_body->isAnalysisRunning());
  double err = 0.0;
  const Analyzed2DRes* map = a->references()[0]->map(1);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      err += std::fabs(map->valueAt(x, y) - truth.fractions[0][y * 16 + x]);
  EXPECT_LT(err / 256, 0.02);

  // The fraction map is on view: moving the colour bar's limits renders the
  // map again, not the frames.
  ASSERT_TRUE(m_body->isMapShown());
  const QImage before = m_body->form()->dispA->image();
  m_body->form()->CBar->setLimits(0.45, 0.55);
  emit m_body->form()->CBar->cBarUpdated();
  EXPECT_TRUE(m_body->isMapShown());
  EXPECT_EQ(m_body->form()->dispA->image().size(), before.size());
  EXPECT_NE(m_body->form()->dispA->image(), before);
  EXPECT_EQ(m_body->form()->dispA->image(), map->img());
}
