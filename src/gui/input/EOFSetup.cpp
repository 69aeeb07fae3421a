#include "gui/input/EOFSetup.h"
#include "gui/app/DialogFolders.h"
#include "gui/app/NumberFields.h"

#include "app/Settings.h"
#include "input/Units.h"
#include "ui_EOFSetup.h"

#include <QDebug>
#include <QRadioButton>
#include <QSignalBlocker>

#include <QFileDialog>
#include <vector>

EOFSetup::EOFSetup(QWidget* parent)
  : QFrame(parent)
  , m_ui(std::make_unique<Ui::EOFSetup>())
  , m_units(new Units(this))
  , m_refDialog(nullptr)
  , m_lastNum(0)
{
  m_ui->setupUi(this);
  acceptReals({ m_ui->Factor, m_ui->Start, m_ui->Delta, m_ui->End });
  acceptIntegers({ m_ui->NumOfPoints }, 1);
  setWindowFlags(windowFlags() | Qt::Window);
  m_ui->PatternList->addItems(energy::patternPresets());
  // The pattern used is the one shown: the preset the list shows fills the
  // field from the start.
  newPatternSelected(m_ui->PatternList->itemText(0));
  m_lastNum = m_ui->NumOfPoints->text().toInt();

  m_refDialog = new QFileDialog(this, tr("Reference File"), settings().DataRoot);
  m_refDialog->setFileMode(QFileDialog::ExistingFile);
  m_refDialog->setNameFilters(
    { tr("XAFS Data File (*.dat)"), tr("XMU, XDI Files (*.xmu *.xdi)"), tr("Any Files (* *.*)") });
  followFolder(m_refDialog, FileKind::Spectra);
  connect(m_ui->SelRefFile, &QPushButton::clicked, m_refDialog, [this] { m_refDialog->open(); });
  connect(m_refDialog, &QFileDialog::fileSelected, this, &EOFSetup::refFileSelected);

  // activated (not currentIndexChanged) so that choosing the shown entry
  // again copies it once more after the pattern was edited by hand.
  connect(m_ui->PatternList, QOverload<int>::of(&QComboBox::activated), this, [this](int i) {
    newPatternSelected(m_ui->PatternList->itemText(i));
  });
  connect(m_ui->Pattern, &QLineEdit::editingFinished, this, &EOFSetup::newPattern);
  connect(m_ui->Start, &QLineEdit::editingFinished, this, &EOFSetup::newStart);
  connect(m_ui->Delta, &QLineEdit::editingFinished, this, &EOFSetup::newDelta);
  connect(m_ui->End, &QLineEdit::editingFinished, this, &EOFSetup::newEnd);
  connect(m_ui->NumOfPoints, &QLineEdit::editingFinished, this, &EOFSetup::newNumOfPoints);

  for (QLineEdit* field :
       { m_ui->Pattern, m_ui->Factor, m_ui->Start, m_ui->Delta, m_ui->End, m_ui->NumOfPoints })
    connect(field, &QLineEdit::textChanged, this, &EOFSetup::settingsChanged);
  for (QRadioButton* choice : { m_ui->FromFileName,
                                m_ui->FromRefFile,
                                m_ui->FromFileNum,
                                m_ui->EvenInEnergy,
                                m_ui->EvenInAngle })
    connect(choice, &QRadioButton::toggled, this, &EOFSetup::settingsChanged);
  connect(m_ui->DisplayUnit,
          QOverload<int>::of(&QComboBox::currentIndexChanged),
          this,
          &EOFSetup::settingsChanged);
}

EOFSetup::~EOFSetup() = default;

energy::EnergyCalc EOFSetup::calcFields() const
{
  energy::EnergyCalc c;
  c.Start = m_ui->Start->text().toDouble();
  c.Delta = m_ui->Delta->text().toDouble();
  c.End = m_ui->End->text().toDouble();
  bool ok = false;
  const int num = m_ui->NumOfPoints->text().toInt(&ok);
  // A count being typed that is not yet accepted does not count.
  c.Num = ok && num > 0 ? num : m_lastNum;
  c.unit = m_ui->DisplayUnit->currentIndex();
  c.evenInAngle = m_ui->EvenInAngle->isChecked();
  c.d = m_units->d();
  return c;
}

