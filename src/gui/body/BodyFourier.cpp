// Diagnostics of the main window: the Fourier analysis of the selected area
// and the second analysis window with its Q-information request.

#include "gui/body/Body.h"
#include "gui/display/BringToFront.h"

#include "analysis/FourierRun.h"
#include "app/Settings.h"
#include "gui/analysis/Analyzer2.h"
#include "session/Session.h"
#include "stack/StackSpectra.h"

#include "ui_Body.h"

void Body::setupDiagnostics()
{
  qRegisterMetaType<AnalyzeCond>("AnalyzeCond");
  m_analyzer2 = new Analyzer2(this);
  m_analyzer2->setWindowFlags(Qt::Window);
  connect(m_ui->ShowAnalyzer2, &QPushButton::clicked, this, [this] { bringToFront(m_analyzer2); });
  connect(m_analyzer2, &Analyzer2::startCollectQInfo, this, &Body::startCollectQInfo);
  connect(m_analyzer2, &Analyzer2::startFourierA, this, &Body::execFourierA);
  connect(
    this, &Body::doCollectQInfo, m_analyzer2, &Analyzer2::doCollectQInfo, Qt::QueuedConnection);
}

FourierRun* Body::fourierRun() const
{
  return &m_session->fourierRun();
}

void Body::execFourierA()
{
  m_session->startFourier();
}

void Body::startCollectQInfo()
{
  // Without an image the area stays empty; the window still hears of it.
  AnalyzeCond ac;
  askAnalyzeCond(ac);
  emit doCollectQInfo(ac);
}
