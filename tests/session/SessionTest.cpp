// The Session and the batch executor without windows: every word ends with
// one answer, refusals say why and change nothing, runs give the maps of
// the single-point path.

#include "session/Session.h"
#include "Hdf5Writer.h"
#include "StackGen.h"
#include "analysis/AnalyzeCond.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/ElemAnalysis.h"
#include "analysis/FourierRun.h"
#include "analysis/PointSpectra.h"
#include "batch/BatchExecutor.h"
#include "calibration/EmpFile.h"
#include "input/EnergyAssignment.h"
#include "input/TiffData.h"
#include "spectrum/EdgeTable.h"
#include "support/Maps.h"
#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr int kWidth = 8;
constexpr int kHeight = 6;
constexpr double kEs = 8979.0;
constexpr double kSi111 = 3.1355316;

// A map file of width x height whose shift at (x, y) is 0.1 x - 0.2 y eV
// (100 at `outlier`), measured on `measuredWidth` columns from the left.
QString writeMap(const QString& path,
                 int width,
                 int height,
                 int measuredWidth = -1,
                 QPoint outlier = QPoint(-1, -1))
{
  const AnalyzeCond scan =
    lctest::area(width, height, 0, 0, 0, 0, measuredWidth < 0 ? width : measuredWidth, height);
  QVector<double> shifts;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      shifts << (QPoint(x, y) == outlier ? 100.0 : 0.1 * x - 0.2 * y);
  EXPECT_TRUE(writeEmpFile(path, EmpWriteInfo{ kEs, kSi111, "std.dat" }, scan, shifts));
  return path;
}

class SessionTest : public ::testing::Test
{
protected:
  void SetUp() override { loadEdgeTable(); }
  // Frames 0..count-1 at firstEnergy + 1.5 eV steps; pixel (x, y) of frame
  // k holds 1000 + 10 k + x + 8 y.
  void loadStack(int count, double firstEnergy = 8950.0)
  {
    QVector<double> energies;
    for (int k = 0; k < count; ++k)
      energies << firstEnergy + 1.5 * k;
    const QStringList files = stackgen::writeSimpleStack(
      m_dir.path(),
      "I1",
      stackgen::Format::Tiff,
      kWidth,
      kHeight,
      energies,
      [](int x, int y, int k) { return quint32(1000 + 10 * k + x + kWidth * y); });
    run({ "eng_by_name_i1", "set_band_w 0", "set_band_h 0" });
    ASSERT_TRUE(m_session.loadFiles(true, files, true));
  }
  void run(const QStringList& lines)
  {
    for (const QString& line : lines)
      EXPECT_TRUE(execute(line)) << line.toStdString();
  }
  bool execute(const QString& line)
  {
    CmdLine c;
    c.line = line;
    return m_executor.execute(c);
  }
  QString path(const QString& name) const { return m_dir.filePath(name); }

  QTemporaryDir m_dir;
  Session m_session;
  BatchExecutor m_executor{ m_session };
};

} // namespace

