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
  if (m_source)
    m_analyzer->reportReferenceOverlap(
      m_refs,
      m_source((m_cond.x0 + m_cond.x1) / 2, (m_cond.y0 + m_cond.y1) / 2, m_cond.bx, m_cond.by),
      true);

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
  m_sendCond = m_cond;
  m_allSent = false;
  m_inFlight.clear();
  m_analyzer->setContAccess(true);
  m_analyzer->setProgress(0.0);
  logWithTime(QStringLiteral("LCF 2D analysis start"));
  const bool any = m_cond.pointInside() || advanceToInside();
  if (!m_running) // stopped from a slot of a row refresh: already ended
    return true;
  if (!any) {
    // An area without a single point inside the image.
    finish(true);
    return true;
  }
  sendBlocks();
  return true;
}

void Lcf2DRun::stop()
{
  if (m_running)
    finish(false);
}

void Lcf2DRun::sendBlocks()
{
  while (!m_allSent && m_inFlight.size() < 2) {
    QVector<XafsSpectrum> block;
    block.reserve(m_blockSize);
    while (!m_allSent && block.size() < m_blockSize) {
      // Points outside the image are skipped on both sides; a point with
      // nothing to fit is still sent and answered with zeros.
      if (m_sendCond.pointInside())
        block.append(m_source ? m_source(m_sendCond.cx, m_sendCond.cy, m_sendCond.bx, m_sendCond.by)
                              : XafsSpectrum());
      m_allSent = !m_sendCond.next();
    }
    if (!block.isEmpty())
      m_inFlight.append(m_analyzer->requestBlock(block, m_refs, m_mlcf, m_fitCond));
  }
}

void Lcf2DRun::answered(quint64 tag, const QVector<LcfResult>& results)
{
  if (!m_running || m_inFlight.isEmpty() || tag != m_inFlight.first())
    return;
  m_inFlight.removeFirst();
  // Keep the worker busy while this block is recorded.
  sendBlocks();
  for (const LcfResult& r : results) {
    recordResForAPoint(r);
    const bool more = advanceToInside();
    if (!m_running) // stopped from a slot of the row refresh: already ended
      return;
    if (!more) {
      finish(true);
      return;
    }
  }
}

void Lcf2DRun::recordResForAPoint(const LcfResult& result)
{
  m_maps.record(result, m_cond);
  ++m_points;
}

bool Lcf2DRun::advanceToInside()
{
  do {
    if (!advance())
      return false;
  } while (m_running && !m_cond.pointInside());
  return true;
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
  m_inFlight.clear();
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
