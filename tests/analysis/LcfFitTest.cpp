#include "analysis/LcfFit.h"

#include "StackGen.h"
#include "support/Tolerance.h"

#include <gtest/gtest.h>

namespace {

stackgen::Component component(double edge, double whiteLine, double edgeWidth)
{
  stackgen::Component c;
  c.edge = edge;
  c.whiteLine = whiteLine;
  c.edgeWidth = edgeWidth;
  return c;
}

// A reference spectrum of a generated component on 0.5 eV steps.
XafsSpectrum reference(const stackgen::Component& c)
{
  SpectrumPoints p;
  for (double e = 8880; e <= 9120; e += 0.5)
    p.append(e, stackgen::componentMu(c, e));
  return XafsSpectrum(p, "ref", 1, 0.0, -1.0, -10.0, 10.0);
}

RefSnapshot snapshot(const XafsSpectrum& s, double dE = 0.0)
{
  return RefSnapshot::take(s, dE, dE != 0.0, true, false);
}

// A sample on 100 energies whose double-normalised curve is exactly the
// mixture of the references' (each read at E + dE) and whose raw curve is
// the mixture of their raw-scale curves plus a straight background.
XafsSpectrum mixture(const QVector<RefSnapshot>& refs,
                     const QVector<double>& w,
                     double shift = 0,
                     double a = 0.0,
                     double b = 0.0)
{
  SpectrumPoints raw, dn;
  for (int i = 0; i < 100; ++i) {
    const double e = 8930 + 1.4 * i;
    double yRaw = a + b * e, yDn = 0.0;
    for (int j = 0; j < refs.size(); ++j) {
      const double d = refs[j].dEActive ? refs[j].dE : 0.0;
      yRaw += w[j] * refs[j].spectrum.rawScaleAt(e - shift, d);
      yDn +=
        w[j] * refs[j].spectrum.curveValueAt(XafsSpectrum::CurveDoubleNormalized, e - shift, d);
    }
    raw.append(e, yRaw);
    dn.append(e, yDn);
  }
  XafsSpectrum s(raw, "Body-AaP", 1, shift, -1.0, -10.0, 10.0);
  s.curves[XafsSpectrum::CurveDoubleNormalized] = dn;
  return s;
}

} // namespace

TEST(LcfFit, RecoversGeneratedMixtures)
{
  const XafsSpectrum a = reference(component(8979, 0.6, 1.5));
  const XafsSpectrum b = reference(component(8984, 0.2, 2.5));
  const XafsSpectrum c = reference(component(8975, 1.2, 1.0));

  // Two used references among an unused one and one without points.
  QVector<RefSnapshot> refs = { snapshot(a), snapshot(c), snapshot(b), RefSnapshot() };
  refs[1].use = false;
  refs[3].use = true;
  const QVector<RefSnapshot> ab = { refs[0], refs[2] };
  const XafsSpectrum two = mixture(ab, { 0.35, 0.65 });
  LcfResult r = fitLCF(two, refs, FitConditions());
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.refIndex, (QVector<int>{ 0, 2 }));
  const lctest::CloseRow rows[] = { { r.fractions[0], 0.35 },
                                    { r.fractions[1], 0.65 },
                                    { r.amounts[0], 0.35 * two.dMut } };
  lctest::expectAllClose(rows, 1e-6);
  EXPECT_CLOSE(r.z, 0.0, 1e-10);
  EXPECT_EQ(r.fitted.name, "anal-LCF");

  // Three references, one shifted by dE, a sample with a calibration shift.
  const QVector<RefSnapshot> three = { snapshot(a), snapshot(b, 2.5), snapshot(c) };
  r = fitLCF(mixture(three, { 0.2, 0.5, 0.3 }, -1.5), three, FitConditions());
  const lctest::CloseRow shifted[] = { { r.fractions[0], 0.2 },
                                       { r.fractions[1], 0.5 },
                                       { r.fractions[2], 0.3 } };
  lctest::expectAllClose(shifted, 1e-6);
  EXPECT_CLOSE(r.z, 0.0, 1e-10);

  // MLCF absorbs a straight background under the raw curve.
  r = fitMLCF(mixture(ab, { 0.8, 0.4 }, 0.0, 3.0, -2e-4), ab, FitConditions());
  ASSERT_TRUE(r.ok());
  const lctest::CloseRow mlcf[] = { { r.amounts[0], 0.8 },
                                    { r.amounts[1], 0.4 },
                                    { r.fractions[0], 2.0 / 3.0 } };
  lctest::expectAllClose(mlcf, 1e-6);
  EXPECT_EQ(r.fitted.name, "anal-MLCF");
}

TEST(LcfFit, SaysWhenReferencesTakeAnotherLineModelAndEmptyPreEdgesAreNotFitted)
{
  const XafsSpectrum a = reference(component(8979, 0.6, 1.5));
  QVector<RefSnapshot> refs = { snapshot(a), snapshot(a), snapshot(a) };
  refs[1].victoreen = true;
  refs[2].victoreen = true;
  refs[2].use = false; // unused rows do not count
  EXPECT_EQ(normalisationMismatch(refs, 1),
            "Ref 2: normalised with Victoreen lines, the sample with straight lines "
            "(\"Energy Correction\"): the fractions may be biased");
  EXPECT_EQ(normalisationMismatch(refs, 0),
            "Ref 1: normalised with straight lines, the sample with Victoreen lines "
            "(\"Energy Correction\"): the fractions may be biased");
  refs[0].victoreen = true;
  EXPECT_TRUE(normalisationMismatch(refs, 0).isEmpty());

  // A sample whose pre-edge window holds no point has no pre-edge line (it
  // is 0) and so no jump to normalise by: the "jump" would be the
  // absorption itself, and a flat spectrum would be fitted. It is not fitted.
  const QVector<RefSnapshot> two = { snapshot(reference(component(8979, 0.3, 2))),
                                     snapshot(reference(component(8985, 0.1, 4))) };
  SpectrumPoints flat;
  for (int i = 0; i < 12; ++i)
    flat.append(8990 + 2.0 * i, 1.0);
  // Edge expected at 8980: the pre-edge window ends at 8970, below the data.
  const XafsSpectrum s(flat, "Body-AaP", 1, 0.0, 8980.0, -10.0, 10.0);
  EXPECT_TRUE(std::isinf(edgeJumpNoise(s)));
  const LcfResult r = fitLCF(s, two, FitConditions());
  EXPECT_EQ(r.status, FitStatus::NoEdge);
  EXPECT_TRUE(std::isnan(r.fractions[0]));
}
