#pragma once

#include <QString>
#include <QVector>

class XafsSpectrum;
struct RefSnapshot;

// A reference whose energies miss the sample's fits as zero everywhere and
// says nothing; this check finds that before a fit, so the user hears of
// it (an Fe reference on a Cu stack, a dE with the wrong sign).
struct EnergySpan
{
  double lo = 0.0;
  double hi = 0.0;
  bool overlaps(const EnergySpan& o) const { return lo <= o.hi && o.lo <= hi; }
};

// One used reference on the sample's energy scale: its file's energies less
// dE (a reference is read at E + dE).
struct ReferenceSpan
{
  int row = 0; // reference row, counted from 1 as its button is
  QString file;
  EnergySpan span;
};

struct ReferenceOverlap
{
  bool anyMisses = false;
  // "References miss the sample's energies (...)": every used reference's
  // range, the misses marked, and the sample's; empty when all overlap.
  // A reference that repeats another adds its sentence (below).
  QString line;
  // The short form for a window: the rows that miss, and the repeats.
  QString note;
};

// A used reference that repeats an earlier one (same file, shift and
// normalisation) gives the fit two equal columns: it cannot split the
// amount between them, and the repeat's maps stay 0 without a word.
// "LCF reference 3 repeats reference 1 (a.dat, dE 0 eV): ...", rows from
// 1 as their buttons; empty when no reference repeats another. `note`, when
// given, gets the short form for a window ("Ref 3 repeats Ref 1: ...").
QString repeatedReferences(const QVector<RefSnapshot>& refs, QString* note = nullptr);

ReferenceOverlap checkReferenceOverlap(const QVector<ReferenceSpan>& refs,
                                       const EnergySpan& sample);

// The spans of the used references of `refs` (list order, rows from 1) and
// of the sample's energies as the fit reads them.
QVector<ReferenceSpan> referenceSpans(const QVector<RefSnapshot>& refs);
// False for a sample without points.
bool sampleSpan(const XafsSpectrum& sample, EnergySpan* span);
// Both steps and the repeats; nothing misses for an empty sample.
ReferenceOverlap checkReferenceOverlap(const QVector<RefSnapshot>& refs,
                                       const XafsSpectrum& sample);