// Each refusal answers false with its reason and the batch goes on; the
// window-only words are skipped with a line and count as done.
TEST_F(SessionTest, RefusalsSayWhyAndWindowWordsAreSkipped)
{
  struct Case
  {
    QString line;
    QString message;
  };
  const QString dir = m_dir.path();
  const Case before[] = {
    { "frobnicate 1 2", "Err: frobnicate 1 2" },
    { "calib_exec", "Calibration not started: no image loaded" },
    { "analyzer_exec_elems", "Element 2D analysis not started: no image loaded" },
    { "analyzer_exec_ra", "Residual absorption analysis not started: no image loaded" },
    { "analyzer_exec_LCF", "LCF 2D analysis not started: no image loaded" },
    { "analyzer_exec_pca 2", "PCA not started: no image loaded" },
    { "analyzer_set_LCF_std 70 1 0 x.dat 0", "No LCF reference 70" },
    // Only the row after the last (two) is added: no empty rows in between.
    { "analyzer_set_LCF_std 5 1 0 x.dat 0", "No LCF reference 5" },
    { "set_band_w 1000000000000", "set_band_w : 1000000000000 is too large" },
    { "set_band_w 2.5", "set_band_w : 2.5 is not a whole number" },
    { "load_hdf5_stack " + dir + "/nosuch.h5", "Can not open HDF5 file : " + dir + "/nosuch.h5" },
    { "calib_load_std " + dir + "/nosuch.dat",
      "Can't open spectrum file : " + dir + "/nosuch.dat" },
    { "save_spectra " + dir + "/s.dat", "No spectrum to save" },
    { "analyzer_select_image 42", "No image button 42" },
    { "analyzer_select_image_type 9 1", "No LCF reference 9" },
    { "analyzer_select_analysis_mode 5", "No analysis mode 5" },
    { "analyzer_elems_select_disp_mode 9", "No element display mode 9" },
    { "analyzer_elems_roi Fe-K 1 2", "No element row : Fe-K" },
    { "analyzer_select_map No Such Map", "No map named No Such Map" },
    { "save_data " + dir + "/none.dat", "No map to save" },
    { "save_data_as_tiff " + dir + "/none.tif", "No map to save" },
    { "calib_save_map " + dir + "/none", "calib_save_map : no energy-shift map" },
    { "eng_calc_delta_i1 0,5", "eng_calc_delta_i1 : 0,5 is not a number" },
    { "set_band_w 2x", "set_band_w : 2x is not a number" },
    { "set_band_h -3", "set_band_h : -3 is below 0" },
    { "cut_f_i1 -1", "cut_f_i1 : -1 is below 0" },
    { "cut_l_i0 -2", "cut_l_i0 : -2 is below 0" },
    { "skip_i1 -1", "skip_i1 : -1 is below 0" },
    { "select_region 0 0 -5 128", "select_region : -5 is below 0" },
    { "select_region 0 0 64 -1", "select_region : -1 is below 0" },
    { "analyzer_set_LCF_std 0 1 1O x.dat 0", "analyzer_set_LCF_std : 1O is not a number" },
    { "analyzer_set_ra_energy 8990eV", "analyzer_set_ra_energy : 8990eV is not a number" },
    { "analyzer_set_LCF_mode x", "analyzer_set_LCF_mode : x is not a number" },
    { "select_region 0 0 abc 128", "select_region : abc is not a number" },
    { "analyzer_exec_cluster 3 many", "analyzer_exec_cluster : many is not a number" },
    { "calib_set_edge_position midx",
      "calib_set_edge_position : unknown edge position midx (grid, interpolated or derivative)" },
    { "load_I1_files_of_pattern NEW " + dir + " nothing_*.tif", "No files to load" },
    { "load_I0_files_of_pattern NEW " + dir + "/absent I0_*.tif",
      "No such folder : " + dir + "/absent (pattern I0_*.tif)" },
    { "load_hdf5_stack", "load_hdf5_stack : no file name" },
    { "load_hdf5_stack x.h5 size=3", "load_hdf5_stack : unknown argument size=3" },
    { "analyzer_save_cluster_spectra " + dir + "/cl",
      "Cluster spectra not saved: no clusters computed" },
    { "calib_remove_outliers", "" },
    { "save_each_spectrum " + dir + "/none.dat", "Spectra not saved: no image loaded" },
  };
  const Session::StackOptions numbersBefore = m_session.stackOptions(true);
  const Session::StackOptions i0Before = m_session.stackOptions(false);
  const QRectF regionBefore = m_session.region;
  const double raBefore = m_session.raEnergy;
  for (const Case& c : before) {
    lctest::MessageCapture log;
    EXPECT_FALSE(execute(c.line)) << c.line.toStdString();
    EXPECT_TRUE(c.message.isEmpty() || log.has(c.message)) << c.message.toStdString();
    // One refusal, one line (an unreadable standard said it twice).
    if (c.line.startsWith("calib_load_std")) {
      EXPECT_EQ(log.messages().size(), 1) << log.messages().join('\n').toStdString();
    }
  }
  EXPECT_EQ(m_session.references().size(), 2u);
  // A refused number leaves the value before.
  EXPECT_CLOSE(m_session.stackOptions(true).rule.calc.Delta, numbersBefore.rule.calc.Delta, 1e-12);
  EXPECT_EQ(m_session.stackOptions(true).skip, numbersBefore.skip);
  EXPECT_EQ(m_session.stackOptions(true).cutFirst, numbersBefore.cutFirst);
  EXPECT_EQ(m_session.stackOptions(false).cutLast, i0Before.cutLast);
  EXPECT_EQ(m_session.region, regionBefore);
  EXPECT_CLOSE(m_session.raEnergy, raBefore, 1e-12);
  EXPECT_FALSE(m_session.mlcf);
  EXPECT_EQ(m_session.bandW, 10);
  EXPECT_EQ(m_session.bandH, 10);
  EXPECT_FALSE(QFile::exists(dir + "/none.emp"));
  EXPECT_FALSE(QFile::exists(dir + "/none-0.dat"));
  EXPECT_FALSE(m_session.runFourier());
  EXPECT_EQ(m_session.calibration().locate, EdgeLocate::Grid);

  loadStack(12);
  const Case after[] = {
    { "analyzer_exec_elems", "Element 2D analysis not started: no edges" },
    { "calib_exec",
      "Calibration not started: no standard (load a standard spectrum or type its edge "
      "energy)" },
    { "save_each_spectrum " + dir + "/x.dat spectra",
      "save_each_spectrum : unknown format spectra" },
    { "save_each_spectrum", "save_each_spectrum : no file name" },
    { "save_each_spectrum " + dir + "/no/folder/x.dat raw",
      "Can't open " + dir + "/no/folder/x.dat" },
    { "save_spectra " + dir + "/no/folder/s.dat",
      "Can't write spectrum file : " + dir + "/no/folder/s-T.dat" },
    { "analyzer_exec_pca 0", "PCA not started: the number of components must be at least 1" },
    { "analyzer_exec_cluster 1",
      "Cluster analysis not started: the number of clusters must be at least 2" },
    { "analyzer_exec_cluster 49",
      "Cluster analysis not started: 49 clusters but only 48 points in the area" },
  };
  for (const Case& c : after) {
    lctest::MessageCapture log;
    EXPECT_FALSE(execute(c.line)) << c.line.toStdString();
    EXPECT_TRUE(log.has(c.message)) << c.message.toStdString();
  }
  EXPECT_FALSE(m_session.shiftMap().hasData());

  // Cuts that leave no file say so, and the stack stays.
  {
    lctest::MessageCapture log;
    run({ "cut_f_i1 1000" });
    EXPECT_FALSE(execute("load_I1_files_of_pattern NEW " + dir + " I1_*.tif"));
    EXPECT_TRUE(
      log.has("Files not loaded: cutting the first 1000 and the last 0 of 12 files leaves none"));
    EXPECT_EQ(m_session.stack(true).size(), 12);
    run({ "cut_f_i1 0" });
  }

  // The documented pattern reads integer and fraction; a change of the rule
  // after loading is said once; a pattern whose match is no number refuses
  // the load and the stack stays.
  {
    const QStringList files = QDir(dir).entryList({ "I1_*.tif" }, QDir::Files, QDir::Name);
    lctest::MessageCapture log;
    run({ R"(set_i1_energy_pattern "_(\d+)_(\d+)\.")", R"(set_i1_energy_pattern "_\d+_")" });
    EXPECT_EQ(log.count("Energy set-up changed after loading: the 12 files loaded keep"), 1);
    EXPECT_FALSE(execute("load_I1_files_of_pattern NEW " + dir + " I1_*.tif"));
    EXPECT_TRUE(log.has("Files not loaded: the energy pattern _\\d+_ matches \"_08950_\" in " +
                        dir + "/" + files.first() + ", which is no number"));
    EXPECT_EQ(m_session.stack(true).size(), 12);
    run({ R"(set_i1_energy_pattern "_(\d+)_(\d+)\.")",
          "load_I1_files_of_pattern NEW " + dir + " I1_*.tif" });
    EXPECT_CLOSE(m_session.stack(true).at(1)->energy, 8951.5);
  }
  EXPECT_TRUE(execute("save_each_spectrum " + dir + "/each RAW_XAFS"));
  const QByteArray text = lctest::readFile(dir + "/each.dat");
  EXPECT_TRUE(text.startsWith("# Lumacresta Save Raw Xafs Spectra 1.0\n"));
  EXPECT_EQ(text.count('\n'), 7 + kWidth * kHeight);
  ASSERT_TRUE(m_session.runFourier());
  EXPECT_EQ(m_session.fourierResults().size(), 12);
  EXPECT_FALSE(m_session.runSumUp());    // no ranges
  EXPECT_FALSE(m_session.captureMap(1)); // the map on view holds nothing
  EXPECT_FALSE(m_session.processMaps());
  EXPECT_FALSE(m_session.ownMap(Session::Map1)->hasData());
  EXPECT_FALSE(m_session.runCorrelation());

  for (const char* word : { "zoom_in", "save_image x.png", "analyzer_show_window" }) {
    lctest::MessageCapture log;
    EXPECT_TRUE(execute(word));
    EXPECT_TRUE(log.contains(QString(word).section(' ', 0, 0) + ": needs the windows, skipped"));
  }
  lctest::MessageCapture log;
  m_executor.run({ "set_band_w 3", "no_such_word", "quit", "set_band_w 5" });
  EXPECT_EQ(m_session.bandW, 3);
  EXPECT_EQ(m_executor.failures(), 1);
  EXPECT_TRUE(m_executor.quitRequested());
}

