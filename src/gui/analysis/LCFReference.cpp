#include "gui/analysis/LCFReference.h"
#include "gui/app/NumberFields.h"

#include "analysis/Analyzed2DRes.h"
#include "app/Refusal.h"
#include "app/TextItems.h"
#include "gui/spectrum/XafsFileSelect.h"

#include <QCheckBox>
#include <QDebug>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <limits>

namespace {

// A read-out wide enough for the longest number it shows ('g' with six
// digits, e.g. "-1.23457e-05" or "8978.79"), so no digit scrolls out of view.
QLineEdit* readOnlyField(QWidget* parent, const QString& name)
{
  auto* field = new QLineEdit(parent);
  field->setObjectName(name);
  field->setReadOnly(true);
  const int text = field->fontMetrics().horizontalAdvance(QStringLiteral("-8.88888e-88"));
  field->setMinimumWidth(text + 12);
  field->setMaximumWidth(text + 40);
  return field;
}

QString sixDigits(double v)
{
  return QString::number(v, 'g', 6);
}

} // namespace

LCFReference::LCFReference(Session& session, int index, QWidget* parent)
  : QFrame(parent)
  , m_session(session)
  , m_index(index)
{
  const int number = index + 1;
  // A row a batch word made already keeps its values; the view shows them.
  const bool existed = index < int(session.references().size());
  row(); // the Session's row exists from here on
  setFrameShape(QFrame::StyledPanel);
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(4, 2, 4, 2);

  m_selectButton = new QRadioButton(tr("Select Ref%1").arg(number), this);
  m_selectButton->setObjectName(QStringLiteral("SelectRef"));
  m_file = new XafsFileSelect(tr("Reference %1").arg(number), this);
  grid->addWidget(m_selectButton, 0, 0);
  grid->addWidget(m_file, 0, 1, 1, 7);

  m_deltaE = new QLineEdit(QStringLiteral("0"), this);
  m_deltaE->setObjectName(QStringLiteral("DeltaE"));
  acceptReals({ m_deltaE });
  m_deltaE->setMinimumWidth(60);
  m_deltaE->setMaximumWidth(80);
  m_deltaE->setToolTip(tr("Energy shift of this reference in eV: at sample energy E the fit reads "
                          "the reference at E + dE"));
  m_isVictreen = new QCheckBox(tr("Victreen"), this);
  m_isVictreen->setObjectName(QStringLiteral("IsVictreen"));
  m_midE = readOnlyField(this, QStringLiteral("MidE"));
  m_dMut = readOnlyField(this, QStringLiteral("dMut"));
  m_fractionField = readOnlyField(this, QStringLiteral("Fraction"));
  m_amountField = readOnlyField(this, QStringLiteral("Amount"));

  int col = 0;
  grid->addWidget(new QLabel(tr("  dE [eV]"), this), 1, col++);
  grid->addWidget(m_deltaE, 1, col++);
  grid->addWidget(m_isVictreen, 1, col++);
  grid->addWidget(new QLabel(tr("MidE"), this), 1, col++);
  grid->addWidget(m_midE, 1, col++);
  grid->addWidget(new QLabel(tr("dMut"), this), 1, col++);
  grid->addWidget(m_dMut, 1, col++);
  auto* results = new QHBoxLayout;
  results->addWidget(m_fractionField);
  results->addWidget(new QLabel(tr("[%]"), this));
  results->addWidget(m_amountField);
  grid->addLayout(results, 1, col++);

  // A new row's first values are the form's.
  if (existed) {
    showRow();
  } else {
    row().use = m_file->isUsed();
    row().victoreen = m_isVictreen->isChecked();
  }
  connect(m_file, &XafsFileSelect::newFile, this, &LCFReference::newFile);
  connect(m_file, &XafsFileSelect::cleared, this, &LCFReference::clearSpectrum);
  connect(m_file, &XafsFileSelect::changedUse, this, &LCFReference::changedUse);
  connect(m_deltaE, &QLineEdit::editingFinished, this, &LCFReference::editedDeltaE);
  connect(m_isVictreen, &QCheckBox::toggled, this, &LCFReference::toggledIsVictreen);
}

LCFReference::~LCFReference() = default;

const Session::Reference& LCFReference::row() const
{
  return m_session.references()[size_t(m_index)];
}

