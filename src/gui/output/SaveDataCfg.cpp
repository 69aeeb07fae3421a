#include "gui/output/SaveDataCfg.h"
#include "gui/app/NumberFields.h"

#include "session/Session.h"

#include "ui_SaveDataCfg.h"

#include <QSignalBlocker>

SaveDataCfg::SaveDataCfg(Session& session, QWidget* parent)
  : QWidget(parent)
  , m_ui(std::make_unique<Ui::SaveDataCfg>())
  , m_session(session)
{
  m_ui->setupUi(this);
  acceptReals({ m_ui->TiffScaleMin, m_ui->TiffScaleMax });
  connect(m_ui->SaveAsTiff, &QRadioButton::toggled, this, &SaveDataCfg::toggledSaveAs);
  // The text group follows its own button: with the HDF5 kind neither
  // group applies.
  connect(m_ui->SaveAsTextData, &QRadioButton::toggled, m_ui->TextCfg, &QWidget::setEnabled);
  for (QAbstractButton* b : { static_cast<QAbstractButton*>(m_ui->SaveAsTiff),
                              static_cast<QAbstractButton*>(m_ui->SaveAsTextData),
                              static_cast<QAbstractButton*>(m_ui->SaveAsHdf5),
                              static_cast<QAbstractButton*>(m_ui->TiffFixedScale),
                              static_cast<QAbstractButton*>(m_ui->TiffAsAnalyzed),
                              static_cast<QAbstractButton*>(m_ui->DataCommaSeparated),
                              static_cast<QAbstractButton*>(m_ui->DataXYVal) })
    connect(b, &QAbstractButton::toggled, this, &SaveDataCfg::takeOptions);
  for (QLineEdit* e : { m_ui->TiffScaleMin, m_ui->TiffScaleMax })
    connect(e, &QLineEdit::textChanged, this, &SaveDataCfg::takeOptions);
  showOptions();
}

SaveDataCfg::~SaveDataCfg() = default;

void SaveDataCfg::takeOptions()
{
  Session::SaveOptions& o = m_session.save;
  o.kind = m_ui->SaveAsHdf5->isChecked()       ? Session::SaveKind::Hdf5
           : m_ui->SaveAsTextData->isChecked() ? Session::SaveKind::Text
                                               : Session::SaveKind::Tiff;
  o.tiffFixedScale = m_ui->TiffFixedScale->isChecked();
  o.tiffScaleMin = m_ui->TiffScaleMin->text().toDouble();
  o.tiffScaleMax = m_ui->TiffScaleMax->text().toDouble();
  o.tiffAsAnalyzed = m_ui->TiffAsAnalyzed->isChecked();
  o.commaSeparated = m_ui->DataCommaSeparated->isChecked();
  o.xyValue = m_ui->DataXYVal->isChecked();
}

void SaveDataCfg::showOptions()
{
  // Copied first: each control set below writes every option back.
  const Session::SaveOptions o = m_session.save;
  auto showNumber = [](QLineEdit* e, double v) {
    if (e->text().toDouble() != v)
      e->setText(QString::number(v));
  };
  (o.kind == Session::SaveKind::Hdf5   ? m_ui->SaveAsHdf5
   : o.kind == Session::SaveKind::Text ? m_ui->SaveAsTextData
                                       : m_ui->SaveAsTiff)
    ->setChecked(true);
  m_ui->TiffFixedScale->setChecked(o.tiffFixedScale);
  showNumber(m_ui->TiffScaleMin, o.tiffScaleMin);
  showNumber(m_ui->TiffScaleMax, o.tiffScaleMax);
  m_ui->TiffAsAnalyzed->setChecked(o.tiffAsAnalyzed);
  (o.commaSeparated ? m_ui->DataCommaSeparated : m_ui->DataSpaceSeparated)->setChecked(true);
  (o.xyValue ? m_ui->DataXYVal : m_ui->DataValValVal)->setChecked(true);
  m_session.save = o;
  toggledSaveAs(m_ui->SaveAsTiff->isChecked());
}

void SaveDataCfg::toggledSaveAs(bool f)
{
  m_ui->TiffCfg->setEnabled(f);
  m_ui->TextCfg->setEnabled(m_ui->SaveAsTextData->isChecked());
}

void SaveDataCfg::setSaveAsTiff()
{
  m_ui->SaveAsTiff->setChecked(true);
}

void SaveDataCfg::setSaveAsText()
{
  m_ui->SaveAsTextData->setChecked(true);
}

void SaveDataCfg::setSaveAsHdf5()
{
  m_ui->SaveAsHdf5->setChecked(true);
}

void SaveDataCfg::setSaveTiffScaleFixed(bool f)
{
  m_ui->TiffFixedScale->setChecked(f);
}

void SaveDataCfg::setSaveTiffScaleMin(double min)
{
  m_ui->TiffScaleMin->setText(QString::number(min));
}

void SaveDataCfg::setSaveTiffScaleMax(double max)
{
  m_ui->TiffScaleMax->setText(QString::number(max));
}

void SaveDataCfg::setSaveTiffAsAnalyzed(bool f)
{
  m_ui->TiffAsAnalyzed->setChecked(f);
}

void SaveDataCfg::setSaveTextAsCSV()
{
  m_ui->DataCommaSeparated->setChecked(true);
}

void SaveDataCfg::setSaveTextAsSSV()
{
  m_ui->DataSpaceSeparated->setChecked(true);
}

void SaveDataCfg::setSaveTextAsXYVal()
{
  m_ui->DataXYVal->setChecked(true);
}

void SaveDataCfg::setSaveTextAsValValVal()
{
  m_ui->DataValValVal->setChecked(true);
}
