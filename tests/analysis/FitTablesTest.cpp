#include "analysis/FitTables.h"

#include "support/MessageCapture.h"
#include "support/Tolerance.h"

#include <gtest/gtest.h>

#include <cmath>

using fit::RefTable;
using fit::SampleTable;

namespace {

// Edge-like reference curves on 1 eV steps from `from` to `to`.
SpectrumPoints edge(double centre, double width, double from = 8900, double to = 9100)
{
  SpectrumPoints c;
  for (double e = from; e <= to; e += 1.0)
    c.append(e, 0.5 + std::atan((e - centre) / width) / M_PI + 0.001 * (e - 9000));
  return c;
}

RefTable ref(int index, const SpectrumPoints& c, double shift = 0.0)
{
  RefTable r;
  r.listIndex = index;
  r.shift = shift;
  r.dn = c;
  r.mlcf = c;
  r.lo = c.minX - shift;
  r.hi = c.maxX - shift;
  return r;
}

// A sample on 2 eV steps whose double-normalised values (and raw values,
// with a constant background a) are the given mixture of the references.
SampleTable mixture(const QVector<RefTable>& refs, const QVector<double>& w, double a = 0.0)
{
  SampleTable s;
  for (double e = 8920; e <= 9080; e += 2.0) {
    double y = 0.0;
    for (int j = 0; j < refs.size(); ++j)
      y += w[j] * refs[j].at(e);
    s.e.append(e);
    s.dn.append(y);
    s.raw.append(y + a);
  }
  for (int i = 0; i < s.e.size(); ++i)
    s.dnCurve.append(s.e[i], s.dn[i]);
  s.dMut = 2.0;
  return s;
}

} // namespace

TEST(FitTables, DegenerateSystemsStillAnswer)
{
  // Identical references: singular, all weight on the first.
  const QVector<RefTable> same = { ref(0, edge(9000, 3)), ref(1, edge(9000, 3)) };
  LcfResult r = fit::fitTables(mixture(same, { 0.5, 0.5 }), same, 2, false, FitConditions());
  EXPECT_TRUE(r.ok());
  EXPECT_TRUE(r.singular);
  EXPECT_CLOSE(r.fractions[0], 1.0, 1e-9);
  EXPECT_CLOSE(r.fractions[1], 0.0);

  // No numbers are made up: a fitting range outside the references, one
  // used reference, or a sample without an edge (jump not positive or
  // within its noise) give NaN and a status, constrained or not.
  const QVector<RefTable> two = { ref(0, edge(8990, 3)), ref(1, edge(9010, 6, 8950, 9050)) };
  struct Case
  {
    const char* what;
    double sE0;
    int usedRefs;
    double dMut;
    double jumpNoise;
    FitStatus status;
  };
  const Case cases[] = {
    { "range outside", 20000, 2, 2.0, 0.0, FitStatus::NoCommonRange },
    { "one used reference", 0, 1, 2.0, 0.0, FitStatus::TooFewInUse },
    { "zero jump", 0, 2, 0.0, 0.0, FitStatus::NoEdge },
    { "negative jump", 0, 2, -0.5, 0.0, FitStatus::NoEdge },
    { "jump within noise", 0, 2, 0.01, 0.02, FitStatus::NoEdge },
    { "jump above noise", 0, 2, 0.05, 0.02, FitStatus::Ok },
  };
  for (const Case& c : cases)
    for (bool sumToOne : { false, true }) {
      SCOPED_TRACE(testing::Message() << c.what << (sumToOne ? ", sum to 1" : ""));
      FitConditions cond;
      cond.sE0 = c.sE0;
      cond.sumToOne = sumToOne;
      SampleTable s = mixture(two, { 0.5, 0.5 });
      s.dMut = c.dMut;
      s.jumpNoise = c.jumpNoise;
      r = fit::fitTables(s, two.mid(0, c.usedRefs), 2, false, cond);
      EXPECT_EQ(r.status, c.status);
      const double want = c.status == FitStatus::Ok ? 0.5 : std::nan("");
      EXPECT_CLOSE(r.fractions[0], want, 1e-6);
      EXPECT_EQ(std::isnan(r.z), c.status != FitStatus::Ok);
    }
  // The local jump post(E) - pre(E) crossing 0 counts only inside the range.
  SampleTable crossing = mixture(two, { 0.5, 0.5 });
  crossing.jump = QVector<double>(crossing.e.size(), 1.0);
  crossing.jump[40] = -1e-5; // at 9000 eV
  FitConditions below;
  EXPECT_EQ(fit::fitTables(crossing, two, 2, false, below).status, FitStatus::NoEdge);
  below.eE0 = 8990;
  EXPECT_EQ(fit::fitTables(crossing, two, 2, false, below).status, FitStatus::Ok);

  // Fewer than two references in the list, or no sample: zeros and a status.
  r = fit::fitTables(mixture(two, { 0.5, 0.5 }), two.mid(0, 1), 1, false, FitConditions());
  EXPECT_EQ(r.status, FitStatus::TooFewReferences);
  EXPECT_EQ(r.fractions.size(), 1);
  r = fit::fitTables(SampleTable(), two, 2, true, FitConditions());
  EXPECT_EQ(r.status, FitStatus::EmptySample);
  EXPECT_CLOSE(r.fractions[1], 0.0);
}

