#include "gui/body/Body.h"

#include "gui/spectrum/XafsFileSelect.h"
#include "session/Session.h"
#include "spectrum/XafsSpectrum.h"

#include "ui_Body.h"

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
    m_session->clearSpectrumFile(Session::TotalI0ofI1File);
    stacksChanged();
  });
  connect(ui.TotalI0ofI0XAFS, &XafsFileSelect::newFile, this, &Body::newTotalI0ofI0File);
  connect(ui.TotalI0ofI0XAFS, &XafsFileSelect::cleared, this, [this] {
    m_session->clearSpectrumFile(Session::TotalI0ofI0File);
  });
}

const XafsSpectrum* Body::bgSpectrum() const
{
  return m_session->spectrumFile(Session::BackgroundFile);
}

const XafsSpectrum* Body::totalI0ofI1Spectrum() const
{
  return m_session->spectrumFile(Session::TotalI0ofI1File);
}

const XafsSpectrum* Body::totalI0ofI0Spectrum() const
{
  return m_session->spectrumFile(Session::TotalI0ofI0File);
}

bool Body::loadSpectrumFile(const QString& fname, int which, XafsFileSelect* selector)
{
  // An unchecked "Victreen" box asks for the simple background.
  if (m_session->loadSpectrumFile(
        Session::SpectrumFile(which), fname, m_ui->IsVictreen->isChecked()))
    return true;
  selector->setLoaded(false);
  return false;
}

void Body::selectedBG(const QString& fname)
{
  loadSpectrumFile(fname, Session::BackgroundFile, m_ui->SelectBG);
}

void Body::clearedBG()
{
  m_session->clearSpectrumFile(Session::BackgroundFile);
}

void Body::newTotalI0ofI1File(const QString& fname)
{
  if (loadSpectrumFile(fname, Session::TotalI0ofI1File, m_ui->TotalI0ofI1XAFS))
    stacksChanged();
}

void Body::newTotalI0ofI0File(const QString& fname)
{
  loadSpectrumFile(fname, Session::TotalI0ofI0File, m_ui->TotalI0ofI0XAFS);
}
