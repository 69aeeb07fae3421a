#include "analysis/AnalyzeCond.h"
#include "analysis/Analyzed2DRes.h"
#include "display/MapImages.h"
#include "gui/analysis/AElemsConds.h"
#include "gui/analysis/Analyzer.h"
#include "gui/analysis/ElemCtrl.h"
#include "gui/analysis/SumUpCtrl.h"
#include "session/Session.h"
#include "spectrum/EdgeTable.h"

#include "support/Maps.h"
#include "support/MessageCapture.h"
#include "support/Tolerance.h"
#include "ui_Analyzer.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>

TEST(AnalyzerElems, SingleSpectrumStandardAndCorrelation)
{
  loadEdgeTable();
  MapImages images;
  Session session;
  Analyzer a(session, images);
  a.setTargetElements(QStringLiteral("Fe, Ni"));
  a.newElems();
  ASSERT_EQ(a.elems().size(), 2);
  const double fe = a.elemConditions()[0].e0;
  const double ni = a.elemConditions()[1].e0;
  SpectrumPoints p;
  for (double e = 6900.0; e <= 8600.0; e += 5.0)
    p.append(e, 1.0 + (e >= fe ? 0.5 : 0.0) + (e >= ni ? 0.25 : 0.0));
  const XafsSpectrum s(p, QStringLiteral("one"), 1, 0.0, -1.0, -10.0, 10.0);
  a.selectAnalysisMode(Analyzer::ElemSection);
  QSignalSpy cor(&a, &Analyzer::setNewCorrelation);
  a.analyzeAndShowSpectrum(s, -1.0);
  ASSERT_EQ(a.lastElemResults().size(), 2);
  EXPECT_CLOSE(a.lastElemResults()[1].ratio, 0.5);
  EXPECT_EQ(cor.count(), 0); // no standard yet: nothing to compare
  {
    lctest::MessageCapture log; // no run yet: no maps to correlate, said
    a.setElemsStd();
    EXPECT_TRUE(log.contains("No element maps to correlate"));
  }
  EXPECT_CLOSE(session.elemRows()[1].cond.stdRatio, 0.5);
  EXPECT_EQ(a.elems()[1]->findChild<QLineEdit*>(QStringLiteral("StdRatio"))->text(),
            QStringLiteral("0.5"));
  a.calcCorrelation();
  ASSERT_EQ(cor.count(), 1);
  EXPECT_CLOSE(cor.at(0).at(0).toDouble(), 1.0);
  EXPECT_EQ(a.form()->ElemsCorrelation->text(), QStringLiteral("1"));

  // The rows are views: a field writes the Session's row, a Session change
  // (a batch word) shows in the fields; new names give new rows.
  ElemCtrl* niRow = a.elems()[1];
  niRow->findChild<QLineEdit*>(QStringLiteral("ROIs"))->setText(QStringLiteral("8310"));
  EXPECT_CLOSE(session.elemRows()[1].cond.roiStart, 8310.0);
  ASSERT_TRUE(session.setElemRoi(QStringLiteral("Ni-K"), 8300.25, 8320));
  ASSERT_TRUE(session.setElemNoNeg(QStringLiteral("Ni-K"), true));
  ASSERT_TRUE(session.selectElemTarget(QStringLiteral("Ni-K")));
  session.elemBackground.roi = 0.75;
  session.corTh = 0.5;
  session.setElemsDE(12.5); // says the change of all three
  EXPECT_EQ(niRow->findChild<QLineEdit*>(QStringLiteral("ROIs"))->text(),
            QStringLiteral("8300.25"));
  EXPECT_EQ(niRow->findChild<QLineEdit*>(QStringLiteral("DE"))->text(), QStringLiteral("12.5"));
  EXPECT_TRUE(niRow->findChild<QCheckBox*>(QStringLiteral("NoNeg"))->isChecked());
  EXPECT_TRUE(niRow->targetButton()->isChecked());
  EXPECT_EQ(a.targetIndex(), 1);
  EXPECT_EQ(a.form()->CorTh->text(), QStringLiteral("0.5"));
  EXPECT_EQ(a.elemsConds()->findChild<QLineEdit*>(QStringLiteral("BGVROI"))->text(),
            QStringLiteral("0.75"));
  a.elemsConds()->findChild<QLineEdit*>(QStringLiteral("BGVDMut"))->setText(QStringLiteral("-3"));
  EXPECT_CLOSE(session.elemBackground.dmut, -3.0);
  // The read-outs show the Session's last answer; new rows have none.
  EXPECT_EQ(niRow->findChild<QLineEdit*>(QStringLiteral("Ratio"))->text(), QStringLiteral("0.5"));
  session.setTargetElements(QStringLiteral("Cu"));
  EXPECT_TRUE(a.lastElemResults().isEmpty());
  ASSERT_EQ(a.elems().size(), 1);
  EXPECT_TRUE(a.elems()[0]->findChild<QLineEdit*>(QStringLiteral("Ratio"))->text().isEmpty());
  EXPECT_EQ(a.elems()[0]->name(), QStringLiteral("Cu-K"));
  EXPECT_EQ(a.form()->AElemNames->text(), QStringLiteral("Cu"));
  EXPECT_EQ(a.currentMap(), session.elemRows()[0].maps[ElemMapDMut].get());
}