// The element words build the rows and their conditions; the run's maps
// hold the single-point answer; sum-up and map processing from the maps.
TEST_F(SessionTest, ElementRunSumUpAndMapProcessing)
{
  loadStack(40, 7090.0);
  run({ "analyzer_target_elements \"Ni, Fe-K\"",
        "analyzer_elems_sort_by_an 1",
        "analyzer_elems_thdmut Fe-K -100",
        "analyzer_elems_set_deVs 10",
        "analyzer_elems_roi 0 7100 7120.0000001",
        "analyzer_elems_bg_dMut -2",
        "analyzer_set_elem_edge_position interpolated",
        "analyzer_select_analysis_mode 2",
        "analyzer_elems_select_disp_mode 4",
        "analyzer_exec_elems" });
  const auto& rows = m_session.elemRows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].cond.name, QStringLiteral("Fe-K")); // sorted by atomic number
  EXPECT_EQ(rows[1].maps[ElemMapRatio]->name(), QStringLiteral("Ni-K Elem Ctrl N"));
  EXPECT_CLOSE(rows[0].cond.dE, 10.0);
  EXPECT_EQ(rows[0].cond.roiEnd, 7120.0); // six digits, as the field
  std::vector<ElemResult> r(2);
  QVector<ElemCond> conds{ rows[0].cond, rows[1].cond };
  analyzeSpectrumElems0(m_session.analysisSpectra().at(4, 4, 0, 0),
                        conds,
                        0,
                        m_session.elemBackground,
                        r.data(),
                        EdgeLocate::Interpolated);
  EXPECT_EQ(rows[0].maps[ElemMapDMut]->valueAt(4, 4), r[0].dmut);
  EXPECT_EQ(rows[0].maps[ElemMapDE]->valueAt(4, 4), r[0].shift);
  // Ni's edge lies beyond the energies: below its threshold of 0.
  EXPECT_CLOSE(rows[1].maps[ElemMapDMut]->valueAt(4, 4), -2.0);
  EXPECT_EQ(m_session.currentMap(), rows[0].maps[ElemMapDE].get());
  EXPECT_TRUE(m_session.runCorrelation());
  // A correlation of one ratio with its standard would be a flat map.
  ASSERT_TRUE(m_session.setElemUse(QStringLiteral("Ni-K"), false));
  QString why;
  EXPECT_FALSE(m_session.runCorrelation(&why));
  EXPECT_EQ(why, QStringLiteral("Correlation map needs at least two elements"));
  ASSERT_TRUE(m_session.setElemUse(QStringLiteral("Ni-K"), true));
  // The scale reaches the map on view, with the value given.
  run({ "analyzer_set_scale_max 0.75 1" });
  EXPECT_TRUE(rows[0].maps[ElemMapDE]->fixedScale());
  EXPECT_CLOSE(rows[0].maps[ElemMapDE]->scaleMax(), 0.75);

  lctest::MessageCapture raLog;
  run({ "analyzer_set_ra_energy 7120",
        "analyzer_set_ra_factor 1",
        "analyzer_exec_ra",
        "analyzer_select_image 7" });
  EXPECT_EQ(m_session.currentMap(), m_session.ownMap(Session::RatiMap));
  // The ramp has no edge to take the lines from: every point is not fitted,
  // said once.
  for (const auto kind : { Session::RestMap, Session::DMutMap, Session::RatiMap })
    EXPECT_TRUE(std::isnan(m_session.ownMap(kind)->valueAt(4, 4)));
  EXPECT_EQ(raLog.count("Residual absorption analysis: points not fitted (NaN in the maps): 48 ("),
            1);
  // A map chosen by name counts until the next choice.
  run({ "analyzer_select_map Fe-K Elem Ctrl DE" });
  EXPECT_EQ(m_session.currentMap(), rows[0].maps[ElemMapDE].get());
  run({ "analyzer_select_image 8" });
  EXPECT_EQ(m_session.currentMap(), m_session.ownMap(Session::ZansaMap));

  // Frames 1, 2 and 4 (a range to itself adds nothing, numbers beyond the
  // stack are skipped).
  m_session.sumUpRanges = { { 1, 3 }, { 4, 4 }, { 38, 45 } };
  ASSERT_TRUE(m_session.runSumUp());
  const double px = 1000 + 3 + kWidth * 2;
  EXPECT_CLOSE(m_session.ownMap(Session::SumUpMap)->valueAt(3, 2), 4 * px + 10 * (1 + 2 + 38 + 39));

  // Mask keeps Map 1 where Map 2 is positive.
  run({ "analyzer_select_analysis_mode 3" });
  ASSERT_TRUE(m_session.captureMap(1));
  // A deep copy: the source changing later leaves the capture alone.
  const double summed = m_session.ownMap(Session::SumUpMap)->valueAt(3, 2);
  m_session.ownMap(Session::SumUpMap)->setData(3, 2, 0, 0, -1.0);
  EXPECT_CLOSE(m_session.ownMap(Session::Map1)->valueAt(3, 2), summed);
  run({ "analyzer_select_analysis_mode 2", "analyzer_elems_select_disp_mode 0" });
  ASSERT_TRUE(m_session.captureMap(2));
  m_session.procType = 2;
  ASSERT_TRUE(m_session.processMaps());
  const double mask = m_session.ownMap(Session::Map2)->valueAt(3, 2);
  EXPECT_CLOSE(m_session.ownMap(Session::ProcessedMap)->valueAt(3, 2),
               mask > 0 ? 4 * px + 800 : 0.0);
}

