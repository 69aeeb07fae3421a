#include "gui/body/Body.h"

#include "gui/display/BringToFront.h"

#include "analysis/AnalyzeCond.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/ComponentRun.h"
#include "display/MapImages.h"
#include "gui/analysis/Analyzer.h"
#include "gui/analysis/ComponentsWindow.h"

#include <QDebug>
#include <QLayout>
#include <QPushButton>

void Body::setupComponents()
{
  m_componentRun = std::make_unique<ComponentRun>();
  m_componentsWindow = std::make_unique<ComponentsWindow>();
  ComponentRun* run = m_componentRun.get();
  ComponentsWindow* win = m_componentsWindow.get();
  connect(run, &ComponentRun::progress, win, &ComponentsWindow::setProgress);
  connect(run, &ComponentRun::mapsRendered, this, [this] {
    m_mapImages->genImg(m_componentRun->maps());
  });
  connect(run, &ComponentRun::ended, this, &Body::componentRunEnded);
  connect(win, &ComponentsWindow::execPca, this, [this](int n) { startComponentRun(n, 0, false); });
  connect(win, &ComponentsWindow::execCluster, this, [this](int k, int n) {
    startComponentRun(n, k, n == 0);
  });
  connect(win, &ComponentsWindow::stopRun, run, &ComponentRun::stop);
  connect(win, &ComponentsWindow::saveClusterSpectra, run, &ComponentRun::saveClusterSpectra);
  connect(win, &ComponentsWindow::mapChosen, this, &Body::selectMapByName);
  // The window is opened from the analysis window, beside the analyses.
  auto* open = new QPushButton(tr("Components..."), m_analyzer.get());
  open->setObjectName(QStringLiteral("OpenComponents"));
  if (QLayout* layout = m_analyzer->layout())
    layout->addWidget(open);
  connect(open, &QPushButton::clicked, win, [win] { bringToFront(win); });
}

void Body::startComponentRun(int components, int clusters, bool autoScores)
{
  AnalyzeCond ac;
  const bool haveImage = askAnalyzeCond(ac);
  // The windows are read here, once; the run sees only these values.
  const FitConditions fit = m_analyzer->fitConditions();
  const ComponentSetup setup = componentSetup(haveImage ? analysisSpectra() : PointSpectra(),
                                              fit.sE0,
                                              fit.eE0,
                                              components,
                                              clusters,
                                              autoScores);
  m_componentsWindow->setRunning(true);
  m_componentRun->start(haveImage ? &ac : nullptr, setup);
}

void Body::componentRunEnded()
{
  m_componentsWindow->setRunning(false);
  m_componentsWindow->showResults(*m_componentRun);
  QVector<XafsSpectrum> means;
  QStringList names;
  for (const ClusterMean& c : m_componentRun->clusters()) {
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
  maps += m_componentRun->maps();
  maps.append(shiftMap());
  return maps;
}

bool Body::selectMapByName(const QString& name)
{
  QVector<Analyzed2DRes*> maps = m_componentRun->maps();
  maps += m_analyzer->resultMaps();
  for (Analyzed2DRes* map : maps)
    if (map && map->name() == name) {
      m_analyzer->chooseMap(map);
      if (!m_mapImages->imageValid(*map) && map->hasData())
        m_mapImages->genImg(*map);
      showCurrentMap();
      return true;
    }
  qDebug().noquote() << QStringLiteral("No map named %1").arg(name);
  return false;
}
