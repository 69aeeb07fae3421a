#pragma once

#include "analysis/AnalyzeCond.h"
#include "analysis/FourierTransformer.h"

#include <QObject>
#include <QVector>

#include <memory>

class PointRun;
struct RasterPoint;
struct StackView;

// The sums of the Fourier analysis for one frequency index k over an area.
struct FourierRes
{
  int k = 0;
  double sww = 0.0; // sum of w^2 (w: the first frame's box sum)
  double saa = 0.0; // sum of |F_k|^2
  double swa = 0.0; // sum of w |F_k|
  // swa / sqrt(|sww saa|): nan or inf where the product is 0, as logged.
  double correlation() const;
};

// The Fourier analysis over an area on the point-run engine: every point's
// I1 box sums over the stack are transformed once (on every core) and all N
// frequencies accumulated from that one transform, in raster order, so the
// sums are those of a loop that transforms every point again for each k.
// Logs "2da FA 1:" at the start and one "Res" line per k at the end.
//
// The transformer belongs to the run and keeps its plans while N stays the
// same. Every start ends exactly once with `ended`.
class FourierRun : public QObject
{
  Q_OBJECT

public:
  explicit FourierRun(QObject* parent = nullptr);
  ~FourierRun() override;

  PointRun& engine() const { return *m_engine; }
  bool isRunning() const;
  const FourierTransformer& transformer() const { return m_fourier; }
  // The sums of the last completed run, one per k.
  const QVector<FourierRes>& results() const { return m_res; }

  // Starts over `area`; null or an empty stack does nothing but end.
  bool start(const AnalyzeCond* area, const StackView& stack);
  void stop();

  // The "Res" line of one frequency, as logged.
  static QString resLine(const FourierRes& r);

signals:
  void ended(bool completed);

private:
  void record(const double* values);
  void engineEnded(bool completed);

  // Declared before the engine, so the engine's threads are joined before
  // the plans they execute go.
  FourierTransformer m_fourier;
  std::unique_ptr<PointRun> m_engine;
  QVector<FourierRes> m_res;
  bool m_active = false;
};
