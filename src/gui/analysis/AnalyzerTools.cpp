// The Analyzer's map tools: residual conditions, the two capture slots and
// their files, map processing and the sum-up ranges.

#include "analysis/AnalyzeCond.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/MapKernels.h"
#include "app/Refusal.h"
#include "app/TextItems.h"
#include "calibration/EMPHeader.h"
#include "display/MapImages.h"
#include "gui/analysis/Analyzer.h"
#include "gui/analysis/SumUpCtrl.h"
#include "gui/calibration/EShiftMapDialog.h"
#include "session/Session.h"

#include "ui_Analyzer.h"

#include <QButtonGroup>
#include <QDebug>
#include <QFileInfo>
#include <QVBoxLayout>

void Analyzer::setupTools()
{
  // The operation and the map on view sit in one box: without groups of
  // their own, viewing a map would untick the operation.
  auto* procType = new QButtonGroup(this);
  for (QRadioButton* b : { m_ui->ProcTypeSub, m_ui->ProcTypeDiv, m_ui->ProcTypeMask })
    procType->addButton(b);
  auto* procView = new QButtonGroup(this);
  for (QRadioButton* b : { m_ui->ShowMap1, m_ui->ShowMap2, m_ui->ShowProcessedMap })
    procView->addButton(b);
  // The form's shared group unticked the default operation: tick it again.
  if (!procType->checkedButton())
    m_ui->ProcTypeSub->setChecked(true);
  m_sumUpCtrl = new SumUpCtrl(m_session, m_ui->SumUpRows);
  m_ui->SumUpRows->layout()->addWidget(m_sumUpCtrl);
  connect(m_ui->AskProcessMaps, &QPushButton::clicked, this, &Analyzer::processMaps);
  for (int slot : { 1, 2 }) {
    QPushButton* b = slot == 1 ? m_ui->SelMap1 : m_ui->SelMap2;
    connect(b, &QPushButton::clicked, this, [this, slot] {
      EShiftMapDialog dialog(tr("Select Map %1").arg(slot), this);
      if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        selectMapFile(slot, dialog.selectedFiles().first());
    });
  }
}

double Analyzer::raEnergy() const
{
  return m_session.raEnergy;
}

double Analyzer::raFactor() const
{
  return m_session.raFactor;
}

void Analyzer::selectMapFile(int slot, const QString& fname)
{
  if (toolMap(slot))
    emit mapFileChosen(slot, fname);
}

Analyzed2DRes* Analyzer::toolMap(int slot) const
{
  return slot == 1 ? m_maps[Session::Map1] : slot == 2 ? m_maps[Session::Map2] : nullptr;
}

void Analyzer::mapLoaded(Analyzed2DRes* map, const QString& fname)
{
  if (map != m_maps[Session::Map1] && map != m_maps[Session::Map2])
    return;
  map->setName(QFileInfo(fname).fileName());
  (map == m_maps[Session::Map1] ? m_ui->Map1Name : m_ui->Map2Name)->setText(map->name());
  emit changedSelection();
}

bool Analyzer::processMaps()
{
  if (!m_maps[Session::Map1]->hasData() || !m_maps[Session::Map2]->hasData()) {
    refuse(this,
           QStringLiteral("Process Maps: Map 1 and Map 2 must both hold a map"),
           tr("Process Maps: Map 1 and Map 2 must both hold a map"));
    return false;
  }
  const bool done = m_session.processMaps();
  m_images.genImg(*m_maps[Session::ProcessedMap]);
  emit changedSelection();
  return done;
}

bool Analyzer::selectAnalysisMode(int mode)
{
  if (mode < 0 || mode > 4) {
    qDebug().noquote() << QStringLiteral("No analysis mode %1").arg(mode);
    return false;
  }
  return selectImage(mode);
}
