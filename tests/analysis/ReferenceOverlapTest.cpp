#include "analysis/ReferenceOverlap.h"
#include "analysis/LcfFit.h"

#include "support/Tolerance.h"

#include <gtest/gtest.h>

namespace {

// A straight spectrum over [from, to] eV in 2 eV steps, named `name`.
XafsSpectrum ramp(double from, double to, const QString& name)
{
  SpectrumPoints p;
  for (double e = from; e <= to + 1e-9; e += 2.0)
    p.append(e, 0.1 + (e - from) / (to - from));
  XafsSpectrum s(p, name, 1, 0.0, -1.0, -10.0, 10.0);
  s.name = name;
  return s;
}

RefSnapshot used(const XafsSpectrum& s, double dE = 0.0, bool use = true)
{
  return RefSnapshot::take(s, dE, dE != 0.0, use, false);
}

} // namespace

// An Fe reference on a Cu stack misses; the line names every used
// reference's range on the sample's scale and the sample's own, the note
// the rows that miss. References that all overlap say nothing.
TEST(ReferenceOverlap, NamesEveryRangeWhenOneMissesShiftedByDeltaE)
{
  const XafsSpectrum sample = ramp(8900, 9100, "sample");
  const XafsSpectrum cu = ramp(8850, 9150, "/refs/cu.dat");
  const XafsSpectrum fe = ramp(7000, 7300, "/refs/fe.dat");

  const XafsSpectrum cu2 = ramp(8850, 9150, "/refs/cu2o.dat");
  const ReferenceOverlap none = checkReferenceOverlap({ used(cu), used(cu2) }, sample);
  EXPECT_FALSE(none.anyMisses);
  EXPECT_TRUE(none.line.isEmpty());
  EXPECT_TRUE(none.note.isEmpty());

  // Row 2 is not used: it is left out, however far off it is.
  const ReferenceOverlap o =
    checkReferenceOverlap({ used(cu), used(fe, 0.0, false), used(fe) }, sample);
  EXPECT_TRUE(o.anyMisses);
  EXPECT_EQ(o.line,
            "References miss the sample's energies (sample 8900 .. 9100 eV): "
            "ref 1 cu.dat 8850 .. 9150 eV, ref 3 fe.dat 7000 .. 7300 eV (no overlap)");
  EXPECT_EQ(o.note, "Ref 3: no energies in common with the sample");
  EXPECT_FALSE(checkReferenceOverlap({ used(cu), used(fe) }, XafsSpectrum()).anyMisses);

  // The reference is read at E + dE, so its range on the sample's scale is its
  // own less dE: a dE of the wrong sign moves it off the sample.
  const XafsSpectrum ref = ramp(8900, 9000, "ref.dat");
  const QVector<ReferenceSpan> spans = referenceSpans({ used(ref, 150.0) });
  ASSERT_EQ(spans.size(), 1);
  EXPECT_CLOSE(spans[0].span.lo, 8750.0);
  EXPECT_CLOSE(spans[0].span.hi, 8850.0);
  EXPECT_TRUE(
    checkReferenceOverlap({ used(ref, 150.0), used(ref) }, ramp(8860, 8990, "s")).anyMisses);
  EXPECT_FALSE(
    checkReferenceOverlap({ used(ref, -50.0), used(ref) }, ramp(8960, 9040, "s")).anyMisses);

  // A reference repeated (same file, shift and normalisation) is said, in
  // the line and the note; another shift, or a row not used, is no repeat.
  const ReferenceOverlap repeat =
    checkReferenceOverlap({ used(cu), used(cu2), used(cu), used(cu2, 5.0) }, sample);
  EXPECT_FALSE(repeat.anyMisses);
  EXPECT_EQ(repeat.line,
            "LCF reference 3 repeats reference 1 (cu.dat, dE 0 eV): the fit cannot tell equal "
            "references apart, the repeat's maps stay 0");
  EXPECT_EQ(repeat.note, "Ref 3 repeats Ref 1: its maps stay 0");
  EXPECT_TRUE(repeatedReferences({ used(cu), used(cu, 0.0, false) }).isEmpty());
  EXPECT_TRUE(
    checkReferenceOverlap({ used(cu), used(cu, 0.0, false), used(fe), used(fe) }, sample)
      .line.endsWith("LCF reference 4 repeats reference 3 (fe.dat, dE 0 eV): the fit cannot tell "
                     "equal references apart, the repeat's maps stay 0"));

  // Touching ends still share a point.
  EXPECT_TRUE((EnergySpan{ 1.0, 2.0 }).overlaps(EnergySpan{ 2.0, 3.0 }));
  EXPECT_FALSE((EnergySpan{ 1.0, 2.0 }).overlaps(EnergySpan{ 2.5, 3.0 }));
}
