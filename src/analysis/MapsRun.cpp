#include "analysis/MapsRun.h"

#include "analysis/Analyzed2DRes.h"
#include "analysis/LcfResult.h"
#include "analysis/PointSpectra.h"
#include "app/TextItems.h"

#include <QCoreApplication>
#include <QDebug>

#include <algorithm>
#include <cmath>

namespace {

// The title of the run whose kernel leaves points not fitted.
[[maybe_unused]] const char* const notFittedTitle =
  QT_TRANSLATE_NOOP("MapsRun", "Residual absorption analysis");

} // namespace

MapsRun::MapsRun(const QString& title, QObject* parent)
  : QObject(parent)
  , m_title(title)
  , m_engine(std::make_unique<PointRun>())
{
  connect(m_engine.get(), &PointRun::rowStarted, this, [this](int, double percent) {
    if (m_refreshOnRows)
      refreshMaps();
    emit progress(percent);
  });
  connect(m_engine.get(), &PointRun::ended, this, &MapsRun::engineEnded);
}

MapsRun::~MapsRun() = default;

void MapsRun::start(const AnalyzeCond& cond,
                    std::shared_ptr<const PointKernel> kernel,
                    const QVector<Analyzed2DRes*>& maps,
                    int no)
{
  if (isRunning())
    stop();
  m_cond = cond;
  m_cond.reset();
  m_maps = maps;
  m_completed = false;
  m_notFitted = 0;
  for (Analyzed2DRes* m : m_maps)
    if (m) {
      m->reset(m_cond);
      m->setNo(no);
    }
  emit progress(0.0);
  logWithTime(m_title + QStringLiteral(" start"));
  const int n = std::min(int(m_maps.size()), kernel ? kernel->valuesPerPoint() : 0);
  m_engine->start(m_cond, std::move(kernel), [this, n](const RasterPoint& p, const double* v) {
    for (int i = 0; i < n; ++i)
      if (Analyzed2DRes* m = m_maps[i])
        m->setData(p.cx, p.cy, p.bx, p.by, v[i]);
    if (n > 0 && std::all_of(v, v + n, [](double x) { return std::isnan(x); }))
      ++m_notFitted;
    if (m_hook)
      m_hook(p, v);
  });
}

void MapsRun::refuse(const QString& why)
{
  if (isRunning())
    stop();
  qDebug().noquote() << why;
  m_completed = false;
  // The callers' fixed texts are listed in the "Refusal" context.
  emit refused(QCoreApplication::translate("Refusal", why.toUtf8().constData()));
  emit ended();
}

bool MapsRun::refuseShiftGap(const EnergyShiftView& shifts, const AnalyzeCond& area)
{
  const QString gap = shiftMapGap(shifts, area);
  if (gap.isEmpty())
    return false;
  refuse(m_title + QStringLiteral(" not started: ") + gap);
  return true;
}

void MapsRun::stop()
{
  m_engine->stop();
}

void MapsRun::runNow(const AnalyzeCond& cond,
                     std::shared_ptr<const PointKernel> kernel,
                     const QVector<Analyzed2DRes*>& maps,
                     int no)
{
  start(cond, std::move(kernel), maps, no);
  m_engine->waitForEnd();
}

void MapsRun::engineEnded(bool completed)
{
  m_completed = completed;
  refreshMaps();
  if (completed)
    emit progress(100.0);
  logWithTime(m_title + QStringLiteral(" end"));
  const QString line = notFittedLine();
  if (!line.isEmpty()) {
    qDebug().noquote() << line;
    emit notFitted(notFittedLine(true));
  }
  emit ended();
}

QString MapsRun::notFittedLine(bool translated) const
{
  if (m_notFitted == 0)
    return QString();
  const QString why = fitStatusText(FitStatus::NoEdge);
  if (!translated)
    return QStringLiteral("%1: points not fitted (NaN in the maps): %2 (%3)")
      .arg(m_title)
      .arg(m_notFitted)
      .arg(why);
  return tr("%1: points not fitted (NaN in the maps): %2 (%3)")
    .arg(tr(m_title.toUtf8().constData()))
    .arg(m_notFitted)
    .arg(QCoreApplication::translate("FitStatus", why.toLatin1().constData()));
}

void MapsRun::refreshMaps()
{
  emit mapsRendered();
}
