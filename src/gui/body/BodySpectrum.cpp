// Body: the spectrum at the current position and its refresh into the
// spectrum window, and the cross-section profiles under the pointer.

#include "gui/body/Body.h"
#include "gui/display/BringToFront.h"
#include "session/Session.h"

#include "gui/analysis/Analyzer.h"
#include "gui/display/CrossSView.h"
#include "gui/display/ImgDispA.h"
#include "gui/input/SelectDataFiles.h"
#include "gui/spectrum/XafsView.h"
#include "input/TiffData.h"
#include "spectrum/XafsSpectrum.h"
#include "stack/StackSpectra.h"

#include "ui_Body.h"

#include <QTimer>

namespace {

QVector<double> valuesOf(const SpectrumPoints& points)
{
  QVector<double> values;
  values.reserve(points.size());
  for (const QPointF& p : points.points)
    values.append(p.y());
  return values;
}

} // namespace

void Body::setupSpectrum()
{
  m_xafsView = new XafsView(this);
  m_xafsView->setWindowFlag(Qt::Window);
  m_xafsView->setWindowTitle(tr("Spectrum at the position"));
  m_xafsViews.append(m_xafsView);
  connect(m_ui->ShowXafsView, &QPushButton::clicked, this, [this] { bringToFront(m_xafsView); });
  connect(m_ui->dispA,
          &ImgDispA::mouseMoved,
          this,
          QOverload<double, double>::of(&Body::showXafsSpectrum));
}

StackView Body::stackView() const
{
  return m_session->stackView();
}

int Body::spectrumMode() const
{
  // The analysis window's energy-correction switch, inverted: on asks for
  // Victoreen lines (0), off for straight lines.
  return m_analyzer && m_analyzer->energyCorrection() ? 0 : 1;
}

void Body::refreshSpectrumSoon()
{
  if (m_refreshPending)
    return;
  m_refreshPending = true;
  QTimer::singleShot(0, this, [this] {
    m_refreshPending = false;
    showXafsSpectrum();
  });
}

void Body::showXafsSpectrum(double x, double y)
{
  m_posX = int(x);
  m_posY = int(y);
  m_session->position = QPoint(m_posX, m_posY);
  showXafsSpectrum();
}

void Body::showXafsSpectrum()
{
  if (!m_xafsView || m_closing)
    return;
  Ui::Body& ui = *m_ui;
  // The frame selected in the shown list is marked on the plot.
  const TiffData* selected = shownStack().at(shownList()->currentIndex());
  m_xafsView->setMarkedEnergy(selected ? selected->energy : -1.0);
  // A point inside a loaded energy-shift map is corrected by its shift.
  const double mapShift = shiftMapValueAt(m_posX, m_posY);
  const double dPostS = ui.DPostS->text().toDouble();
  const double dPreE = ui.DPreE->text().toDouble();
  const double suggested = suggestedEdgeEV();
  const int hw = m_session->bandW;
  const int hh = m_session->bandH;
  const StackView view = stackView();
  const XafsSpectrum s(spectrumAt(view, m_posX, m_posY, hw, hh),
                       QStringLiteral("body-show"),
                       spectrumMode(),
                       mapShift,
                       suggested,
                       dPreE,
                       dPostS);
  const double found = m_xafsView->setSpectrum(s);
  // An empty spectrum (no images, a position off the stack) has no edge to
  // compare with the standard's.
  const double stdShift = s.size() > 0 ? found : 0.0;
  // A running 2-D run has the worker; the shown spectrum waits for it.
  if (m_analyzer && !isAnalysisRunning())
    m_analyzer->analyzeAndShowSpectrum(s, ui.SuggestingEeV->text().toDouble());
  ui.Position->setText(QString::asprintf("(% 4d, % 4d)", m_posX, m_posY));
  ui.EShiftOnTbl->setText(QString::asprintf("%5.2f", mapShift));
  ui.EShiftFromStd->setText(QString::asprintf("%5.2f", stdShift));
  m_xafsView->setRawSpectrum(rawSpectrumAt(view, m_posX, m_posY, hw, hh));
}

void Body::showProfiles(const QPoint& at)
{
  const TiffData* frame = shownStack().at(shownList()->currentIndex());
  const bool asMu = isShowingI1();
  const StackView view = stackView();
  const int hWidth = m_session->bandW;
  const int vWidth = m_session->bandH;
  m_ui->HCross->setProfile(valuesOf(rowProfile(view, frame, at.y(), 1, vWidth, asMu)));
  m_ui->VCross->setProfile(valuesOf(columnProfile(view, frame, at.x(), 1, hWidth, asMu)));
}
