// Body: where refusals are shown. The main window's status line shows every
// refusal of the program's runs and of its own slots; a tool window also
// shows those of what was started from it.

#include "gui/body/Body.h"

#include "analysis/Analyzed2DRes.h"
#include "gui/analysis/Analyzer.h"
#include "analysis/ComponentRun.h"
#include "gui/analysis/ComponentsWindow.h"
#include "analysis/LcfRun.h"
#include "analysis/MapsRun.h"
#include "app/Refusal.h"
#include "gui/calibration/CalibCtrl.h"
#include "gui/display/RefusalLine.h"
#include "gui/input/SelectDataFiles.h"

#include "ui_Body.h"

#include <QDebug>
#include <QStatusBar>

void Body::setupRefusals()
{
  showRefusalsIn(this, statusBar());
  addRefusalLine(m_analyzer.get());
  addRefusalLine(m_componentsWindow.get());
  addRefusalLine(m_calibCtrl);
  addRefusalLine(m_i1List);
  addRefusalLine(m_i0List);

  auto toAnalyzer = [this](const QString& why) { showRefusal(m_analyzer.get(), why); };
  connect(m_lcfRun.get(), &LcfRun::refused, this, toAnalyzer);
  for (MapsRun* run : { m_elemRun.get(), m_raRun.get(), m_sumUpRun.get() })
    connect(run, &MapsRun::refused, this, toAnalyzer);
  connect(m_componentRun.get(), &ComponentRun::refused, this, [this](const QString& why) {
    showRefusal(m_componentsWindow.get(), why);
  });

  // Which map "Save Data" writes: the analysis window's, whatever the
  // image area shows.
  connect(m_analyzer.get(), &Analyzer::changedSelection, this, &Body::showSaveTarget);
  connect(m_lcfRun.get(), &LcfRun::ended, this, &Body::showSaveTarget);
  showSaveTarget();
}

void Body::refuseIn(QWidget* window, const QString& line, const QString& shown)
{
  qDebug().noquote() << line;
  showRefusal(window, shown.isEmpty() ? line : shown);
}

void Body::showRefusal(QWidget* window, const QString& text)
{
  offerRefusal(window, text);
  if (window != this)
    offerRefusal(this, text);
}

void Body::showSaveTarget()
{
  const Analyzed2DRes* map = mapToSave();
  m_ui->SaveTarget->setText(map && map->hasData() ? tr("Save Data writes: %1").arg(map->name())
                                                  : tr("Save Data: no map to save"));
}
