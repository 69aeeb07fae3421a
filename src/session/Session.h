#pragma once

#include "analysis/ElemAnalysis.h"
#include "analysis/LcfFit.h"
#include "analysis/MapKernels.h"
#include "display/ColorMap.h"
#include "input/EnergyAssignment.h"
#include "output/SpectraScanGrid.h"
#include "spectrum/EdgePosition.h"
#include "spectrum/XafsSpectrum.h"
#include "stack/FrameStack.h"

#include <QObject>
#include <QPoint>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

struct AnalyzeCond;
class Analyzed2DRes;
class ComponentRun;
class FourierRun;
struct FourierRes;
class MapsRun;
class PointRun;
class TiffData;
struct MapSamples16;
struct EnergyShiftView;
struct Hdf5StackNames;
struct PointSpectra;
struct LcfRunSetup;
struct LcfRunMaps;
struct StackView;

// One measurement and its analysis without any window: the stacks and how
// their energies are read, the area and band, the calibration and its
// shift map, the LCF references and their maps, and the save options, all
// as plain values. Its operations are those the batch words name; each
// returns when it is done (runs go over the points on the engine's threads
// while this waits), true when it did what was asked, false after one
// debug line saying why. The state before a refused operation stays.
//
// Defaults are those of the windows when they open, so a batch gives the
// same files here as in the windows.
class Session : public QObject
{
  Q_OBJECT

public:
  // The maps no row owns, in the analysis window's order.
  enum OwnMap
  {
    ZansaMap = 0,
    DMutMap,
    RestMap,
    RatiMap,
    ElemsCorMap,
    ElemsCorThMap,
    SumUpMap,
    ProcessedMap,
    Map1,
    Map2,
    OwnMapCount
  };
  // The name a map of that slot carries ("a2d Zansa", ...).
  static QString ownMapName(OwnMap which);
  // The sections of the analysis window; the shown map follows the one
  // chosen.
  enum Section
  {
    LcfSection = 0,
    ResidualSection,
    ElemSection,
    SumUpSection,
    ProcMapsSection
  };
  // ---- Plain values ----
  // How the energy of each loaded file is found, and which files of a list
  // are read (every `skip`-th, without the first `cutFirst` and the last
  // `cutLast`).
  struct StackOptions
  {
    energy::EnergyRule rule;
    int skip = 1;
    int cutFirst = 0;
    int cutLast = 0;
  };
  struct Calibration
  {
    QString stdFile; // as named; empty while none is loaded
    std::unique_ptr<XafsSpectrum> standard;
    bool stdVictoreen = false;    // standard normalised with Victoreen lines
    bool targetVictoreen = false; // the points' spectra likewise
    bool innerPointType = false;
    QString edgeEV; // the edge field; the standard's edge on load
    EdgeLocate locate = EdgeLocate::Grid;
    double spacing = 3.1355316; // Si(111)
  };
  // One LCF reference row.
  struct Reference
  {
    QString file;
    XafsSpectrum spectrum; // normalised as `victoreen` says; empty: not loaded
    double dE = 0.0;
    bool dEActive = false;
    bool use = false;
    bool victoreen = false;
    std::unique_ptr<Analyzed2DRes> amount;   // "LCF Ref 1"
    std::unique_ptr<Analyzed2DRes> fraction; // "LCF Ref 2"
    RefSnapshot snapshot() const;
  };
  enum class SaveKind
  {
    Tiff,
    Text,
    Hdf5
  };
  struct SaveOptions
  {
    SaveKind kind = SaveKind::Tiff;
    bool tiffFixedScale = false;
    double tiffScaleMin = 0.0;
    double tiffScaleMax = 10.0;
    bool tiffAsAnalyzed = false;
    bool commaSeparated = true;
    bool xyValue = true;
  };

  explicit Session(QObject* parent = nullptr);
  ~Session() override;

  // Threads of every run (0: every hardware thread).
  void setThreads(int threads) { m_threads = threads; }
  int threads() const { return m_threads; }

