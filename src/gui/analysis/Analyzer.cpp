#include "gui/analysis/Analyzer.h"
#include "app/TextItems.h"
#include "gui/app/NumberFields.h"
#include "gui/display/BringToFront.h"

#include "analysis/AnalyzeProc.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/MapsRun.h"
#include "analysis/ReferenceOverlap.h"
#include "app/Refusal.h"
#include "display/MapImages.h"
#include "gui/analysis/AElemsConds.h"
#include "gui/analysis/ElemCtrl.h"
#include "gui/analysis/LCFReference.h"
#include "gui/spectrum/XafsFileSelect.h"
#include "gui/spectrum/XafsView.h"

#include "ui_Analyzer.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDebug>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

namespace {

QString sixDigits(double v)
{
  return QString::number(v, 'g', 6);
}

} // namespace

Analyzer::Analyzer(Session& session, MapImages& images, QWidget* parent)
  : QFrame(parent)
  , m_ui(std::make_unique<Ui::Analyzer>())
  , m_thread(std::make_unique<AnalyzeThread>())
  , m_plot(std::make_unique<XafsView>())
  , m_images(images)
  , m_session(session)
{
  m_ui->setupUi(this);
  acceptReals({ m_ui->LCFRange1,
                m_ui->LCFRange2,
                m_ui->RAAtEV,
                m_ui->RAFactor,
                m_ui->DMutScaleMin,
                m_ui->DMutScaleMax,
                m_ui->RatioScaleMin,
                m_ui->RatioScaleMax,
                m_ui->ScaleMin,
                m_ui->ScaleMax });
  acceptReals({ m_ui->CorTh }, -1.0, 1.0);
  m_plot->setWindowTitle(tr("Analyzing Spectrum"));
  // The maps are the Session's: its runs and the window's fill the same.
  for (int i = 0; i < Session::OwnMapCount; ++i)
    m_maps[i] = m_session.ownMap(Session::OwnMap(i));
  m_refGroup = new QButtonGroup(this);
  setupSections();
  // First: every other reaction to these fields reads the Session.
  for (QLineEdit* e : { m_ui->LCFRange1,
                        m_ui->LCFRange2,
                        m_ui->RAAtEV,
                        m_ui->RAFactor,
                        m_ui->ScaleMin,
                        m_ui->ScaleMax,
                        m_ui->DMutScaleMin,
                        m_ui->DMutScaleMax,
                        m_ui->RatioScaleMin,
                        m_ui->RatioScaleMax })
    connect(e, &QLineEdit::textChanged, this, &Analyzer::takeSettings);
  for (QCheckBox* b : { m_ui->LCFSumToOne,
                        m_ui->LCFNonNegative,
                        m_ui->LCFRFactor,
                        m_ui->MLCFMode,
                        m_ui->EnergyCorrection,
                        m_ui->FixedScale })
    connect(b, &QCheckBox::toggled, this, &Analyzer::takeSettings);
  for (QRadioButton* b : { m_ui->ProcTypeDiv, m_ui->ProcTypeMask })
    connect(b, &QRadioButton::toggled, this, &Analyzer::takeSettings);
  connectForm();
  takeSettings();
  setupElems();
  setupTools();
  connect(this, &Analyzer::changedSelection, this, &Analyzer::takeSelection);
  // A fit needs two references; batch files have no command to add rows, so
  // the window starts with the two a run needs at least.
  addNewRef();
  addNewRef();
}

Analyzer::~Analyzer()
{
  // Join the worker first: no answer may arrive while the rows and maps go.
  m_thread.reset();
}

AnalyzeProc* Analyzer::worker() const
{
  return m_thread->worker();
}

void Analyzer::setupSections()
{
  // The section buttons sit in different boxes, so they are made exclusive
  // here rather than by their parents.
  m_sections = new QButtonGroup(this);
  m_sections->addButton(m_ui->SelMLCFA, LCFSection);
  m_sections->addButton(m_ui->SelRAA, RAASection);
  m_sections->addButton(m_ui->SelElemA, ElemSection);
  m_sections->addButton(m_ui->SelSumUp, SumUpSection);
  m_sections->addButton(m_ui->SelProcMaps, ProcMapsSection);
  m_ui->SelMLCFA->setChecked(true);
}

