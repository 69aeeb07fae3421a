#include "gui/body/Body.h"

#include "gui/spectrum/XafsFileSelect.h"
#include "session/Session.h"
#include "spectrum/XafsSpectrum.h"

#include "ui_Body.h"

#include <QDebug>

namespace {
// Writes energy and intensity of every point, the energy less the
// spectrum's shift when its correction is on.
void logPoints(const XafsSpectrum& s)
{
  for (int i = 0; i < s.size(); ++i)
    qDebug().noquote() << s.energy(i) << s.value(i);
}
} // namespace

namespace {

// The incident intensities a total-I0 spectrum holds: the I0 column of a
// "9809" file (whose points are ln(I0/I1)), else the values of a column file.
QVector<double> intensitiesOf(const XafsSpectrum& s)
{
  const SpectrumPoints& i0 = s.curve(XafsSpectrum::CurveI0);
  QVector<double> values;
  for (const QPointF& p : (i0.isEmpty() ? s.points : i0).points)
    values.append(p.y());
  return values;
}

} // namespace

void Body::setupSpectrumFiles()
{
  Ui::Body& ui = *m_ui;
  ui.SelectBG->setTitle(tr("Select Background"));
  ui.TotalI0ofI1XAFS->setTitle(tr("Select Total I0 of I1"));
  ui.TotalI0ofI0XAFS->setTitle(tr("Select Total I0 of I0"));
  for (XafsFileSelect* s : { ui.SelectBG, ui.TotalI0ofI1XAFS, ui.TotalI0ofI0XAFS })
    s->showUse(false);
  connect(ui.SelectBG, &XafsFileSelect::newFile, this, &Body::selectedBG);
  connect(ui.SelectBG, &XafsFileSelect::cleared, this, &Body::clearedBG);
  connect(ui.TotalI0ofI1XAFS, &XafsFileSelect::newFile, this, &Body::newTotalI0ofI1File);
  connect(ui.TotalI0ofI1XAFS, &XafsFileSelect::cleared, this, [this] {
    m_totalI0ofI1.reset();
    m_session->totalI0.clear();
    stacksChanged();
  });
  connect(ui.TotalI0ofI0XAFS, &XafsFileSelect::newFile, this, &Body::newTotalI0ofI0File);
  connect(ui.TotalI0ofI0XAFS, &XafsFileSelect::cleared, this, [this] { m_totalI0ofI0.reset(); });
}

bool Body::loadSpectrumFile(const QString& fname,
                            std::unique_ptr<XafsSpectrum>& target,
                            XafsFileSelect* selector)
{
  auto s = std::make_unique<XafsSpectrum>();
  if (!s->load(fname)) {
    selector->setLoaded(false);
    return false;
  }
  // An unchecked "Victreen" box asks for the simple background (mode 1).
  if (s->size() > 0)
    s->normalize(m_ui->IsVictreen->isChecked() ? 0 : 1);
  target = std::move(s);
  return true;
}

void Body::selectedBG(const QString& fname)
{
  loadSpectrumFile(fname, m_bgSpectrum, m_ui->SelectBG);
}

void Body::clearedBG()
{
  m_bgSpectrum.reset();
}

void Body::newTotalI0ofI1File(const QString& fname)
{
  if (!loadSpectrumFile(fname, m_totalI0ofI1, m_ui->TotalI0ofI1XAFS))
    return;
  logPoints(*m_totalI0ofI1);
  m_session->totalI0 = intensitiesOf(*m_totalI0ofI1);
  stacksChanged();
}

void Body::newTotalI0ofI0File(const QString& fname)
{
  if (loadSpectrumFile(fname, m_totalI0ofI0, m_ui->TotalI0ofI0XAFS))
    logPoints(*m_totalI0ofI0);
}