  // ---- Stacks ----
  StackOptions& stackOptions(bool isI1) { return isI1 ? m_i1Options : m_i0Options; }
  const FrameStack& stack(bool isI1) const { return isI1 ? m_i1 : m_i0; }
  void clearStack(bool isI1);
  // Reads `files` into the stack (after clearing it with `replace`); false
  // when no file was read, or, the stack staying, when the energy rule
  // cannot give them energies (EnergyRule::refusal).
  bool loadFiles(bool isI1, const QStringList& files, bool replace);
  // Says once (a line) when a list's energy rule no longer gives the loaded
  // files the energies they were given; call after changing a rule.
  void noteEnergyRules();
  // Replaces both stacks (and the dark frame, when the file has one) by
  // the stack of one HDF5 file with its energies; a file that fails
  // leaves everything as it was.
  bool loadHdf5Stack(const QString& file, const Hdf5StackNames& names);
  // The dark frame subtracted from every frame; a file that cannot be read
  // changes nothing.
  bool loadDark(const QString& file);
  void clearDark();
  // The spectrum files of the main window: the background spectrum and the
  // total-I0 spectra of the I1 and of the I0 files.
  enum SpectrumFile
  {
    BackgroundFile = 0,
    TotalI0ofI1File,
    TotalI0ofI0File,
    SpectrumFileCount
  };
  // Reads the file and normalises it (Victoreen lines when `victoreen`);
  // a total-I0 file's points are logged, and that of the I1 files gives
  // `totalI0`. A file that cannot be read leaves the spectrum as it was.
  bool loadSpectrumFile(SpectrumFile which, const QString& file, bool victoreen);
  void clearSpectrumFile(SpectrumFile which);
  // nullptr while none is loaded.
  const XafsSpectrum* spectrumFile(SpectrumFile which) const;
  const TiffData* dark() const { return m_dark.get(); }
  // The total-I0 spectrum's intensities of the I1 files, by frame; empty:
  // none.
  QVector<double> totalI0;
  // A frame read elsewhere (the windows' loader threads) joins the stack
  // with the energy it carries; the image's size is that of the first I1
  // frame.
  void appendFrame(bool isI1, std::unique_ptr<TiffData> frame);
  void setDark(std::unique_ptr<TiffData> dark);
  int width() const { return m_width; }
  int height() const { return m_height; }
  bool useI0 = false;
  bool fluorescence = false;

  // ---- Area and normalisation ----
  int bandW = 10; // half widths of a point's box
  int bandH = 10;
  // x, y, width, height; an empty rectangle means the whole image.
  QRectF region;
  bool suggestElm = false;
  QString suggestedElement = QStringLiteral("Cu");
  int suggestedEdgeIndex = 0; // K, L1, L2, L3
  QString suggestedEdgeEV = QStringLiteral("8979");
  // The edge energy follows the element and the edge where the table
  // knows them; otherwise it stays.
  void refreshSuggestedEdge();
  bool energyCorrection = false; // Victoreen lines for the points' spectra
  // The pre-edge end and post-edge start fields (eV from the edge); they
  // count with the suggested edge only.
  QString preEdgeEnd = QStringLiteral("-20");
  QString postEdgeStart = QStringLiteral("20");

  // ---- The spectrum at the position ----
  QPoint position;
  // The box at the position, normalised as the spectrum window shows it,
  // on the energy scale the shift map gives there.
  XafsSpectrum spectrumAtPosition() const;
  // The spectrum window's curves: "<file>-T.<suffix>" (the position's) and
  // "<file>-std.<suffix>" (the calibration standard), each while there is
  // one; false when nothing was written.
  bool saveSpectra(const QString& file) const;

