#include "analysis/LcfRun.h"

#include "analysis/Analyzed2DRes.h"
#include "analysis/LcfKernel.h"
#include "analysis/PointRun.h"
#include "app/TextItems.h"

#include <QCoreApplication>
#include <QDebug>
#include <QStringList>

#include <utility>

LcfRun::LcfRun(QObject* parent)
  : QObject(parent)
  , m_engine(std::make_unique<PointRun>())
{
  connect(m_engine.get(), &PointRun::rowStarted, this, &LcfRun::rowStarted);
  connect(m_engine.get(), &PointRun::ended, this, &LcfRun::engineEnded);
}

LcfRun::~LcfRun() = default;

bool LcfRun::isRunning() const
{
  return m_engine->isRunning();
}

int LcfRun::pointsDone() const
{
  return m_engine->pointsRecorded();
}

QVector<Analyzed2DRes*> LcfRun::maps() const
{
  QVector<Analyzed2DRes*> all = m_maps.amounts;
  all += m_maps.fractions;
  if (m_maps.zansa)
    all.append(m_maps.zansa);
  return all;
}

bool LcfRun::start(const AnalyzeCond* area, const LcfRunSetup& setup, const LcfRunMaps& maps)
{
  if (isRunning())
    stop();
  if (!area) {
    qDebug().noquote() << "LCF 2D analysis not started: no image loaded";
    emit refused(tr("LCF 2D analysis not started: no image loaded"));
    emit ended();
    return false;
  }
  // setup() cuts the area to the image: one wholly outside keeps no pixel.
  if (area->x0 >= area->width || area->y0 >= area->height || area->x1 <= 0 || area->y1 <= 0) {
    qDebug().noquote() << "LCF 2D analysis not started: the area lies outside the image";
    emit refused(tr("LCF 2D analysis not started: the area lies outside the image"));
    emit ended();
    return false;
  }
  int usable = 0;
  for (const RefSnapshot& r : setup.refs)
    usable += r.usable() ? 1 : 0;
  if (usable < 2) {
    qDebug().noquote() << "LCF 2D analysis not started: fewer than two usable references";
    emit refused(tr("LCF 2D analysis not started: fewer than two usable references"));
    emit ended();
    return false;
  }
  const QString gap = shiftMapGap(setup.spectra.shifts, *area);
  if (!gap.isEmpty()) {
    const QString why = QStringLiteral("LCF 2D analysis not started: ") + gap;
    qDebug().noquote() << why;
    emit refused(
      tr("LCF 2D analysis not started: %1").arg(shiftMapGap(setup.spectra.shifts, *area, true)));
    emit ended();
    return false;
  }
  // Everything per run is prepared here, once: the references' tables, the
  // I0 brackets of the stack; each worker then builds its grid cache once.
  auto kernel = std::make_shared<LcfKernel>(setup.spectra, setup.refs, setup.mlcf, setup.fit);
  m_refIndex = kernel->refIndex();
  m_mlcf = setup.mlcf;
  m_refreshOnRows = setup.refreshOnRows;
  m_cond = *area;
  m_cond.reset();
  m_maps = maps;
  m_maps.reset(m_cond);

  emit progress(0.0);
  logWithTime(QStringLiteral("LCF 2D analysis start"));
  const int n = m_refIndex.size();
  m_noEdge = 0;
  m_noCommonRange = 0;
  m_engine->start(m_cond, kernel, [this, n](const RasterPoint& p, const double* v) {
    m_cond.cx = p.cx;
    m_cond.cy = p.cy;
    m_cond.newRow = p.newRow;
    const auto status = FitStatus(int(v[1 + 2 * n]));
    m_noEdge += status == FitStatus::NoEdge ? 1 : 0;
    m_noCommonRange += status == FitStatus::NoCommonRange ? 1 : 0;
    m_maps.record(v[0], v + 1, v + 1 + n, m_refIndex, m_cond);
  });
  return true;
}

void LcfRun::stop()
{
  m_engine->stop();
}

void LcfRun::rowStarted(int /*row*/, double percent)
{
  if (m_refreshOnRows)
    refreshMaps();
  if (isRunning())
    emit progress(percent);
}

QString LcfRun::notFittedLine(bool translated) const
{
  QStringList parts;
  for (const auto& [count, status] :
       { std::make_pair(m_noEdge, FitStatus::NoEdge),
         std::make_pair(m_noCommonRange, FitStatus::NoCommonRange) }) {
    const QString why = fitStatusText(status);
    if (count > 0)
      parts << QStringLiteral("%1 (%2)").arg(count).arg(
        translated ? QCoreApplication::translate("FitStatus", why.toLatin1().constData()) : why);
  }
  if (parts.isEmpty())
    return QString();
  const QString list = parts.join(QStringLiteral(", "));
  return translated
           ? tr("LCF 2D analysis: points not fitted (NaN in the maps): %1").arg(list)
           : QStringLiteral("LCF 2D analysis: points not fitted (NaN in the maps): ") + list;
}

void LcfRun::engineEnded(bool completed)
{
  refreshMaps();
  if (completed)
    emit progress(100.0);
  logWithTime(QStringLiteral("LCF 2D analysis end"));
  const QString line = notFittedLine();
  if (!line.isEmpty())
    qDebug().noquote() << line;
  emit notFitted(notFittedLine(true));
  emit ended();
}

void LcfRun::refreshMaps()
{
  emit mapsRendered();
}