TEST(AnalyzerTools, CaptureAndMaskOverBlockSums)
{
  MapImages images;
  Session session;
  Analyzer a(session, images);
  EXPECT_TRUE(a.form()->ProcTypeSub->isChecked()); // shown beside the chosen map
  EXPECT_TRUE(a.form()->ShowMap1->isChecked());
  lctest::fillMap(*a.ownMap(Session::ZansaMap), 3, { 1, 2, 3, 4, 5, 6 });
  a.ownMap(Session::ZansaMap)->setName(QStringLiteral("a2d Zansa"));
  a.form()->ShowZansa->setChecked(true);
  images.genImg(*a.ownMap(Session::ZansaMap));
  a.captureAsMap1();
  EXPECT_EQ(a.form()->Map1Name->text(), QStringLiteral("a2d Zansa"));
  EXPECT_EQ(a.ownMap(Session::Map1)->data(), a.ownMap(Session::ZansaMap)->data());
  // The captured map comes with a picture, as the one it copies.
  EXPECT_EQ(images.img(*a.ownMap(Session::Map1)), images.img(*a.ownMap(Session::ZansaMap)));
  lctest::fillMap(*a.ownMap(Session::Map2), 3, { 1, 0, -1, 2, 0, 0 });
  a.form()->ProcTypeMask->setChecked(true);
  // No main window answers: one point per pixel of Map 1.
  ASSERT_TRUE(a.processMaps());
  const Analyzed2DRes* out = a.ownMap(Session::ProcessedMap);
  EXPECT_TRUE(images.imageValid(*out)); // drawn when the tool ended
  EXPECT_CLOSE(out->valueAt(0, 1), 4.0);
  a.form()->ProcTypeDiv->setChecked(true);
  a.form()->ShowProcessedMap->click(); // viewing leaves the operation chosen
  EXPECT_TRUE(a.form()->ProcTypeDiv->isChecked());
  ASSERT_TRUE(a.processMaps());
  EXPECT_CLOSE(out->valueAt(2, 0), -3.0);

  // The sum-up ranges are the Session's: the window adds and removes them
  // and lists what the Session holds.
  SumUpCtrl& sumUp = *a.sumUpCtrl();
  sumUp.setFields(2, 5);
  sumUp.add();
  sumUp.setFields(7, 9);
  sumUp.add();
  sumUp.list()->setCurrentIndex(0);
  sumUp.del();
  EXPECT_EQ(session.sumUpRanges, SumUpRanges({ { 7, 9 } }));
  session.sumUpRanges.append({ 1, 3 });
  sumUp.showRanges();
  ASSERT_EQ(sumUp.list()->count(), 2);
  EXPECT_EQ(sumUp.list()->itemText(1), QStringLiteral("1-3"));
}
