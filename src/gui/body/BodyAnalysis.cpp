// The 2-D analysis runs of the main window and the display of their maps.

#include "gui/body/Body.h"
#include "session/Session.h"

#include "analysis/AnalyzeCond.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/ComponentRun.h"
#include "analysis/FourierRun.h"
#include "analysis/LcfRun.h"
#include "analysis/MapsRun.h"
#include "analysis/PointRun.h"
#include "analysis/PointSpectra.h"
#include "display/MapImages.h"
#include "gui/analysis/Analyzer.h"
#include "gui/analysis/LCFReference.h"
#include "gui/display/ColorBar.h"
#include "gui/display/ImgDispA.h"
#include "output/SpectraSaveRun.h"
#include "stack/StackSpectra.h"

#include "ui_Body.h"

#include <QDebug>

namespace {

// The scale a map was rendered with: the user's, else the range of the
// array it shows.
void renderedRange(const Analyzed2DRes& map, double& lo, double& hi)
{
  if (map.fixedScale()) {
    lo = map.scaleMin();
    hi = map.scaleMax();
  } else if (map.procImgSelected()) {
    lo = map.procMin();
    hi = map.procMax();
  } else {
    lo = map.min();
    hi = map.max();
  }
}

} // namespace

void Body::setupAnalysis()
{
  m_mapImages = std::make_unique<MapImages>();
  // The bar edits the mapping the maps and frames are drawn with.
  m_ui->CBar->setMapping(&m_mapImages->mapping());
  m_analyzer = std::make_unique<Analyzer>(*m_session, *m_mapImages);
  m_lcfRun = std::make_unique<LcfRun>();
  connect(m_ui->ShowAnalyzer, &QPushButton::clicked, m_analyzer.get(), &Analyzer::show);
  connect(m_ui->CheckVals, &QPushButton::clicked, this, &Body::showAnalyzedVals);
  connect(m_analyzer.get(), &Analyzer::askAnalyze, this, &Body::startLCF2DAnalysis);
  connect(m_analyzer.get(), &Analyzer::askStopAnalysis, this, &Body::stop2DAnalysis);
  connect(m_analyzer.get(), &Analyzer::changedSelection, this, &Body::showCurrentMap);
  connect(m_lcfRun.get(), &LcfRun::progress, m_analyzer.get(), &Analyzer::setProgress);
  connect(m_lcfRun.get(), &LcfRun::mapsRendered, this, [this] {
    m_mapImages->genImg(m_lcfRun->maps());
    showCurrentMap();
  });
  connect(m_lcfRun.get(), &LcfRun::notFitted, m_analyzer.get(), &Analyzer::addFitNote);
  connect(m_lcfRun.get(), &LcfRun::ended, this, [this] {
    m_analyzer->setContAccess(false);
    m_ui->dispA->update();
  });
  setupElemRuns();
  setupComponents();
}

bool Body::isAnalysisRunning() const
{
  return m_lcfRun && m_lcfRun->isRunning();
}

void Body::stopRunsReadingFrames()
{
  // A run's threads read the frames; they stop before a frame is freed or
  // its shift changes.
  if (isAnalysisRunning())
    stop2DAnalysis();
  if (isCalibrationRunning())
    m_calibRun->stop();
  if (m_spectraSave)
    m_spectraSave->stop();
  fourierRun()->stop();
  for (MapsRun* run : { m_elemRun.get(), m_raRun.get(), m_sumUpRun.get() })
    if (run && run->isRunning())
      run->stop();
  if (componentRun()->isRunning())
    componentRun()->stop();
}

void Body::setRunThreads(int threads)
{
  for (PointRun* engine : { &m_lcfRun->engine(),
                            &m_elemRun->engine(),
                            &m_raRun->engine(),
                            &m_sumUpRun->engine(),
                            m_calibRun.get(),
                            &m_spectraSave->engine(),
                            &fourierRun()->engine(),
                            &componentRun()->engine() })
    engine->setThreadCount(threads);
  m_session->setThreads(threads);
}

PointSpectra Body::analysisSpectra() const
{
  return PointSpectra(stackView(), spectrumMode(), suggestedEdgeEV(), shiftView());
}

XafsSpectrum Body::analysisSpectrumAt(int cx, int cy, int bx, int by) const
{
  return analysisSpectra().at(cx, cy, bx, by);
}

bool Body::askAnalyzeCond(AnalyzeCond& ac)
{
  return m_session->analyzeCond(ac);
}

void Body::startLCF2DAnalysis()
{
  if (!m_lcfRun)
    return;
  if (m_lcfRun->isRunning())
    stop2DAnalysis();
  // The Session is read here, once; the run sees only these values and
  // writes the Session's maps.
  AnalyzeCond ac;
  LcfRunSetup setup;
  LcfRunMaps maps;
  const bool haveImage = m_session->lcfSetup(ac, setup, maps);
  setup.refreshOnRows = m_analyzer->dispOnTime();
  // References that miss the sample's energies give zero maps: said once
  // per run, from the spectrum at the area's centre.
  if (haveImage)
    m_analyzer->reportReferenceOverlap(
      setup.refs, setup.spectra.at((ac.x0 + ac.x1) / 2, (ac.y0 + ac.y1) / 2, ac.bx, ac.by), true);
  const QString mismatch = normalisationMismatch(setup.refs, spectrumMode());
  if (haveImage && !mismatch.isEmpty())
    qDebug().noquote() << mismatch;
  m_analyzer->showFitNote(haveImage ? mismatch : QString());
  m_analyzer->setContAccess(true);
  m_lcfRun->start(haveImage ? &ac : nullptr, setup, maps);
}

void Body::stop2DAnalysis()
{
  if (m_lcfRun)
    m_lcfRun->stop();
}

void Body::generateResImages()
{
  if (m_lcfRun)
    m_lcfRun->refreshMaps();
}

void Body::showCurrentMap()
{
  const Analyzed2DRes* map = m_analyzer->currentMap();
  if (!map || !m_mapImages->imageValid(*map))
    return;
  double lo = 0.0, hi = 0.0;
  renderedRange(*map, lo, hi);
  m_ui->dispA->setImage(m_mapImages->img(*map));
  m_ui->CBar->setMinMax(lo, hi);
  m_ui->dispA->update();
  m_mapShown = true;
  m_shiftMapShown = false;
  reflectShownKind();
  // The read-outs follow the map now on view.
  m_ui->Value->setText(QString::asprintf("%g", map->shownValueAt(m_posX, m_posY)));
  showSaveTarget();
}

void Body::renderShownMap()
{
  if (const Analyzed2DRes* map = m_analyzer->currentMap())
    m_mapImages->genImg(*map);
  showCurrentMap();
}

void Body::showAnalyzedVals()
{
  const Analyzed2DRes* map = m_analyzer->currentMap();
  qDebug().noquote() << "vals of " + map->name();
  const QVector<double>& data = map->data();
  const QVector<double>& proc = map->processed();
  const int w = map->width();
  for (int y = 0; y < map->height(); ++y)
    for (int x = 0; x < w; ++x) {
      const int i = y * w + x;
      qDebug().noquote() << QString::asprintf("%4d %4d %15.6f %15.6f",
                                              x,
                                              y,
                                              i < data.size() ? data[i] : 0.0,
                                              i < proc.size() ? proc[i] : 0.0);
    }
}
