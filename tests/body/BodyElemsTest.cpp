#include "BodyFixture.h"
#include "analysis/Analyzed2DRes.h"
#include "gui/analysis/Analyzer.h"
#include "gui/analysis/ElemCtrl.h"
#include "analysis/MapsRun.h"
#include "gui/analysis/SumUpCtrl.h"
#include "gui/calibration/CalibCtrl.h"
#include "display/MapImages.h"
#include "spectrum/EdgeTable.h"

#include "support/MessageCapture.h"
#include "support/Tolerance.h"
#include "ui_Body.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using BodyElems = BodyFixture;

namespace {

// Number of finishBatchCmd reports carrying `seq`.
int reportsOf(const QSignalSpy& spy, quint64 seq)
{
  int n = 0;
  for (const QList<QVariant>& args : spy)
    n += args.at(0).toULongLong() == seq ? 1 : 0;
  return n;
}

} // namespace

// Every refusal still reports its command's end, once.
TEST_F(BodyElems, RunsThatCannotStartReportOnce)
{
  QSignalSpy reports(m_body.get(), &Body::finishBatchCmd);
  lctest::MessageCapture log;
  quint64 seq = exec("analyzer_exec_elems");
  EXPECT_EQ(reportsOf(reports, seq), 1);
  EXPECT_TRUE(log.contains("Element 2D analysis not started: no image loaded"));
  seq = exec("analyzer_exec_ra");
  EXPECT_EQ(reportsOf(reports, seq), 1);
  // A word the edge-position choice does not know changes nothing.
  seq = exec("calib_set_edge_position midx");
  EXPECT_EQ(reportsOf(reports, seq), 1);
  EXPECT_TRUE(log.contains("calib_set_edge_position : unknown edge position midx (grid, "
                           "interpolated or derivative)"));
  EXPECT_EQ(m_body->calibCtrl()->edgeLocate(), EdgeLocate::Grid);
  exec("calib_set_edge_position Derivative");
  EXPECT_EQ(m_body->calibCtrl()->edgeLocate(), EdgeLocate::DerivativePeak);

  ASSERT_TRUE(loadI1(makeStack("I1", 12), true));
  seq = exec("analyzer_exec_elems"); // no edges entered
  EXPECT_EQ(reportsOf(reports, seq), 1);
  EXPECT_TRUE(log.contains("Element 2D analysis not started: no edges"));
  QTest::qWait(20);
  EXPECT_EQ(reportsOf(reports, seq), 1);

  m_body->doSumUp(); // no ranges
  EXPECT_TRUE(log.contains("Sum Up: no image ranges"));
  EXPECT_FALSE(m_body->analyzer()->ownMap(Analyzer::SumUpMap)->hasData());
}

