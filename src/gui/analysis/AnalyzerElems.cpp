// The element section of the Analyzer: the edge rows built from "Target
// Element Names", the single-spectrum answer, the standard pattern and the
// correlation maps.

#include "analysis/Analyzed2DRes.h"
#include "analysis/ElemKernel.h"
#include "analysis/MapsRun.h"
#include "app/Refusal.h"
#include "app/TextItems.h"
#include "gui/analysis/AElemsConds.h"
#include "gui/analysis/Analyzer.h"
#include "gui/analysis/ElemCtrl.h"

#include "ui_Analyzer.h"

#include <QButtonGroup>
#include <QDebug>
#include <QVBoxLayout>

#include <algorithm>

void Analyzer::setupElems()
{
  m_aElemsConds = std::make_unique<AElemsConds>(this);
  m_aElemsConds->setWindowFlags(Qt::Dialog);
  m_targetGroup = new QButtonGroup(this);
  m_showElemGroup = new QButtonGroup(this);
  m_elemKindGroup = new QButtonGroup(this);
  QAbstractButton* const kinds[] = {
    m_ui->ShowElemsDMut0,    m_ui->ShowElemsDMutN, m_ui->ShowElemsMutPlus,
    m_ui->ShowElemsMutMinus, m_ui->ShowElemsDE,    m_ui->ShowElemsROI,
    m_ui->ShowElemsNROI,     m_ui->ShowElemsCorr,  m_ui->ShowElemsCorrTh,
  };
  for (int i = 0; i < 9; ++i) {
    m_elemKindGroup->addButton(kinds[i], i);
    if (i < 7) // the two correlation buttons are connected with the others
      connect(kinds[i], &QAbstractButton::toggled, this, &Analyzer::selectedImgChanged);
  }
  connect(m_ui->AElemNames, &QLineEdit::editingFinished, this, &Analyzer::newElems);
  connect(m_ui->SortByANo, &QCheckBox::toggled, this, &Analyzer::newElems);
  connect(m_ui->AElemsCds, &QPushButton::clicked, m_aElemsConds.get(), &QDialog::show);
  connect(m_ui->ExecElems, &QPushButton::clicked, this, &Analyzer::askAnalyzeElems);
  connect(m_ui->StopElems, &QPushButton::clicked, this, &Analyzer::askStopElemsAnalysis);
  connect(m_ui->SetSTD, &QPushButton::clicked, this, &Analyzer::setElemsStd);
  connect(m_ui->ReCalcCor, &QPushButton::clicked, this, &Analyzer::recalcCorMap);
  connect(m_ui->CorTh, &QLineEdit::editingFinished, this, &Analyzer::newCorTh);
  connect(this, &Analyzer::setNewCorrelation, this, &Analyzer::setCorrelation);
  auto changed = [this] {
    if (!m_selecting)
      emit changedSelection();
  };
  connect(m_targetGroup, &QButtonGroup::idClicked, this, changed);
  connect(m_showElemGroup, &QButtonGroup::idClicked, this, changed);
}

QVector<ElemCond> Analyzer::elemConditions() const
{
  QVector<ElemCond> conds;
  conds.reserve(m_elems.size());
  for (const ElemCtrl* e : m_elems)
    conds.append(e->conditions());
  return conds;
}

int Analyzer::targetIndex() const
{
  return m_targetGroup->checkedId();
}

ElemBackground Analyzer::elemBackground() const
{
  return m_aElemsConds->values();
}

EdgeLocate Analyzer::elemEdgeLocate() const
{
  return m_aElemsConds->edgeLocate();
}

bool Analyzer::elemsDispOnTime() const
{
  return m_ui->ElemsDispOnTime->isChecked();
}

int Analyzer::shownElem() const
{
  return m_elems.isEmpty() ? -1 : std::max(m_showElemGroup->checkedId(), 0);
}

ElemCtrl* Analyzer::elemAt(const QString& item) const
{
  const int i = elemIndexOf(item);
  if (i < 0) {
    qDebug().noquote() << "No element row : " + item;
    return nullptr;
  }
  return m_elems[i];
}

int Analyzer::elemIndexOf(const QString& item) const
{
  const QString name = item.trimmed();
  for (int i = 0; i < m_elems.size(); ++i)
    if (m_elems[i]->name().compare(name, Qt::CaseInsensitive) == 0)
      return i;
  bool ok = false;
  const int i = name.toInt(&ok);
  return (ok && i >= 0 && i < m_elems.size()) ? i : -1;
}

Analyzed2DRes* Analyzer::currentElemMap() const
{
  const int kind = m_elemKindGroup->checkedId();
  if (kind == 7)
    return m_maps[Session::ElemsCorMap];
  if (kind == 8)
    return m_maps[Session::ElemsCorThMap];
  const int row = shownElem();
  if (row < 0)
    return nullptr;
  return m_elems[row]->map(kind < 0 ? 0 : kind);
}