// The same generated stack as TIFF files and as one HDF5 file gives the
// same fraction maps; a file that cannot be
// read leaves the stacks alone.
TEST_F(SessionTest, Hdf5StackGivesTheFractionMapsOfItsTiffs)
{
  stackgen::StackSpec plan;
  plan.width = 12;
  plan.height = 10;
  plan.shift = QVector<double>(12 * 10, 0.0);
  const QString dir = path("gen");
  const stackgen::StackTruth truth = stackgen::generateStack(plan, dir, stackgen::Format::Tiff);
  ASSERT_TRUE(truth.ok);
  const QString h5 = dir + "/stack.h5";
  ASSERT_TRUE(stackgen::writeHdf5Stack(truth, h5));
  run({ "eng_by_name_i1",
        "eng_by_name_i0",
        "set_i1_energy_pattern \"\\d\\d\\d\\d\\d_\\d\\d\\d\\d\"",
        "set_i0_energy_pattern \"\\d\\d\\d\\d\\d_\\d\\d\\d\\d\"",
        "set_band_w 0",
        "set_band_h 0",
        "Use_I0 1",
        "analyzer_set_LCF_std 0 1 0 " + truth.referenceFiles[0] + " 0",
        "analyzer_set_LCF_std 1 1 0 " + truth.referenceFiles[1] + " 0",
        QString("load_I1_files_of_pattern NEW %1 I1_*.tif").arg(dir),
        QString("load_I0_files_of_pattern NEW %1 I0_*.tif").arg(dir) });
  ASSERT_TRUE(m_session.loadDark(truth.darkFile));
  const auto fractions = [&] {
    EXPECT_TRUE(execute("analyzer_exec_LCF"));
    return QVector<QVector<double>>{ m_session.references()[0].fraction->data(),
                                     m_session.references()[1].fraction->data() };
  };
  const QVector<QVector<double>> fromTiff = fractions();
  EXPECT_CLOSE(fromTiff[0][5], truth.fractions[0][5], 0.05);

  m_session.clearDark();
  run({ "load_hdf5_stack " + h5 });
  ASSERT_EQ(m_session.stack(false).size(), truth.energies.size());
  EXPECT_CLOSE(m_session.stack(true).at(3)->energy, truth.energies[3], 0.0);
  ASSERT_NE(m_session.dark(), nullptr);
  const QVector<QVector<double>> fromH5 = fractions();
  for (int k = 0; k < 2; ++k)
    for (int i = 0; i < 12 * 10; ++i)
      EXPECT_CLOSE(fromH5[k][i], fromTiff[k][i], 0.0);

  const TiffData* first = m_session.stack(true).at(0);
  for (const QString& line :
       { "load_hdf5_stack " + truth.darkFile, "load_hdf5_stack " + h5 + " data=/x" })
    EXPECT_FALSE(execute(line));
  EXPECT_EQ(m_session.stack(true).at(0), first);
}

