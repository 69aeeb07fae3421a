#include "analysis/ReferenceOverlap.h"

#include "analysis/LcfFit.h"
#include "spectrum/XafsSpectrum.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace {

// Lowest and highest energy of `s`, less `less`.
EnergySpan spanOf(const XafsSpectrum& s, double less)
{
  double lo = s.energy(0);
  double hi = lo;
  for (int i = 1; i < s.size(); ++i) {
    lo = std::min(lo, s.energy(i));
    hi = std::max(hi, s.energy(i));
  }
  return EnergySpan{ lo - less, hi - less };
}

QString spanText(const EnergySpan& s)
{
  return QStringLiteral("%1 .. %2 eV").arg(s.lo, 0, 'g', 6).arg(s.hi, 0, 'g', 6);
}

} // namespace

ReferenceOverlap checkReferenceOverlap(const QVector<ReferenceSpan>& refs, const EnergySpan& sample)
{
  ReferenceOverlap out;
  QStringList all;
  QStringList missing;
  for (const ReferenceSpan& r : refs) {
    const bool misses = !r.span.overlaps(sample);
    QString item = QStringLiteral("ref %1 %2 %3").arg(r.row).arg(r.file, spanText(r.span));
    if (misses) {
      item += QStringLiteral(" (no overlap)");
      missing << QString::number(r.row);
    }
    all << item;
  }
  if (missing.isEmpty())
    return out;
  out.anyMisses = true;
  out.line = QStringLiteral("References miss the sample's energies (sample %1): %2")
               .arg(spanText(sample), all.join(QStringLiteral(", ")));
  out.note = QStringLiteral("Ref %1: no energies in common with the sample")
               .arg(missing.join(QStringLiteral(", ")));
  return out;
}

QVector<ReferenceSpan> referenceSpans(const QVector<RefSnapshot>& refs)
{
  QVector<ReferenceSpan> spans;
  for (int i = 0; i < refs.size(); ++i) {
    const RefSnapshot& r = refs[i];
    if (!r.usable())
      continue;
    ReferenceSpan s;
    s.row = i + 1;
    s.file = QFileInfo(r.spectrum.name).fileName();
    s.span = spanOf(r.spectrum, r.dEActive ? r.dE : 0.0);
    spans.append(s);
  }
  return spans;
}

bool sampleSpan(const XafsSpectrum& sample, EnergySpan* span)
{
  if (sample.size() == 0)
    return false;
  // The energies the fit compares: corrected, less the calibration shift.
  *span = spanOf(sample, sample.extraShift);
  return true;
}

ReferenceOverlap checkReferenceOverlap(const QVector<RefSnapshot>& refs, const XafsSpectrum& sample)
{
  EnergySpan s;
  if (!sampleSpan(sample, &s))
    return ReferenceOverlap();
  return checkReferenceOverlap(referenceSpans(refs), s);
}
