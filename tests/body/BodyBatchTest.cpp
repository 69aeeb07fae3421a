#include "BodyFixture.h"

#include "analysis/Analyzed2DRes.h"
#include "gui/analysis/Analyzer.h"

#include "gui/batch/BatchCtrl.h"
#include "gui/input/SelectDataFiles.h"
#include "gui/output/SaveDataCfg.h"
#include "support/MessageCapture.h"
#include "support/Tolerance.h"

#include "ui_Body.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QSignalSpy>

#include <functional>

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
      [&] {
        return ui.dispA->isAreaSelected() && ui.dispA->selectedArea() == QRectF(2, 3, 10, 8);
      } },
    { "select_disp_image 0 0", [&] { return ui.ShowI0Data->isChecked(); } },
    { "saveDataCfg_text_as_ssv", [&] { return !cfg.commaSeparated(); } },
    { "saveDataCfg_text_as_vals", [&] { return !cfg.xyValue(); } },
    { "saveDataCfg_tiff_fix_scale 1", [&] { return cfg.tiffFixedScale(); } },
    { "saveDataCfg_tiff_scale_max 2.5", [&] { return lctest::near(cfg.tiffScaleMax(), 2.5); } },
    { "saveDataCfg_tiff_as_analyzed 1", [&] { return cfg.tiffAsAnalyzed(); } },
    // The scale reaches the map on view, with the value given, not the one
    // the field held before.
    { "analyzer_set_scale_max 0.75 1",
      [&] {
        const Analyzed2DRes* m = b.analyzer()->currentMap();
        return m->fixedScale() && lctest::near(m->scaleMax(), 0.75);
      } },
  };
  QSignalSpy reports(&b, &Body::finishBatchCmd);
  for (const Case& c : cases) {
    const quint64 seq = exec(c.line);
    EXPECT_TRUE(c.holds()) << c.line;
    EXPECT_EQ(lastReport(reports), seq) << c.line;
  }
}

// Lines with nothing to wait for end at once and the batch goes on: an
// unknown word is logged, remarks change nothing, commands without a target
// here and refusing targets say why; "quit" ends the program instead.
TEST_F(BodyFixture, LinesWithNothingToWaitForEndAtOnce)
{
  lctest::MessageCapture log;
  QSignalSpy reports(m_body.get(), &Body::finishBatchCmd);
  const QStringList lines = { "frobnicate 1 2",
                              "   # only a comment",
                              "calib_exec",
                              "analyzer_exec_elems",
                              "analyzer_exec_ra",
                              "load_I0_files NEW",
                              "load_I1_files_of_pattern NEW " + m_dir + " nothing_*.tif",
                              "load_I0_files_of_pattern NEW " + m_dir + "/absent I0_*.tif",
                              "analyzer_exec_LCF",
                              "analyzer_set_LCF_std 7 1 0 x.dat 0",
                              "analyzer_select_image 42",
                              "analyzer_select_image_type 9 1",
                              "save_data " + m_dir + "/none.dat",
                              "analyzer_set_ra_energy 8990.5" };
  for (const QString& line : lines) {
    const quint64 seq = exec(line);
    EXPECT_EQ(lastReport(reports), seq) << line.toStdString();
  }
  const quint64 remark = exec("set_band_w 7", true);
  EXPECT_EQ(lastReport(reports), remark);
  EXPECT_NE(m_body->form()->HWidth->text(), QString("7"));
  EXPECT_EQ(reports.size(), lines.size() + 1);

  const auto* batchLog = m_body->batchCtrl()->findChild<QPlainTextEdit*>("BatchLogs");
  EXPECT_TRUE(batchLog->toPlainText().startsWith("Err: "));
  EXPECT_EQ(log.count("No files to load"), 3);
  EXPECT_TRUE(log.has("No such folder : " + m_dir + "/absent (pattern I0_*.tif)"));
  for (const char* text : { "Err: frobnicate 1 2",
                            "LCF 2D analysis not started: no image loaded",
                            "No LCF reference 7",
                            "No LCF reference 9",
                            "No image button 42",
                            "No map to save" })
    EXPECT_TRUE(log.has(text)) << text;
  EXPECT_FALSE(QFile::exists(m_dir + "/none-0.dat"));

  QSignalSpy finishing(m_body.get(), &Body::finishing);
  exec("QUIT");
  EXPECT_EQ(finishing.size(), 1);
  EXPECT_EQ(reports.size(), lines.size() + 1);
}

// A load command ends once every image of its own load is in the stack; a
// load started by hand and ending first does not end it.
TEST_F(BodyFixture, LoadCommandReportsWhenItsOwnLoadIsDone)
{
  const QStringList byHand = makeStack("H", 3);
  const QStringList batch = makeStack("B", 6);
  QSignalSpy reports(m_body.get(), &Body::finishBatchCmd);
  int framesAtReport = -1;
  QObject::connect(m_body.get(), &Body::finishBatchCmd, m_body.get(), [&] {
    framesAtReport = m_body->i1Frames().size();
  });
  m_body->readI1Files(byHand, true);
  const quint64 seq = exec("load_I1_files add " + batch.join(' '));
  EXPECT_TRUE(reports.isEmpty());
  ASSERT_TRUE(reports.wait(10000));
  EXPECT_EQ(reports.size(), 1);
  EXPECT_EQ(lastReport(reports), seq);
  EXPECT_EQ(framesAtReport, 9);
}
