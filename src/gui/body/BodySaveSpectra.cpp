// The spectra of every block of a region, one line a block, in one text
// file: normalised XAFS, raw XAFS or raw intensities.

#include "gui/body/Body.h"
#include "session/Session.h"

#include "analysis/PointSpectra.h"
#include "gui/display/ImgDispA.h"
#include "output/SpectraSaveRun.h"

#include "ui_Body.h"

void Body::setupSpectraSaving()
{
  m_spectraSave = std::make_unique<SpectraSaveRun>();
  connect(m_spectraSave.get(), &SpectraSaveRun::ended, this, &Body::spectraSaveEnded);
  connect(m_ui->SaveEachSpectrum, &QPushButton::clicked, this, &Body::showSaveEachSpectrumDialog);
}

void Body::saveEachSpectrum(const QString& fname)
{
  if (m_ui->SaveAsRaw->isChecked())
    saveEachRawSpectrum(fname);
  else if (m_ui->SaveAsRawXAFS->isChecked())
    saveEachRawXafsSpectrum(fname);
  else
    saveEachNormalizedXafsSpectrum(fname);
}

void Body::saveEachNormalizedXafsSpectrum(const QString& fname)
{
  saveEachSpectrumAs(fname, SpectraFormat::NormalizedXafs);
}

void Body::saveEachRawXafsSpectrum(const QString& fname)
{
  saveEachSpectrumAs(fname, SpectraFormat::RawXafs);
}

void Body::saveEachRawSpectrum(const QString& fname)
{
  saveEachSpectrumAs(fname, SpectraFormat::Raw);
}

void Body::saveEachSpectrumAs(const QString& fname, SpectraFormat format)
{
  if (i1Frames().isEmpty()) {
    m_spectraSave->start(nullptr);
    return;
  }
  // The selected area, else the part of the image in view.
  const ImgDispA* disp = m_ui->dispA;
  const QRectF region = disp->isAreaSelected() ? disp->selectedArea() : disp->viewWindow();
  SpectraSaveSetup setup;
  setup.fileName = fname;
  setup.format = format;
  setup.grid =
    SpectraScanGrid::from(stackWidth(), stackHeight(), m_session->bandW, m_session->bandH, region);
  setup.spectra = PointSpectra(
    stackView(), spectrumMode(), suggestedEdgeEV(), shiftView(), QStringLiteral("Body-SaveEach"));
  m_spectraSave->start(&setup);
}

void Body::spectraSaveEnded()
{
  if (!m_batchWaitsForSave)
    return;
  if (m_saveEndsToSkip > 0) {
    --m_saveEndsToSkip;
    return;
  }
  m_batchWaitsForSave = false;
  endBatchCmd();
}
