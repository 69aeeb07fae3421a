// The 2-D analysis runs of the main window and the display of their maps.

#include "body/Body.h"

#include "analysis/AnalyzeCond.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/Analyzer.h"
#include "analysis/Lcf2DRun.h"
#include "body/StackSpectra.h"
#include "display/ColorBar.h"
#include "display/ColorMap.h"
#include "display/ImgDispA.h"

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
  m_analyzer = std::make_unique<Analyzer>();
  m_lcfRun = std::make_unique<Lcf2DRun>(m_analyzer.get());
  m_lcfRun->setSpectrumSource(
    [this](int cx, int cy, int bx, int by) { return analysisSpectrumAt(cx, cy, bx, by); });
  connect(m_ui->ShowAnalyzer, &QPushButton::clicked, m_analyzer.get(), &Analyzer::show);
  connect(m_ui->CheckVals, &QPushButton::clicked, this, &Body::showAnalyzedVals);
  connect(m_analyzer.get(), &Analyzer::finishedBlock, this, &Body::analyzeASpectrumFinished);
  connect(m_analyzer.get(), &Analyzer::askAnalyze, this, &Body::startLCF2DAnalysis);
  connect(m_analyzer.get(), &Analyzer::askStopAnalysis, this, &Body::stop2DAnalysis);
  connect(m_analyzer.get(), &Analyzer::changedSelection, this, &Body::showCurrentMap);
  connect(m_lcfRun.get(), &Lcf2DRun::mapsRendered, this, &Body::showCurrentMap);
  connect(m_lcfRun.get(), &Lcf2DRun::ended, this, &Body::finishBatchExec);
}

bool Body::isAnalysisRunning() const
{
  return m_lcfRun && m_lcfRun->isRunning();
}

XafsSpectrum Body::analysisSpectrumAt(int cx, int cy, int bx, int by) const
{
  // The stacks are looked at per point: frames cleared during a run then
  // give empty spectra (recorded as zeros), never freed frames.
  const SpectrumPoints points = spectrumAt(stackView(), cx, cy, bx, by);
  const double suggested =
    m_ui->SuggestElm->isChecked() ? m_ui->SuggestingEeV->text().toDouble() : -1.0;
  return XafsSpectrum(
    points, QStringLiteral("Body-AaP"), spectrumMode(), 0.0, suggested, -10.0, 10.0);
}

bool Body::askAnalyzeCond(AnalyzeCond& ac)
{
  if (m_i1Frames.isEmpty() || m_stackWidth <= 0 || m_stackHeight <= 0)
    return false;
  QRectF area(0, 0, m_stackWidth, m_stackHeight);
  if (m_ui->dispA->isAreaSelected())
    area = m_ui->dispA->selectedArea();
  ac.setup(m_stackWidth,
           m_stackHeight,
           m_ui->HWidth->text().toInt(),
           m_ui->VWidth->text().toInt(),
           area.x(),
           area.y(),
           area.width(),
           area.height());
  return true;
}

void Body::startLCF2DAnalysis()
{
  AnalyzeCond ac;
  m_lcfRun->start(askAnalyzeCond(ac) ? &ac : nullptr);
}

void Body::stop2DAnalysis()
{
  m_lcfRun->stop();
}

void Body::analyzeASpectrumFinished(quint64 tag, const QVector<LcfResult>& results)
{
  m_lcfRun->answered(tag, results);
}

void Body::recordResForAPoint(const LcfResult& result)
{
  m_lcfRun->recordResForAPoint(result);
}

void Body::generateResImages()
{
  m_lcfRun->generateResImages();
}

void Body::showCurrentMap()
{
  const Analyzed2DRes* map = m_analyzer->currentMap();
  if (!map || !map->imageValid())
    return;
  double lo = 0.0, hi = 0.0;
  renderedRange(*map, lo, hi);
  m_ui->dispA->setImage(map->img());
  m_ui->CBar->setMinMax(lo, hi);
  m_ui->dispA->update();
  m_mapShown = true;
}

void Body::renderShownMap()
{
  if (Analyzed2DRes* map = m_analyzer->currentMap())
    map->genImg(currentColorMapping());
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
