#include "gui/analysis/Analyzer.h"
#include "gui/analysis/ElemCtrl.h"
#include "gui/analysis/LCFReference.h"
#include "gui/spectrum/XafsView.h"

QVector<Analyzed2DRes*> Analyzer::resultMaps() const
{
  QVector<Analyzed2DRes*> all;
  for (Analyzed2DRes* m : m_maps)
    all.append(m);
  for (const LCFReference* row : m_refs)
    for (int kind = 0; kind < 2; ++kind)
      all.append(row->map(kind));
  for (const ElemCtrl* row : m_elems)
    for (int kind = 0; row->map(kind); ++kind)
      all.append(row->map(kind));
  return all;
}

void Analyzer::showSpectra(const QVector<XafsSpectrum>& spectra, const QStringList& names)
{
  m_plot->clearOtherSpectra();
  if (spectra.isEmpty())
    return;
  for (int i = 1; i < spectra.size(); ++i)
    m_plot->addOtherSpectrum(spectra[i]);
  m_plot->setSpectrum(spectra[0]);
  m_plot->setLegend(names);
  // The means cover the fitting range, not what the plot showed before.
  m_plot->resetXScale();
}