// Shift-map files: without an image a map brings its size; with one, a map
// of another size, one not covering the area and a damaged file are
// refused and the map stays. Saved and read again it keeps its shifts; a
// typed edge energy reads the angles against that energy; one failed
// point is replaced by its neighbours' mean.
TEST_F(SessionTest, ShiftMapFilesAndTheStandard)
{
  const Analyzed2DRes& map = m_session.shiftMap();
  EXPECT_FALSE(execute("calib_remove_outliers"));
  run({ "calib_load_map " + writeMap(path("small.emp"), 5, 4) });
  EXPECT_EQ(map.width(), 5);
  EXPECT_CLOSE(map.valueAt(4, 3), 0.4 - 0.6, 1e-3);

  loadStack(8);
  const struct
  {
    QString file;
    QString message;
  } refused[] = {
    { writeMap(path("other.emp"), 6, 4),
      "Loading Energy Map size : 6 x 4 : is not matched to the current image size : 8 x 6" },
    { writeMap(path("half.emp"), kWidth, kHeight, 4),
      "Energy map not loaded: the energy-shift map (8 x 6, measured on 0 0 4 6) does not cover "
      "the area (0 0 8 6 of 8 x 6): calibrate again, load a matching map or clear it : " +
        path("half.emp") },
    { lctest::writeFile(path("bad.emp"), "###LMCR\nWidth [pix]             : 1000000000\n"),
      "Invalid Energy Map Data File : " + path("bad.emp") },
  };
  for (const auto& r : refused) {
    lctest::MessageCapture log;
    EXPECT_FALSE(execute("calib_load_map " + r.file));
    EXPECT_TRUE(log.has(r.message)) << r.message.toStdString();
    EXPECT_EQ(map.width(), 5);
  }
  // The map held is of another size: a run reading shifts is refused.
  {
    lctest::MessageCapture log;
    EXPECT_FALSE(execute("analyzer_exec_ra"));
    EXPECT_TRUE(log.contains("Residual absorption analysis not started: the energy-shift map"));
  }

  run({ "calib_load_map " + writeMap(path("full.emp"), kWidth, kHeight, -1, QPoint(3, 2)),
        "calib_remove_outliers" });
  EXPECT_CLOSE(map.valueAt(3, 2), 0.3 - 0.4, 1e-3);
  EXPECT_CLOSE(map.valueAt(7, 0), 0.7, 1e-3);
  run({ "calib_set_edge_eV 8979",
        "calib_save_map " + path("again"),
        "calib_clear_map",
        "calib_load_map " + path("again.emp"),
        "calib_set_edge_eV 9100",
        "calib_load_map " + path("full.emp") });
  const double dTheta =
    energy::angleOfEnergy(kEs - 0.7, kSi111) - energy::angleOfEnergy(kEs, kSi111);
  EXPECT_CLOSE(map.valueAt(7, 0),
               9100.0 -
                 energy::energyOfAngle(energy::angleOfEnergy(9100.0, kSi111) + dTheta, kSi111),
               1e-3);

  // The standard's edge fills the edge field; the suggested edge follows
  // the element and the edge from the edge table, not an unknown element.
  QString text;
  for (int i = 0; i <= 60; ++i)
    text += QString("%1 %2\n").arg(8940.0 + 2.0 * i).arg(8940.0 + 2.0 * i < 8980.0 ? 0.1 : 1.1);
  run({ "calib_load_std " + lctest::writeFile(path("std.dat"), text.toUtf8()) });
  EXPECT_CLOSE(m_session.calibration().edgeEV.toDouble(), 8980.0, 2.0);
  double feL3 = 0.0;
  ASSERT_TRUE(lookupEdgeEnergy("Fe", "L3", feL3));
  run({ "Suggesting_Elm Fe", "Suggesting_Edge 3", "Suggesting_Elm Xx" });
  EXPECT_EQ(m_session.suggestedEdgeEV, QString::number(feL3, 'g', 6));
}