void Analyzer::connectForm()
{
  AnalyzeProc* proc = worker();
  connect(this, &Analyzer::analyzeSpectrum0, proc, &AnalyzeProc::analyzeSpectrum0);
  connect(proc, &AnalyzeProc::finished, this, &Analyzer::analyzeSpectrumFinished);

  connect(m_ui->AddRef, &QPushButton::clicked, this, &Analyzer::addNewRef);
  connect(m_ui->ExecLCF, &QPushButton::clicked, this, &Analyzer::askAnalyze);
  connect(m_ui->StopLCF, &QPushButton::clicked, this, &Analyzer::askStopAnalysis);
  connect(m_ui->ExecRA, &QPushButton::clicked, this, &Analyzer::askRAAnalyze);
  connect(m_ui->AskSumUp, &QPushButton::clicked, this, &Analyzer::askSumUp);
  connect(m_ui->CaptureMap1, &QPushButton::clicked, this, &Analyzer::captureAsMap1);
  connect(m_ui->CaptureMap2, &QPushButton::clicked, this, &Analyzer::captureAsMap2);
  connect(m_refGroup, &QButtonGroup::idClicked, this, &Analyzer::selectedNewRef);

  for (QAbstractButton* b : { static_cast<QAbstractButton*>(m_ui->SelMLCFA),
                              static_cast<QAbstractButton*>(m_ui->SelRAA),
                              static_cast<QAbstractButton*>(m_ui->SelElemA),
                              static_cast<QAbstractButton*>(m_ui->SelSumUp),
                              static_cast<QAbstractButton*>(m_ui->SelProcMaps),
                              static_cast<QAbstractButton*>(m_ui->ShowAmount),
                              static_cast<QAbstractButton*>(m_ui->ShowFraction),
                              static_cast<QAbstractButton*>(m_ui->ShowRest),
                              static_cast<QAbstractButton*>(m_ui->ShowDMuT),
                              static_cast<QAbstractButton*>(m_ui->ShowRatio),
                              static_cast<QAbstractButton*>(m_ui->ShowElemsCorr),
                              static_cast<QAbstractButton*>(m_ui->ShowElemsCorrTh),
                              static_cast<QAbstractButton*>(m_ui->ShowMap1),
                              static_cast<QAbstractButton*>(m_ui->ShowMap2),
                              static_cast<QAbstractButton*>(m_ui->ShowProcessedMap) })
    connect(b, &QAbstractButton::toggled, this, &Analyzer::selectedImgChanged);
  // The residual box is a check box: both of its states change the map.
  connect(m_ui->ShowZansa, &QAbstractButton::toggled, this, [this] {
    if (!m_selecting)
      emit changedSelection();
  });

  connect(m_ui->FixedScale, &QCheckBox::toggled, this, &Analyzer::scalePolicyChanged);
  for (QLineEdit* e : { m_ui->ScaleMin,
                        m_ui->ScaleMax,
                        m_ui->DMutScaleMin,
                        m_ui->DMutScaleMax,
                        m_ui->RatioScaleMin,
                        m_ui->RatioScaleMax })
    connect(e, &QLineEdit::editingFinished, this, &Analyzer::scaleChanged);

  connect(this, &Analyzer::analyzedSpectrum, this, &Analyzer::showInPlot);
  connect(m_ui->Normalize, &QCheckBox::toggled, m_plot.get(), &XafsView::setNormalize);
  connect(
    m_ui->EnergyCorrection, &QCheckBox::toggled, m_plot.get(), &XafsView::setEnergyCorrection);
  // The plot starts as the boxes do: the fitted curve is double-normalised,
  // and a raw sample beside it would not compare.
  m_plot->setNormalize(m_ui->Normalize->isChecked());
  m_plot->setEnergyCorrection(m_ui->EnergyCorrection->isChecked());
  connect(m_ui->MLCFMode, &QCheckBox::toggled, this, &Analyzer::reAnalyzeSpectrum);
  connect(m_ui->LCFRange1, &QLineEdit::editingFinished, this, &Analyzer::reAnalyzeSpectrum);
  connect(m_ui->LCFRange2, &QLineEdit::editingFinished, this, &Analyzer::reAnalyzeSpectrum);
  // The bound is a refinement of the sum condition, so it is offered with it.
  // A greyed box must not look ticked: leaving the sum condition clears it.
  connect(m_ui->LCFSumToOne, &QCheckBox::toggled, this, [this](bool on) {
    m_ui->LCFNonNegative->setEnabled(on);
    if (!on) {
      const QSignalBlocker block(m_ui->LCFNonNegative);
      m_ui->LCFNonNegative->setChecked(false);
    }
  });
  connect(m_ui->LCFSumToOne, &QCheckBox::toggled, this, &Analyzer::reAnalyzeSpectrum);
  connect(m_ui->LCFNonNegative, &QCheckBox::toggled, this, &Analyzer::reAnalyzeSpectrum);
  connect(m_ui->LCFRFactor, &QCheckBox::toggled, this, &Analyzer::reAnalyzeSpectrum);
}

