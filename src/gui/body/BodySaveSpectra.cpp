// The spectra of every block of a region, one line a block, in one text
// file: normalised XAFS, raw XAFS or raw intensities.

#include "gui/body/Body.h"
#include "session/Session.h"

#include "analysis/PointSpectra.h"
#include "gui/display/ImgDispA.h"
#include "output/SpectraSaveRun.h"

#include "ui_Body.h"

#include <QRadioButton>

#include <utility>

void Body::setupSpectraSaving()
{
  m_spectraSave = std::make_unique<SpectraSaveRun>();
  // The format buttons write the Session's choice.
  const std::pair<QRadioButton*, SpectraFormat> formats[] = {
    { m_ui->SaveAsNormalizedXAFS, SpectraFormat::NormalizedXafs },
    { m_ui->SaveAsRawXAFS, SpectraFormat::RawXafs },
    { m_ui->SaveAsRaw, SpectraFormat::Raw },
  };
  for (const auto& f : formats) {
    if (f.first->isChecked())
      m_session->spectraFormat = f.second;
    const SpectraFormat format = f.second;
    connect(f.first, &QRadioButton::toggled, this, [this, format](bool on) {
      if (on)
        m_session->spectraFormat = format;
    });
  }
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
