#pragma once

#include "analysis/Analyzed2DRes.h"
#include "analysis/ElemAnalysis.h"
#include "analysis/LcfFit.h"
#include "session/Session.h"
#include "spectrum/XafsSpectrum.h"

#include <QFrame>
#include <QPointer>
#include <QVector>

#include <memory>

class AElemsConds;
class AnalyzeProc;
class ElemCtrl;
class MapImages;
class MapsRun;
class SumUpCtrl;
struct AnalyzeCond;
struct EMPHeader;
class AnalyzeThread;
class Analyzed2DRes;
class LCFReference;
class QAbstractButton;
class QButtonGroup;
class XafsView;

namespace Ui {
class Analyzer;
}

// The analysis tool window. Five sections, one chosen at a time (LCF /
// MLCF, residual absorption, elements, sum-up, map processing); the
// reference rows; the fitting worker on its own thread; the maps no row
// owns; which map the main window shows; capture of two maps.
//
// Fits are requested with value snapshots of the reference rows and every
// request carries a sequence number (`FitConditions::tag`), echoed in the
// answer, so a caller can tell its own answer from one still in flight.
// Answers come back by value in `finished(LcfResult)`; only single fits
// (outside a 2-D run) are written into the rows, on the GUI thread.
class Analyzer : public QFrame
{
  Q_OBJECT

public:
  enum Section
  {
    LCFSection = 0,
    RAASection,
    ElemSection,
    SumUpSection,
    ProcMapsSection
  };
  // The maps the window owns, in the Session's order and with its names.
  using OwnMap = Session::OwnMap;

  // `images` holds the pictures of the maps (the main window's): the window
  // draws its maps there when their scale changes, a map is captured or a
  // map tool ran.
  // The rows are views of `session`'s reference rows, and the LCF settings
  // are its values.
  Analyzer(Session& session, MapImages& images, QWidget* parent = nullptr);
  // Ends the worker's thread before the rows and maps go.
  ~Analyzer() override;

  Ui::Analyzer* form() const { return m_ui.get(); }
  AnalyzeProc* worker() const;
  const QVector<LCFReference*>& references() const { return m_refs; }
  // Index of the selected reference row; -1 with no rows.
  int selectedRef() const { return m_selectedRef; }
  Section section() const;
  bool isRunning() const { return m_running; }
  bool isMLCF() const;
  bool dispOnTime() const;
  // The "Energy Correction" switch; spectra built for the analyses use the
  // Victoreen lines (mode 0) when it is on.
  bool energyCorrection() const;
  // The fitting range LCFRange1 .. LCFRange2 ("0" and "30000" when a field
  // does not hold a number), and the LCF constraint boxes.
  FitConditions fitConditions() const;
  // One snapshot per reference row, in list order.
  QVector<RefSnapshot> referenceSnapshots() const;
  int usableReferenceCount() const;

  Analyzed2DRes* ownMap(OwnMap which) const;

  // ---- Element section (AnalyzerElems.cpp) ----
  const QVector<ElemCtrl*>& elems() const { return m_elems; }
  // Every row's conditions (the Session's), in list order, as values.
  QVector<ElemCond> elemConditions() const;
  // The checked id of the target group; -1 when none is checked.
  int targetIndex() const;
  ElemBackground elemBackground() const;
  EdgeLocate elemEdgeLocate() const;
  AElemsConds* elemsConds() const { return m_aElemsConds.get(); }
  bool elemsDispOnTime() const;
  // The row whose maps the element section shows; -1 with no rows.
  int shownElem() const;
  // A row named `item` ("Fe-K"), else row number `item`; -1 when neither.
  int elemIndexOf(const QString& item) const;
  // The last single spectrum's answer, one per row.
  const QVector<ElemResult>& lastElemResults() const { return m_session.elemResults; }

  // ---- Residual absorption, sum-up, map processing (AnalyzerTools.cpp) ----
  double raEnergy() const;
  double raFactor() const;
  SumUpCtrl* sumUpCtrl() const { return m_sumUpCtrl; }
  // The map the main window's image view shows (see selectImage for the
  // buttons). "a2d Zansa" when the chosen map does not exist or, in the
  // residual section, has no image yet.
  Analyzed2DRes* currentMap() const;
  QString progressText() const;
  QString elemsProgressText() const;
  const XafsSpectrum& lastSpectrum() const { return m_lastSpectrum; }
  const XafsSpectrum& lastFitted() const { return m_lastFitted; }
  // The window's spectrum plot ("Analyzing Spectrum"): the last spectrum
  // handed over and its fitted curve.
  XafsView* spectrumPlot() const { return m_plot.get(); }

