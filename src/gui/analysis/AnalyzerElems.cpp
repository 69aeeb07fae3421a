// The element section of the Analyzer: the edge rows built from "Target
// Element Names", the single-spectrum answer, the standard pattern and the
// correlation maps.

#include "analysis/Analyzed2DRes.h"
#include "analysis/ElemKernel.h"
#include "app/Refusal.h"
#include "app/TextItems.h"
#include "gui/analysis/AElemsConds.h"
#include "gui/analysis/Analyzer.h"
#include "gui/analysis/ElemCtrl.h"

#include "ui_Analyzer.h"

#include <QButtonGroup>
#include <QDebug>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

void Analyzer::setupElems()
{
  m_aElemsConds = std::make_unique<AElemsConds>(m_session, this);
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
  connect(m_ui->CorTh, &QLineEdit::textChanged, this, [this](const QString& text) {
    m_session.corTh = numberOr(text, 0.9);
  });
  connect(m_ui->CorTh, &QLineEdit::editingFinished, this, &Analyzer::newCorTh);
  connect(this, &Analyzer::setNewCorrelation, this, &Analyzer::setCorrelation);
  connect(m_targetGroup, &QButtonGroup::idClicked, this, [this](int row) {
    m_session.selectElemTarget(QString::number(row));
    if (!m_selecting)
      emit changedSelection();
  });
  connect(m_showElemGroup, &QButtonGroup::idClicked, this, [this](int row) {
    m_session.selectElemShown(QString::number(row));
    if (!m_selecting)
      emit changedSelection();
  });
  // The section follows the Session's element values however they change
  // (its fields, a batch word).
  connect(&m_session, &Session::changed, this, &Analyzer::showElems);
  showElems();
}

void Analyzer::showElems()
{
  const std::vector<Session::ElemRow>& rows = m_session.elemRows();
  bool same = m_elems.size() == int(rows.size());
  for (int i = 0; same && i < m_elems.size(); ++i)
    same = m_elems[i]->name() == rows[size_t(i)].cond.name;
  if (!same) {
    // New rows, new maps: a map on view is a copy in the image view.
    for (ElemCtrl* e : m_elems)
      delete e;
    m_elems.clear();
    auto* layout = static_cast<QVBoxLayout*>(m_ui->ElemRows->layout());
    for (int i = 0; i < int(rows.size()); ++i) {
      auto* row = new ElemCtrl(m_session, i, m_ui->ElemRows);
      layout->insertWidget(i, row);
      m_targetGroup->addButton(row->targetButton(), i);
      m_showElemGroup->addButton(row->showButton(), i);
      m_elems.append(row);
    }
  }
  const QVector<ElemResult>& results = m_session.elemResults;
  for (int k = 0; k < m_elems.size(); ++k) {
    m_elems[k]->showValues();
    m_elems[k]->showResult(k < results.size() ? &results[k] : nullptr);
  }
  if (m_session.elemTarget() >= 0 && m_session.elemTarget() < m_elems.size())
    m_elems[m_session.elemTarget()]->targetButton()->setChecked(true);
  if (m_session.shownElem() >= 0 && m_session.shownElem() < m_elems.size())
    m_elems[m_session.shownElem()]->showButton()->setChecked(true);
  // The names field is written only when the Session's names change: text
  // being typed stays.
  if (m_session.targetElements() != m_shownElemNames) {
    m_shownElemNames = m_session.targetElements();
    m_ui->AElemNames->setText(m_shownElemNames);
  }
  {
    const QSignalBlocker quiet(m_ui->SortByANo);
    m_ui->SortByANo->setChecked(m_session.sortByAtomicNumber());
  }
  if (numberOr(m_ui->CorTh->text(), 0.9) != m_session.corTh) {
    const QSignalBlocker quiet(m_ui->CorTh);
    m_ui->CorTh->setText(QString::number(m_session.corTh, 'g', 6));
  }
  m_aElemsConds->showValues();
}

