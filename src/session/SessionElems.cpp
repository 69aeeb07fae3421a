// The element analysis of the Session: the edge rows built from "Target
// Element Names", their conditions, the run and the correlation maps.

#include "session/Session.h"

#include "analysis/AnalyzeCond.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/ElemKernel.h"
#include "analysis/MapsRun.h"
#include "analysis/PointSpectra.h"

#include <QDebug>

#include <algorithm>

namespace {

// The rows' fields hold six digits: a value is what its field says.
double sixDigits(double v)
{
  return QString::number(v, 'g', 6).toDouble();
}

} // namespace

void Session::setTargetElements(const QString& text)
{
  m_elemNames = text;
  rebuildElems();
}

void Session::setSortByAtomicNumber(bool f)
{
  // As the check box: only a change builds the rows again.
  if (f == m_sortByAN)
    return;
  m_sortByAN = f;
  rebuildElems();
}

void Session::rebuildElems()
{
  // The maps go with their rows: a map chosen by name may be one of them.
  m_chosen = nullptr;
  m_elems.clear();
  elemResults.clear();
  for (const ElemEntry& entry : parseElemNames(m_elemNames, m_sortByAN)) {
    ElemRow row;
    row.cond.name = entry.name();
    row.cond.e0 = sixDigits(entry.e0);
    for (int k = 0; k < ElemMapCount; ++k)
      row.maps[k] = std::make_unique<Analyzed2DRes>(elemMapName(row.cond.name, k));
    m_elems.push_back(std::move(row));
  }
  m_elemTarget = m_elems.empty() ? -1 : 0;
  m_shownElem = m_elemTarget;
  emit changed();
}

int Session::elemIndexOf(const QString& item) const
{
  const QString name = item.trimmed();
  for (size_t i = 0; i < m_elems.size(); ++i)
    if (m_elems[i].cond.name.compare(name, Qt::CaseInsensitive) == 0)
      return int(i);
  bool ok = false;
  const int i = name.toInt(&ok);
  return (ok && i >= 0 && i < int(m_elems.size())) ? i : -1;
}

Session::ElemRow* Session::elemAt(const QString& item)
{
  const int i = elemIndexOf(item);
  if (i < 0) {
    qDebug().noquote() << "No element row : " + item;
    return nullptr;
  }
  return &m_elems[size_t(i)];
}

bool Session::selectElemTarget(const QString& item)
{
  if (!elemAt(item))
    return false;
  m_elemTarget = elemIndexOf(item);
  selectionChanged();
  return true;
}

bool Session::selectElemShown(const QString& item)
{
  if (!elemAt(item))
    return false;
  m_shownElem = elemIndexOf(item);
  selectionChanged();
  return true;
}

bool Session::setElemUse(const QString& item, bool use)
{
  ElemRow* e = elemAt(item);
  if (e)
    e->cond.use = use;
  if (e)
    emit changed();
  return e != nullptr;
}

bool Session::setElemRoi(const QString& item, double start, double end)
{
  ElemRow* e = elemAt(item);
  if (e) {
    e->cond.roiStart = sixDigits(start);
    e->cond.roiEnd = sixDigits(end);
    emit changed();
  }
  return e != nullptr;
}

bool Session::setElemThDMut(const QString& item, double threshold)
{
  ElemRow* e = elemAt(item);
  if (e)
    e->cond.thDMut = sixDigits(threshold);
  if (e)
    emit changed();
  return e != nullptr;
}

bool Session::setElemNoNeg(const QString& item, bool noNeg)
{
  ElemRow* e = elemAt(item);
  if (e)
    e->cond.noNeg = noNeg;
  if (e)
    emit changed();
  return e != nullptr;
}

bool Session::setElemStdRatio(const QString& item, double ratio)
{
  ElemRow* e = elemAt(item);
  if (e)
    e->cond.stdRatio = ratio;
  if (e)
    emit changed();
  return e != nullptr;
}

void Session::setElemsDE(double dE)
{
  for (ElemRow& e : m_elems)
    e.cond.dE = sixDigits(dE);
  emit changed();
}

bool Session::selectElemDisplay(int kind)
{
  if (kind < 0 || kind > 8) {
    qDebug().noquote() << QStringLiteral("No element display mode %1").arg(kind);
    return false;
  }
  m_choice.section = ElemSection;
  m_elemKind = kind;
  selectionChanged();
  return true;
}

QVector<ElemCond> Session::elemConditions() const
{
  QVector<ElemCond> conds;
  for (const ElemRow& e : m_elems)
    conds.append(e.cond);
  return conds;
}

bool Session::runElems()
{
  MapsRun run(QStringLiteral("Element 2D analysis"));
  run.engine().setThreadCount(m_threads);
  connect(&run, &MapsRun::progress, this, &Session::progress);
  return finishRun(run, startElems(run));
}

bool Session::startElems(MapsRun& run)
{
  AnalyzeCond ac;
  if (!analyzeCond(ac)) {
    run.refuse(QString::fromLatin1(
      QT_TRANSLATE_NOOP("Refusal", "Element 2D analysis not started: no image loaded")));
    return false;
  }
  // The rows are read here, once, as values; the run never sees them again.
  const QVector<ElemCond> conds = elemConditions();
  const int target = validTargetIndex(m_elemTarget, conds.size());
  if (target < 0) {
    run.refuse(QString::fromLatin1(
      QT_TRANSLATE_NOOP("Refusal", "Element 2D analysis not started: no edges")));
    return false;
  }
  const PointSpectra spectra = analysisSpectra();
  if (run.refuseShiftGap(spectra.shifts, ac))
    return false;
  QVector<Analyzed2DRes*> maps;
  for (const ElemRow& e : m_elems)
    for (const auto& m : e.maps)
      maps.append(m.get());
  run.start(
    ac, std::make_shared<ElemKernel>(spectra, conds, target, elemBackground, elemLocate), maps, 0);
  return true;
}

bool Session::runCorrelation(QString* why)
{
  // The window shows the line in its language (the Analyzer's words).
  const auto refuse = [why](const char* line) {
    if (why)
      *why = QString::fromLatin1(line);
    else
      qDebug().noquote() << line;
    return false;
  };
  if (m_elems.empty() || !m_elems.front().maps[ElemMapRatio]->hasData())
    return refuse(QT_TRANSLATE_NOOP("Analyzer", "No element maps to correlate"));
  // A correlation of one ratio with its standard says nothing: the map
  // would be flat.
  const QVector<ElemCond> conds = elemConditions();
  if (std::count_if(conds.begin(), conds.end(), [](const ElemCond& c) { return c.use; }) < 2)
    return refuse(QT_TRANSLATE_NOOP("Analyzer", "Correlation map needs at least two elements"));
  const Analyzed2DRes& first = *m_elems.front().maps[ElemMapRatio];
  QVector<QVector<double>> ratios;
  for (const ElemRow& e : m_elems)
    ratios.append(e.maps[ElemMapRatio]->data());
  MapsRun run(QStringLiteral("Map tool"));
  run.engine().setThreadCount(m_threads);
  run.runNow(first.cond(),
             std::make_shared<ElemCorKernel>(ratios, first.width(), first.height(), conds, corTh),
             { ownMap(ElemsCorMap), ownMap(ElemsCorThMap) });
  emit changed();
  return run.completed();
}
