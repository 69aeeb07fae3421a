// Body: where refusals are shown. The main window's status line shows every
// refusal of the program's runs and of its own slots; a tool window also
// shows those of what was started from it.

#include "gui/body/Body.h"

#include "analysis/Analyzed2DRes.h"
#include "analysis/ComponentRun.h"
#include "analysis/LcfRun.h"
#include "analysis/MapsRun.h"
#include "analysis/PointRun.h"
#include "app/Refusal.h"
#include "gui/analysis/Analyzer.h"
#include "gui/analysis/ComponentsWindow.h"
#include "gui/calibration/CalibCtrl.h"
#include "gui/display/RefusalLine.h"
#include "gui/input/SelectDataFiles.h"

#include "ui_Body.h"

#include <QDebug>
#include <QStatusBar>

#include <memory>
#include <type_traits>

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
  for (MapsRun* run : { m_elemRun.get(), m_raRun.get(), m_sumUpRun.get() }) {
    connect(run, &MapsRun::refused, this, toAnalyzer);
    connect(run, &MapsRun::notFitted, this, toAnalyzer);
  }
  connect(componentRun(), &ComponentRun::refused, this, [this](const QString& why) {
    showRefusal(m_componentsWindow.get(), why);
  });

  // A run that ends without refusing says the last refusal is over: its
  // line would otherwise stand beside the new maps.
  auto clearsOnSuccess = [this](auto* run, QWidget* window) {
    using Run = std::remove_pointer_t<decltype(run)>;
    auto refusedNow = std::make_shared<bool>(false);
    connect(run, &Run::refused, this, [refusedNow] { *refusedNow = true; });
    // The count of points not fitted stays until the next run.
    if constexpr (std::is_same_v<Run, MapsRun>)
      connect(run, &MapsRun::notFitted, this, [refusedNow] { *refusedNow = true; });
    connect(run, &Run::ended, this, [this, refusedNow, window] {
      if (!*refusedNow)
        showRefusal(window, QString());
      *refusedNow = false;
    });
  };
  clearsOnSuccess(m_lcfRun.get(), m_analyzer.get());
  for (MapsRun* run : { m_elemRun.get(), m_raRun.get(), m_sumUpRun.get() })
    clearsOnSuccess(run, m_analyzer.get());
  clearsOnSuccess(componentRun(), m_componentsWindow.get());
  connect(m_calibRun.get(), &PointRun::ended, this, [this](bool completed) {
    if (completed)
      showRefusal(m_calibCtrl, QString());
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
  m_ui->SaveTarget->setText(map && map->hasData() ? tr("Save Data writes: %1").arg(map->label())
                                                  : tr("Save Data: no map to save"));
  if (m_componentsWindow)
    m_componentsWindow->showChosenMap(map && map->hasData() ? map->name() : QString());
}