  // Says when a used reference has no energy in common with `sample`: a
  // debug line naming every range, and a note in the window. A single fit
  // repeats the line only when the note changes (the plot refits at every
  // pointer move); a run (`always`) says it once at its start.
  void reportReferenceOverlap(const QVector<RefSnapshot>& refs,
                              const XafsSpectrum& sample,
                              bool always);
  QString referenceNote() const;
  // A fit or a run that left points unfitted says why under the references
  // (beside the overlap note); an empty line says nothing.
  void showFitNote(const QString& line);
  // Adds a line under the note shown; an empty line changes nothing.
  void addFitNote(const QString& line);

  // Sends one fit to the worker with its own sequence number and returns it.
  quint64 requestFit(const XafsSpectrum& s,
                     const QVector<RefSnapshot>& refs,
                     bool mlcf,
                     FitConditions cond);

signals:
  void askAnalyze();
  void askStopAnalysis();
  void analyzeSpectrum0(const XafsSpectrum& s,
                        const QVector<RefSnapshot>& refs,
                        bool isMLCF,
                        const FitConditions& cond);
  // Every answer of the worker to a single request.
  void finished(const LcfResult& result);
  void askRAAnalyze();
  void changedSelection();
  void askSumUp();
  // A single fit was answered (or could not be sent): the sample and the
  // fitted curve for the spectrum plot (the curve empty when none).
  void analyzedSpectrum(const XafsSpectrum& sample, const XafsSpectrum& fitted);
  void askAnalyzeElems();
  void askStopElemsAnalysis();
  // A single spectrum's element analysis was shown in the rows.
  void analyzeElemsFinished();
  void setNewCorrelation(double cor);
  // An energy-shift map file was chosen for Map 1 or Map 2 (`slot`); the
  // main window reads it into toolMap(slot) and then calls mapLoaded.
  void mapFileChosen(int slot, QString fname);

public slots:
  void addNewRef();
  void analyzeSpectrumFinished(const LcfResult& result);
  void selectedNewRef(int i);
  void scalePolicyChanged(bool f);
  void scaleChanged();
  void selectedImgChanged(bool);
  void captureAsMap1();
  void captureAsMap2();
  void noticedNewZ(double z);
  void show();
  void setContAccess(bool f);
  void setLCFMode(int f);
  void analyzeAndShowSpectrum(XafsSpectrum s, double suggestedEeV);
  // Fits `s` with the section's fit; returns the request's sequence number,
  // 0 when nothing was sent (a section without a fit here, an empty
  // spectrum).
  quint64 analyzeSpectrum(const XafsSpectrum& s, double suggestedEeV);
  void reAnalyzeSpectrum();
  void setProgress(double perCent);
  void setElemsProgress(double perCent);
  // Reference row `no` (0-based); false with a debug line when there is no
  // such row.
  bool setLCFStd(int no, bool use, double dE, QString fname, QString isVic);
  // Buttons 0..4 choose the sections (LCF / MLCF, residual, elements,
  // sum-up, map processing); 5..7 the residual maps ("a2d Rest", "a2d
  // DMut", "a2d Rati"); 8 the residual map of the LCF run ("a2d Zansa").
  // False with a debug line for any other number.
  bool selectImage(int id);
  void setRaEnergy(double eng);
  void setFixedScale(bool f);
  void setNormalize(bool f);
  void setTargetElements(QString elements);
  // Rows, fields and map choice show the Session's values again (a batch
  // word or a run changed them).
  void showSession();

