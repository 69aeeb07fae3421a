#include "gui/body/Body.h"

#include "gui/display/BringToFront.h"

#include "analysis/AnalyzeCond.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/ComponentRun.h"
#include "display/MapImages.h"
#include "gui/analysis/Analyzer.h"
#include "gui/analysis/ComponentsWindow.h"
#include "session/Session.h"

#include <QLayout>
#include <QPushButton>

void Body::setupComponents()
{
  m_componentsWindow = std::make_unique<ComponentsWindow>();
  // The run is the Session's: a batch's components show here too.
  ComponentRun* run = componentRun();
  ComponentsWindow* win = m_componentsWindow.get();
  connect(run, &ComponentRun::progress, win, &ComponentsWindow::setProgress);
  connect(run, &ComponentRun::mapsRendered, this, [this] {
    m_mapImages->genImg(componentRun()->maps());
  });
  connect(run, &ComponentRun::ended, this, &Body::componentRunEnded);
  connect(win, &ComponentsWindow::execPca, this, [this](int n) { startComponentRun(n, 0, false); });
  connect(win, &ComponentsWindow::execCluster, this, [this](int k, int n) {
    startComponentRun(n, k, n == 0);
  });
  connect(win, &ComponentsWindow::stopRun, run, &ComponentRun::stop);
  connect(win, &ComponentsWindow::saveClusterSpectra, this, [this](const QString& base) {
    m_session->saveClusterSpectra(base);
  });
  connect(win, &ComponentsWindow::mapChosen, this, &Body::selectMapByName);
  // The window is opened from the analysis window, beside the analyses.
  auto* open = new QPushButton(tr("Components..."), m_analyzer.get());
  open->setObjectName(QStringLiteral("OpenComponents"));
  if (QLayout* layout = m_analyzer->layout())
    layout->addWidget(open);
  connect(open, &QPushButton::clicked, win, [win] { bringToFront(win); });
}

ComponentRun* Body::componentRun() const
{
  return &m_session->componentRun();
}

void Body::startComponentRun(int components, int clusters, bool autoScores)
{
  m_componentsWindow->setRunning(true);
  m_session->startComponents(components, clusters, autoScores);
}

void Body::componentRunEnded()
{
  m_componentsWindow->setRunning(false);
  m_componentsWindow->showResults(*componentRun());
  QVector<XafsSpectrum> means;
  QStringList names;
  for (const ClusterMean& c : componentRun()->clusters()) {
    means.append(c.spectrum);
    names << tr("Cluster %1 (%n points)", nullptr, c.count).arg(means.size());
  }
  if (!means.isEmpty())
    m_analyzer->showSpectra(means, names);
  showCurrentMap();
}

QVector<Analyzed2DRes*> Body::allMaps() const
{
  QVector<Analyzed2DRes*> maps = m_analyzer->resultMaps();
  maps += componentRun()->maps();
  maps.append(shiftMap());
  return maps;
}

bool Body::selectMapByName(const QString& name)
{
  // The choice is the Session's, as a batch's analyzer_select_map.
  if (!m_session->selectMapByName(name))
    return false;
  Analyzed2DRes* map = m_session->currentMap();
  if (!m_mapImages->imageValid(*map) && map->hasData())
    m_mapImages->genImg(*map);
  showCurrentMap();
  return true;
}
