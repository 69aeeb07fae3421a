// Energy calibration in the main window: the shift map, its files and its
// display, the calibration standard, and the suggested edge energy that
// calibration and every run expect the edge at.

#include "gui/body/Body.h"
#include "gui/display/BringToFront.h"

#include "analysis/AnalyzeCond.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/LcfRun.h"
#include "analysis/PointRun.h"
#include "analysis/PointSpectra.h"
#include "app/TextItems.h"
#include "calibration/CalibKernel.h"
#include "calibration/EmpFile.h"
#include "display/MapImages.h"
#include "gui/analysis/Analyzer.h"
#include "gui/calibration/CalibCtrl.h"
#include "gui/display/ColorBar.h"
#include "gui/display/ImgDispA.h"
#include "gui/spectrum/XafsView.h"
#include "session/Session.h"
#include "spectrum/XafsSpectrum.h"
#include "stack/StackSpectra.h"

#include "ui_Body.h"

#include <QCoreApplication>
#include <QDebug>

#include <cmath>

void Body::setupCalibration()
{
  m_calibCtrl = new CalibCtrl(*m_session, this);
  m_calibCtrl->setWindowFlags(Qt::Window);
  Ui::Body& ui = *m_ui;
  connect(ui.OpenCalibCtrl, &QPushButton::clicked, this, [this] { bringToFront(m_calibCtrl); });
  connect(m_calibCtrl, &CalibCtrl::newStdFileLoaded, this, &Body::newStdFile);
  // Queued: the request returns before the run starts.
  connect(
    m_calibCtrl, &CalibCtrl::execCalibration, this, &Body::execCalibration, Qt::QueuedConnection);
  connect(m_calibCtrl, &CalibCtrl::saveEMap, this, [this](const QString& f) { saveEMap(f); });
  connect(m_calibCtrl, &CalibCtrl::loadEMap, this, &Body::loadEMap);
  connect(m_calibCtrl, &CalibCtrl::clearMap, this, &Body::clearShiftMap);
  connect(m_calibCtrl, &CalibCtrl::removeOutliers, this, &Body::normalizeEShift);
  m_calibRun = std::make_unique<PointRun>();
  connect(m_calibRun.get(), &PointRun::rowStarted, this, [](int, double percent) {
    qDebug().noquote() << "progress" << percent;
  });
  connect(m_calibRun.get(), &PointRun::ended, this, [this](bool) {
    finishCalibration();
    emit calibrationEnded();
  });

  // The suggestion's fields write the Session's values; the form's are the
  // first.
  Session& s = *m_session;
  s.suggestElm = ui.SuggestElm->isChecked();
  s.suggestedElement = ui.SuggestingElm->text();
  s.suggestedEdgeIndex = ui.SuggestingEdge->currentIndex();
  s.suggestedEdgeEV = ui.SuggestingEeV->text();
  connect(ui.SuggestElm, &QAbstractButton::toggled, this, [&s](bool f) { s.suggestElm = f; });
  connect(ui.SuggestingEeV, &QLineEdit::textChanged, this, [&s](const QString& t) {
    s.suggestedEdgeEV = t;
  });
  connect(ui.SuggestingElm, &QLineEdit::textChanged, this, [&s](const QString& t) {
    s.suggestedElement = t;
  });
  connect(ui.SuggestingEdge,
          QOverload<int>::of(&QComboBox::currentIndexChanged),
          this,
          [&s](int i) { s.suggestedEdgeIndex = i; });
  connect(ui.SuggestingElm, &QLineEdit::textChanged, this, &Body::newElmSuggested);
  connect(ui.SuggestingEdge,
          QOverload<int>::of(&QComboBox::currentIndexChanged),
          this,
          &Body::newEdgeSuggested);
}

// ---- The shift map at a point ---------------------------------------------

Analyzed2DRes* Body::shiftMap() const
{
  return &m_session->shiftMap();
}

const XafsSpectrum* Body::standardSpectrum() const
{
  return m_calibCtrl->standard();
}

double Body::shiftMapValueAt(int x, int y) const
{
  const Analyzed2DRes& map = m_session->shiftMap();
  return map.hasData() ? map.valueAt(x, y) : 0.0;
}

double Body::suggestedEdgeEV() const
{
  return m_session->suggestElm ? m_session->suggestedEdgeEV.toDouble() : -1.0;
}

