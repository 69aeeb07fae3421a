#pragma once

#include "analysis/AnalyzeCond.h"
#include "analysis/PointRun.h"

#include <QObject>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>

class Analyzed2DRes;
struct EnergyShiftView;

// A run over an area on the point-run engine whose kernel's values go
// straight into maps: value i of a point is written into maps[i] over the
// point's block (a null entry is not written). The maps are reset to the
// run when it starts and announced for drawing (mapsRendered) at its end and
// at every row when asked; they are not owned.
//
// Every start ends exactly once with `ended()`: at the last point, by
// stop(), by a new start, or at once when the start is refused.
class MapsRun : public QObject
{
  Q_OBJECT

public:
  // Called in raster order after a point's values were written.
  using PointHook = std::function<void(const RasterPoint& p, const double* values)>;

  // `title` names the run in its start and end log lines.
  explicit MapsRun(const QString& title, QObject* parent = nullptr);
  ~MapsRun() override;

  PointRun& engine() const { return *m_engine; }
  bool isRunning() const { return m_engine->isRunning(); }
  const AnalyzeCond& cond() const { return m_cond; }
  const QVector<Analyzed2DRes*>& maps() const { return m_maps; }
  // Points of the last run whose kernel gave NaN for every value (a point
  // with no clear edge jump): one line for the log (English) or the window
  // (`translated`), empty when there was none.
  QString notFittedLine(bool translated = false) const;
  // Whether the last run recorded every point.
  bool completed() const { return m_completed; }

  // Announce the maps for drawing at every new row ("Disp. on Time").
  void setRefreshOnRows(bool f) { m_refreshOnRows = f; }
  void setPointHook(PointHook hook) { m_hook = std::move(hook); }
  // Starts `kernel` over `cond`; `maps` must hold one entry per value of
  // the kernel (no = -1 marks them as not numbered).
  void start(const AnalyzeCond& cond,
             std::shared_ptr<const PointKernel> kernel,
             const QVector<Analyzed2DRes*>& maps,
             int no = -1);
  // Refuses a start: logs `why` and ends at once; refused() carries it in
  // the window's language when it is one of the texts marked with
  // QT_TRANSLATE_NOOP("Refusal", ...).
  void refuse(const QString& why);
  // Refuses (true) when the energy-shift map the points are read with
  // cannot correct every point of `area` (shiftMapGap): a map that corrects
  // part of the area would leave the rest silently uncorrected.
  bool refuseShiftGap(const EnergyShiftView& shifts, const AnalyzeCond& area);
  void stop();
  // start() and record every point before returning.
  void runNow(const AnalyzeCond& cond,
              std::shared_ptr<const PointKernel> kernel,
              const QVector<Analyzed2DRes*>& maps,
              int no = -1);
  // Tells whoever shows the maps that they hold new values (mapsRendered):
  // the run itself draws nothing.
  void refreshMaps();

signals:
  void progress(double percent);
  void mapsRendered();
  // A start that does not run, already logged; ended() follows.
  void refused(const QString& why);
  // Just before ended() when notFittedLine() is not empty: its translated
  // form, so the window can say it where the user looks.
  void notFitted(const QString& line);
  void ended();

private:
  void engineEnded(bool completed);

  QString m_title;
  std::unique_ptr<PointRun> m_engine;
  AnalyzeCond m_cond;
  QVector<Analyzed2DRes*> m_maps;
  PointHook m_hook;
  bool m_refreshOnRows = false;
  bool m_completed = false;
  int m_notFitted = 0;
};