  // ---- Calibration ----
  Calibration& calibration() { return m_calib; }
  const Calibration& calibration() const { return m_calib; }
  // Reads and normalises the standard; the edge field follows it.
  // A refusal's line goes to `why` when given (the window that asked shows
  // and logs it), else to the log.
  bool loadStandard(const QString& file, QString* why = nullptr);
  bool calibrate();
  // The calibration started on `run` (the windows' own, which watch it and
  // may stop it) without waiting for its end: the shift map is made anew
  // over the area and filled as the points arrive. False when refused: the
  // reason is logged and, untranslated, put in `why`.
  bool startCalibration(PointRun& run, QString* why = nullptr);
  // The run's end in the log.
  void finishCalibration();
  bool saveShiftMap(const QString& file) const;
  // Reads the shift map file aside, then takes it unless it leaves the area
  // without shifts; a refusal's line goes to `shownWhy` in the window's
  // language when given (it is logged either way).
  bool loadShiftMap(const QString& file, QString* shownWhy = nullptr);
  // An energy-shift map file read into `map` (its own raster; shifts
  // against the edge field, else the file's standard edge). The map stays
  // as it was when the file cannot be read or does not fit the images.
  bool readShiftMapFile(const QString& file, Analyzed2DRes& map) const;
  void clearShiftMap();
  // Refused, with a line, while there is no shift map.
  bool removeShiftOutliers();
  const Analyzed2DRes& shiftMap() const { return *m_shiftMap; }
  // For the windows' own calibration run and the map's picture.
  Analyzed2DRes& shiftMap() { return *m_shiftMap; }

  // ---- LCF ----
  const std::vector<Reference>& references() const { return m_refs; }
  // Row `row` (from 0, below kMaxReferences), rows up to it added: the
  // analysis window's rows edit it in place.
  Reference& reference(int row) { return this->row(row); }
  // Reads the row's file and normalises it as the row's Victoreen flag
  // says; a file that cannot be read or holds fewer than two points leaves
  // the row as it was (false, one line).
  bool loadReference(int row, const QString& file);
  // Row `row` (from 0; rows up to it are added) takes the file and its
  // options; false for a row number outside 0 .. kMaxReferences - 1.
  static constexpr int kMaxReferences = 64;
  bool setReference(int row, bool use, double dE, const QString& file, bool victoreen);
  bool mlcf = false;
  FitConditions fit; // the range and the constraints
  bool runLcf();
  // What an LCF run over the area reads and writes, as values and the
  // Session's maps (the windows start their own run with it); false
  // without an image (`ac` is then not set and the run refuses).
  bool lcfSetup(AnalyzeCond& ac, LcfRunSetup& setup, LcfRunMaps& maps) const;

  // ---- Residual absorption ----
  double raEnergy = 8200.0; // eV
  double raFactor = 1.0;
  // "a2d DMut" and "a2d Rest" over the area, then "a2d Rati" from them.
  bool runResidual();
  // The residual run started on `run` (the windows' own, which watch it
  // and may stop it) without waiting for its end; false when it was refused
  // (the run has said so and ended). `outside` gets the line saying that
  // the energy lies outside the stack's energies (empty when inside).
  bool startResidual(MapsRun& run, QString* outside = nullptr);
  // "a2d Rati" from the ended run's "a2d DMut" and "a2d Rest".
  void finishResidual();