// The map a save writes is the one the last choice names, as the analysis
// window decides it; the save writes that map's values, a TIFF under a
// ".dat" name still gets its bar picture.
TEST_F(SessionTest, SavedMapFollowsTheLastChoice)
{
  const AnalyzeCond c = lctest::wholeArea(4, 3);
  const auto fill = [&](Analyzed2DRes* m, double v) {
    m->reset(c);
    m->setData(0, 0, 0, 0, v);
    return m;
  };
  const auto& refs = m_session.references();
  Analyzed2DRes* zansa = fill(m_session.ownMap(Session::ZansaMap), 100.0);
  Analyzed2DRes* sumUp = fill(m_session.ownMap(Session::SumUpMap), 5.0);
  Analyzed2DRes* ref0 = fill(refs[0].fraction.get(), 3.0);
  Analyzed2DRes* ref1 = fill(refs[1].fraction.get(), 7.0);
  fill(refs[0].amount.get(), 9.0);
  const struct
  {
    const char* line;
    const Analyzed2DRes* shown;
  } steps[] = {
    { "analyzer_select_image 8", zansa },
    { "analyzer_select_image_type 1 1", ref1 },
    { "analyzer_select_image 8", zansa },
    { "analyzer_select_image 0", ref1 },  // the LCF section's maps again
    { "analyzer_select_image 6", zansa }, // "a2d DMut" holds nothing yet
    { "analyzer_select_image 3", sumUp },
    { "analyzer_select_image 4", m_session.ownMap(Session::Map1) },
    { "analyzer_select_image_type 0 1", ref0 },
    { "analyzer_select_image_type 0 0", refs[0].amount.get() },
    { "analyzer_select_image_type 5 1", refs[0].amount.get() }, // refused
  };
  for (const auto& step : steps) {
    execute(step.line);
    EXPECT_EQ(m_session.currentMap(), step.shown) << step.line;
  }
  run({ "analyzer_select_image_type 1 1",
        "saveDataCfg_save_as_text",
        "saveDataCfg_text_as_ssv",
        "save_data " + path("ref1.dat"),
        "saveDataCfg_save_as_tiff",
        "save_data " + path("pic.dat") });
  EXPECT_TRUE(lctest::readFile(path("ref1-0.dat")).startsWith("0 0 7\n"));
  EXPECT_TRUE(QFile::exists(path("pic-0.tif")));
  EXPECT_TRUE(QFile::exists(path("pic-0-cBar.png")));
  // The constraint word: the bound only with the sum.
  run({ "analyzer_set_LCF_constraint 0 1" });
  EXPECT_FALSE(m_session.fit.nonNegative);
  run({ "ANALYZER_SET_LCF_CONSTRAINT 1 1" });
  EXPECT_TRUE(m_session.fit.sumToOne && m_session.fit.nonNegative);
}

