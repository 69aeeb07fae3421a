#pragma once

#include "analysis/LcfFit.h"
#include "input/EnergyAssignment.h"
#include "output/SpectraScanGrid.h"
#include "spectrum/EdgePosition.h"
#include "spectrum/XafsSpectrum.h"
#include "stack/FrameStack.h"

#include <QObject>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

struct AnalyzeCond;
class Analyzed2DRes;
class ComponentRun;
class TiffData;
struct EnergyShiftView;
struct PointSpectra;
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
  // when no file was read.
  bool loadFiles(bool isI1, const QStringList& files, bool replace);
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

  // ---- Calibration ----
  Calibration& calibration() { return m_calib; }
  // Reads and normalises the standard; the edge field follows it.
  bool loadStandard(const QString& file);
  bool calibrate();
  bool saveShiftMap(const QString& file) const;
  bool loadShiftMap(const QString& file);
  void clearShiftMap();
  // Refused, with a line, while there is no shift map.
  bool removeShiftOutliers();
  const Analyzed2DRes& shiftMap() const { return *m_shiftMap; }

  // ---- LCF ----
  const std::vector<Reference>& references() const { return m_refs; }
  // Row `row` (from 0; rows up to it are added) takes the file and its
  // options; false for a row number outside 0 .. kMaxReferences - 1.
  static constexpr int kMaxReferences = 64;
  bool setReference(int row, bool use, double dE, const QString& file, bool victoreen);
  bool mlcf = false;
  FitConditions fit; // the range and the constraints
  bool runLcf();

  // ---- Residual absorption ----
  double raEnergy = 8200.0; // eV
  double raFactor = 1.0;
  // "a2d DMut" and "a2d Rest" over the area, then "a2d Rati" from them.
  bool runResidual();

  // ---- Spectra of every block ----
  SpectraFormat spectraFormat = SpectraFormat::NormalizedXafs;
  // One line a block of the region (the whole image without one); false
  // when nothing was written.
  bool saveEachSpectrum(const QString& file);

  // ---- Principal components and clusters ----
  // `clusters` 0: `components` score maps; otherwise k-means into
  // `clusters` groups on `components` scores (autoScores: as many as
  // explain 99 %). Over the area, in the fit range.
  bool runComponents(int components, int clusters, bool autoScores);
  const ComponentRun& componentRun() const { return *m_components; }
  // "<base>-<n>.dat", one file per cluster mean.
  bool saveClusterSpectra(const QString& base) const;

  // ---- Maps and saving ----
  // The map a save writes: reference `row`'s amount (0) or fraction (1).
  bool selectLcfMap(int row, int type);
  // The maps by their button number in the analysis window: 0 the LCF
  // section, 5 "a2d Rest", 6 "a2d DMut", 7 "a2d Rati", 8 "a2d Zansa";
  // false for the sections not held here.
  bool selectImage(int id);
  const Analyzed2DRes* currentMap() const;
  // The map of that name (the components' first, then the analysis
  // window's) becomes the one a save writes; false when there is none.
  bool selectMapByName(const QString& name);
  SaveOptions save;
  bool saveData(const QString& file);
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

  int m_threads = 0;
  FrameStack m_i1;
  FrameStack m_i0;
  StackOptions m_i1Options;
  StackOptions m_i0Options;
  int m_width = 0;
  int m_height = 0;
  Calibration m_calib;
  std::unique_ptr<Analyzed2DRes> m_shiftMap;
  std::vector<Reference> m_refs;
  std::unique_ptr<ComponentRun> m_components;
  // The maps the analysis window owns, in its order ("a2d Zansa" first).
  std::vector<std::unique_ptr<Analyzed2DRes>> m_ownMaps;
  Analyzed2DRes* m_current = nullptr;
  int m_selectedRef = 0;
  bool m_showAmount = false;
};
