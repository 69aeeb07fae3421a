// The element, residual-absorption and sum-up runs of the main window, and
// the display tools of the result maps (deglitch, processed copy).

#include "app/Refusal.h"
#include "app/TextItems.h"
#include "gui/body/Body.h"

#include "analysis/AnalyzeCond.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/MapKernels.h"
#include "analysis/MapsRun.h"
#include "analysis/PointSpectra.h"
#include "analysis/RaKernel.h"
#include "display/MapImages.h"
#include "gui/analysis/Analyzer.h"
#include "gui/display/ImgDispA.h"
#include "stack/StackSpectra.h"

#include "ui_Body.h"

#include <QDebug>

void Body::setupElemRuns()
{
  m_elemRun = std::make_unique<MapsRun>(QStringLiteral("Element 2D analysis"));
  m_raRun = std::make_unique<MapsRun>(QStringLiteral("Residual absorption analysis"));
  m_sumUpRun = std::make_unique<MapsRun>(QStringLiteral("Sum Up"));
  Analyzer* an = m_analyzer.get();
  connect(an, &Analyzer::askAnalyzeElems, this, &Body::startElems2DAnalysis);
  connect(an, &Analyzer::askStopElemsAnalysis, this, &Body::stopElems2DAnalysis);
  connect(an, &Analyzer::askRAAnalyze, this, &Body::startRA2DAnalysis);
  connect(an, &Analyzer::askSumUp, this, &Body::doSumUp);
  connect(an, &Analyzer::mapFileChosen, this, [this](int slot, const QString& f) {
    Analyzed2DRes* map = m_analyzer->toolMap(slot);
    if (!map || !m_session->readShiftMapFile(f, *map))
      return;
    m_mapImages->genImg(*map);
    m_ui->dispA->update();
    m_analyzer->mapLoaded(map, f);
  });

  connect(m_elemRun.get(), &MapsRun::progress, an, &Analyzer::setElemsProgress);
  connect(m_elemRun.get(), &MapsRun::mapsRendered, this, [this] {
    m_mapImages->genImg(m_elemRun->maps());
    showCurrentMap();
  });
  connect(m_elemRun.get(), &MapsRun::ended, this, [this] {
    m_analyzer->setContAccess(isAnalysisRunning());
    m_ui->dispA->update();
  });
  connect(&m_raRun->engine(), &PointRun::rowStarted, this, [](int row, double) {
    qDebug().noquote() << QStringLiteral("Residual absorption row %1").arg(row);
  });
  connect(
    m_raRun.get(), &MapsRun::mapsRendered, this, [this] { m_mapImages->genImg(m_raRun->maps()); });
  connect(m_raRun.get(), &MapsRun::ended, this, [this] { generateRAResImage(); });
  connect(m_sumUpRun.get(), &MapsRun::mapsRendered, this, [this] {
    m_mapImages->genImg(m_sumUpRun->maps());
  });
  connect(m_sumUpRun.get(), &MapsRun::ended, this, [this] {
    Analyzed2DRes* map = m_analyzer->ownMap(Session::SumUpMap);
    // The file is a convenience copy; a failure to write it is not reported.
    if (m_sumUpRun->completed() && m_mapImages->imageValid(*map))
      m_mapImages->img(*map).save(QStringLiteral("sumUpImg.png"));
    showCurrentMap();
  });

  Ui::Body& ui = *m_ui;
  connect(ui.Deglitch, &QPushButton::clicked, this, &Body::deglitch);
  connect(ui.ShowProcImg, &QCheckBox::toggled, this, &Body::showProcImg);
}

// ---- Element analysis ----------------------------------------------------

void Body::startElems2DAnalysis()
{
  if (m_elemRun->isRunning())
    stopElems2DAnalysis();
  // A refused start ends the run at once, and its end gives the access back.
  m_analyzer->setContAccess(true);
  m_elemRun->setRefreshOnRows(m_analyzer->elemsDispOnTime());
  m_session->startElems(*m_elemRun);
}

void Body::stopElems2DAnalysis()
{
  if (m_elemRun)
    m_elemRun->stop();
}

void Body::generateElemsResImages()
{
  m_elemRun->refreshMaps();
}

// ---- Residual absorption -------------------------------------------------

void Body::startRA2DAnalysis()
{
  if (m_raRun->isRunning())
    m_raRun->stop();
  QString outside;
  m_session->startResidual(*m_raRun, &outside);
  if (!outside.isEmpty())
    refuse(m_analyzer.get(),
           outside,
           tr("Residual absorption at %1 eV is outside the stack's energies: extrapolated")
             .arg(m_session->raEnergy));
}

void Body::generateRAResImage()
{
  m_session->finishResidual();
  Analyzed2DRes* rest = m_analyzer->ownMap(Session::RestMap);
  if (!rest->hasData())
    return;
  m_mapImages->genImg(
    { m_analyzer->ownMap(Session::DMutMap), rest, m_analyzer->ownMap(Session::RatiMap) });
  showCurrentMap();
}

// ---- Sum-up ----------------------------------------------------------------

void Body::doSumUp()
{
  m_session->startSumUp(*m_sumUpRun);
}

// ---- Display tools of the maps ---------------------------------------------

void Body::deglitch()
{
  Analyzed2DRes* map = m_analyzer->currentMap();
  if (!map || !map->hasData()) {
    refuseIn(this, QStringLiteral("Deglitch: no map"), tr("Deglitch: no map"));
    return;
  }
  map->setDeglitchConds(numberOr(m_ui->DeglitchF->text(), 1.0),
                        numberOr(m_ui->DeglitchR->text(), 0.0));
  map->deglitch();
  m_mapImages->genImg(*map);
  showCurrentMap();
}

void Body::showProcImg(bool f)
{
  Analyzed2DRes* map = m_analyzer->currentMap();
  if (!map || !map->hasData())
    return;
  map->selectProcImg(f);
  m_mapImages->genImg(*map);
  showCurrentMap();
}

void Body::setupResAnalysisImage()
{
  renderShownMap();
}

void Body::showResAnalysis()
{
  if (!m_ui->ShowResAnalysis->isChecked())
    m_ui->ShowResAnalysis->setChecked(true); // its toggle shows the map
  else
    showCurrentMap();
}

void Body::selectedNewRef(int i)
{
  m_analyzer->selectedNewRef(i);
  showCurrentMap();
}
