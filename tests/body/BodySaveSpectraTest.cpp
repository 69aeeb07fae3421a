#include "BodyFixture.h"

#include "analysis/FourierRun.h"
#include "analysis/PointRun.h"
#include "gui/analysis/Analyzer2.h"
#include "gui/display/ImgDispA.h"
#include "output/SpectraSaveRun.h"
#include "support/MessageCapture.h"
#include "support/TestData.h"

#include "ui_Analyzer2.h"
#include "ui_Body.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {

using BodySaveSpectra = BodyFixture;

} // namespace

TEST_F(BodySaveSpectra, RegionIsTheSelectionElseTheViewAndClearingTheStackStopsASave)
{
  ASSERT_TRUE(loadI1(makeStack("I1", 4), true));
  m_body->form()->HWidth->setText("1");
  m_body->form()->VWidth->setText("1");
  m_body->form()->SaveAsRaw->setChecked(true);
  // Nothing selected: the view, the whole image after a load.
  m_body->saveEachSpectrum(m_dir + "/view");
  m_body->spectraSaveRun()->engine().waitForEnd();
  QByteArray text = lctest::readFile(m_dir + "/view.dat");
  EXPECT_TRUE(text.contains("# X-Range (x0, x1), steps : 0 32 11\n"));
  EXPECT_TRUE(text.contains("# Y-Range (y0, y1), steps : 0 24 8\n"));
  // Raw lines: cx cy, then (E, I1 box sum) per frame.
  EXPECT_TRUE(text.contains("\n1 1 8970 "));

  m_body->form()->dispA->setSelectedArea(4, 2, 14, 8);
  m_body->saveEachSpectrum(m_dir + "/sel.txt");
  m_body->spectraSaveRun()->engine().waitForEnd();
  text = lctest::readFile(m_dir + "/sel.txt");
  EXPECT_TRUE(text.contains("# X-Range (x0, x1), steps : 4 14 3\n"));
  EXPECT_TRUE(text.contains("# Y-Range (y0, y1), steps : 2 8 2\n"));
  EXPECT_TRUE(text.contains("\n5 3 8970 "));

  ASSERT_TRUE(loadI1(makeStack("I1", 6), true));
  QSignalSpy ended(m_body->spectraSaveRun(), &SpectraSaveRun::ended);
  m_body->saveEachSpectrum(m_dir + "/stopped.dat");
  m_body->clearI1Files();
  ASSERT_EQ(ended.count(), 1);
  EXPECT_FALSE(ended.first().first().toBool());
  EXPECT_FALSE(QFile::exists(m_dir + "/stopped.dat"));
}

TEST_F(BodySaveSpectra, FourierAndQInformation)
{
  lctest::MessageCapture log;
  m_body->execFourierA(); // no image: nothing at all
  EXPECT_FALSE(log.contains(QStringLiteral("2da FA")));

  ASSERT_TRUE(loadI1(makeStack("I1", 5), true));
  m_body->analyzer2()->form()->FourierA->click();
  m_body->fourierRun()->engine().waitForEnd();
  EXPECT_TRUE(log.has(QStringLiteral("2da FA 1:")));
  EXPECT_EQ(log.count(QStringLiteral("Res ")), 5);

  // The Q-information request arrives queued, with the current area.
  m_body->form()->dispA->setSelectedArea(2, 3, 12, 9);
  m_body->analyzer2()->form()->CollectQInfo->click();
  EXPECT_FALSE(log.has(QStringLiteral("do collect Q Info")));
  QTest::qWait(20);
  EXPECT_TRUE(log.has(QStringLiteral("do collect Q Info")));
  AnalyzeCond ac;
  ASSERT_TRUE(m_body->askAnalyzeCond(ac));
  EXPECT_EQ(m_body->analyzer2()->lastArea().x0, ac.x0);
  EXPECT_EQ(m_body->analyzer2()->lastArea().y1, ac.y1);
}