energy::EnergyRule EOFSetup::rule() const
{
  energy::EnergyRule r;
  r.fromFileName = m_ui->FromFileName->isChecked();
  r.fromRefFile = m_ui->FromRefFile->isChecked();
  r.fromFileNum = m_ui->FromFileNum->isChecked();
  r.pattern = m_ui->Pattern->text();
  r.factor = m_ui->Factor->text();
  r.calc = calcFields();
  r.refEnergies = m_refEnergies;
  return r;
}

void EOFSetup::showRule(const energy::EnergyRule& r)
{
  const energy::EnergyRule now = rule();
  if (now.fromFileName == r.fromFileName && now.fromRefFile == r.fromRefFile &&
      now.fromFileNum == r.fromFileNum && now.pattern == r.pattern && now.factor == r.factor &&
      now.calc == r.calc && now.refEnergies == r.refEnergies)
    return;
  const QSignalBlocker block(this);
  std::vector<QSignalBlocker> fields;
  for (QWidget* w : findChildren<QWidget*>())
    fields.emplace_back(w);
  auto setRadio = [](QRadioButton* b, bool on) {
    // "Off" may leave none of the three chosen.
    b->setAutoExclusive(on);
    b->setChecked(on);
    b->setAutoExclusive(true);
  };
  setRadio(m_ui->FromFileName, r.fromFileName);
  setRadio(m_ui->FromRefFile, r.fromRefFile);
  setRadio(m_ui->FromFileNum, r.fromFileNum);
  m_ui->Pattern->setText(r.pattern);
  m_ui->Factor->setText(r.factor);
  m_ui->Start->setText(QString::number(r.calc.Start, 'g', 10));
  m_ui->Delta->setText(QString::number(r.calc.Delta, 'g', 10));
  m_ui->End->setText(QString::number(r.calc.End, 'g', 10));
  m_ui->NumOfPoints->setText(QString::number(r.calc.Num));
  m_lastNum = r.calc.Num;
  m_ui->DisplayUnit->setCurrentIndex(r.calc.unit);
  m_ui->EvenInAngle->setChecked(r.calc.evenInAngle);
  m_refEnergies = r.refEnergies;
}

double EOFSetup::energyOf(const QString& fileName, int fNo) const
{
  return rule().energyOf(fileName, fNo);
}

void EOFSetup::newStart()
{
  m_ui->End->setText(QString::number(calcFields().endFromStartDelta(), 'g', 6));
}

void EOFSetup::newDelta()
{
  newStart();
}

void EOFSetup::newEnd()
{
  m_ui->Delta->setText(QString::number(calcFields().deltaFromStartEnd(), 'g', 6));
}

void EOFSetup::newNumOfPoints()
{
  const QString text = m_ui->NumOfPoints->text();
  bool ok = false;
  const int num = text.toInt(&ok);
  if (!ok || num <= 0) {
    // Delta = (End - Start) / Num and the angle steps divide by it.
    qDebug().noquote() << "Num of points must be above 0:" << text;
    m_ui->NumOfPoints->setText(QString::number(m_lastNum));
    return;
  }
  m_lastNum = num;
  newEnd();
}

void EOFSetup::newPattern()
{
  const QString factor = energy::factorForPattern(m_ui->Pattern->text());
  if (!factor.isEmpty())
    m_ui->Factor->setText(factor);
}

void EOFSetup::newPatternSelected(const QString& pattern)
{
  m_ui->Pattern->setText(pattern);
  newPattern();
}

void EOFSetup::refFileSelected(const QString& fname)
{
  loadRefFile(fname);
}

bool EOFSetup::loadRefFile(const QString& fname)
{
  if (!energy::readReferenceEnergies(fname, m_units->d(), m_refEnergies))
    return false;
  m_ui->RefFilePath->setText(fname);
  emit settingsChanged();
  return true;
}
