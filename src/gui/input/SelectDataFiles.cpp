#include "gui/input/SelectDataFiles.h"
#include "gui/app/DialogFolders.h"

#include "app/Refusal.h"
#include "app/Settings.h"
#include "gui/input/EOFSetup.h"
#include "ui_EOFSetup.h"
#include "ui_SelectDataFiles.h"

#include <QFileDialog>

#include <algorithm>

namespace {

// A checked auto-exclusive radio button ignores setChecked(false); leaving
// none of the three sources checked means "calculated".
void setRadio(QRadioButton* b, bool f)
{
  if (f) {
    b->setChecked(true);
    return;
  }
  b->setAutoExclusive(false);
  b->setChecked(false);
  b->setAutoExclusive(true);
}

QString numberText(double v)
{
  return QString::number(v, 'g', 10);
}

} // namespace

SelectDataFiles::SelectDataFiles(QWidget* parent)
  : QWidget(parent)
  , m_ui(std::make_unique<Ui::SelectDataFiles>())
  , m_eof(nullptr)
  , m_fileDialog(nullptr)
{
  m_ui->setupUi(this);
  m_eof = new EOFSetup(this);

  m_fileDialog = new QFileDialog(this, tr("Image Files"), settings().DataRoot);
  m_fileDialog->setFileMode(QFileDialog::ExistingFiles);
  followFolder(m_fileDialog, FileKind::Images);
  m_fileDialog->setNameFilters({ tr("VRSK Files, IMG Files, Tiff Files (*.dat *.img *.tif *.tiff)"),
                                 tr("Any Files (* *.*)") });
  connect(m_ui->SelFiles, &QPushButton::clicked, m_fileDialog, [this] { m_fileDialog->open(); });
  connect(m_fileDialog, &QFileDialog::filesSelected, this, &SelectDataFiles::chooseFiles);

  connect(m_ui->ClearFiles, &QPushButton::clicked, this, &SelectDataFiles::clear);
  connect(m_ui->EngSetup, &QPushButton::clicked, m_eof, &QWidget::show);
  connect(m_eof, &EOFSetup::settingsChanged, this, &SelectDataFiles::checkEnergySetup);
  connect(m_ui->Prev, &QPushButton::clicked, this, &SelectDataFiles::prev);
  connect(m_ui->Next, &QPushButton::clicked, this, &SelectDataFiles::next);
  connect(m_ui->FileList,
          QOverload<int>::of(&QComboBox::currentIndexChanged),
          this,
          &SelectDataFiles::newImageSelected);
}

SelectDataFiles::~SelectDataFiles() = default;

double SelectDataFiles::energyOf(const QString& fileName, int fNo) const
{
  return m_eof->energyOf(fileName, fNo);
}

double SelectDataFiles::addFile(const QString& fileName, int fNo)
{
  noteLoadRule(m_eof->rule());
  const double e = m_loadedRule.energyOf(fileName, fNo);
  m_ui->FileList->addItem(fileName, e);
  updateCount();
  return e;
}

void SelectDataFiles::noteLoadRule(const energy::EnergyRule& rule)
{
  m_loadedRule = rule;
  m_ruleKnown = true;
  m_changeSaid = false;
}

void SelectDataFiles::addFileWithEnergy(const QString& fileName, double energy)
{
  m_ui->FileList->addItem(fileName, energy);
  updateCount();
}

int SelectDataFiles::count() const
{
  return m_ui->FileList->count();
}
int SelectDataFiles::currentIndex() const
{
  return m_ui->FileList->currentIndex();
}

QString SelectDataFiles::fileName(int idx) const
{
  return m_ui->FileList->itemText(idx);
}

double SelectDataFiles::energyAt(int idx) const
{
  return m_ui->FileList->itemData(idx).toDouble();
}

int SelectDataFiles::skip() const
{
  return m_ui->Skip->value();
}
int SelectDataFiles::cutFirst() const
{
  return m_ui->CutF->value();
}
int SelectDataFiles::cutLast() const
{
  return m_ui->CutL->value();
}
bool SelectDataFiles::showLatest() const
{
  return m_ui->ShowLatest->isChecked();
}

