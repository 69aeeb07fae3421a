#include "analysis/AnalyzeCond.h"
#include "analysis/Analyzed2DRes.h"
#include "display/MapImages.h"
#include "gui/analysis/AElemsConds.h"
#include "gui/analysis/Analyzer.h"
#include "gui/analysis/ElemCtrl.h"
#include "session/Session.h"
#include "spectrum/EdgeTable.h"

#include "support/MessageCapture.h"
#include "support/Tolerance.h"
#include "ui_Analyzer.h"

#include <gtest/gtest.h>

#include <QRadioButton>
#include <QSignalSpy>

namespace {

void fill(Analyzed2DRes& m, const QVector<double>& v, int w, int h)
{
  AnalyzeCond c;
  c.setup(w, h, 0, 0, 0, 0, w, h);
  m.reset(c);
  for (int i = 0; i < v.size(); ++i)
    m.setData(i % w, i / w, 0, 0, v[i]);
}

} // namespace

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
  EXPECT_CLOSE(a.elems()[1]->ratio(), 0.5);
  EXPECT_EQ(cor.count(), 0); // no standard yet: nothing to compare
  a.setElemsStd();           // no run yet: no maps to correlate
  EXPECT_CLOSE(a.elems()[1]->stdRatio(), 0.5);
  a.calcCorrelation();
  ASSERT_EQ(cor.count(), 1);
  EXPECT_CLOSE(cor.at(0).at(0).toDouble(), 1.0);
  EXPECT_EQ(a.form()->ElemsCorrelation->text(), QStringLiteral("1"));
}

TEST(AnalyzerElems, CorrelationMapNeedsTwoElements)
{
  loadEdgeTable();
  const struct
  {
    const char* names;
    bool refused;
  } cases[] = { { "Fe", true }, { "Fe, Ni", false } };
  for (const auto& c : cases) {
    MapImages images;
    Session session;
    Analyzer a(session, images);
    a.setTargetElements(QString::fromLatin1(c.names));
    a.newElems();
    for (ElemCtrl* e : a.elems())
      fill(*e->map(ElemMapRatio), { 1, 2, 3, 4 }, 2, 2);
    lctest::MessageCapture log;
    a.recalcCorMap();
    EXPECT_EQ(log.contains("Correlation map needs at least two elements"), c.refused) << c.names;
    EXPECT_EQ(a.ownMap(Session::ElemsCorMap)->hasData(), !c.refused) << c.names;
  }
}

TEST(AnalyzerTools, CaptureAndMaskOverBlockSums)
{
  MapImages images;
  Session session;
  Analyzer a(session, images);
  EXPECT_TRUE(a.form()->ProcTypeSub->isChecked()); // shown beside the chosen map
  EXPECT_TRUE(a.form()->ShowMap1->isChecked());
  fill(*a.ownMap(Session::ZansaMap), { 1, 2, 3, 4, 5, 6 }, 3, 2);
  a.ownMap(Session::ZansaMap)->setName(QStringLiteral("a2d Zansa"));
  a.form()->ShowZansa->setChecked(true);
  images.genImg(*a.ownMap(Session::ZansaMap));
  a.captureAsMap1();
  EXPECT_EQ(a.form()->Map1Name->text(), QStringLiteral("a2d Zansa"));
  EXPECT_EQ(a.ownMap(Session::Map1)->data(), a.ownMap(Session::ZansaMap)->data());
  // The captured map comes with a picture, as the one it copies.
  EXPECT_EQ(images.img(*a.ownMap(Session::Map1)), images.img(*a.ownMap(Session::ZansaMap)));
  fill(*a.ownMap(Session::Map2), { 1, 0, -1, 2, 0, 0 }, 3, 2);
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
}