// ---- The run ------------------------------------------------------------

void Body::finishCalibration()
{
  m_session->finishCalibration();
  m_calibCtrl->showStatistics(shiftMapStats(shiftMap()->data(), shiftMap()->cond()));
  renderShiftMap();
  m_ui->dispA->update();
  refreshSpectrumSoon();
}

bool Body::isCalibrationRunning() const
{
  return m_calibRun && m_calibRun->isRunning();
}

void Body::execCalibration()
{
  if (!m_calibRun)
    return;
  // A run still going ends first (and reports its own end).
  m_calibRun->stop();
  QString why;
  if (!m_session->startCalibration(*m_calibRun, &why)) {
    showRefusal(m_calibCtrl, QCoreApplication::translate("Refusal", why.toLatin1().constData()));
    emit calibrationEnded();
  }
}

EnergyShiftView Body::shiftView() const
{
  return m_session->shiftView();
}

double Body::findBestMatchDE(const XafsSpectrum& s, const XafsSpectrum& std)
{
  return s.midx - std.midx;
}

void Body::newStdFile()
{
  if (const XafsSpectrum* standard = m_calibCtrl->standard())
    m_xafsView->setStandard(*standard);
  else
    m_xafsView->clearStandard();
  m_xafsView->update();
}

// ---- Map operations -----------------------------------------------------

void Body::normalizeEShift()
{
  if (!m_session->removeShiftOutliers())
    return;
  renderShiftMap();
  m_ui->dispA->update();
  refreshSpectrumSoon();
}

void Body::clearShiftMap()
{
  // The size stays in the map's raster; the values, range and image go.
  shiftMap()->clear();
  if (m_mapShown && m_shiftMapShown)
    m_ui->dispA->clearImage();
  refreshSpectrumSoon();
}

void Body::renderShiftMap()
{
  if (!shiftMap()->hasData())
    return;
  m_mapImages->genImg(*shiftMap());
  if (m_mapShown && m_shiftMapShown) {
    m_ui->dispA->setImage(m_mapImages->img(*shiftMap()));
    m_ui->CBar->setMinMax(shiftMap()->min(), shiftMap()->max());
  }
}

void Body::showShiftMap(bool f)
{
  Q_UNUSED(f); // the radio buttons say what is shown
  if (!shiftMap()->hasData())
    return;
  if (m_ui->ShowShiftMap->isChecked()) {
    if (!m_mapImages->imageValid(*shiftMap()))
      m_mapImages->genImg(*shiftMap());
    m_ui->dispA->setImage(m_mapImages->img(*shiftMap()));
    m_ui->CBar->setMinMax(shiftMap()->min(), shiftMap()->max());
    m_mapShown = true;
    m_shiftMapShown = true;
    reflectShownKind();
    // The read-out follows the map now on view.
    m_ui->Value->setText(QString::asprintf("%g", shiftMap()->shownValueAt(m_posX, m_posY)));
  }
  m_ui->dispA->update();
}

// ---- Files ----------------------------------------------------------------

void Body::saveEMap(const QString& fname)
{
  if (!shiftMap()->hasData()) {
    refuseIn(m_calibCtrl, QString::fromLatin1(kNoShiftMapToSaveLine), tr("No map to save"));
    return;
  }
  m_session->saveShiftMap(fname);
}

void Body::loadEMap(const QString& fname)
{
  QString shown;
  if (!m_session->loadShiftMap(fname, &shown)) {
    if (!shown.isEmpty())
      showRefusal(m_calibCtrl, shown);
    return;
  }
  renderShiftMap();
  refreshSpectrumSoon();
}

// ---- Suggested edge -----------------------------------------------------

void Body::refreshSuggestedEdge()
{
  // The Session looks the edge up from the element and edge its fields
  // have just written.
  m_session->refreshSuggestedEdge();
  m_ui->SuggestingEeV->setText(m_session->suggestedEdgeEV);
}

void Body::newElmSuggested(const QString& elm)
{
  Q_UNUSED(elm); // the field holds it
  refreshSuggestedEdge();
}

void Body::newEdgeSuggested(int edge)
{
  Q_UNUSED(edge); // the combo box holds it
  refreshSuggestedEdge();
}