Session::Reference& LCFReference::row()
{
  return m_session.reference(m_index);
}

const XafsSpectrum& LCFReference::spectrum() const
{
  return row().spectrum;
}

double LCFReference::deltaE() const
{
  return row().dE;
}

bool LCFReference::deltaEActive() const
{
  return row().dEActive;
}

bool LCFReference::isLoaded() const
{
  // The selector marks itself loaded before we read the file; only a read
  // that gave a usable curve counts.
  return m_file->isLoaded() && spectrum().size() >= 2;
}

bool LCFReference::isUsed() const
{
  return row().use;
}

bool LCFReference::isVictreen() const
{
  return m_isVictreen->isChecked();
}

QString LCFReference::fractionText() const
{
  return m_fractionField->text();
}

QString LCFReference::amountText() const
{
  return m_amountField->text();
}

QString LCFReference::midEText() const
{
  return m_midE->text();
}

QString LCFReference::dMutText() const
{
  return m_dMut->text();
}

Analyzed2DRes* LCFReference::map(int kind) const
{
  return kind == 0 ? row().amount.get() : kind == 1 ? row().fraction.get() : nullptr;
}

RefSnapshot LCFReference::snapshot() const
{
  // An unloaded row goes without its (stale or empty) curve, so the fit
  // counts it as unusable whatever its box says.
  return RefSnapshot::take(
    isLoaded() ? spectrum() : XafsSpectrum(), deltaE(), deltaEActive(), isUsed(), isVictreen());
}

void LCFReference::newFile(QString fname)
{
  row().victoreen = isVictreen();
  if (!m_session.loadReference(m_index, fname)) {
    // The row keeps its reference, and the name beside it says so.
    showRow();
    offerRefusal(this,
                 tr("Ref %1 keeps its reference: %2 is no spectrum of two points or more")
                   .arg(m_index + 1)
                   .arg(QFileInfo(fname).fileName()));
    return;
  }
  m_file->setLoaded(true);
  showEdge();
  emit newFileSelected();
}

void LCFReference::changedUse(bool f)
{
  row().use = f;
}

void LCFReference::editedDeltaE()
{
  bool ok = false;
  const double dE = m_deltaE->text().toDouble(&ok);
  row().dE = ok ? dE : 0.0;
  row().dEActive = true;
  emit newDeltaE();
}

void LCFReference::toggledIsVictreen(bool f)
{
  row().victoreen = f;
  if (isLoaded())
    renormalize();
}

void LCFReference::setStd(bool use, double dE, QString fname, QString isVic)
{
  m_file->setUse(use);
  row().use = use;
  m_deltaE->setText(sixDigits(dE));
  editedDeltaE();
  // Set the mode first so the file is normalised once, in the right mode.
  const QSignalBlocker block(m_isVictreen);
  m_isVictreen->setChecked(isVic.trimmed().toInt() != 0);
  m_file->load(fname);
}

void LCFReference::showRow()
{
  const Session::Reference& r = row();
  m_file->showFile(r.file, r.spectrum.size() >= 2, r.use);
  if (numberOr(m_deltaE->text(), 0.0) != r.dE) {
    const QSignalBlocker block(m_deltaE);
    m_deltaE->setText(sixDigits(r.dE));
  }
  const QSignalBlocker block(m_isVictreen);
  m_isVictreen->setChecked(r.victoreen);
  showEdge();
}

void LCFReference::showResult(double fraction, double amount)
{
  m_fraction = fraction;
  m_fractionField->setText(QString::asprintf("%5.2f", fraction * 100.0));
  m_amountField->setText(sixDigits(amount));
}

void LCFReference::clearResult()
{
  m_fraction = std::numeric_limits<double>::quiet_NaN();
  m_fractionField->clear();
  m_amountField->clear();
}

void LCFReference::clearSpectrum()
{
  row().spectrum = XafsSpectrum();
  m_midE->clear();
  m_dMut->clear();
  clearResult();
}

void LCFReference::renormalize()
{
  row().spectrum.normalize(isVictreen() ? 0 : 1);
  showEdge();
}

void LCFReference::showEdge()
{
  if (spectrum().size() < 2) {
    m_midE->clear();
    m_dMut->clear();
    return;
  }
  m_midE->setText(sixDigits(spectrum().midx));
  m_dMut->setText(sixDigits(spectrum().dMut));
}