QVector<ElemCond> Analyzer::elemConditions() const
{
  QVector<ElemCond> conds;
  for (const Session::ElemRow& row : m_session.elemRows())
    conds.append(row.cond);
  return conds;
}

int Analyzer::targetIndex() const
{
  return m_session.elemTarget();
}

ElemBackground Analyzer::elemBackground() const
{
  return m_session.elemBackground;
}

EdgeLocate Analyzer::elemEdgeLocate() const
{
  return m_session.elemLocate;
}

bool Analyzer::elemsDispOnTime() const
{
  return m_ui->ElemsDispOnTime->isChecked();
}

int Analyzer::shownElem() const
{
  return m_session.elemRows().empty() ? -1 : std::max(m_session.shownElem(), 0);
}

int Analyzer::elemIndexOf(const QString& item) const
{
  return m_session.elemIndexOf(item);
}

Analyzed2DRes* Analyzer::currentElemMap() const
{
  const int kind = m_elemKindGroup->checkedId();
  if (kind == 7)
    return m_session.ownMap(Session::ElemsCorMap);
  if (kind == 8)
    return m_session.ownMap(Session::ElemsCorThMap);
  const int row = shownElem();
  if (row < 0)
    return nullptr;
  return m_session.elemRows()[size_t(row)].maps[kind < 0 ? 0 : kind].get();
}

void Analyzer::newElems()
{
  // The rows (and their maps) go: a run writing into them ends first; a
  // map on view is a copy in the image view.
  emit askStopElemsAnalysis();
  {
    // One change for both values: the rows are built once, from both.
    const QSignalBlocker quiet(&m_session);
    m_session.setSortByAtomicNumber(m_ui->SortByANo->isChecked());
  }
  m_shownElemNames = m_ui->AElemNames->text();
  m_session.setTargetElements(m_shownElemNames);
  if (!m_selecting)
    emit changedSelection();
}

void Analyzer::analyzeSpectrumElemsFinished(const QVector<ElemResult>& results)
{
  m_session.elemResults = results;
  showElems();
  emit analyzeElemsFinished();
  calcCorrelation();
}

void Analyzer::calcCorrelation()
{
  const QVector<ElemCond> conds = elemConditions();
  // A row without an answer yet counts with ratio 0.
  QVector<double> ratios(conds.size(), 0.0);
  for (int k = 0; k < ratios.size() && k < m_session.elemResults.size(); ++k)
    ratios[k] = m_session.elemResults[k].ratio;
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
  // The standard pattern is the last single spectrum's ratios.
  for (int k = 0; k < int(m_session.elemRows().size()); ++k)
    m_session.elemCond(k).stdRatio =
      k < m_session.elemResults.size() ? m_session.elemResults[k].ratio : 0.0;
  showElems();
  recalcCorMap();
}

void Analyzer::recalcCorMap()
{
  QString why;
  if (!m_session.runCorrelation(&why)) {
    refuse(this, why, tr(why.toLatin1().constData()));
    return;
  }
  setElemsProgress(100.0);
  emit changedSelection();
}

void Analyzer::newCorTh()
{
  recalcCorMap();
}

bool Analyzer::selectElemTarget(const QString& item)
{
  const bool ok = m_session.selectElemTarget(item);
  if (ok && !m_selecting)
    emit changedSelection();
  return ok;
}

bool Analyzer::selectElemShow(const QString& item)
{
  const bool ok = m_session.selectElemShown(item);
  if (ok && !m_selecting)
    emit changedSelection();
  return ok;
}

bool Analyzer::setElemUse(const QString& item, bool f)
{
  return m_session.setElemUse(item, f);
}

bool Analyzer::setElemROI(const QString& item, double start, double end)
{
  return m_session.setElemRoi(item, start, end);
}

bool Analyzer::setElemThDMut(const QString& item, double th)
{
  return m_session.setElemThDMut(item, th);
}

bool Analyzer::setElemNoNeg(const QString& item, bool f)
{
  return m_session.setElemNoNeg(item, f);
}

void Analyzer::setElemsDE(double dE)
{
  m_session.setElemsDE(dE);
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