Analyzer::Section Analyzer::section() const
{
  const int id = m_sections->checkedId();
  return id < 0 ? LCFSection : static_cast<Section>(id);
}

bool Analyzer::isMLCF() const
{
  return m_session.mlcf;
}

bool Analyzer::dispOnTime() const
{
  return m_ui->DispOnTime->isChecked();
}

bool Analyzer::energyCorrection() const
{
  return m_session.energyCorrection;
}

void Analyzer::takeSettings()
{
  FitConditions& cond = m_session.fit;
  cond.sE0 = numberOr(m_ui->LCFRange1->text(), 0.0);
  cond.eE0 = numberOr(m_ui->LCFRange2->text(), 30000.0);
  cond.sumToOne = m_ui->LCFSumToOne->isChecked();
  cond.nonNegative = cond.sumToOne && m_ui->LCFNonNegative->isChecked();
  cond.rFactor = m_ui->LCFRFactor->isChecked();
  m_session.mlcf = m_ui->MLCFMode->isChecked();
  m_session.energyCorrection = m_ui->EnergyCorrection->isChecked();
  m_session.raEnergy = numberOr(m_ui->RAAtEV->text(), 8200.0);
  m_session.raFactor = numberOr(m_ui->RAFactor->text(), 1.0);
  m_session.procType = m_ui->ProcTypeDiv->isChecked()    ? ProcMapsKernel::Div
                       : m_ui->ProcTypeMask->isChecked() ? ProcMapsKernel::Mask
                                                         : ProcMapsKernel::Sub;
  Session::MapScale& scale = m_session.scale;
  scale.fixed = m_ui->FixedScale->isChecked();
  scale.min = numberOr(m_ui->ScaleMin->text(), 0.0);
  scale.max = numberOr(m_ui->ScaleMax->text(), 1.0);
  scale.dmutMin = numberOr(m_ui->DMutScaleMin->text(), 0.0);
  scale.dmutMax = numberOr(m_ui->DMutScaleMax->text(), 1.0);
  scale.ratioMin = numberOr(m_ui->RatioScaleMin->text(), 0.0);
  scale.ratioMax = numberOr(m_ui->RatioScaleMax->text(), 1.0);
}

FitConditions Analyzer::fitConditions() const
{
  return m_session.fit;
}

QVector<RefSnapshot> Analyzer::referenceSnapshots() const
{
  QVector<RefSnapshot> snaps;
  snaps.reserve(m_refs.size());
  for (const LCFReference* r : m_refs)
    snaps.append(r->snapshot());
  return snaps;
}

int Analyzer::usableReferenceCount() const
{
  int n = 0;
  for (const LCFReference* r : m_refs)
    n += r->isUsable() ? 1 : 0;
  return n;
}

Analyzed2DRes* Analyzer::ownMap(OwnMap which) const
{
  return (which >= 0 && which < Session::OwnMapCount) ? m_maps[which] : nullptr;
}