TEST(FitTables, ResidualCountsZeroSamplePoints)
{
  const QVector<RefTable> two = { ref(0, edge(8990, 3)), ref(1, edge(9010, 6)) };
  SampleTable s = mixture(two, { 0.3, 0.7 });
  // Only inner points count: a zero at the last point is ignored, one inside adds 1.0.
  s.dnCurve.points.last().ry() = 0.0;
  s.dnCurve.points[40].ry() = 0.0;
  const LcfResult r = fit::fitTables(s, two, 2, false, FitConditions());
  // 79 inner points, 81 raw points; the fit itself still sees the unchanged values.
  EXPECT_CLOSE(r.z, 1.0 / 79 / 81, 1e-12);

  // The R-factor over the same points: the misfit is the two values set
  // to 0 (the last one is no inner point), over the sum of the squares.
  FitConditions cond;
  cond.rFactor = true;
  const LcfResult rf = fit::fitTables(s, two, 2, false, cond);
  double squares = 0.0;
  for (int k = 1; k <= 79; ++k)
    squares += s.dnCurve.y(k) * s.dnCurve.y(k);
  EXPECT_CLOSE(rf.z, s.dn[40] * s.dn[40] / squares, 1e-9);
  EXPECT_CLOSE(rf.fractions[0], r.fractions[0], 0.0);
  // Curves that are 0 throughout have no R-factor.
  for (QPointF& p : s.dnCurve.points)
    p.ry() = 0.0;
  EXPECT_TRUE(std::isnan(fit::fitTables(s, two, 2, false, cond).z));
}

TEST(FitTables, MlcfClipsNegativeWeightsAndLookupsGuardNaN)
{
  const QVector<RefTable> two = { ref(0, edge(8990, 3)), ref(1, edge(9010, 6)) };
  // w = (-0.5, 1.5): the negative weight clips to 0, the other fraction is
  // divided by the sum 1.0 that still holds it.
  LcfResult r = fit::fitTables(mixture(two, { -0.5, 1.5 }, 1.0), two, 2, true, FitConditions());
  EXPECT_CLOSE(r.amounts[0], 0.0);
  EXPECT_CLOSE(r.fractions[0], 0.0);
  EXPECT_CLOSE(r.amounts[1], 1.5, 1e-6);
  EXPECT_CLOSE(r.fractions[1], 1.5, 1e-6);

  // A sum of 0 or less gives zero fractions, never infinities.
  r = fit::fitTables(mixture(two, { -0.5, 0.2 }), two, 2, true, FitConditions());
  EXPECT_CLOSE(r.fractions[0], 0.0);
  EXPECT_CLOSE(r.fractions[1], 0.0);
  EXPECT_CLOSE(r.amounts[1], 0.2, 1e-6);

  // The reference lookup shifts by dE and guards against NaN.
  const RefTable shifted = ref(0, edge(9000, 3), 4.0);
  EXPECT_CLOSE(shifted.at(8996.0), shifted.dn.valueAt(9000.0));
  lctest::MessageCapture capture;
  EXPECT_CLOSE(shifted.at(std::nan("")), 0.0);
  EXPECT_TRUE(capture.has("nan EeV in XafsSpectrum::doubleNormalizedPreBase"));
}
