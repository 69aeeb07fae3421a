#include "gui/calibration/CalibCtrl.h"
#include "gui/app/NumberFields.h"

#include "app/Refusal.h"
#include "calibration/CalibKernel.h"
#include "gui/calibration/EShiftMapDialog.h"
#include "gui/spectrum/XafsFileSelect.h"
#include "spectrum/XafsSpectrum.h"

#include "ui_CalibCtrl.h"

#include <QSignalBlocker>

#include <algorithm>

namespace {

struct Crystal
{
  const char* name;
  double spacing; // hc / E gives the wavelength in the same unit
};

const Crystal kCrystals[] = {
  { "Si(111)", 3.1355316 }, { "Si(311)", 1.637478 },  { "Si(333)", 1.0451772 },
  { "Ge(111)", 3.2663822 }, { "Ge(333)", 1.0887941 },
};

QString shortest(double v)
{
  return QString::number(v, 'g', 6);
}

} // namespace

CalibCtrl::CalibCtrl(QWidget* parent)
  : QFrame(parent)
  , m_ui(std::make_unique<Ui::CalibCtrl>())
{
  m_ui->setupUi(this);
  acceptReals({ m_ui->EdgeEeV });
  m_ui->EdgeLocate->addItems(edgeLocateCaptions());
  for (const Crystal& c : kCrystals)
    m_ui->SelCrystal->addItem(QString::fromLatin1(c.name), c.spacing);
  m_ui->SelectStd->setTitle(tr("Select Std."));
  m_ui->SelectStd->showUse(false);

  m_saveDialog = new EShiftMapDialog(tr("Save Energy Shift Map"), this);
  // A map is saved under a new name as often as an old one.
  m_saveDialog->setAcceptMode(QFileDialog::AcceptSave);
  m_saveDialog->setFileMode(QFileDialog::AnyFile);
  m_loadDialog = new EShiftMapDialog(tr("Load Energy Shift Map"), this);

  connect(m_ui->SelectStd, &XafsFileSelect::newFile, this, &CalibCtrl::newFile);
  connect(m_ui->LoadMap, &QPushButton::clicked, m_loadDialog, &QWidget::show);
  connect(m_loadDialog, &QFileDialog::fileSelected, this, &CalibCtrl::loadEMap);
  connect(m_ui->SaveMap, &QPushButton::clicked, m_saveDialog, &QWidget::show);
  connect(m_saveDialog, &QFileDialog::fileSelected, this, &CalibCtrl::saveEMap);
  connect(m_ui->ExecCalib, &QPushButton::clicked, this, &CalibCtrl::execCalibration);
  connect(m_ui->ClearMap, &QPushButton::clicked, this, &CalibCtrl::clearMap);
  connect(m_ui->RemoveOutliers, &QPushButton::clicked, this, &CalibCtrl::removeOutliers);
  connect(m_ui->StdBGVictreen, &QRadioButton::toggled, this, &CalibCtrl::stdBGToggled);
}

CalibCtrl::~CalibCtrl() = default;

double CalibCtrl::spacing() const
{
  return m_ui->SelCrystal->currentData().toDouble();
}

QString CalibCtrl::crystalName() const
{
  return m_ui->SelCrystal->currentText();
}

double CalibCtrl::edgeEV() const
{
  return m_ui->EdgeEeV->text().toDouble();
}

const XafsSpectrum* CalibCtrl::standard() const
{
  return m_standard && m_standard->size() > 0 ? m_standard.get() : nullptr;
}

QString CalibCtrl::stdFileName() const
{
  return m_ui->SelectStd->fileName();
}

bool CalibCtrl::targetVictoreen() const
{
  return m_ui->TargetBGVictreen->isChecked();
}

bool CalibCtrl::innerPointType() const
{
  return m_ui->CalibTypeInnerP->isChecked();
}

EdgeLocate CalibCtrl::edgeLocate() const
{
  return EdgeLocate(std::max(m_ui->EdgeLocate->currentIndex(), 0));
}

void CalibCtrl::setEdgeLocate(EdgeLocate locate)
{
  m_ui->EdgeLocate->setCurrentIndex(int(locate));
}

int CalibCtrl::stdMode() const
{
  // Normalisation mode 0 fits Victoreen lines, any other straight lines.
  return m_ui->StdBGVictreen->isChecked() ? 0 : 1;
}

void CalibCtrl::showStatistics(const ShiftStats& stats)
{
  m_ui->DEAvr->setText(shortest(stats.average));
  m_ui->DEMin->setText(shortest(stats.min));
  m_ui->DEMax->setText(shortest(stats.max));
  m_ui->DESigma->setText(shortest(stats.sigma));
}

void CalibCtrl::newFile(QString fname)
{
  auto loaded = std::make_unique<XafsSpectrum>();
  const QString why = loadCalibStandard(fname, stdMode(), *loaded);
  if (!why.isEmpty()) {
    refuse(this, why);
    // The standard before stays, and the selector names it again.
    const QSignalBlocker block(m_ui->SelectStd);
    if (standard())
      m_ui->SelectStd->load(m_standard->name);
    else
      m_ui->SelectStd->clear();
    return;
  }
  m_standard = std::move(loaded);
  m_ui->EdgeEeV->setText(shortest(m_standard->midx));
  emit newStdFileLoaded();
}

void CalibCtrl::stdBGToggled(bool f)
{
  Q_UNUSED(f); // StdBGVictreen itself says which lines to fit
  if (!standard())
    return;
  m_standard->normalize(stdMode());
  // The main window's copy follows the standard it describes.
  emit newStdFileLoaded();
}

void CalibCtrl::loadStd(QString fname)
{
  m_ui->SelectStd->load(fname);
}

void CalibCtrl::setEdgeEV(QString eV)
{
  m_ui->EdgeEeV->setText(eV);
}

void CalibCtrl::loadEShiftMap(QString fname)
{
  emit loadEMap(fname);
}