Analyzed2DRes* Analyzer::currentMap() const
{
  Analyzed2DRes* chosen = m_session.currentMap();
  // The element rows' own maps, while a run of the window fills them.
  if (section() == ElemSection && !chosen->hasData())
    if (Analyzed2DRes* m = currentElemMap())
      return m;
  return chosen;
}

void Analyzer::takeSelection()
{
  if (m_selecting)
    return;
  Session::MapChoice c = m_session.mapChoice();
  c.section = Session::Section(section());
  c.zansa = m_ui->ShowZansa->isChecked();
  c.residual = m_ui->ShowDMuT->isChecked()    ? Session::DMutMap
               : m_ui->ShowRatio->isChecked() ? Session::RatiMap
                                              : Session::RestMap;
  c.reference = std::max(0, m_selectedRef);
  c.amount = m_ui->ShowAmount->isChecked();
  c.processing = m_ui->ShowMap2->isChecked()           ? Session::Map2
                 : m_ui->ShowProcessedMap->isChecked() ? Session::ProcessedMap
                                                       : Session::Map1;
  m_session.setMapChoice(c);
}

void Analyzer::showSelection()
{
  const Session::MapChoice c = m_session.mapChoice();
  m_selecting = true;
  if (QAbstractButton* b = m_sections->button(c.section))
    b->setChecked(true);
  m_ui->ShowZansa->setChecked(c.zansa);
  (c.residual == Session::DMutMap   ? m_ui->ShowDMuT
   : c.residual == Session::RatiMap ? m_ui->ShowRatio
                                    : m_ui->ShowRest)
    ->setChecked(true);
  if (c.reference >= 0 && c.reference < m_refs.size()) {
    m_refs[c.reference]->selectButton()->setChecked(true);
    m_selectedRef = c.reference;
  }
  (c.amount ? m_ui->ShowAmount : m_ui->ShowFraction)->setChecked(true);
  (c.processing == Session::Map2           ? m_ui->ShowMap2
   : c.processing == Session::ProcessedMap ? m_ui->ShowProcessedMap
                                           : m_ui->ShowMap1)
    ->setChecked(true);
  m_selecting = false;
}

void Analyzer::showSettings()
{
  // Blocked: takeSettings would read the other fields' old values back.
  auto setText = [](QLineEdit* e, double v) {
    if (numberOr(e->text(), std::nan("")) == v)
      return;
    const QSignalBlocker block(e);
    e->setText(sixDigits(v));
  };
  auto setChecked = [](QAbstractButton* b, bool on) {
    const QSignalBlocker block(b);
    b->setChecked(on);
  };
  const FitConditions& fit = m_session.fit;
  setText(m_ui->LCFRange1, fit.sE0);
  setText(m_ui->LCFRange2, fit.eE0);
  setChecked(m_ui->LCFSumToOne, fit.sumToOne);
  m_ui->LCFNonNegative->setEnabled(fit.sumToOne);
  setChecked(m_ui->LCFNonNegative, fit.nonNegative);
  setChecked(m_ui->LCFRFactor, fit.rFactor);
  setChecked(m_ui->MLCFMode, m_session.mlcf);
  if (m_ui->EnergyCorrection->isChecked() != m_session.energyCorrection) {
    setChecked(m_ui->EnergyCorrection, m_session.energyCorrection);
    m_plot->setEnergyCorrection(m_session.energyCorrection);
  }
  setText(m_ui->RAAtEV, m_session.raEnergy);
  setText(m_ui->RAFactor, m_session.raFactor);
  const Session::MapScale& scale = m_session.scale;
  setChecked(m_ui->FixedScale, scale.fixed);
  setText(m_ui->ScaleMin, scale.min);
  setText(m_ui->ScaleMax, scale.max);
  setText(m_ui->DMutScaleMin, scale.dmutMin);
  setText(m_ui->DMutScaleMax, scale.dmutMax);
  setText(m_ui->RatioScaleMin, scale.ratioMin);
  setText(m_ui->RatioScaleMax, scale.ratioMax);
  // Last: the button it unchecks takes every field into the Session.
  setChecked(m_session.procType == ProcMapsKernel::Div    ? m_ui->ProcTypeDiv
             : m_session.procType == ProcMapsKernel::Mask ? m_ui->ProcTypeMask
                                                          : m_ui->ProcTypeSub,
             true);
}

