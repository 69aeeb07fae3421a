#pragma once

#include "analysis/FitTables.h"
#include "analysis/LcfResult.h"
#include "spectrum/XafsSpectrum.h"

#include <QMetaType>
#include <QVector>

// A value snapshot of one reference row, taken on the GUI thread and handed
// to the fit: the fit never looks at a widget.
struct RefSnapshot
{
  // The reference as loaded and normalised; dE is not applied to it.
  XafsSpectrum spectrum;
  double dE = 0.0;        // eV
  bool dEActive = false;  // the shift counts once dE was edited or set
  bool use = false;       // the row's "Use" box
  bool victoreen = false; // "Victreen": normalised with mode 0, else straight lines

  // A reference takes part when its box is on and its file gave at least
  // two points.
  bool usable() const { return use && spectrum.size() >= 2; }
  // Snapshot of `spectrum`, normalised again when its mode does not match
  // the Victoreen box (mode = !victoreen).
  static RefSnapshot take(const XafsSpectrum& spectrum,
                          double dE,
                          bool dEActive,
                          bool use,
                          bool victoreen);
};

// The used references normalised with another line model than the sample
// (Victoreen vs straight lines, `sampleMode` as XafsSpectrum::mode): the
// double-normalised curves then differ where the compounds do not, and the
// fractions take a bias of a few per cent. One line naming the rows, empty
// when every used reference matches.
QString normalisationMismatch(const QVector<RefSnapshot>& refs, int sampleMode);

// What the fits read of a sample and of the used references.
fit::SampleTable sampleTable(const XafsSpectrum& sample);
// The same into `table`, reusing its storage.
void fillSampleTable(const XafsSpectrum& sample, fit::SampleTable& table);
// The uncertainty of the spectrum's edge jump dMut, from the scatter of its
// points about the pre-edge and post-edge lines.
double edgeJumpNoise(const XafsSpectrum& sample);
double edgeJumpNoise(const EdgeLine& pre, const EdgeLine& post);
QVector<fit::RefTable> usedReferenceTables(const QVector<RefSnapshot>& refs);

// Fits `sample` with the used references of `refs`: LCF on the
// double-normalised curves, or MLCF on the raw absorption with a straight
// background. A pure function of its arguments; always returns an answer
// (see LcfResult::status for an empty sample or fewer than two references).
LcfResult fitSpectrum(const XafsSpectrum& sample,
                      const QVector<RefSnapshot>& refs,
                      bool mlcf,
                      const FitConditions& cond);
inline LcfResult fitLCF(const XafsSpectrum& sample,
                        const QVector<RefSnapshot>& refs,
                        const FitConditions& cond)
{
  return fitSpectrum(sample, refs, false, cond);
}
inline LcfResult fitMLCF(const XafsSpectrum& sample,
                         const QVector<RefSnapshot>& refs,
                         const FitConditions& cond)
{
  return fitSpectrum(sample, refs, true, cond);
}

Q_DECLARE_METATYPE(RefSnapshot)
