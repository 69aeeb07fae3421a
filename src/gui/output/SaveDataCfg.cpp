#include "gui/output/SaveDataCfg.h"
#include "gui/app/NumberFields.h"

#include "ui_SaveDataCfg.h"

SaveDataCfg::SaveDataCfg(QWidget* parent)
  : QWidget(parent)
  , m_ui(std::make_unique<Ui::SaveDataCfg>())
{
  m_ui->setupUi(this);
  acceptReals({ m_ui->TiffScaleMin, m_ui->TiffScaleMax });
  connect(m_ui->SaveAsTiff, &QRadioButton::toggled, this, &SaveDataCfg::toggledSaveAs);
  // The text group follows its own button: with the HDF5 kind neither
  // group applies.
  connect(m_ui->SaveAsTextData, &QRadioButton::toggled, m_ui->TextCfg, &QWidget::setEnabled);
  toggledSaveAs(m_ui->SaveAsTiff->isChecked());
}

SaveDataCfg::~SaveDataCfg() = default;

bool SaveDataCfg::saveAsTiff() const
{
  return m_ui->SaveAsTiff->isChecked();
}

bool SaveDataCfg::saveAsHdf5() const
{
  return m_ui->SaveAsHdf5->isChecked();
}

bool SaveDataCfg::tiffFixedScale() const
{
  return m_ui->TiffFixedScale->isChecked();
}

double SaveDataCfg::tiffScaleMin() const
{
  return m_ui->TiffScaleMin->text().toDouble();
}

double SaveDataCfg::tiffScaleMax() const
{
  return m_ui->TiffScaleMax->text().toDouble();
}

bool SaveDataCfg::tiffAsAnalyzed() const
{
  return m_ui->TiffAsAnalyzed->isChecked();
}

bool SaveDataCfg::commaSeparated() const
{
  return m_ui->DataCommaSeparated->isChecked();
}

bool SaveDataCfg::xyValue() const
{
  return m_ui->DataXYVal->isChecked();
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