void Analyzer::showSession()
{
  // Rows the Session added (a batch names any row) get their view.
  while (m_refs.size() < int(m_session.references().size()))
    addNewRef();
  for (LCFReference* r : m_refs)
    r->showRow();
  showSettings();
  showElems();
  showSelection();
}

QString Analyzer::progressText() const
{
  return m_ui->Progress->text();
}

QString Analyzer::elemsProgressText() const
{
  return m_ui->ElemsProgress->text();
}

quint64 Analyzer::requestFit(const XafsSpectrum& s,
                             const QVector<RefSnapshot>& refs,
                             bool mlcf,
                             FitConditions cond)
{
  cond.tag = ++m_lastTag;
  emit analyzeSpectrum0(s, refs, mlcf, cond);
  return cond.tag;
}

void Analyzer::addNewRef()
{
  const int index = m_refs.size();
  auto* row = new LCFReference(m_session, index, m_ui->RefRows);
  // Rows go above the stretch that closes the list.
  auto* rows = static_cast<QVBoxLayout*>(m_ui->RefRows->layout());
  rows->insertWidget(index, row);
  m_refs.append(row);
  // The list scrolls downwards only: a row cut at the side would hide its
  // fraction and amount.
  const QMargins m = rows->contentsMargins();
  m_ui->RefArea->setMinimumWidth(row->sizeHint().width() + m.left() + m.right() +
                                 m_ui->RefArea->verticalScrollBar()->sizeHint().width() +
                                 2 * m_ui->RefArea->frameWidth());
  m_refGroup->addButton(row->selectButton(), index);
  if (m_selectedRef < 0) {
    row->selectButton()->setChecked(true);
    m_selectedRef = index;
  }
  connect(row, &LCFReference::newFileSelected, this, &Analyzer::reAnalyzeSpectrum);
  connect(row, &LCFReference::newDeltaE, this, &Analyzer::reAnalyzeSpectrum);
  connect(row->fileSelect(), &XafsFileSelect::changedUse, this, &Analyzer::reAnalyzeSpectrum);
  // The residual was of a fit with the reference now gone.
  connect(row->fileSelect(), &XafsFileSelect::cleared, this, [this] {
    m_ui->Zansa->clear();
    reAnalyzeSpectrum();
  });
}

void Analyzer::analyzeSpectrumFinished(const LcfResult& result)
{
  if (!result.contAccess && result.tag == m_singleTag && m_singleTag != 0) {
    const bool numbers = fitGaveNumbers(result.status);
    // A row the fit left out (not in use) keeps no answer of an older fit.
    for (int i = 0; i < m_refs.size(); ++i)
      if (!result.refIndex.contains(i))
        m_refs[i]->clearResult();
    for (int u = 0; u < result.refIndex.size(); ++u) {
      const int i = result.refIndex[u];
      if (i < 0 || i >= m_refs.size())
        continue;
      if (!numbers)
        m_refs[i]->clearResult();
      else if (u < result.fractions.size() && u < result.amounts.size())
        m_refs[i]->showResult(result.fractions[u], result.amounts[u]);
    }
    if (numbers)
      noticedNewZ(result.z);
    else
      m_ui->Zansa->clear();
    const QString why =
      numbers ? QString() : QStringLiteral("Not fitted: ") + fitStatusText(result.status);
    // The log keeps the English line; the window shows it in its language.
    const QString shown = numbers
                            ? QString()
                            : tr("Not fitted: %1")
                                .arg(QCoreApplication::translate(
                                  "FitStatus", fitStatusText(result.status).toUtf8().constData()));
    if (shown != m_fitNote && !why.isEmpty())
      qDebug().noquote() << why;
    showFitNote(shown);
    m_lastFitted = result.fitted;
    emit analyzedSpectrum(m_lastSpectrum, m_lastFitted);
  }
  emit finished(result);
}

void Analyzer::selectedNewRef(int i)
{
  if (i < 0 || i >= m_refs.size())
    return;
  m_selectedRef = i;
  if (!m_selecting)
    emit changedSelection();
}