  // ---- Element analysis ----
  // One edge row: its conditions as the fields hold them (six digits) and
  // its seven maps (ElemMapKind order).
  struct ElemRow
  {
    ElemCond cond;
    std::unique_ptr<Analyzed2DRes> maps[ElemMapCount];
  };
  const std::vector<ElemRow>& elemRows() const { return m_elems; }
  // "Target Element Names": the rows are built again from the text, the
  // first one target and shown.
  void setTargetElements(const QString& text);
  const QString& targetElements() const { return m_elemNames; }
  // Rows ordered by atomic number; a change rebuilds them.
  void setSortByAtomicNumber(bool f);
  bool sortByAtomicNumber() const { return m_sortByAN; }
  // A row by its name ("Fe-K", any letter case) or its number (from 0);
  // -1 otherwise.
  int elemIndexOf(const QString& item) const;
  // Each refuses, with a line, an item that names no row.
  bool selectElemTarget(const QString& item);
  bool selectElemShown(const QString& item);
  bool setElemUse(const QString& item, bool use);
  bool setElemRoi(const QString& item, double start, double end);
  bool setElemThDMut(const QString& item, double threshold);
  bool setElemNoNeg(const QString& item, bool noNeg);
  bool setElemStdRatio(const QString& item, double ratio);
  void setElemsDE(double dE);
  int elemTarget() const { return m_elemTarget; }
  int shownElem() const { return m_shownElem; }
  // The map kind shown (0..6 a row's map, 7 "a2d ElemsCor", 8 "a2d
  // ElemsCorTh"); the element section becomes the one shown.
  bool selectElemDisplay(int kind);
  double corTh = 0.9;
  ElemBackground elemBackground;
  EdgeLocate elemLocate = EdgeLocate::Grid;
  // The seven maps of every row over the area.
  bool runElems();
  // "a2d ElemsCor" and "a2d ElemsCorTh" from the rows' ratio maps and
  // their standard ratios; refused with fewer than two rows in use. The
  // refusal's line goes to `why` when given (the window shows and logs
  // it), else to the log.
  bool runCorrelation(QString* why = nullptr);
  // The element run started on `run` (the windows' own, which watch it and
  // may stop it) without waiting for its end; false when it was refused
  // (the run has said so and ended).
  bool startElems(MapsRun& run);
  // The last single spectrum's answer, one per row (the rows' read-outs and
  // the standard pattern take it); rows built again clear it.
  QVector<ElemResult> elemResults;
  // The rows' fields edit a row's conditions in place (row from 0, below
  // elemRows().size()).
  ElemCond& elemCond(int row) { return m_elems[size_t(row)].cond; }

  // ---- Sum-up and map processing ----
  SumUpRanges sumUpRanges;
  // "Sum Up Img": the block sums of the I1 frames of every range.
  bool runSumUp();
  // The sum-up started on `run` (the windows' own) without waiting for its
  // end; false when it was refused (the run has said so and ended).
  bool startSumUp(MapsRun& run);
  // Map 1 or Map 2 (slot 1, 2) becomes a copy of the map on view.
  bool captureMap(int slot);
  // The same with the windows' choice of map.
  bool captureMap(int slot, const Analyzed2DRes& source);
  int procType = ProcMapsKernel::Sub;
  // "Processed Map" from Map 1 and Map 2 over the area (the whole of Map 1
  // without an image).
  bool processMaps();

  // ---- Fourier analysis ----
  // The sums of every frequency over the area; refused without an image.
  bool runFourier();
  const QVector<FourierRes>& fourierResults() const;
  // The Fourier analysis started without waiting for its end (the windows
  // watch fourierRun()); false when refused, with a line.
  bool startFourier();
  FourierRun& fourierRun() { return *m_fourier; }

  // ---- Spectra of every block ----
  SpectraFormat spectraFormat = SpectraFormat::NormalizedXafs;
  // One line a block of the region (the whole image without one); false
  // when nothing was written.
  bool saveEachSpectrum(const QString& file);

  // ---- Principal components and clusters ----
  // `clusters` 0: `components` score maps; otherwise k-means into
  // `clusters` groups on `components` scores (autoScores: as many as
  // stand above the noise floor). Over the area, in the fit range.
  bool runComponents(int components, int clusters, bool autoScores);
  const ComponentRun& componentRun() const { return *m_components; }
  // The same run started without waiting for its end (the windows watch
  // componentRun() and may stop it); false when refused (ended() has come).
  bool startComponents(int components, int clusters, bool autoScores);
  ComponentRun& componentRun() { return *m_components; }
  // "<base>-<n>.dat", one file per cluster mean.
  bool saveClusterSpectra(const QString& base) const;

