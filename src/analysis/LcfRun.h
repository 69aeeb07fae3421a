#pragma once

#include "analysis/AnalyzeCond.h"
#include "analysis/LcfFit.h"
#include "analysis/LcfRunMaps.h"
#include "analysis/PointSpectra.h"

#include <QObject>
#include <QString>
#include <QVector>

#include <memory>

class Analyzed2DRes;
class LcfKernel;
class PointRun;

// What an LCF / MLCF run fits, fixed when it starts: values only, read from
// the windows on the GUI thread.
struct LcfRunSetup
{
  PointSpectra spectra;
  QVector<RefSnapshot> refs;
  bool mlcf = false;
  FitConditions fit;
  // Announce the maps for drawing at the start of every row ("Disp. on Time").
  bool refreshOnRows = false;
};

// One LCF / MLCF run over an area, on the point-run engine: the points are
// fitted on every core and recorded in raster order into the maps (amount
// and fraction maps of every reference of the list as it was at the start,
// and "a2d Zansa"). The maps are not owned.
//
// Every start ends exactly once with `ended()`: at the last point, by
// `stop()`, by a new start, or at once when the start is refused (no image,
// fewer than two usable references), so a batch waiting for the run always
// goes on.
class LcfRun : public QObject
{
  Q_OBJECT

public:
  explicit LcfRun(QObject* parent = nullptr);
  ~LcfRun() override;

  PointRun& engine() const { return *m_engine; }
  bool isRunning() const;
  const AnalyzeCond& cond() const { return m_cond; }
  bool isMLCF() const { return m_mlcf; }
  // The run's maps: amount maps of every reference, then their fraction
  // maps (list order at the start), and "a2d Zansa".
  QVector<Analyzed2DRes*> maps() const;
  int pointsDone() const;
  // Points of the current (or last) run that were not fitted, and why: one
  // line for the log (English) or the window (`translated`), empty when
  // every point was fitted.
  QString notFittedLine(bool translated = false) const;

  // Starts over `area`; null means no image is loaded. Returns false (with a
  // debug line, and ended() already emitted) when the run refuses.
  bool start(const AnalyzeCond* area, const LcfRunSetup& setup, const LcfRunMaps& maps);
  void stop();
  // Tells whoever shows the maps that they hold new values (mapsRendered):
  // the run itself draws nothing.
  void refreshMaps();

signals:
  void progress(double percent);
  void mapsRendered();
  // A start that does not run, already logged; ended() follows.
  void refused(const QString& why);
  // Just before ended(): notFittedLine(true) of the run (empty when every
  // point was fitted), so the window can say it where the user looks.
  void notFitted(const QString& line);
  void ended();

private:
  void rowStarted(int row, double percent);
  void engineEnded(bool completed);

  std::unique_ptr<PointRun> m_engine;
  AnalyzeCond m_cond;
  bool m_mlcf = false;
  bool m_refreshOnRows = false;
  QVector<int> m_refIndex;
  LcfRunMaps m_maps;
  int m_noEdge = 0;
  int m_noCommonRange = 0;
};