void Analyzer::scalePolicyChanged(bool f)
{
  Q_UNUSED(f);
  applyScale(currentMap());
}

void Analyzer::scaleChanged()
{
  applyScale(currentMap());
}

void Analyzer::selectedImgChanged(bool on)
{
  // Radio buttons report twice (one off, one on); the new choice counts once.
  if (on && !m_selecting)
    emit changedSelection();
}

void Analyzer::applyScale(Analyzed2DRes* map)
{
  m_session.applyScale(*map);
  if (map->hasData())
    m_images.genImg(*map);
  emit changedSelection();
}

void Analyzer::captureAsMap1()
{
  capture(Session::Map1);
}

void Analyzer::captureAsMap2()
{
  capture(Session::Map2);
}

void Analyzer::capture(OwnMap slot)
{
  Analyzed2DRes* source = currentMap();
  Analyzed2DRes* target = m_maps[slot];
  if (!source || !source->hasData()) {
    refuse(this, QStringLiteral("No map to capture"), tr("No map to capture"));
    return;
  }
  if (source != target) {
    m_session.captureMap(slot == Session::Map1 ? 1 : 2, *source);
    m_images.genImgOfCopy(*target, *source);
  }
  (slot == Session::Map1 ? m_ui->Map1Name : m_ui->Map2Name)->setText(target->name());
}

void Analyzer::showInPlot(const XafsSpectrum& sample, const XafsSpectrum& fitted)
{
  m_plot->clearOtherSpectra();
  if (fitted.size() > 0)
    m_plot->addOtherSpectrum(fitted);
  m_plot->setSpectrum(sample);
}

void Analyzer::noticedNewZ(double z)
{
  m_ui->Zansa->setText(sixDigits(z));
}

void Analyzer::show()
{
  if (!isVisible()) {
    // As tall as the sections need, but never taller than the screen: the
    // rest scrolls.
    const QSize want = m_ui->AnalyzerContents->sizeHint() +
                       QSize(m_ui->AnalyzerScroll->verticalScrollBar()->sizeHint().width(), 0);
    const QScreen* screen = this->screen();
    const QSize room = screen ? screen->availableSize() - QSize(40, 80) : want;
    resize(want.boundedTo(room));
  }
  // A minimised window comes back too; the plot beside it, the window on top.
  bringToFront(m_plot.get());
  bringToFront(this);
}

void Analyzer::setContAccess(bool f)
{
  m_running = f;
  worker()->setContAccess(f);
}

void Analyzer::setLCFMode(int f)
{
  m_ui->MLCFMode->setChecked(f != 0);
}

void Analyzer::analyzeAndShowSpectrum(XafsSpectrum s, double suggestedEeV)
{
  if (analyzeSpectrum(s, suggestedEeV) == 0) {
    m_lastFitted = XafsSpectrum();
    emit analyzedSpectrum(m_lastSpectrum, m_lastFitted);
  }
}

quint64 Analyzer::analyzeSpectrum(const XafsSpectrum& s, double suggestedEeV)
{
  m_lastSpectrum = s;
  m_lastSuggestedEeV = suggestedEeV;
  if (section() == ElemSection && s.size() > 0 && !m_running) {
    // A single spectrum's element analysis is a few interpolations: done
    // here, on the rows' values, and shown at once.
    const QVector<ElemCond> conds = elemConditions();
    const int t = validTargetIndex(targetIndex(), conds.size());
    if (t >= 0) {
      QVector<ElemResult> results(conds.size());
      analyzeSpectrumElems0(s, conds, t, elemBackground(), results.data(), elemEdgeLocate());
      analyzeSpectrumElemsFinished(results);
    }
    return 0;
  }
  if (section() != LCFSection || s.size() == 0)
    return 0;
  FitConditions cond = fitConditions();
  cond.suggestedEeV = suggestedEeV;
  const QVector<RefSnapshot> refs = referenceSnapshots();
  reportReferenceOverlap(refs, s, false);
  // Without a single usable reference nobody has asked for a fit yet (a
  // stack was only loaded): no fit, and no "Not fitted" line for it.
  if (std::none_of(refs.begin(), refs.end(), [](const RefSnapshot& r) { return r.usable(); })) {
    m_singleTag = 0;
    showFitNote(QString());
    return 0;
  }
  m_singleTag = requestFit(s, refs, isMLCF(), cond);
  return m_singleTag;
}

