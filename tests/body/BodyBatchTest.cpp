#include "BodyFixture.h"

#include "support/MessageCapture.h"
#include "support/Tolerance.h"
#include "batch/BatchCtrl.h"
#include "batch/CmdLine.h"
#include "StackGen.h"
#include "analysis/Analyzed2DRes.h"
#include "input/SelectDataFiles.h"
#include "input/TiffData.h"
#include "output/SaveDataCfg.h"

#include "ui_Body.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include <functional>

namespace {

quint64 g_seq = 1000;

// Sends one line as the interpreter would, with a fresh sequence number.
quint64 exec(Body& body, const QString& line, bool inRem = false)
{
  CmdLine c = parseCmdLine(line);
  c.substLine = joinCmdLine(c.cmd, c.args);
  c.seq = ++g_seq;
  body.execCmdSlot(c, inRem);
  return c.seq;
}

quint64 lastReport(const QSignalSpy& spy)
{
  return spy.isEmpty() ? 0 : spy.last().at(0).value<quint64>();
}

} // namespace

// Each implemented command writes the field of its window; each reports
// its end at once with its own sequence number.
TEST_F(BodyFixture, CommandsDriveTheirWindowFields)
{
  Body& b = *m_body;
  Ui::Body& ui = *b.form();
  SaveDataCfg& cfg = *b.saveDataCfg();
  struct Case
  {
    const char* line;
    std::function<bool()> holds;
  };
  const Case cases[] = {
    { "set_band_w 3", [&] { return ui.HWidth->text() == "3"; } },
    { "SET_BAND_H 4", [&] { return ui.VWidth->text() == "4"; } },
    { "Use_I0 1", [&] { return ui.UseI0->isChecked(); } },
    { "set_fluo_type 1", [&] { return ui.FluoType->isChecked(); } },
    { "skip_i1 3", [&] { return b.i1List()->skip() == 3; } },
    { "cut_f_i0 2", [&] { return b.i0List()->cutFirst() == 2; } },
    { "cut_l_i1 5", [&] { return b.i1List()->cutLast() == 5; } },
    { "show_latest_i0 0", [&] { return !b.i0List()->showLatest(); } },
    { "Suggesting_Elm Zn", [&] { return ui.SuggestingElm->text() == "Zn"; } },
    { "Suggesting_Edge_eV 9659", [&] { return ui.SuggestingEeV->text() == "9659"; } },
    { "Suggesting_Pre_End_eV -30", [&] { return ui.DPreE->text() == "-30"; } },
    { "Suggesting_Post_Start_eV 40", [&] { return ui.DPostS->text() == "40"; } },
    { "select_region 2 3 10 8",
      [&] { return ui.dispA->isAreaSelected() && ui.dispA->selectedArea() == QRectF(2, 3, 10, 8); } },
    { "select_disp_image 0 0", [&] { return ui.ShowI0Data->isChecked(); } },
    { "saveDataCfg_save_as_text", [&] { return !cfg.saveAsTiff(); } },
    { "saveDataCfg_text_as_ssv", [&] { return !cfg.commaSeparated(); } },
    { "saveDataCfg_text_as_vals", [&] { return !cfg.xyValue(); } },
    { "saveDataCfg_tiff_fix_scale 1", [&] { return cfg.tiffFixedScale(); } },
    { "saveDataCfg_tiff_scale_max 2.5", [&] { return lctest::near(cfg.tiffScaleMax(), 2.5); } },
    { "saveDataCfg_tiff_as_analyzed 1", [&] { return cfg.tiffAsAnalyzed(); } },
  };
  QSignalSpy reports(&b, &Body::finishBatchCmd);
  for (const Case& c : cases) {
    const quint64 seq = exec(b, c.line);
    EXPECT_TRUE(c.holds()) << c.line;
    EXPECT_EQ(lastReport(reports), seq) << c.line;
  }
  EXPECT_EQ(reports.size(), int(std::size(cases)));
}

TEST_F(BodyFixture, RemarksAndBlankLinesEndAtOnceAndChangeNothing)
{
  QSignalSpy reports(m_body.get(), &Body::finishBatchCmd);
  exec(*m_body, "set_band_w 7", true);
  EXPECT_NE(m_body->form()->HWidth->text(), QString("7"));
  exec(*m_body, "   # only a comment");
  EXPECT_EQ(reports.size(), 2);
}