void Analyzer::newElems()
{
  const QVector<ElemEntry> entries =
    parseElemNames(m_ui->AElemNames->text(), m_ui->SortByANo->isChecked());
  // The rows (and their maps) go: a run writing into them ends first; a
  // map on view is a copy in the image view.
  emit askStopElemsAnalysis();
  for (ElemCtrl* e : m_elems)
    delete e;
  m_elems.clear();
  m_elemResults.clear();
  auto* rows = static_cast<QVBoxLayout*>(m_ui->ElemRows->layout());
  for (const ElemEntry& entry : entries) {
    const int index = m_elems.size();
    auto* row = new ElemCtrl(entry, m_ui->ElemRows);
    rows->insertWidget(index, row);
    m_targetGroup->addButton(row->targetButton(), index);
    m_showElemGroup->addButton(row->showButton(), index);
    m_elems.append(row);
  }
  if (!m_elems.isEmpty()) {
    m_elems.first()->targetButton()->setChecked(true);
    m_elems.first()->showButton()->setChecked(true);
  }
  if (!m_selecting)
    emit changedSelection();
}

void Analyzer::analyzeSpectrumElemsFinished(const QVector<ElemResult>& results)
{
  m_elemResults = results;
  for (int k = 0; k < m_elems.size() && k < results.size(); ++k)
    m_elems[k]->showResult(results[k]);
  emit analyzeElemsFinished();
  calcCorrelation();
}

void Analyzer::calcCorrelation()
{
  const QVector<ElemCond> conds = elemConditions();
  QVector<double> ratios;
  for (const ElemCtrl* e : m_elems)
    ratios.append(e->ratio());
  double cor = 0.0;
  if (elemCorrelation(conds, ratios.constData(), cor))
    emit setNewCorrelation(cor);
}

void Analyzer::setCorrelation(double cor)
{
  m_ui->ElemsCorrelation->setText(QString::number(cor, 'g', 6));
}

void Analyzer::setElemsStd()
{
  for (ElemCtrl* e : m_elems)
    e->setStdRatio(e->ratio());
  recalcCorMap();
}

void Analyzer::recalcCorMap()
{
  if (m_elems.isEmpty() || !m_elems.first()->map(ElemMapRatio)->hasData()) {
    refuse(
      this, QStringLiteral("No element maps to correlate"), tr("No element maps to correlate"));
    return;
  }
  // A correlation of one ratio with its standard says nothing: the map
  // would be flat.
  const QVector<ElemCond> conds = elemConditions();
  if (std::count_if(conds.begin(), conds.end(), [](const ElemCond& c) { return c.use; }) < 2) {
    refuse(this,
           QStringLiteral("Correlation map needs at least two elements"),
           tr("Correlation map needs at least two elements"));
    return;
  }
  const Analyzed2DRes* first = m_elems.first()->map(ElemMapRatio);
  QVector<QVector<double>> ratios;
  for (const ElemCtrl* e : m_elems)
    ratios.append(e->map(ElemMapRatio)->data());
  auto kernel = std::make_shared<ElemCorKernel>(
    ratios, first->width(), first->height(), conds, numberOr(m_ui->CorTh->text(), 0.9));
  auto progress = connect(m_toolRun.get(), &MapsRun::progress, this, &Analyzer::setElemsProgress);
  m_toolRun->runNow(
    first->cond(), kernel, { m_maps[Session::ElemsCorMap], m_maps[Session::ElemsCorThMap] });
  disconnect(progress);
  emit changedSelection();
}

void Analyzer::newCorTh()
{
  recalcCorMap();
}

bool Analyzer::selectElemTarget(const QString& item)
{
  ElemCtrl* e = elemAt(item);
  if (e)
    e->targetButton()->click();
  return e != nullptr;
}

bool Analyzer::selectElemShow(const QString& item)
{
  ElemCtrl* e = elemAt(item);
  if (e)
    e->showButton()->click();
  return e != nullptr;
}

bool Analyzer::setElemUse(const QString& item, bool f)
{
  ElemCtrl* e = elemAt(item);
  if (e)
    e->setUse(f);
  return e != nullptr;
}

bool Analyzer::setElemROI(const QString& item, double start, double end)
{
  ElemCtrl* e = elemAt(item);
  if (e)
    e->setROI(start, end);
  return e != nullptr;
}

bool Analyzer::setElemThDMut(const QString& item, double th)
{
  ElemCtrl* e = elemAt(item);
  if (e)
    e->setThDMut(th);
  return e != nullptr;
}

bool Analyzer::setElemNoNeg(const QString& item, bool f)
{
  ElemCtrl* e = elemAt(item);
  if (e)
    e->setNoNeg(f);
  return e != nullptr;
}

void Analyzer::setElemsDE(double dE)
{
  for (ElemCtrl* e : m_elems)
    e->setDE(dE);
}

void Analyzer::setCorTh(double th)
{
  m_ui->CorTh->setText(QString::number(th, 'g', 6));
}

void Analyzer::setSortByAN(bool f)
{
  m_ui->SortByANo->setChecked(f);
}

bool Analyzer::selectElemsDispMode(int mode)
{
  QAbstractButton* b = m_elemKindGroup->button(mode);
  if (!b) {
    qDebug().noquote() << QStringLiteral("No element display mode %1").arg(mode);
    return false;
  }
  m_selecting = true;
  m_ui->SelElemA->setChecked(true);
  b->setChecked(true);
  m_selecting = false;
  emit changedSelection();
  return true;
}

void Analyzer::setElemBackground(int which, double v)
{
  m_aElemsConds->setValue(which, v);
}