void Analyzer::reAnalyzeSpectrum()
{
  // A run sends its own points; the plot's spectrum waits until it ends.
  if (m_running || m_lastSpectrum.size() == 0)
    return;
  analyzeAndShowSpectrum(m_lastSpectrum, m_lastSuggestedEeV);
}

void Analyzer::reportReferenceOverlap(const QVector<RefSnapshot>& refs,
                                      const XafsSpectrum& sample,
                                      bool always)
{
  const ReferenceOverlap o = checkReferenceOverlap(refs, sample);
  if (!o.line.isEmpty() && (always || o.line != m_overlapLine))
    qDebug().noquote() << o.line;
  m_overlapLine = o.line;
  m_overlapNote = o.note;
  showFitNote(m_fitNote);
  m_ui->RefOverlapNote->setToolTip(o.line);
}

QString Analyzer::referenceNote() const
{
  return m_ui->RefOverlapNote->text();
}

void Analyzer::addFitNote(const QString& line)
{
  if (line.isEmpty())
    return;
  showFitNote(m_fitNote.isEmpty() ? line : m_fitNote + QLatin1Char('\n') + line);
}

void Analyzer::showFitNote(const QString& line)
{
  m_fitNote = line;
  QStringList parts;
  for (const QString& p : { m_overlapNote, m_fitNote })
    if (!p.isEmpty())
      parts << p;
  m_ui->RefOverlapNote->setText(parts.join(QLatin1Char('\n')));
}

void Analyzer::setProgress(double perCent)
{
  m_ui->Progress->setText(QString::asprintf("%5.2f", perCent));
}

void Analyzer::setElemsProgress(double perCent)
{
  m_ui->ElemsProgress->setText(QString::asprintf("%5.2f", perCent));
}

bool Analyzer::setLCFStd(int no, bool use, double dE, QString fname, QString isVic)
{
  // The row after the last is added first, as "Add Ref" does, so a batch
  // can fit with three or more references.
  if (no == m_refs.size())
    addNewRef();
  if (no < 0 || no >= m_refs.size()) {
    qDebug().noquote() << QStringLiteral("No LCF reference %1").arg(no);
    return false;
  }
  m_refs[no]->setStd(use, dE, fname, isVic);
  return true;
}

bool Analyzer::selectImage(int id)
{
  QAbstractButton* const buttons[] = {
    m_ui->SelMLCFA, m_ui->SelRAA,   m_ui->SelElemA,  m_ui->SelSumUp,  m_ui->SelProcMaps,
    m_ui->ShowRest, m_ui->ShowDMuT, m_ui->ShowRatio, m_ui->ShowZansa,
  };
  if (id < 0 || id >= int(sizeof(buttons) / sizeof(buttons[0]))) {
    qDebug().noquote() << QStringLiteral("No image button %1").arg(id);
    return false;
  }
  m_selecting = true;
  if (id >= 5 && id <= 7)
    m_ui->SelRAA->setChecked(true);
  if (id == 8)
    m_ui->SelMLCFA->setChecked(true);
  // The residual box is a check box no other button clears: choosing the LCF
  // section itself means its reference maps again.
  if (id == 0)
    m_ui->ShowZansa->setChecked(false);
  buttons[id]->setChecked(true);
  m_selecting = false;
  emit changedSelection();
  return true;
}

void Analyzer::setRaEnergy(double eng)
{
  m_ui->RAAtEV->setText(sixDigits(eng));
}

void Analyzer::setFixedScale(bool f)
{
  m_ui->FixedScale->setChecked(f);
}

void Analyzer::setNormalize(bool f)
{
  m_ui->Normalize->setChecked(f);
}

void Analyzer::setTargetElements(QString elements)
{
  m_ui->AElemNames->setText(elements);
}