TEST_F(BodyElems, ElementAndResidualRunsReportAtTheirEnd)
{
  loadEdgeTable();
  ASSERT_TRUE(loadI1(makeStack("I1", 40, 7090.0), true));
  QSignalSpy reports(m_body.get(), &Body::finishBatchCmd);
  for (const char* line : { "set_band_w 1",
                            "set_band_h 1",
                            "analyzer_target_elements \"Fe-K, Ni\"",
                            "analyzer_elems_thdmut Fe-K -100",
                            "analyzer_elems_set_deVs 10",
                            "analyzer_elems_roi 0 7100 7120",
                            "analyzer_elems_bg_dMut -2",
                            "analyzer_set_elem_edge_position interpolated",
                            "analyzer_select_analysis_mode 2",
                            "analyzer_elems_select_disp_mode 0" })
    exec(line);
  Analyzer* an = m_body->analyzer();
  ASSERT_EQ(an->elems().size(), 2);
  EXPECT_CLOSE(an->elemConditions()[0].dE, 10.0);
  EXPECT_CLOSE(an->elemConditions()[0].roiEnd, 7120.0);
  EXPECT_CLOSE(an->elemBackground().dmut, -2.0);

  quint64 seq = exec("analyzer_exec_elems");
  EXPECT_EQ(reportsOf(reports, seq), 0);
  ASSERT_TRUE(reports.wait(20000));
  EXPECT_EQ(reportsOf(reports, seq), 1);
  EXPECT_EQ(an->elemsProgressText(), QStringLiteral("100.00"));
  const Analyzed2DRes* fe = an->elems()[0]->map(ElemMapDMut);
  ASSERT_TRUE(fe->hasData());
  // The map holds the one-point answer of a point.
  std::vector<ElemResult> r(2);
  analyzeSpectrumElems0(m_body->analysisSpectrumAt(4, 4, 1, 1),
                        an->elemConditions(),
                        0,
                        an->elemBackground(),
                        r.data(),
                        EdgeLocate::Interpolated);
  EXPECT_EQ(an->elemEdgeLocate(), EdgeLocate::Interpolated);
  EXPECT_EQ(fe->valueAt(4, 4), r[0].dmut);
  EXPECT_EQ(an->elems()[0]->map(ElemMapDE)->valueAt(4, 4), r[0].shift);
  // Ni's edge lies beyond the energies: below its threshold of 0.
  EXPECT_CLOSE(an->elems()[1]->map(ElemMapDMut)->valueAt(4, 4), -2.0);
  EXPECT_EQ(an->currentMap(), fe);

  exec("analyzer_set_ra_energy 7120");
  exec("analyzer_set_ra_factor 1");
  seq = exec("analyzer_exec_ra");
  EXPECT_EQ(reportsOf(reports, seq), 0);
  ASSERT_TRUE(reports.wait(20000));
  EXPECT_EQ(reportsOf(reports, seq), 1);
  exec("analyzer_select_image 7");
  EXPECT_EQ(an->currentMap(), an->ownMap(Analyzer::RatiMap));
  EXPECT_TRUE(m_body->mapImages().imageValid(*an->currentMap()));
  const XafsSpectrum s = m_body->analysisSpectrumAt(4, 4, 1, 1);
  EXPECT_CLOSE(an->ownMap(Analyzer::RestMap)->valueAt(4, 4),
               2 * s.preValue(7120.0) - s.postValue(7120.0));

  // Deglitch from the window: the processed copy of the shown map.
  m_body->form()->ShowProcImg->setChecked(true);
  m_body->deglitch();
  EXPECT_TRUE(an->currentMap()->procImgSelected());
}

TEST_F(BodyElems, SumUpAddsTheRangesFrames)
{
  ASSERT_TRUE(loadI1(makeStack("I1", 5), true));
  exec("set_band_w 0");
  exec("set_band_h 0");
  SumUpCtrl* ranges = m_body->analyzer()->sumUpCtrl();
  ranges->setFields(1, 3);
  ranges->add();
  ranges->setFields(4, 4); // adds nothing
  ranges->add();
  ranges->setFields(4, 9); // frame 4 only
  ranges->add();
  QSignalSpy ended(m_body->sumUpRun(), &MapsRun::ended);
  const QString here = QDir::currentPath();
  QDir::setCurrent(m_dir); // "sumUpImg.png" goes into the working folder
  m_body->doSumUp();
  const bool done = ended.count() == 1 || ended.wait(10000);
  const bool saved = QFile::exists(QStringLiteral("sumUpImg.png"));
  QDir::setCurrent(here);
  ASSERT_TRUE(done);
  EXPECT_TRUE(saved);
  const Analyzed2DRes* map = m_body->analyzer()->ownMap(Analyzer::SumUpMap);
  const int x = 3, y = 2, px = 1000 + x + kWidth * y;
  EXPECT_CLOSE(map->valueAt(x, y), double(3 * px + 10 * (1 + 2 + 4)));
  ranges->del();
  EXPECT_EQ(ranges->ranges().size(), 2);
}
