#pragma once

#include "analysis/AnalyzeCond.h"
#include "analysis/LcfFit.h"
#include "analysis/LcfRunMaps.h"

#include <QObject>
#include <QVector>

#include <functional>

class Analyzer;
class Analyzed2DRes;

// One LCF / MLCF run over an area, point by point, on the GUI thread: build
// the point's spectrum, send it to the Analyzer's worker, record the answer
// that belongs to it, go on with the next point.
//
// What the run fits is fixed when it starts: the reference snapshots, LCF
// or MLCF, the fitting range, the raster. Every start ends exactly once with
// `ended()`: at the last point, by `stop()`, by a new start, or at once when
// the start is refused (no image, fewer than two usable references), so a
// batch waiting for the run always goes on.
class Lcf2DRun : public QObject
{
  Q_OBJECT

public:
  // The spectrum of the block centred on (cx, cy) with half widths (bx, by),
  // normalised; empty where there is nothing to fit.
  using SpectrumSource = std::function<XafsSpectrum(int cx, int cy, int bx, int by)>;

  explicit Lcf2DRun(Analyzer* analyzer, QObject* parent = nullptr);

  void setSpectrumSource(SpectrumSource source) { m_source = std::move(source); }
  bool isRunning() const { return m_running; }
  const AnalyzeCond& cond() const { return m_cond; }
  bool isMLCF() const { return m_mlcf; }
  // The run's maps: amount maps of every reference, then their fraction
  // maps (list order at the start), and "a2d Zansa".
  QVector<Analyzed2DRes*> maps() const;
  // Points recorded and requests sent so far in this run (for timing).
  int pointsDone() const { return m_points; }

  // Starts over `cond`; `cond` null means no image is loaded. Returns false
  // (with a debug line, and ended() already emitted) when the run refuses.
  bool start(const AnalyzeCond* cond);
  // Ends a running run; a fit still in flight is ignored when it answers.
  void stop();
  // Every answer of the Analyzer's worker; only the one the run waits for
  // counts.
  void answered(const LcfResult& result);
  // Writes an answer at the cursor's point: each used reference's amount
  // and fraction into the maps of its list position, z into "a2d Zansa".
  void recordResForAPoint(const LcfResult& result);
  // Renders the run's maps (residual map last) through the colour bar.
  void generateResImages();

signals:
  void mapsRendered();
  void ended();

private:
  // Sends the current point, or records a point that needs no fit and moves
  // on, until a request is out or the raster is done.
  void analyzeFromCurrentPoint();
  // Moves the cursor; false at the end. Refreshes maps and progress at the
  // start of each row.
  bool advance();
  // Ends the run: renders the maps, leaves run mode, reports the end.
  void finish(bool completed);

  Analyzer* m_analyzer;
  SpectrumSource m_source;
  bool m_running = false;
  AnalyzeCond m_cond;
  QVector<RefSnapshot> m_refs;
  bool m_mlcf = false;
  FitConditions m_fitCond;
  LcfRunMaps m_maps;
  quint64 m_waitingFor = 0;
  int m_points = 0;
};
