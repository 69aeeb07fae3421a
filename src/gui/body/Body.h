#pragma once

#include "analysis/AnalyzeCond.h"
#include "batch/BatchExecutor.h"
#include "batch/CmdLine.h"
#include "input/Hdf5Stack.h"
#include "stack/FrameStack.h"

#include <QMainWindow>
#include <QSize>
#include <QStringList>
#include <QVector>

#include <memory>
#include <utility>

class Analyzed2DRes;
class BatchCtrl;
class Session;
class CalibCtrl;
class SaveDataCfg;
class LoadTiff;
class QFileDialog;
class QPainter;
class QThread;
class SelectDataFiles;
class TiffData;
class XafsFileSelect;
class XafsSpectrum;
class XafsView;
struct StackView;
class Analyzer2;
class FourierRun;
class SpectraSaveRun;
class ComponentRun;
class ComponentsWindow;
enum class SpectraFormat;

class Analyzer;
class Analyzed2DRes;
class ImgProc;
class LcfRun;
class MapImages;
class MapsRun;
class PointRun;
struct EnergyShiftView;
struct PointSpectra;
struct AnalyzeCond;
struct LcfResult;

namespace Ui {
class Body;
}

// The main window: owns the Session (the measurement and its analysis), the
// current position and the tool windows; the windows show the Session and
// write their edits into it; every other subsystem is reached through its
// slots.
//
// Body is implemented in several files, one concern each, and this header
// keeps one section per file so that each concern adds its members in its
// own place:
//   Body.cpp               construction, threads, stacks, frames, display
//   BodySpectrumFiles.cpp  background and total-I0 spectra from files
//   BodySpectrum.cpp       the spectrum at a position and the profiles
//   BodyAnalysis.cpp       the 2-D runs and their result maps
//   BodySave.cpp           saving maps, images and spectra
//   BodyWindowCommands.cpp the batch on the core executor, the words only
//                          the windows carry out, and the windows showing
//                          the Session after each word
//   BodyImgProc.cpp        the image processor and the frames' shifts
//   BodyCalibration.cpp    energy calibration, the shift map and its files,
//                          the standard spectrum and the edge suggestion
//   BodySaveSpectra.cpp    the spectra of every block of a region into a file
//   BodyFourier.cpp        the Fourier analysis and the Q-information window
//   BodyRefusals.cpp       where refusals are shown
class Body
  : public QMainWindow
  , private WindowCommands
{
  Q_OBJECT

public:
  explicit Body(QWidget* parent = nullptr);
  // Cancels running loads and joins every thread before anything they
  // could still reach is freed.
  ~Body() override;

  // The measurement the windows show and edit.
  Session& session() const { return *m_session; }

  // ---- Stacks and frames (Body.cpp) ----
  const FrameStack& i1Frames() const;
  const FrameStack& i0Frames() const;
  const TiffData* darkFrame() const;
  // Size of the first I1 frame; 0 while no I1 frame is loaded.
  int stackWidth() const;
  int stackHeight() const;
  // The stack chosen by ShowData (I1 when checked, else I0) and its list.
  const FrameStack& shownStack() const;
  SelectDataFiles* shownList() const;
  // Index of the frame on the display; -1 when none is shown.
  int shownIndex() const { return m_shownIndex; }
  bool isMapShown() const { return m_mapShown; }
  // The map the image view shows; nullptr while a frame (or nothing) is.
  const Analyzed2DRes* shownMap() const;
  SelectDataFiles* i1List() const { return m_i1List; }
  SelectDataFiles* i0List() const { return m_i0List; }
  // True while a load of that stack is queued or running.
  bool isLoadingI1() const { return m_i1Load.pending > 0; }
  bool isLoadingI0() const { return m_i0Load.pending > 0; }
  // The loaders, which live on their own threads (for connections only).
  LoadTiff* i1Loader() const { return m_i1Loader.get(); }
  LoadTiff* i0Loader() const { return m_i0Loader.get(); }
  Ui::Body* form() const { return m_ui.get(); }

  // ---- Spectrum files (BodySpectrumFiles.cpp) ----
  // nullptr while none is loaded.
  // The Session's spectrum files.
  const XafsSpectrum* bgSpectrum() const;
  const XafsSpectrum* totalI0ofI1Spectrum() const;
  const XafsSpectrum* totalI0ofI0Spectrum() const;

  // ---- Spectrum at a position (BodySpectrum.cpp) ----
  // The stacks and switches as they are now, for the spectrum functions.
  StackView stackView() const;
  // The main window's own spectrum window.
  XafsView* xafsView() const { return m_xafsView; }

  // ---- Analysis (BodyAnalysis.cpp) ----
  Analyzer* analyzer() const { return m_analyzer.get(); }
  // The pictures of every map the window shows (result, component and
  // shift maps).
  MapImages& mapImages() const { return *m_mapImages; }
  LcfRun* lcfRun() const { return m_lcfRun.get(); }
  bool isAnalysisRunning() const;
  // The spectrum of one point of a 2-D run ("Body-AaP"); empty outside the
  // stack.
  XafsSpectrum analysisSpectrumAt(int cx, int cy, int bx, int by) const;
  // What a run needs to build the spectrum of any point, read from the
  // fields now.
  PointSpectra analysisSpectra() const;
  // Stops every run whose threads read the frames.
  void stopRunsReadingFrames();
  // Threads of every run started from here on (0: every hardware thread);
  // start-up passes the user's choice.
  void setRunThreads(int threads);

  // ---- Element, residual and sum-up runs (BodyElems.cpp) ----
  MapsRun* elemRun() const { return m_elemRun.get(); }
  MapsRun* raRun() const { return m_raRun.get(); }
  MapsRun* sumUpRun() const { return m_sumUpRun.get(); }

  // ---- Saving (BodySave.cpp) ----
  SaveDataCfg* saveDataCfg() const { return m_saveDataCfg; }
  // The map a save writes (the analysis window's current map) and its
  // number in the file name; nullptr / 0 when there is none.
  Analyzed2DRes* mapToSave() const;
  int mapIndex() const;

  // ---- Batch (BodyWindowCommands.cpp) ----
  BatchCtrl* batchCtrl() const { return m_batchCtrl; }
  // The one executor of the batch language, on the Session.
  BatchExecutor& batchExecutor() const { return *m_executor; }

  // ---- Image processor (BodyImgProc.cpp) ----
  ImgProc* imgProc() const { return m_imgProc.get(); }

  // ---- Calibration (BodyCalibration.cpp) ----
  CalibCtrl* calibCtrl() const { return m_calibCtrl; }
  // The energy-shift map: the image's size once a run or a file made it;
  // it holds shifts (edge position less the standard edge, eV) that every
  // spectrum built at a point subtracts. hasData() is false while empty.
  Analyzed2DRes* shiftMap() const;
  // The Session's calibration standard; nullptr while none is loaded.
  const XafsSpectrum* standardSpectrum() const;
  // The map's shift at (x, y) while it holds data and (x, y) lies on it,
  // else 0.
  double shiftMapValueAt(int x, int y) const;
  // The shift map as the runs read it (empty when no map has data).
  EnergyShiftView shiftView() const;
  bool isCalibrationRunning() const;
  // SuggestingEeV when SuggestElm is checked, else -1 (no expectation).
  double suggestedEdgeEV() const;
  // End of the window's run: statistics into the control, the map's
  // image, the display, "End Calibration   ". Does not emit
  // calibrationEnded().
  void finishCalibration();

signals:
  void loadI1Files(QStringList files, int skip, int cutFirst, int cutLast);
  void loadI0Files(QStringList files, int skip, int cutFirst, int cutLast);
  void finishing();
  // The end of every execCalibration(), exactly once per call, whether the
  // run worked, failed or had nothing to do.
  void calibrationEnded();

public slots:
  // ---- Stacks and frames (Body.cpp) ----
  void clearI1Files();
  void clearI0Files();
  void readI1Files(const QStringList& files, bool newFile);
  void readI0Files(const QStringList& files, bool newFile);
  // A frame from a loader; Body owns it from here on.
  void loadedI1(TiffData* data, int fNo);
  void loadedI0(TiffData* data, int fNo);
  void finishedLoadI1Files();
  void finishedLoadI0Files();
  void showData(int no);
  void seekImage(int imgNo);
  void sliderMoved(int idx);
  void prev();
  void next();
  void selectedDataI0(bool f);
  void selectedDark(const QString& fname);
  void clearDark();

  // ---- Display (Body.cpp) ----
  void cBarUpdating();
  void cBarUpdated();
  // Draws, over the image, the box the spectrum is taken from.
  void draw(QPainter* p);
  void onMouseMovedInDispA();

  // ---- Spectrum files (BodySpectrumFiles.cpp) ----
  void selectedBG(const QString& fname);
  void clearedBG();
  void newTotalI0ofI1File(const QString& fname);
  void newTotalI0ofI0File(const QString& fname);

  // ---- Spectrum at a position (BodySpectrum.cpp) ----
  // Moves the current position to (x, y), truncated, and refreshes.
  void showXafsSpectrum(double x, double y);
  // Rebuilds the spectrum at the current position and shows it.
  void showXafsSpectrum();

  // ---- Analysis (BodyAnalysis.cpp) ----
  // Fills `ac` for the selected area (the whole image when none); false
  // while no I1 image is loaded.
  bool askAnalyzeCond(AnalyzeCond& ac);
  // Every start ends with exactly one LcfRun::ended: at the last point, on
  // stop2DAnalysis, or at once when the run refuses to start.
  void startLCF2DAnalysis();
  void stop2DAnalysis();
  void generateResImages();
  // "CheckVals": the selected map's values and processed values per pixel.
  void showAnalyzedVals();
  // Draws the map the Analyzer selects, its scale at the colour bar's ends.
  void showCurrentMap();
  // Renders the map on view again through the colour bar and shows it.
  void renderShownMap();

  // ---- Element, residual and sum-up runs (BodyElems.cpp) ----
  // Every start ends with exactly one MapsRun::ended, also when it refuses
  // (no image, no edges).
  void startElems2DAnalysis();
  void stopElems2DAnalysis();
  void generateElemsResImages();
  void startRA2DAnalysis();
  // "a2d Rati" from the rest and dmut maps; the three maps rendered.
  void generateRAResImage();
  // "Sum Up Img" over the current area; saved as "sumUpImg.png".
  void doSumUp();
  // The current map deglitched with DeglitchF / DeglitchR.
  void deglitch();
  // Render (and save) the processed copy of the current map instead of it.
  void showProcImg(bool f);
  // Renders the current map again and puts it on view.
  void setupResAnalysisImage();
  void showResAnalysis();
  void selectedNewRef(int i);

  // ---- Saving (BodySave.cpp) ----
  void showSaveDataDialog();
  void saveData(const QString& fname);
  bool saveDataAsTiff(const QString& fname, int ext);
  bool saveDataAsText(const QString& fname, int ext);
  // Every map with data, in one HDF5 file (suffix ".h5" added when the name
  // has none); false with a debug line when there is none or on failure.
  bool saveMapsAsHdf5(const QString& fname);
  // Every result map the program holds: the Analyzer's, the components'
  // and the energy-shift map.
  QVector<Analyzed2DRes*> allMaps() const;
  // "flat.dat" and "dark.dat" of the stack's size in the current folder.
  void saveFlatDark();
  // Pictures of the image view.
  bool saveImage(const QString& fname);
  bool saveImageWNum(const QString& fname, const QString& num);
  void saveAllImages(const QString& fname);

  // ---- Batch (BodyWindowCommands.cpp) ----
  // Every window shows the Session's values again (after each batch word,
  // and when the Session says it changed).
  void showSession();

  // ---- Image processor (BodyImgProc.cpp) ----
  // Hands the I1 frame selected in the I1 list to the processor.
  void giveProcData();
  // Shift of that frame, in whole pixels; nothing without a selection.
  void setImgShift(int dx, int dy);
  // Every I1 frame back to no shift.
  void clearAllShifts();

  // ---- Calibration (BodyCalibration.cpp) ----
  // Runs a calibration over the selected area; ends with calibrationEnded().
  void execCalibration();
  // Takes the control's standard into Body and the spectrum window.
  void newStdFile();
  // Replaces outliers (more than 40 eV off the mean) by their neighbours.
  void normalizeEShift();
  void clearShiftMap();
  // Shows the shift map in the image area while ShowShiftMap is checked.
  void showShiftMap(bool f);
  double findBestMatchDE(const XafsSpectrum& s, const XafsSpectrum& std);
  void saveEMap(const QString& fname);
  void loadEMap(const QString& fname);
  // The suggested edge energy follows the element and the edge choice.
  void newElmSuggested(const QString& elm);
  void newEdgeSuggested(int edge);

protected:
  void closeEvent(QCloseEvent* e) override;

private:
  // Loads of one stack on their way through its loader thread. Loads run
  // one after another, so the oldest pending load is the one whose frames
  // arrive; `superseded` counts the oldest loads whose frames belong to a
  // stack that was cleared since and are dropped.
  struct LoadState
  {
    int pending = 0;
    int superseded = 0;
    // The oldest load that is not superseded replaces the stack at its
    // first frame (until then the stack stays).
    bool replacing = false;
  };

  // ---- Construction (Body.cpp) ----
  void registerMetaTypes();
  void setupFileLists();
  void setupLoader(std::unique_ptr<LoadTiff>& loader, QThread*& thread);
  void setupBatch();
  void connectForm();
  void shutDownThreads();

  // ---- Image area (BodyImageArea.cpp) ----
  // The image keeps its shape beside its profiles and colour bar; "Show
  // Images" / "Show Results" switch the view and follow what it shows.
  void setupImageArea();
  // The first size: tall enough for every control, as far as the screen
  // allows (a shorter window scrolls its controls).
  void sizeToControls();
  void reflectShownKind();

  // ---- Stacks and frames (Body.cpp) ----
  void clearStack(bool isI1);
  void cancelLoads(LoadState& load, LoadTiff* loader);
  void dropFrames(bool isI1);
  void readFiles(const QStringList& files, bool isI1);
  // True, with the reason in the log and below the list, when the list's
  // energy set-up cannot give `files` energies: nothing is loaded then.
  bool energiesRefused(const QStringList& files, SelectDataFiles* list);
  // Takes an arrived frame into the Session's stack with the energy the
  // load's options give it, and into the list.
  bool adoptFrame(std::unique_ptr<TiffData> frame, int fNo, bool isI1);
  // After an arrival: slider, list selection and display follow.
  void showArrival(bool isI1);
  void finishLoad(SelectDataFiles* list, LoadState& load, bool isI1);
  bool isShowingI1() const;
  void updateSeekRange();
  void setSeekControls(int no);
  void showNothing();
  void listIndexChanged(bool isI1, int idx);
  // Called whenever the frames of a stack changed (arrivals, clearing, the
  // end of a load); the spectrum at the current position follows here.
  void stacksChanged();
  // Clears every map whose size is not the stack's (a new stack arrived).
  void dropMapsOfAnotherSize();

  // ---- Spectrum files (BodySpectrumFiles.cpp) ----
  void setupSpectrumFiles();
  // Loads fname into the Session's spectrum file `which`; a file that
  // cannot be read keeps the previous spectrum and marks the selector as
  // not loaded.
  bool loadSpectrumFile(const QString& fname, int which, XafsFileSelect* selector);

  std::unique_ptr<Ui::Body> m_ui;
  QFileDialog* m_imageFileDialog = nullptr;

  // Where the frames live: it goes after every member declared below
  // (the runs, the windows and the pictures that read them).
  std::unique_ptr<Session> m_session;
  // The size of the last stack that had a frame (kept while it is cleared).
  QSize m_lastStackSize;
  int m_shownIndex = -1;
  // The image view shows a result map (not a frame): colour-bar changes
  // then re-render the maps.
  bool m_mapShown = false;
  // Current position in image pixels (the spectrum and the box drawn).
  int m_posX = 0;
  int m_posY = 0;

  SelectDataFiles* m_i1List = nullptr;
  SelectDataFiles* m_i0List = nullptr;
  // Loaders live on their threads; both are ended in the destructor.
  std::unique_ptr<LoadTiff> m_i1Loader;
  std::unique_ptr<LoadTiff> m_i0Loader;
  QThread* m_i1Thread = nullptr;
  QThread* m_i0Thread = nullptr;
  LoadState m_i1Load;
  LoadState m_i0Load;
  // The batch's executor (with its interpreter, on this thread) and its
  // window.
  std::unique_ptr<BatchExecutor> m_executor;
  BatchCtrl* m_batchCtrl = nullptr;
  bool m_closing = false;

  // ---- Spectrum files (BodySpectrumFiles.cpp) ----

  // ---- Spectrum at a position (BodySpectrum.cpp) ----
  void setupSpectrum();
  // Row and column profiles through the pointed pixel into HCross and VCross.
  void showProfiles(const QPoint& at);
  // Line mode of the spectra built here: the analysis window's
  // energy-correction switch inverted.
  int spectrumMode() const;
  // One refresh for every frame that arrives in the same turn of the event
  // loop: a refresh reads the whole stack, so one per frame would make a
  // load quadratic in its length.
  void refreshSpectrumSoon();
  bool m_refreshPending = false;

  XafsView* m_xafsView = nullptr; // a window with this as its parent
  // Every open spectrum window; the first is m_xafsView.
  QVector<XafsView*> m_xafsViews;

  // ---- Analysis (BodyAnalysis.cpp) ----
  void setupAnalysis();
  // Declared in this order so the run goes before the window it uses, and
  // the pictures after every map.
  std::unique_ptr<MapImages> m_mapImages;
  std::unique_ptr<Analyzer> m_analyzer;
  std::unique_ptr<LcfRun> m_lcfRun;

  // ---- Element, residual and sum-up runs (BodyElems.cpp) ----
  void setupElemRuns();
  std::unique_ptr<MapsRun> m_elemRun;
  std::unique_ptr<MapsRun> m_raRun;
  std::unique_ptr<MapsRun> m_sumUpRun;

  // ---- Saving (BodySave.cpp) ----
  void setupSaving();
  // True when the map a save writes has data; otherwise refuses in the
  // window ("No map to save").
  bool hasMapToSave();
  SaveDataCfg* m_saveDataCfg = nullptr;

  // ---- Batch (BodyWindowCommands.cpp) ----
  bool runWindowCommand(const CmdLine& c) override;
  // True, with the reason shown in `window` and the status line, while a
  // batch command runs: its run reads the frames an edit would change.
  bool refusedDuringBatch(QWidget* window);
  // The lists, the seek controls and the frame on view follow the Session's
  // stacks (a batch loads them there).
  void showStacks();
  void showStackList(bool isI1);
  // The fields of the main window hold the Session's values.
  void showFields();
  bool m_showSessionPending = false;
  // The analysis window's refusal as the last command ended, and whether
  // the command now running failed: a command that succeeds without a
  // refusal of its own makes that one stale.
  QString m_refusalBefore;
  bool m_commandFailed = false;
  // The map the Session chose and its contents, when last shown.
  using MapStamp = std::pair<const Analyzed2DRes*, quint64>;
  MapStamp m_shownStamp;
  const XafsSpectrum* m_shownStandard = nullptr;

  // ---- Image processor (BodyImgProc.cpp) ----
  void setupImgProc();
  // The I1 frame the processor and the shift slots act on: the one
  // selected in the I1 list (nullptr when none is).
  TiffData* selectedI1Frame() const;
  // After a frame's shift changed: its picture, the display and the
  // spectrum follow.
  void shiftsChanged(const QVector<TiffData*>& frames);
  // Holds borrowed I1 frames: freed (in the destructor) before them, and
  // told to forget them whenever the I1 stack is cleared.
  std::unique_ptr<ImgProc> m_imgProc;

  // ---- Calibration (BodyCalibration.cpp) ----
  void setupCalibration();
  void refreshSuggestedEdge();
  // Renders the shift map again and puts it on view when it is shown.
  void renderShiftMap();
  CalibCtrl* m_calibCtrl = nullptr;
  std::unique_ptr<PointRun> m_calibRun;
  // The image area shows the shift map (with m_mapShown).
  bool m_shiftMapShown = false;

  // ---- Spectra of every block (BodySaveSpectra.cpp) ----
public:
  SpectraSaveRun* spectraSaveRun() const { return m_spectraSave.get(); }
public slots:
  // The format of the three radio buttons; the file is in place when the
  // save run ends (SpectraSaveRun::ended, exactly once per call).
  void saveEachSpectrum(const QString& fname);
  void saveEachNormalizedXafsSpectrum(const QString& fname);
  void saveEachRawXafsSpectrum(const QString& fname);
  void saveEachRawSpectrum(const QString& fname);
  void showSaveEachSpectrumDialog();

private:
  void setupSpectraSaving();
  void saveEachSpectrumAs(const QString& fname, SpectraFormat format);
  std::unique_ptr<SpectraSaveRun> m_spectraSave;

  // ---- Fourier analysis and Q information (BodyFourier.cpp) ----
public:
  // The Session's.
  FourierRun* fourierRun() const;
  Analyzer2* analyzer2() const { return m_analyzer2; }
public slots:
  // The Fourier analysis of the selected area; "Res" lines at its end.
  void execFourierA();
  void startCollectQInfo();
signals:
  void doCollectQInfo(AnalyzeCond ac);

private:
  void setupDiagnostics();
  Analyzer2* m_analyzer2 = nullptr;

  // ---- HDF5 stacks (BodyHdf5.cpp) ----
public:
  // Replaces the I1 and I0 stacks (and the dark, when the file has one)
  // with those of an HDF5 file; the energies are the file's. A file that
  // cannot be read changes nothing (false, one debug line).
  bool loadHdf5Stack(const QString& file, const Hdf5StackNames& names = Hdf5StackNames());

private:
  void setupHdf5();

  // ---- Refusals (BodyRefusals.cpp) ----
public:
  // Logs `line` and shows it (or `shown`, its translation) in `window`
  // (the one the user acted in) and in the main window's status line.
  void refuseIn(QWidget* window, const QString& line, const QString& shown = QString());
  // The showing alone, for a refusal already logged.
  void showRefusal(QWidget* window, const QString& text);
  // The map "Save Data" writes, under its button.
  void showSaveTarget();

private:
  void setupRefusals();

  // ---- Principal components and clusters (BodyComponents.cpp) ----
public:
  // The Session's.
  ComponentRun* componentRun() const;
  ComponentsWindow* componentsWindow() const { return m_componentsWindow.get(); }
  // Starts the components of the selected area: `clusters` 0 computes
  // `components` score maps, otherwise k-means into `clusters` groups on
  // `components` scores (autoScores: those above the noise floor). Ends with
  // ComponentRun::ended exactly once, refusals included.
  void startComponentRun(int components, int clusters, bool autoScores);
  // The result map named `name` (the analysis window's and the
  // components'), shown and made the map save_data writes; false with a
  // debug line when there is none of that name.
  bool selectMapByName(const QString& name);

private:
  void setupComponents();
  void componentRunEnded();
  std::unique_ptr<ComponentsWindow> m_componentsWindow;
};