  // ---- Maps and saving ----
  Analyzed2DRes* ownMap(OwnMap which) const { return m_ownMaps[size_t(which)].get(); }
  // The analysis window's scale fields: the fixed-scale switch and the
  // range of the maps in general, of "a2d DMut" and of "a2d Rati".
  struct MapScale
  {
    bool fixed = false;
    double min = 0.0, max = 1.0;
    double dmutMin = 0.0, dmutMax = 1.0;
    double ratioMin = 0.0, ratioMax = 1.0;
  };
  MapScale scale;
  // The fields' scale goes to the map on view (the dmut or ratio range for
  // those maps), or to `map` (one the windows chose elsewhere).
  void applyScale();
  void applyScale(Analyzed2DRes& map);
  // The colour bar's limits and format; a saved TIFF's bar picture shows
  // them.
  ColorMapping colourBar;
  // The map a save writes: reference `row`'s amount (0) or fraction (1).
  bool selectLcfMap(int row, int type);
  // The buttons of the analysis window by number: 0..4 the sections, 5
  // "a2d Rest", 6 "a2d DMut", 7 "a2d Rati", 8 "a2d Zansa"; false (with a
  // line) for any other number.
  bool selectImage(int id);
  Section section() const { return m_choice.section; }
  // What the analysis window's buttons choose in the LCF, residual and
  // map-processing sections (the element section keeps its own choice).
  struct MapChoice
  {
    Section section = LcfSection;
    bool zansa = false;     // the LCF section shows "a2d Zansa"
    int residual = RestMap; // RestMap, DMutMap or RatiMap
    int reference = 0;      // the LCF section's reference row
    bool amount = false;    // its amount map, else its fraction map
    int processing = Map1;  // Map1, Map2 or ProcessedMap
  };
  MapChoice mapChoice() const { return m_choice; }
  // As a click on the buttons: a map chosen by name no longer counts.
  void setMapChoice(const MapChoice& choice);
  // The map a save writes and the windows show, decided from the section
  // and its choices as the analysis window does; never null.
  Analyzed2DRes* currentMap() const;
  // The map of that name (the components' first, then the analysis
  // window's) becomes the one a save writes; false when there is none.
  bool selectMapByName(const QString& name);
  SaveOptions save;
  bool saveData(const QString& file);
  // The map on view as a TIFF numbered `index`, without its bar picture.
  bool saveDataAsTiff(const QString& file, int index);
  // Every map the session holds, in the order the windows save them.
  QVector<const Analyzed2DRes*> allMaps() const;

  // ---- Views for the runs ----
  StackView stackView() const;
  EnergyShiftView shiftView() const;
  PointSpectra analysisSpectra() const;
  // Fills `ac` for the region (the whole image without one); false while
  // no I1 image is loaded.
  bool analyzeCond(AnalyzeCond& ac) const;

signals:
  void changed();
  void progress(double percent);

private:
  double suggestedEdge() const;
  double standardEdge() const;
  Reference& row(int i);
  void rebuildElems();
  ElemRow* elemAt(const QString& item);
  QVector<ElemCond> elemConditions() const;
  // Waits for the end of a run started on `run` (not refused) and says the
  // change; whether every point was recorded.
  bool finishRun(MapsRun& run, bool started);
  // A new choice of map: the one chosen by name no longer counts.
  void selectionChanged();
  bool writeTiff(const Analyzed2DRes& map, const QString& name, MapSamples16& written);

  int m_threads = 0;
  FrameStack m_i1;
  FrameStack m_i0;
  std::unique_ptr<TiffData> m_dark;
  std::unique_ptr<XafsSpectrum> m_spectrumFiles[SpectrumFileCount];
  StackOptions m_i1Options;
  StackOptions m_i0Options;
  // The rule each stack's energies came from, and whether its change was said.
  energy::EnergyRule m_loadedRule[2];
  bool m_ruleChangeSaid[2] = { false, false };
  int m_width = 0;
  int m_height = 0;
  Calibration m_calib;
  std::unique_ptr<Analyzed2DRes> m_shiftMap;
  std::vector<Reference> m_refs;
  std::unique_ptr<ComponentRun> m_components;
  std::unique_ptr<FourierRun> m_fourier;
  // The maps the analysis window owns, in its order ("a2d Zansa" first).
  std::vector<std::unique_ptr<Analyzed2DRes>> m_ownMaps;
  std::vector<ElemRow> m_elems;
  QString m_elemNames;
  bool m_sortByAN = false;
  int m_elemTarget = -1;
  int m_shownElem = -1;
  int m_elemKind = 0;
  // What the sections show, as the window opens.
  MapChoice m_choice;
  // A map chosen by name, until the next choice.
  Analyzed2DRes* m_chosen = nullptr;
};
