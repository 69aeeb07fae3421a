#include "gui/calibration/CalibCtrl.h"
#include "gui/app/NumberFields.h"

#include "analysis/Analyzed2DRes.h"
#include "app/Refusal.h"
#include "calibration/CalibKernel.h"
#include "gui/calibration/EShiftMapDialog.h"
#include "gui/spectrum/XafsFileSelect.h"
#include "session/Session.h"
#include "spectrum/XafsSpectrum.h"

#include "ui_CalibCtrl.h"

#include <QCoreApplication>
#include <QLineEdit>
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

CalibCtrl::CalibCtrl(Session& session, QWidget* parent)
  : QFrame(parent)
  , m_ui(std::make_unique<Ui::CalibCtrl>())
  , m_session(session)
{
  m_ui->setupUi(this);
  acceptReals({ m_ui->EdgeEeV });
  for (const QString& caption : edgeLocateCaptions())
    m_ui->EdgeLocate->addItem(
      QCoreApplication::translate("EdgeLocate", caption.toLatin1().constData()));
  for (const Crystal& c : kCrystals)
    m_ui->SelCrystal->addItem(QString::fromLatin1(c.name), c.spacing);
  m_ui->SelectStd->setTitle(tr("Select Std."));
  // A refusal of several lines below the fields makes the window taller
  // instead of squeezing them.
  for (QLineEdit* field : findChildren<QLineEdit*>())
    field->setFixedHeight(field->sizeHint().height());
  m_ui->SelectStd->showUse(false);

  m_saveDialog = new EShiftMapDialog(tr("Save Energy Shift Map"), this);
  // A map is saved under a new name as often as an old one.
  m_saveDialog->setAcceptMode(QFileDialog::AcceptSave);
  m_saveDialog->setFileMode(QFileDialog::AnyFile);
  m_loadDialog = new EShiftMapDialog(tr("Load Energy Shift Map"), this);

  connect(m_ui->SelectStd, &XafsFileSelect::newFile, this, &CalibCtrl::newFile);
  // Cleared is gone: a file refused later has no standard to fall back to.
  connect(m_ui->SelectStd, &XafsFileSelect::cleared, this, [this] {
    m_session.calibration().standard.reset();
    m_session.calibration().stdFile.clear();
    // The spectrum window stops drawing it.
    emit newStdFileLoaded();
  });
  connect(m_ui->LoadMap, &QPushButton::clicked, m_loadDialog, &QWidget::show);
  connect(m_loadDialog, &QFileDialog::fileSelected, this, &CalibCtrl::loadEMap);
  connect(m_ui->SaveMap, &QPushButton::clicked, m_saveDialog, &QWidget::show);
  connect(m_saveDialog, &QFileDialog::fileSelected, this, &CalibCtrl::saveEMap);
  connect(m_ui->ExecCalib, &QPushButton::clicked, this, &CalibCtrl::execCalibration);
  connect(m_ui->ClearMap, &QPushButton::clicked, this, &CalibCtrl::clearMap);
  connect(m_ui->RemoveOutliers, &QPushButton::clicked, this, &CalibCtrl::removeOutliers);
  connect(m_ui->StdBGVictreen, &QRadioButton::toggled, this, &CalibCtrl::stdBGToggled);

  // Every field writes its value into the Session.
  Session::Calibration& c = m_session.calibration();
  connect(m_ui->EdgeEeV, &QLineEdit::textChanged, this, [&c](const QString& t) { c.edgeEV = t; });
  connect(
    m_ui->TargetBGVictreen, &QRadioButton::toggled, this, [&c](bool f) { c.targetVictoreen = f; });
  connect(
    m_ui->CalibTypeInnerP, &QRadioButton::toggled, this, [&c](bool f) { c.innerPointType = f; });
  connect(m_ui->EdgeLocate, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [&c](int i) {
    c.locate = EdgeLocate(std::max(i, 0));
  });
  connect(m_ui->SelCrystal, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this, &c] {
    c.spacing = m_ui->SelCrystal->currentData().toDouble();
  });
  showCalibration();
}