TEST_F(BodyFixture, UnknownWordIsLoggedAndTheBatchGoesOn)
{
  QSignalSpy reports(m_body.get(), &Body::finishBatchCmd);
  const quint64 seq = exec(*m_body, "frobnicate 1 2");
  EXPECT_EQ(lastReport(reports), seq);
  const auto* log = m_body->batchCtrl()->findChild<QPlainTextEdit*>("BatchLogs");
  EXPECT_TRUE(log->toPlainText().startsWith("Err: "));
}

TEST_F(BodyFixture, CommandsWithoutTargetSayNotAvailableAndEnd)
{
  lctest::MessageCapture log;
  QSignalSpy reports(m_body.get(), &Body::finishBatchCmd);
  for (const char* line : { "calib_exec", "analyzer_exec_elems", "analyzer_exec_ra" })
    exec(*m_body, line);
  EXPECT_EQ(reports.size(), 3);
  EXPECT_TRUE(log.has("calib_exec : not available in this version"));
}

// The next line may run only once every image is in the stack.
TEST_F(BodyFixture, LoadCommandReportsWhenTheLoaderIsDone)
{
  const QStringList files = makeStack("L", 6);
  QSignalSpy reports(m_body.get(), &Body::finishBatchCmd);
  int framesAtReport = -1;
  QObject::connect(m_body.get(), &Body::finishBatchCmd, m_body.get(),
          [&] { framesAtReport = m_body->i1Frames().size(); });
  const quint64 seq = exec(*m_body, QString("load_I1_files_of_pattern new %1 L_*.tif").arg(m_dir));
  EXPECT_TRUE(reports.isEmpty());
  ASSERT_TRUE(reports.wait(10000));
  EXPECT_EQ(lastReport(reports), seq);
  EXPECT_EQ(framesAtReport, 6);
}

// A load started by hand ends first; only the batch's own load ends the
// command.
TEST_F(BodyFixture, LoadByHandDoesNotEndTheBatchLoad)
{
  const QStringList byHand = makeStack("H", 3);
  const QStringList batch = makeStack("B", 4);
  QSignalSpy reports(m_body.get(), &Body::finishBatchCmd);
  m_body->readI1Files(byHand, true);
  const quint64 seq = exec(*m_body, "load_I1_files add " + batch.join(' '));
  ASSERT_TRUE(reports.wait(10000));
  EXPECT_EQ(reports.size(), 1);
  EXPECT_EQ(lastReport(reports), seq);
  EXPECT_EQ(m_body->i1Frames().size(), 7);
}

TEST_F(BodyFixture, LoadWithoutFilesSaysSoAndEnds)
{
  lctest::MessageCapture log;
  QSignalSpy reports(m_body.get(), &Body::finishBatchCmd);
  exec(*m_body, "load_I0_files NEW");
  exec(*m_body, QString("load_I1_files_of_pattern NEW %1 nothing_*.tif").arg(m_dir));
  EXPECT_EQ(reports.size(), 2);
  EXPECT_EQ(log.count("No files to load"), 2);
}

TEST_F(BodyFixture, QuitEmitsFinishingInsteadOfAReport)
{
  QSignalSpy reports(m_body.get(), &Body::finishBatchCmd);
  QSignalSpy finishing(m_body.get(), &Body::finishing);
  exec(*m_body, "QUIT");
  EXPECT_EQ(finishing.size(), 1);
  EXPECT_TRUE(reports.isEmpty());
}

namespace {

// A two-component stack with its references, the I1 and I0 lists reading
// the energies from the names.
stackgen::StackTruth generatedStack(const QString& dir, int w, int h)
{
  stackgen::StackSpec plan;
  plan.width = w;
  plan.height = h;
  plan.noise = false;
  return stackgen::generateStack(plan, dir, stackgen::Format::Tiff);
}

void sendLines(Body& b, const QStringList& lines)
{
  for (const QString& l : lines)
    exec(b, l);
}

} // namespace