  // ---- Element section (AnalyzerElems.cpp) ----
  void analyzeSpectrumElemsFinished(const QVector<ElemResult>& results);
  // Rebuilds the rows from "Target Element Names".
  void newElems();
  void setElemsStd();
  // The correlation of the last single spectrum with the standard pattern.
  void calcCorrelation();
  // "a2d ElemsCor" and "a2d ElemsCorTh" over the last element run's area.
  void recalcCorMap();
  void newCorTh();
  void setCorrelation(double cor);
  // Batch: rows chosen by name or number; false (and a debug line) when
  // there is no such row.
  bool selectElemTarget(const QString& item);
  bool selectElemShow(const QString& item);
  bool setElemUse(const QString& item, bool f);
  bool setElemROI(const QString& item, double start, double end);
  bool setElemThDMut(const QString& item, double th);
  bool setElemNoNeg(const QString& item, bool f);
  void setElemsDE(double dE);
  void setCorTh(double th);
  void setSortByAN(bool f);
  // 0..6 the kinds of the shown row's maps (dmut, ratio, mu+, mu-, dE, ROI,
  // NROI), 7 "a2d ElemsCor", 8 "a2d ElemsCorTh"; false otherwise.
  bool selectElemsDispMode(int mode);
  // Batch: 0 dmut, 1 dmut-Ratio, 2 dE, 3 ROI, 4 NROI.
  void setElemBackground(int which, double v);

  // ---- Map tools (AnalyzerTools.cpp) ----
  // Map1 / Map2 from an energy-shift map file (through mapFileChosen).
  void selectMapFile(int slot, const QString& fname);
  // Map 1 or Map 2 (`slot` 1 or 2); nullptr for any other slot.
  Analyzed2DRes* toolMap(int slot) const;
  // The main window read a file into `map`.
  void mapLoaded(Analyzed2DRes* map, const QString& fname);
  // "Process": Sub. / Div. / Mask of Map1 and Map2, the Session's map
  // operation over its area (point by pixel over the whole of Map 1 without
  // an image).
  bool processMaps();
  // 0..4 choose the section; false otherwise.
  bool selectAnalysisMode(int mode);

private:
  // The fields into the Session's values: fit settings, MLCF, energy
  // correction, the residual's energy and factor, the map operation, the
  // scale fields.
  void takeSettings();
  // The map choice of the buttons into the Session, and back.
  void takeSelection();
  void showSelection();
  void showSettings();
  void setupSections();
  void connectForm();
  void showInPlot(const XafsSpectrum& sample, const XafsSpectrum& fitted);
  void capture(OwnMap slot);
  void applyScale(Analyzed2DRes* map);
  void setupElems();
  void setupTools();
  Analyzed2DRes* currentElemMap() const;
  // The element section from the Session's values (rows, names, target,
  // threshold, background).
  void showElems();

  std::unique_ptr<Ui::Analyzer> m_ui;
  std::unique_ptr<AnalyzeThread> m_thread;
  std::unique_ptr<XafsView> m_plot;
  QButtonGroup* m_sections = nullptr;
  QButtonGroup* m_refGroup = nullptr;
  QVector<LCFReference*> m_refs;
  int m_selectedRef = -1;
  Analyzed2DRes* m_maps[Session::OwnMapCount] = {};
  bool m_running = false;
  bool m_selecting = false;
  quint64 m_lastTag = 0;
  quint64 m_singleTag = 0; // the single fit whose answer goes into the rows
  XafsSpectrum m_lastSpectrum;
  double m_lastSuggestedEeV = -1.0;
  XafsSpectrum m_lastFitted;
  QString m_overlapLine; // the last overlap line written, empty when none
  QString m_overlapNote; // its short form
  QString m_fitNote;     // why the last fit or run left points unfitted

  // ---- Element section ----
  QVector<ElemCtrl*> m_elems;
  QButtonGroup* m_targetGroup = nullptr;
  QButtonGroup* m_showElemGroup = nullptr;
  QButtonGroup* m_elemKindGroup = nullptr;
  std::unique_ptr<AElemsConds> m_aElemsConds;
  QString m_shownElemNames; // the Session's names the field last showed

  MapImages& m_images;
  Session& m_session;

  // ---- Tools ----
  SumUpCtrl* m_sumUpCtrl = nullptr;

  // ---- Maps by name and the components' spectra (AnalyzerMaps.cpp) ----
public:
  // Every map of the window: its own, then the reference rows' (amount,
  // fraction), then the element rows'.
  QVector<Analyzed2DRes*> resultMaps() const;
  // Shows spectra (the cluster means) together in the window's plot.
  void showSpectra(const QVector<XafsSpectrum>& spectra, const QStringList& names = {});
};
