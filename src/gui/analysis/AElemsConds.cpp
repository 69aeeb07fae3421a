#include "gui/analysis/AElemsConds.h"
#include "app/TextItems.h"
#include "gui/app/NumberFields.h"
#include "session/Session.h"

#include "ui_AElemsConds.h"

#include <QCoreApplication>
#include <QSignalBlocker>

#include <algorithm>

namespace {

// The fields in the batch words' order, with the value each writes.
struct BackgroundField
{
  QLineEdit* Ui::AElemsConds::*field;
  double ElemBackground::*value;
};
const BackgroundField kFields[] = {
  { &Ui::AElemsConds::BGVDMut, &ElemBackground::dmut },
  { &Ui::AElemsConds::BGVDMutR, &ElemBackground::dmutRatio },
  { &Ui::AElemsConds::BGVDE, &ElemBackground::dE },
  { &Ui::AElemsConds::BGVROI, &ElemBackground::roi },
  { &Ui::AElemsConds::BGVNROI, &ElemBackground::nroi },
};

} // namespace

AElemsConds::AElemsConds(Session& session, QWidget* parent)
  : QDialog(parent)
  , m_ui(std::make_unique<Ui::AElemsConds>())
  , m_session(session)
{
  m_ui->setupUi(this);
  acceptReals({ m_ui->BGVDMut, m_ui->BGVDMutR, m_ui->BGVDE, m_ui->BGVROI, m_ui->BGVNROI });
  for (const QString& caption : edgeLocateCaptions())
    m_ui->EdgeLocate->addItem(
      QCoreApplication::translate("EdgeLocate", caption.toLatin1().constData()));
  const ElemBackground defaults;
  for (const BackgroundField& f : kFields) {
    QLineEdit* e = m_ui.get()->*f.field;
    connect(e, &QLineEdit::textChanged, this, [this, e, f, defaults] {
      m_session.elemBackground.*f.value = numberOr(e->text(), defaults.*f.value);
    });
  }
  connect(m_ui->EdgeLocate,
          QOverload<int>::of(&QComboBox::currentIndexChanged),
          this,
          [this](int i) { m_session.elemLocate = EdgeLocate(std::max(i, 0)); });
  connect(m_ui->Buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
  showValues();
}

AElemsConds::~AElemsConds() = default;

const ElemBackground& AElemsConds::values() const
{
  return m_session.elemBackground;
}

void AElemsConds::setValue(int which, double v)
{
  if (which < 0 || which >= int(std::size(kFields)))
    return;
  m_session.elemBackground.*kFields[which].value = QString::number(v, 'g', 6).toDouble();
  showValues();
}

EdgeLocate AElemsConds::edgeLocate() const
{
  return m_session.elemLocate;
}

void AElemsConds::setEdgeLocate(EdgeLocate locate)
{
  m_session.elemLocate = locate;
  showValues();
}

void AElemsConds::showValues()
{
  const ElemBackground defaults;
  for (const BackgroundField& f : kFields) {
    QLineEdit* e = m_ui.get()->*f.field;
    const double v = m_session.elemBackground.*f.value;
    if (numberOr(e->text(), defaults.*f.value) != v) {
      const QSignalBlocker quiet(e);
      e->setText(QString::number(v, 'g', 6));
    }
  }
  const QSignalBlocker quiet(m_ui->EdgeLocate);
  m_ui->EdgeLocate->setCurrentIndex(int(m_session.elemLocate));
}
