#pragma once

#include "analysis/AnalyzeCond.h"
#include "analysis/PointSpectra.h"
#include "spectrum/XafsSpectrum.h"

#include <QObject>
#include <QString>
#include <QVector>

#include <memory>
#include <thread>
#include <vector>

class Analyzed2DRes;
class PointRun;

// What a components run computes, fixed when it starts: values only.
struct ComponentSetup
{
  PointSpectra spectra;
  // The LCF fitting range: the spectra are taken on the sample's energies
  // within it.
  double fitLo = 0.0;
  double fitHi = 30000.0;
  // Score maps wanted ("PCA Score 1" ...) when not clustering; at least 1.
  int components = 2;
  // Clusters; 0 computes the components only, otherwise at least 2.
  int clusters = 0;
  // Scores the clustering uses (and score maps it writes), at least 1; when
  // `autoScores`, the components above the noise floor, at least 2 (see
  // components::componentsAboveNoise).
  bool autoScores = true;
  int clusterScores = 0;
};

// A run's setup as the windows and the batch words ask for it: `clusters`
// 0 asks for `components` score maps; otherwise k-means into `clusters`
// groups on `components` scores (autoScores: those above the noise floor).
// Over `spectra` (empty without an image) in the fit range [fitLo, fitHi].
ComponentSetup componentSetup(const PointSpectra& spectra,
                              double fitLo,
                              double fitHi,
                              int components,
                              int clusters,
                              bool autoScores);

// One cluster of the last run: its mean normalised spectrum and its points.
struct ClusterMean
{
  XafsSpectrum spectrum;
  int count = 0;
};

// Principal components (and k-means clusters) of the normalised spectra of an
// area, on the point-run engine: the spectra are gathered on every core in
// raster order, then decomposed on a thread of the run's own (the k-means of
// a large area takes seconds, and the owner's thread, usually the GUI's,
// keeps turning meanwhile). The results are bit-identical for any thread
// count. The maps ("PCA Score 1" ... and "Cluster Map") belong to the run and
// are written on the owner's thread only when a run completes; a refused or
// stopped run leaves them and the last results as they were.
//
// Every start ends exactly once with `ended()`, on the owner's thread.
// How a clustering chose its number of scores, kept as values so the line
// can be said in the log's language and in the window's.
struct ScoreChoice
{
  enum How
  {
    None,
    Asked,
    AboveNoise
  } how = None;
  int scores = 0;
  double threshold = 0.0; // the noise floor of the singular values
  double next = 0.0;      // the first singular value below it
};

// The choice as one line, for the log (English) or a window (`translated`);
// empty for None.
QString scoreChoiceLine(const ScoreChoice& choice, bool translated = false);

class ComponentRun : public QObject
{
  Q_OBJECT

public:
  explicit ComponentRun(QObject* parent = nullptr);
  ~ComponentRun() override;

  PointRun& engine() const { return *m_engine; }
  // Gathering or decomposing.
  bool isRunning() const;
  // For headless callers: blocks until the run has ended (the results are in
  // and ended() was emitted), without an event loop.
  void waitForEnd();

  // Starts over `area` (null: no image). Returns false when refused (a
  // debug line says why and ended() was emitted).
  bool start(const AnalyzeCond* area, const ComponentSetup& setup);
  void stop();

  // Results of the last completed run.
  const QVector<double>& grid() const { return m_grid; }
  const QVector<double>& explained() const { return m_explained; }
  // How many scores the last clustering used, and why (also logged).
  // How many scores the clustering used, and why: for the log (English) or
  // the window (`translated`); empty before a clustering.
  QString scoreChoice(bool translated = false) const
  {
    return scoreChoiceLine(m_scoreChoice, translated);
  }
  const QVector<ClusterMean>& clusters() const { return m_clusters; }
  int pointsUsed() const { return m_pointsUsed; }
  int pointsLeftOut() const { return m_leftOut; }
  // The score maps of the last run, then the cluster map when it clustered.
  QVector<Analyzed2DRes*> maps() const;
  Analyzed2DRes* clusterMap() const { return m_clusterMap.get(); }

  // Writes the cluster means as spectrum files base-1.dat ... base-K.dat.
  // False, with a debug line, when there are none or a file fails.
  bool saveClusterSpectra(const QString& base) const;
  // Tells whoever shows the maps that they hold new values (mapsRendered).
  void refreshMaps();

signals:
  void progress(double percent);
  void mapsRendered();
  // A start that does not run, already logged; ended() follows.
  void refused(const QString& why);
  void ended();

private:
  struct Point
  {
    int cx, cy, bx, by;
  };
  struct Decomposition;
  bool refuse(const QString& why, const QString& shown);
  void engineEnded(bool completed);
  // By value: callers pass m_job, which this clears.
  void decompositionDone(std::shared_ptr<Decomposition> job);
  void apply(const Decomposition& job);
  void endRun();

  std::unique_ptr<PointRun> m_engine;
  ComponentSetup m_setup;
  AnalyzeCond m_cond;
  QVector<double> m_runGrid;
  std::vector<double> m_data; // usable spectra, one a row
  std::vector<Point> m_points;
  int m_runLeftOut = 0;
  int m_threads = 1; // of the run, also for the k-means

  QVector<double> m_grid;
  QVector<double> m_explained;
  ScoreChoice m_scoreChoice;
  QVector<ClusterMean> m_clusters;
  int m_pointsUsed = 0;
  int m_leftOut = 0;
  int m_scoreMaps = 0;
  std::vector<std::unique_ptr<Analyzed2DRes>> m_scoreMapPool;
  std::unique_ptr<Analyzed2DRes> m_clusterMap;
  bool m_clustered = false;

  // The decomposition under way, if any, and its thread.
  std::shared_ptr<Decomposition> m_job;
  std::thread m_worker;
};
