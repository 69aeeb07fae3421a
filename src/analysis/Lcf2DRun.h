#pragma once

#include "analysis/AnalyzeCond.h"
#include "analysis/LcfFit.h"
#include "analysis/LcfRunMaps.h"

#include <QObject>
#include <QVector>

#include <functional>

class Analyzer;
class Analyzed2DRes;

// One LCF / MLCF run over an area. The GUI thread builds the spectra of the
// points (the frames belong to it) and sends them to the Analyzer's worker
// in blocks; it records each block's answers in raster order. Two blocks
// are kept in flight, so the next block is built while the worker fits the
// previous one, and a point costs a share of one thread hand-over instead
// of a whole round trip. Every fit is the same pure call whatever the
// blocking, so the maps do not depend on it.
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
  // Points recorded so far in this run.
  int pointsDone() const { return m_points; }
  // Points per request (at least 1); taken at the next start.
  void setBlockSize(int points) { m_blockSize = qMax(1, points); }

  // Starts over `cond`; `cond` null means no image is loaded. Returns false
  // (with a debug line, and ended() already emitted) when the run refuses.
  bool start(const AnalyzeCond* cond);
  // Ends a running run; a fit still in flight is ignored when it answers.
  void stop();
  // Every block answer of the Analyzer's worker; only the oldest block the
  // run waits for counts (a stopped or superseded run's blocks are dropped).
  void answered(quint64 tag, const QVector<LcfResult>& results);
  // Writes an answer at the cursor's point: each used reference's amount
  // and fraction into the maps of its list position, z into "a2d Zansa".
  void recordResForAPoint(const LcfResult& result);
  // Renders the run's maps (residual map last) through the colour bar.
  void generateResImages();

signals:
  void mapsRendered();
  void ended();

private:
  // Builds and sends blocks until two are in flight or every point is sent.
  void sendBlocks();
  // Moves the recording cursor to the next point inside the image; false at
  // the end. Refreshes maps and progress at the start of each row.
  bool advanceToInside();
  bool advance();
  // Ends the run: renders the maps, leaves run mode, reports the end.
  void finish(bool completed);

  Analyzer* m_analyzer;
  SpectrumSource m_source;
  bool m_running = false;
  AnalyzeCond m_cond;     // where the next answer is recorded
  AnalyzeCond m_sendCond; // the next point whose spectrum is sent
  bool m_allSent = false;
  int m_blockSize = 256;
  QVector<quint64> m_inFlight; // block numbers, oldest first
  QVector<RefSnapshot> m_refs;
  bool m_mlcf = false;
  FitConditions m_fitCond;
  LcfRunMaps m_maps;
  int m_points = 0;
};
