// The Session's map tools: sum-up, the two capture slots and map
// processing.

#include "session/Session.h"

#include "analysis/AnalyzeCond.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/MapKernels.h"
#include "analysis/MapsRun.h"
#include "stack/StackSpectra.h"

#include <QDebug>

bool Session::runSumUp()
{
  MapsRun run(QStringLiteral("Sum Up"));
  run.engine().setThreadCount(m_threads);
  return finishRun(run, startSumUp(run));
}

bool Session::finishRun(MapsRun& run, bool started)
{
  if (!started)
    return false;
  run.engine().waitForEnd();
  emit changed();
  return run.completed();
}

bool Session::startSumUp(MapsRun& run)
{
  AnalyzeCond ac;
  if (sumUpRanges.isEmpty()) {
    run.refuse(QString::fromLatin1(QT_TRANSLATE_NOOP("Refusal", "Sum Up: no image ranges")));
    return false;
  }
  if (!analyzeCond(ac)) {
    run.refuse(QString::fromLatin1(QT_TRANSLATE_NOOP("Refusal", "Sum Up: no image loaded")));
    return false;
  }
  run.start(ac, std::make_shared<SumUpKernel>(stackView(), sumUpRanges), { ownMap(SumUpMap) });
  return true;
}

bool Session::captureMap(int slot)
{
  if (slot != 1 && slot != 2) {
    qDebug().noquote() << QStringLiteral("No map slot %1").arg(slot);
    return false;
  }
  return captureMap(slot, *currentMap());
}

bool Session::captureMap(int slot, const Analyzed2DRes& source)
{
  Analyzed2DRes* target = ownMap(slot == 1 ? Map1 : Map2);
  if (!source.hasData()) {
    qDebug().noquote() << "No map to capture";
    return false;
  }
  if (&source != target)
    *target = source;
  emit changed();
  return true;
}

bool Session::processMaps()
{
  const Analyzed2DRes& map1 = *ownMap(Map1);
  const Analyzed2DRes& map2 = *ownMap(Map2);
  if (!map1.hasData() || !map2.hasData()) {
    qDebug().noquote() << "Process Maps: Map 1 and Map 2 must both hold a map";
    return false;
  }
  AnalyzeCond ac;
  if (!analyzeCond(ac)) // no image loaded: the whole of Map 1, point by pixel
    ac.setup(map1.width(), map1.height(), 0, 0, 0, 0, map1.width(), map1.height());
  const QString sizes = QStringLiteral("%1 x %2, %3 x %4")
                          .arg(map1.width())
                          .arg(map1.height())
                          .arg(map2.width())
                          .arg(map2.height());
  MapsRun run(QStringLiteral("Map tool"));
  run.engine().setThreadCount(m_threads);
  run.setPointHook([sizes](const RasterPoint& p, const double* v) {
    qDebug().noquote()
      << QStringLiteral("%1 %2 : %3 %4 : %5").arg(p.cx).arg(p.cy).arg(v[1]).arg(v[2]).arg(sizes);
  });
  run.runNow(ac,
             std::make_shared<ProcMapsKernel>(mapValuesOf(map1), mapValuesOf(map2), procType),
             { ownMap(ProcessedMap), nullptr, nullptr });
  emit changed();
  return run.completed();
}
