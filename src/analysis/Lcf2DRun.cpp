#include "analysis/Lcf2DRun.h"

#include "analysis/Analyzed2DRes.h"
#include "analysis/Analyzer.h"
#include "analysis/LCFReference.h"
#include "app/TextItems.h"
#include "display/ColorMap.h"

#include <QDebug>

Lcf2DRun::Lcf2DRun(Analyzer* analyzer, QObject* parent)
  : QObject(parent)
  , m_analyzer(analyzer)
{
}

QVector<Analyzed2DRes*> Lcf2DRun::maps() const
{
  QVector<Analyzed2DRes*> all = m_maps.amounts;
  all += m_maps.fractions;
  if (m_maps.zansa)
    all.append(m_maps.zansa);
  return all;
}

bool Lcf2DRun::start(const AnalyzeCond* cond)
{
  if (m_running)
    stop();
  if (!cond) {
    qDebug().noquote() << "LCF 2D analysis not started: no image loaded";
    emit ended();
    return false;
  }
  // The references are taken now and stay as they are for the whole run:
  // ticking "Use" or adding a row meanwhile changes nothing here.
  m_refs = m_analyzer->referenceSnapshots();
  int usable = 0;
  for (const RefSnapshot& r : m_refs)
    usable += r.usable() ? 1 : 0;
  if (usable < 2) {
    qDebug().noquote() << "LCF 2D analysis not started: fewer than two usable references";
    emit ended();
    return false;
  }
  m_mlcf = m_analyzer->isMLCF();
  m_fitCond = m_analyzer->fitConditions();
  m_cond = *cond;
  m_cond.reset();

  const QVector<LCFReference*>& rows = m_analyzer->references();
  m_maps = LcfRunMaps();
  for (int i = 0; i < m_refs.size(); ++i) {
    m_maps.amounts.append(rows[i]->map(0));
    m_maps.fractions.append(rows[i]->map(1));
  }
  m_maps.zansa = m_analyzer->ownMap(Analyzer::ZansaMap);
  m_maps.reset(m_cond);

  m_running = true;
  m_points = 0;
  m_analyzer->setContAccess(true);
  m_analyzer->setProgress(0.0);
  logWithTime(QStringLiteral("LCF 2D analysis start"));
  analyzeFromCurrentPoint();
  return true;
}

void Lcf2DRun::stop()
{
  if (m_running)
    finish(false);
}

void Lcf2DRun::analyzeFromCurrentPoint()
{
  while (m_running) {
    if (m_cond.pointInside()) {
      XafsSpectrum s =
        m_source ? m_source(m_cond.cx, m_cond.cy, m_cond.bx, m_cond.by) : XafsSpectrum();
      if (s.size() > 0) {
        m_waitingFor = m_analyzer->requestFit(s, m_refs, m_mlcf, m_fitCond);
        return;
      }
      // Nothing to fit here: the point gets zeros and the run goes on
      // without a round trip to the worker.
      recordResForAPoint(fitSpectrum(s, m_refs, m_mlcf, m_fitCond));
    }
    if (!advance()) {
      finish(true);
      return;
    }
  }
}

void Lcf2DRun::answered(const LcfResult& result)
{
  // A single fit still in flight when the run started, or the last request
  // of a stopped run, carries another number.
  if (!m_running || result.tag != m_waitingFor)
    return;
  m_waitingFor = 0;
  recordResForAPoint(result);
  if (!advance()) {
    finish(true);
    return;
  }
  analyzeFromCurrentPoint();
}

void Lcf2DRun::recordResForAPoint(const LcfResult& result)
{
  m_maps.record(result, m_cond);
  ++m_points;
}

bool Lcf2DRun::advance()
{
  if (!m_cond.next())
    return false;
  if (m_cond.newRow) {
    if (m_analyzer->dispOnTime())
      generateResImages();
    const int span = m_cond.y1 - m_cond.y0;
    m_analyzer->setProgress(span > 0 ? (m_cond.cy - m_cond.y0) * 100.0 / span : 100.0);
  }
  return true;
}

void Lcf2DRun::finish(bool completed)
{
  m_running = false;
  m_waitingFor = 0;
  generateResImages();
  m_analyzer->setContAccess(false);
  if (completed)
    m_analyzer->setProgress(100.0);
  logWithTime(QStringLiteral("LCF 2D analysis end"));
  emit ended();
}

void Lcf2DRun::generateResImages()
{
  m_maps.genImg(currentColorMapping());
  emit mapsRendered();
}
