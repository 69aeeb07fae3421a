#include "gui/analysis/AElemsConds.h"
#include "app/TextItems.h"
#include "gui/app/NumberFields.h"

#include "ui_AElemsConds.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

double numberOr(const QLineEdit* e, double fallback)
{
  return ::numberOr(e->text(), fallback);
}

} // namespace

AElemsConds::AElemsConds(QWidget* parent)
  : QDialog(parent)
  , m_ui(std::make_unique<Ui::AElemsConds>())
{
  m_ui->setupUi(this);
  acceptReals({ m_ui->BGVDMut, m_ui->BGVDMutR, m_ui->BGVDE, m_ui->BGVROI, m_ui->BGVNROI });
  for (const QString& caption : edgeLocateCaptions())
    m_ui->EdgeLocate->addItem(
      QCoreApplication::translate("EdgeLocate", caption.toLatin1().constData()));
  connect(m_ui->Buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
}

AElemsConds::~AElemsConds() = default;

ElemBackground AElemsConds::values() const
{
  ElemBackground bg;
  bg.dmut = numberOr(m_ui->BGVDMut, bg.dmut);
  bg.dmutRatio = numberOr(m_ui->BGVDMutR, bg.dmutRatio);
  bg.dE = numberOr(m_ui->BGVDE, bg.dE);
  bg.roi = numberOr(m_ui->BGVROI, bg.roi);
  bg.nroi = numberOr(m_ui->BGVNROI, bg.nroi);
  return bg;
}

void AElemsConds::setValue(int which, double v)
{
  QLineEdit* const fields[] = {
    m_ui->BGVDMut, m_ui->BGVDMutR, m_ui->BGVDE, m_ui->BGVROI, m_ui->BGVNROI
  };
  if (which >= 0 && which < 5)
    fields[which]->setText(QString::number(v, 'g', 6));
}

EdgeLocate AElemsConds::edgeLocate() const
{
  return EdgeLocate(std::max(m_ui->EdgeLocate->currentIndex(), 0));
}

void AElemsConds::setEdgeLocate(EdgeLocate locate)
{
  m_ui->EdgeLocate->setCurrentIndex(int(locate));
}