// The energy words set the rule a load reads the energies with; values the
// fields refuse leave them as they were.
TEST_F(SessionTest, EnergyWordsDriveTheRule)
{
  const energy::EnergyRule& rule = m_session.stackOptions(true).rule;
  run({ "eng_calc_disp_unit_i1 1", "eng_calc_base_i1 8", "eng_calc_delta_i1 0.001" });
  EXPECT_CLOSE(rule.energyOf("x", 25), 8025.0, 1e-9);
  run({ "eng_calc_disp_unit_i1 7" }); // no such unit
  EXPECT_EQ(rule.calc.unit, 1);
  run({ "eng_calc_disp_unit_i1 0",
        "eng_calc_even_in_deg_i1 1",
        "eng_calc_base_i1 8000",
        "eng_calc_end_i1 9000",
        "eng_calc_num_i1 1000" });
  EXPECT_FALSE(execute("eng_calc_num_i1 -5"));
  EXPECT_EQ(rule.calc.Num, 1000);
  EXPECT_CLOSE(rule.energyOf("x", 1000), 9000.0, 1e-6);
  run({ "eng_by_name_i1",
        "eng_by_name_reg_exp_i1 \"" + energy::patternPresets()[8] + "\"",
        "eng_by_name_factor_i1 1000" });
  EXPECT_CLOSE(rule.energyOf("Cu8_979500KeV.img", 0), 8979.5, 1e-9);
  run({ "eng_by_ref_i1 " + lctest::writeFile(path("angles.txt"), "9.5\n9.4\n") });
  EXPECT_CLOSE(rule.energyOf("a", 1), energy::energyOfAngle(9.4, rule.calc.d));
  run({ "eng_by_calc_i1 1" });
  EXPECT_CLOSE(rule.energyOf("a", 1000), 9000.0, 1e-6);
  // The I0 words set the I0 list's rule only.
  run({ "eng_calc_base_i0 7000" });
  EXPECT_CLOSE(m_session.stackOptions(false).rule.calc.Start, 7000.0);
  EXPECT_CLOSE(rule.calc.Start, 8000.0);
}
