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

QString repeatedReferences(const QVector<RefSnapshot>& refs, QString* note)
{
  QStringList repeats;
  QStringList shortForms;
  for (int i = 0; i < refs.size(); ++i) {
    const RefSnapshot& r = refs[i];
    if (!r.usable())
      continue;
    const double dE = r.dEActive ? r.dE : 0.0;
    for (int k = 0; k < i; ++k) {
      const RefSnapshot& o = refs[k];
      if (o.usable() && o.spectrum.name == r.spectrum.name && o.victoreen == r.victoreen &&
          (o.dEActive ? o.dE : 0.0) == dE) {
        repeats << QStringLiteral("reference %1 repeats reference %2 (%3, dE %4 eV)")
                     .arg(i + 1)
                     .arg(k + 1)
                     .arg(QFileInfo(r.spectrum.name).fileName())
                     .arg(dE, 0, 'g', 6);
        shortForms << QStringLiteral("Ref %1 repeats Ref %2").arg(i + 1).arg(k + 1);
        break;
      }
    }
  }
  if (repeats.isEmpty())
    return QString();
  if (note)
    *note = shortForms.join(QStringLiteral(", ")) + QStringLiteral(": its maps stay 0");
  return QStringLiteral("LCF %1: the fit cannot tell equal references apart, the repeat's maps "
                        "stay 0")
    .arg(repeats.join(QStringLiteral(", ")));
}

ReferenceOverlap checkReferenceOverlap(const QVector<RefSnapshot>& refs, const XafsSpectrum& sample)
{
  EnergySpan s;
  if (!sampleSpan(sample, &s))
    return ReferenceOverlap();
  ReferenceOverlap out = checkReferenceOverlap(referenceSpans(refs), s);
  QString note;
  const QString repeats = repeatedReferences(refs, &note);
  if (!repeats.isEmpty()) {
    out.line = out.line.isEmpty() ? repeats : out.line + QStringLiteral("; ") + repeats;
    out.note = out.note.isEmpty() ? note : out.note + QLatin1Char('\n') + note;
  }
  return out;
}
