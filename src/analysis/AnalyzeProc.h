#pragma once

#include "analysis/LcfFit.h"
#include "app/WorkerThread.h"

#include <QObject>

#include <atomic>

// The fitting worker of the Analyzer, living on its own thread. A request
// arrives by queued signal with the spectrum, the reference snapshots and the
// conditions by value; the answer leaves by value in `finished`, so nothing
// of the worker is read by another thread and every request is answered.
class AnalyzeProc : public QObject
{
  Q_OBJECT

public:
  explicit AnalyzeProc(QObject* parent = nullptr);
  bool contAccess() const { return m_contAccess.load(); }

signals:
  // Emitted for every request, after newZ.
  void finished(const LcfResult& result);
  void newZ(double z);

public slots:
  // True for the whole of a 2-D run: results are then marked as run results
  // (the Analyzer leaves its controls alone) and no fitted-curve spectrum is
  // built. May be called from any thread.
  void setContAccess(bool f) { m_contAccess.store(f); }
  void analyzeSpectrum0(const XafsSpectrum& s,
                        const QVector<RefSnapshot>& refs,
                        bool isMLCF,
                        const FitConditions& cond);
  void analyzeSpectrumByLCF(const XafsSpectrum& s,
                            const QVector<RefSnapshot>& refs,
                            const FitConditions& cond);
  void analyzeSpectrumByMLCF(const XafsSpectrum& s,
                             const QVector<RefSnapshot>& refs,
                             const FitConditions& cond);

private:
  void answer(const XafsSpectrum& s,
              const QVector<RefSnapshot>& refs,
              bool mlcf,
              FitConditions cond);

  std::atomic<bool> m_contAccess{ false };
};

// Registers the value types that cross threads in queued signals.
void registerAnalysisMetaTypes();

// Owns the worker and its thread; the destructor ends the thread's event
// loop and waits for a fit in progress before the worker goes, so no signal
// reaches a dead object.
class AnalyzeThread : public WorkerThread<AnalyzeProc>
{
public:
  AnalyzeThread()
    : WorkerThread(QStringLiteral("AnalyzeProc"))
  {
  }
};