void SelectDataFiles::chooseFiles(const QStringList& files)
{
  if (!files.isEmpty())
    emit filesSelected(files, !m_ui->Append->isChecked());
}

void SelectDataFiles::updateCount()
{
  m_ui->NumOfFiles->setText(QString::number(count()));
}

void SelectDataFiles::newImageSelected(int i)
{
  emit currentIndexChanged(i);
}

void SelectDataFiles::checkEnergySetup()
{
  if (!m_ruleKnown || count() == 0)
    return;
  const bool same = m_eof->rule().sameEnergies(m_loadedRule);
  if (!same && !m_changeSaid)
    refuse(this, energy::setupChangedLine(count()));
  m_changeSaid = !same;
}

void SelectDataFiles::clearFiles()
{
  m_ruleKnown = false;
  m_ui->FileList->clear();
  updateCount();
}

void SelectDataFiles::removeFile(int idx)
{
  if (idx < 0 || idx >= count())
    return;
  const bool wasCurrent = idx == currentIndex();
  m_ui->FileList->removeItem(idx);
  if (wasCurrent)
    select(std::max(idx - 1, 0));
  updateCount();
}

void SelectDataFiles::prev()
{
  select(currentIndex() - 1);
}
void SelectDataFiles::next()
{
  select(currentIndex() + 1);
}

void SelectDataFiles::select(int idx)
{
  if (idx >= 0 && idx < count())
    m_ui->FileList->setCurrentIndex(idx);
}

void SelectDataFiles::setSkip(int skip)
{
  m_ui->Skip->setValue(skip);
}
void SelectDataFiles::setCutF(int cutF)
{
  m_ui->CutF->setValue(cutF);
}
void SelectDataFiles::setCutL(int cutL)
{
  m_ui->CutL->setValue(cutL);
}
void SelectDataFiles::setShowLatest(bool f)
{
  m_ui->ShowLatest->setChecked(f);
}

void SelectDataFiles::setEngByName(bool f)
{
  setRadio(m_eof->ui()->FromFileName, f);
}
void SelectDataFiles::setEngByCalc(bool f)
{
  setRadio(m_eof->ui()->FromFileNum, f);
}

void SelectDataFiles::setEngCalcStart(double start)
{
  m_eof->ui()->Start->setText(numberText(start));
  m_eof->newStart();
}

void SelectDataFiles::setEngCalcDelta(double delta)
{
  m_eof->ui()->Delta->setText(numberText(delta));
  m_eof->newDelta();
}

void SelectDataFiles::setEngCalcEnd(double end)
{
  m_eof->ui()->End->setText(numberText(end));
  m_eof->newEnd();
}

void SelectDataFiles::setEngCalcNum(int num)
{
  m_eof->ui()->NumOfPoints->setText(QString::number(num));
  m_eof->newNumOfPoints();
}

// The two spacing rules are one choice: clearing one selects the other.
void SelectDataFiles::setEvenInEng(bool f)
{
  (f ? m_eof->ui()->EvenInEnergy : m_eof->ui()->EvenInAngle)->setChecked(true);
}

void SelectDataFiles::setEvenInDeg(bool f)
{
  setEvenInEng(!f);
}

void SelectDataFiles::setDispUnit(int idx)
{
  if (idx >= 0 && idx < m_eof->ui()->DisplayUnit->count())
    m_eof->ui()->DisplayUnit->setCurrentIndex(idx);
}

void SelectDataFiles::setEngByNameRegExp(const QString& pattern)
{
  m_eof->newPatternSelected(pattern);
}

void SelectDataFiles::setEngByNameFactor(double factor)
{
  m_eof->ui()->Factor->setText(numberText(factor));
}

void SelectDataFiles::setEngByRef(const QString& fname)
{
  // Without this a batch could read a reference file but never use it.
  if (m_eof->loadRefFile(fname))
    setRadio(m_eof->ui()->FromRefFile, true);
}