// analyzer_exec_LCF ends when the run over the area is done, not before.
TEST_F(BodyFixture, LcfRunCommandReportsAtTheEndOfTheRun)
{
  const QString dir = m_dir + "/lcf";
  const stackgen::StackTruth t = generatedStack(dir, 12, 10);
  ASSERT_TRUE(t.ok);
  QSignalSpy reports(m_body.get(), &Body::finishBatchCmd);
  sendLines(*m_body, { "Use_I0 1", "select_region 0 0 12 10", "set_band_w 1", "set_band_h 1",
                       "analyzer_set_LCF_std 0 1 0 " + t.referenceFiles[0] + " 0",
                       "analyzer_set_LCF_std 1 1 0 " + t.referenceFiles[1] + " 0" });
  for (const char* list : { "i1", "i0" })
    exec(*m_body, QString("set_%1_energy_pattern \"\\d\\d\\d\\d\\d_\\d\\d\\d\\d\"").arg(list));
  exec(*m_body, QString("load_I1_files_of_pattern NEW %1 I1_*.tif").arg(dir));
  ASSERT_TRUE(reports.wait(10000));
  exec(*m_body, QString("load_I0_files_of_pattern NEW %1 I0_*.tif").arg(dir));
  ASSERT_TRUE(reports.wait(10000));
  const int before = reports.size();
  bool mapDoneAtReport = false;
  QObject::connect(m_body.get(), &Body::finishBatchCmd, m_body.get(), [&] {
    const Analyzed2DRes* map = m_body->mapToSave();
    mapDoneAtReport = map && map->hasData();
  });
  const quint64 seq = exec(*m_body, "analyzer_exec_LCF");
  EXPECT_EQ(reports.size(), before);
  ASSERT_TRUE(reports.wait(30000));
  EXPECT_EQ(lastReport(reports), seq);
  EXPECT_TRUE(mapDoneAtReport);

  // The fraction map of reference 0 saved as text: 4 x 4 points (centres
  // 1, 4, 7, 10 and 1, 4, 7), close to the truth.
  sendLines(*m_body, { "analyzer_select_image_type 0 1", "saveDataCfg_save_as_text",
                       "saveDataCfg_text_as_xyz", "save_data " + dir + "/f.dat" });
  QFile f(QString("%1/f-%2.dat").arg(dir).arg(m_body->mapIndex()));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = f.readAll().trimmed().split('\n');
  EXPECT_EQ(lines.size(), 12);
  const QList<QByteArray> first = lines[0].split(',');
  ASSERT_EQ(first.size(), 3);
  EXPECT_CLOSE(first[2].toDouble(), 1.0 - 1.0 / 11.0, 0.08);

  // As TIFF: the map's 16-bit samples, and the colour bar only under its
  // own name.
  sendLines(*m_body, { "saveDataCfg_save_as_tiff", "save_data " + dir + "/f.tif" });
  const QString tif = QString("%1/f-%2.tif").arg(dir).arg(m_body->mapIndex());
  TiffData data;
  ASSERT_TRUE(data.read(tif));
  EXPECT_EQ(data.width, 12u);
  EXPECT_EQ(data.height, 10u);
  EXPECT_TRUE(QFile::exists(QString("%1/f-%2-cBar.tif").arg(dir).arg(m_body->mapIndex())));
}

// A refused run (no references) still ends the command.
TEST_F(BodyFixture, RefusedLcfRunEndsTheCommandAtOnce)
{
  QSignalSpy reports(m_body.get(), &Body::finishBatchCmd);
  const quint64 seq = exec(*m_body, "analyzer_exec_LCF");
  EXPECT_EQ(lastReport(reports), seq);
  EXPECT_EQ(reports.size(), 1);
}

// Targets that refuse say so, and the batch goes on.
TEST_F(BodyFixture, RefusingTargetsStillEndTheirCommands)
{
  lctest::MessageCapture log;
  QSignalSpy reports(m_body.get(), &Body::finishBatchCmd);
  sendLines(*m_body, { "analyzer_set_LCF_std 7 1 0 x.dat 0", "analyzer_select_image 42",
                       "analyzer_select_image_type 9 1", "save_data " + m_dir + "/none.dat",
                       "analyzer_set_ra_energy 8990.5" });
  EXPECT_EQ(reports.size(), 5);
  EXPECT_TRUE(log.has("No LCF reference 7"));
  EXPECT_TRUE(log.has("No LCF reference 9"));
  EXPECT_TRUE(log.has("No image button 42"));
  EXPECT_TRUE(log.has("No map to save"));
  EXPECT_FALSE(QFile::exists(m_dir + "/none-0.dat"));
  EXPECT_FALSE(QFile::exists(m_dir + "/none-0.tif"));
}