void CalibCtrl::showCalibration()
{
  // Copied first: each field set below writes its value back.
  const Session::Calibration& now = m_session.calibration();
  const QString edge = now.edgeEV;
  const bool target = now.targetVictoreen, inner = now.innerPointType;
  const bool stdVictoreen = now.stdVictoreen;
  const EdgeLocate locate = now.locate;
  const double spacing = now.spacing;
  if (m_ui->EdgeEeV->text() != edge)
    m_ui->EdgeEeV->setText(edge);
  (target ? m_ui->TargetBGVictreen : m_ui->TargetBGSimple)->setChecked(true);
  (inner ? m_ui->CalibTypeInnerP : m_ui->CalibTypeDMidX)->setChecked(true);
  m_ui->EdgeLocate->setCurrentIndex(int(locate));
  for (int i = 0; i < m_ui->SelCrystal->count(); ++i)
    if (m_ui->SelCrystal->itemData(i).toDouble() == spacing)
      m_ui->SelCrystal->setCurrentIndex(i);
  {
    // The standard is normalised as the Session says already.
    const QSignalBlocker block(m_ui->StdBGVictreen);
    const QSignalBlocker blockSimple(m_ui->StdBGSimple);
    (stdVictoreen ? m_ui->StdBGVictreen : m_ui->StdBGSimple)->setChecked(true);
  }
  m_session.calibration().spacing = spacing;
  // The standard and the statistics of the shift map a batch made.
  if (standard())
    m_ui->SelectStd->showFile(now.stdFile, true, m_ui->SelectStd->isUsed());
  const Analyzed2DRes& map = m_session.shiftMap();
  if (map.hasData())
    showStatistics(shiftMapStats(map.data(), map.cond()));
}

CalibCtrl::~CalibCtrl() = default;

double CalibCtrl::spacing() const
{
  return m_session.calibration().spacing;
}

QString CalibCtrl::crystalName() const
{
  return m_ui->SelCrystal->currentText();
}

double CalibCtrl::edgeEV() const
{
  return m_session.calibration().edgeEV.toDouble();
}

const XafsSpectrum* CalibCtrl::standard() const
{
  const XafsSpectrum* s = m_session.calibration().standard.get();
  return s && s->size() > 0 ? s : nullptr;
}

QString CalibCtrl::stdFileName() const
{
  return m_ui->SelectStd->fileName();
}

bool CalibCtrl::targetVictoreen() const
{
  return m_session.calibration().targetVictoreen;
}

bool CalibCtrl::innerPointType() const
{
  return m_session.calibration().innerPointType;
}

EdgeLocate CalibCtrl::edgeLocate() const
{
  return m_session.calibration().locate;
}

void CalibCtrl::setEdgeLocate(EdgeLocate locate)
{
  m_ui->EdgeLocate->setCurrentIndex(int(locate));
}

int CalibCtrl::stdMode() const
{
  // Normalisation mode 0 fits Victoreen lines, any other straight lines.
  return m_session.calibration().stdVictoreen ? 0 : 1;
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
  QString why;
  if (!m_session.loadStandard(fname, &why)) {
    refuse(this, why);
    // The standard before stays, and the selector names it again.
    const QSignalBlocker block(m_ui->SelectStd);
    if (const XafsSpectrum* before = standard())
      m_ui->SelectStd->load(before->name);
    else
      m_ui->SelectStd->clear();
    return;
  }
  m_ui->EdgeEeV->setText(m_session.calibration().edgeEV);
  emit newStdFileLoaded();
}

void CalibCtrl::stdBGToggled(bool f)
{
  Q_UNUSED(f); // StdBGVictreen itself says which lines to fit
  m_session.calibration().stdVictoreen = m_ui->StdBGVictreen->isChecked();
  if (!standard())
    return;
  m_session.calibration().standard->normalize(stdMode());
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
