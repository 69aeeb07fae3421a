#include "analysis/ElemAnalysis.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/ElemKernel.h"
#include "analysis/FitTables.h"
#include "analysis/LcfFit.h"
#include "analysis/MapKernels.h"
#include "analysis/MapsRun.h"
#include "analysis/RaKernel.h"
#include "input/TiffData.h"
#include "spectrum/EdgeTable.h"

#include "GeneratedStack.h"
#include "support/Maps.h"
#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

// Two unit steps: at 7100 eV (height 0.5) and 8300 eV (height 0.2) on a
// 10 eV grid, flat elsewhere at 1.0.
XafsSpectrum twoSteps(double shift = 0.0)
{
  SpectrumPoints p;
  for (double e = 7000.0; e <= 8400.0; e += 10.0)
    p.append(e + shift, 1.0 + (e >= 7100.0 ? 0.5 : 0.0) + (e >= 8300.0 ? 0.2 : 0.0));
  XafsSpectrum s(p, QStringLiteral("t"), 1, shift, -1.0, -10.0, 10.0);
  return s;
}

ElemCond edge(double e0, double dE = 20.0)
{
  ElemCond c;
  c.name = QStringLiteral("e%1").arg(e0);
  c.e0 = e0;
  c.dE = dE;
  c.roiStart = e0;
  c.roiEnd = e0 + 35.0;
  return c;
}

std::vector<ElemResult> analyse(const XafsSpectrum& s, const QVector<ElemCond>& e, int t = 0)
{
  std::vector<ElemResult> r(size_t(e.size()));
  analyzeSpectrumElems0(s, e, t, ElemBackground(), r.data());
  return r;
}

} // namespace

TEST(ElemAnalysis, JumpsPositionsRoiAndRatios)
{
  // The point's shift moves the whole spectrum; the results stay those of
  // the unshifted one.
  for (double shift : { 0.0, 3.0 }) {
    SCOPED_TRACE(shift);
    const QVector<ElemCond> e = { edge(7100.0), edge(8300.0) };
    const auto r = analyse(twoSteps(shift), e);
    EXPECT_CLOSE(r[0].dmutRaw, 0.5);
    EXPECT_CLOSE(r[0].dmut, 0.5);
    EXPECT_CLOSE(r[0].muMinus, 1.0);
    EXPECT_CLOSE(r[0].muPlus, 1.5);
    EXPECT_CLOSE(r[1].dmut, 0.2);
    EXPECT_CLOSE(r[0].ratio, 1.0);
    EXPECT_CLOSE(r[1].ratio, 0.4);
    // The one crossing lies between 7090 and 7100: edge at 7095.
    EXPECT_CLOSE(r[0].shift, -5.0);
    // ROI points 7100 .. 7130 all at mu- + 0.5.
    EXPECT_CLOSE(r[0].roi, 0.5);
    EXPECT_CLOSE(r[0].nroi, 1.0);
  }
  // Target the second edge.
  const auto r = analyse(twoSteps(), { edge(7100.0), edge(8300.0) }, 1);
  EXPECT_CLOSE(r[0].ratio, 2.5);
  EXPECT_CLOSE(r[1].ratio, 1.0);
}

// An arctangent step centred 0.1 eV above E0 on a 0.5 eV grid: the grid
// rule puts the edge in the middle of the bracketing pair (0.25 eV); the
// two refinements find the centre. Every mode crossing the parser's names.
TEST(ElemAnalysis, EdgePositionBetweenGridPoints)
{
  SpectrumPoints p;
  for (double e = 7080.0; e <= 7140.0; e += 0.5)
    p.append(e, 1.0 + 0.5 + std::atan((e - 7112.1) / 1.5) / M_PI);
  const XafsSpectrum s(p, QStringLiteral("t"), 1, 0.0, -1.0, -10.0, 10.0);
  const QVector<ElemCond> e = { edge(7112.0, 10.0) };
  const double expected[] = { 0.25, 0.1, 0.1 };
  for (int mode = 0; mode < 3; ++mode) {
    const EdgeLocate locate = EdgeLocate(mode);
    EdgeLocate parsed = EdgeLocate::Grid;
    ASSERT_TRUE(edgeLocateFromName(edgeLocateName(locate).toUpper(), parsed));
    EXPECT_EQ(parsed, locate);
    ElemResult r;
    analyzeSpectrumElems0(s, e, 0, ElemBackground(), &r, locate);
    EXPECT_CLOSE(r.shift, expected[mode], 0.02) << edgeLocateName(locate).toStdString();
  }
  EdgeLocate unchanged = EdgeLocate::Interpolated;
  EXPECT_FALSE(edgeLocateFromName(QStringLiteral("midx"), unchanged));
  EXPECT_EQ(unchanged, EdgeLocate::Interpolated);
}

TEST(ElemAnalysis, ThresholdEmptyRoiAndNoNeg)
{
  ElemBackground bg;
  bg.dmut = -1.0;
  bg.dE = -7.0;
  bg.roi = -3.0;
  bg.nroi = -4.0;
  ElemCond atTh = edge(7100.0);
  atTh.thDMut = 0.5; // equal to the jump: counts as below
  ElemCond noRoi = edge(8300.0);
  noRoi.roiStart = 9000.0; // beyond the data
  noRoi.roiEnd = 9100.0;
  ElemCond neg = edge(7100.0);
  neg.roiStart = 7000.0; // points below the edge: mu - mu- < 0 there? no: 0
  neg.roiEnd = 7060.0;
  neg.noNeg = true;
  // ROI against mu(E0-dE) = 1.0 over 7000..7050 is 0; make it negative by
  // moving E0 up so that mu- is 1.5.
  neg.e0 = 7150.0;
  std::vector<ElemResult> r(3);
  analyzeSpectrumElems0(twoSteps(), { atTh, noRoi, neg }, 1, bg, r.data());
  EXPECT_CLOSE(r[0].dmutRaw, 0.5);
  EXPECT_CLOSE(r[0].dmut, -1.0);
  EXPECT_CLOSE(r[0].muPlus, -1.0);
  EXPECT_CLOSE(r[0].muMinus, -1.0);
  EXPECT_CLOSE(r[0].shift, -7.0);
  EXPECT_CLOSE(r[0].roi, -3.0);
  EXPECT_CLOSE(r[0].nroi, -4.0);
  EXPECT_CLOSE(r[0].ratio, -5.0); // against the target's 0.2
  EXPECT_CLOSE(r[1].roi, 0.0);
  EXPECT_CLOSE(r[1].nroi, 0.0);
  // neg: no jump at 7150 +- 20 (flat 1.5): below a threshold of 0 as well.
  EXPECT_CLOSE(r[2].dmut, -1.0);

  ElemCond negRoi = edge(7100.0);
  negRoi.roiStart = 6990.0; // points 7000..7050: mu - mu- = 0 - 0.0
  negRoi.roiEnd = 7055.0;
  negRoi.dE = 40.0; // mu- at 7060 = 1.0, mu+ at 7140 = 1.5
  negRoi.thDMut = -1.0;
  // A background of the ROI below mu-: values 1.0 - 1.0 = 0; shift the
  // spectrum's low part down with a dip to get a negative mean.
  SpectrumPoints p;
  for (double e = 7000.0; e <= 7200.0; e += 10.0)
    p.append(e, e < 7055.0 ? 0.8 : (e >= 7100.0 ? 1.5 : 1.0));
  const XafsSpectrum dip(p, QStringLiteral("dip"), 1, 0.0, -1.0, -10.0, 10.0);
  for (bool noNeg : { false, true }) {
    negRoi.noNeg = noNeg;
    std::vector<ElemResult> q(1);
    analyzeSpectrumElems0(dip, { negRoi }, 0, bg, q.data());
    EXPECT_CLOSE(q[0].dmut, 0.5);
    EXPECT_CLOSE(q[0].roi, noNeg ? -3.0 : -0.2);
    EXPECT_CLOSE(q[0].nroi, noNeg ? -4.0 : -0.4);
  }
}

TEST(ElemAnalysis, TargetWithoutJumpDividesByOneAndTargetIndexIsValidated)
{
  ElemBackground bg;
  bg.dmut = 0.0;
  ElemCond none = edge(7500.0); // flat there
  std::vector<ElemResult> r(2);
  analyzeSpectrumElems0(twoSteps(), { none, edge(7100.0) }, 0, bg, r.data());
  EXPECT_CLOSE(r[1].ratio, 0.5);

  // The target index is validated.
  lctest::MessageCapture log;
  EXPECT_EQ(validTargetIndex(1, 2), 1);
  EXPECT_EQ(validTargetIndex(-1, 2), 0);
  EXPECT_EQ(validTargetIndex(5, 2), 0);
  EXPECT_EQ(validTargetIndex(0, 0), -1);
  EXPECT_TRUE(log.contains("Element analysis: target -1 is not an edge, the first edge is used"));
  EXPECT_TRUE(log.contains("Element analysis: no edges to analyse"));
  // A refused run ends once, with its reason.
  MapsRun run(QStringLiteral("x"));
  QSignalSpy ended(&run, &MapsRun::ended);
  run.refuse(QStringLiteral("Element 2D analysis not started: no edges"));
  EXPECT_EQ(ended.count(), 1);
  EXPECT_TRUE(log.contains("Element 2D analysis not started: no edges"));
}

TEST(ElemAnalysis, CorrelationWithTheStandardPattern)
{
  QVector<ElemCond> e = { edge(1.0), edge(2.0), edge(3.0) };
  const double ratios[] = { 1.0, 0.4, 0.7 };
  for (int k = 0; k < 3; ++k)
    e[k].stdRatio = ratios[k];
  double cor = 0.0;
  ASSERT_TRUE(elemCorrelation(e, ratios, cor));
  EXPECT_CLOSE(cor, 1.0);
  // Edges not in use do not count.
  const double other[] = { 1.0, 0.4, -5.0 };
  e[2].use = false;
  ASSERT_TRUE(elemCorrelation(e, other, cor));
  EXPECT_CLOSE(cor, 1.0);
  const double zero[] = { 0.0, 0.0, 0.0 };
  EXPECT_FALSE(elemCorrelation(e, zero, cor));
}

TEST(ElemAnalysis, TargetElementNames)
{
  loadEdgeTable();
  lctest::MessageCapture log;
  const QVector<ElemEntry> e =
    parseElemNames(QStringLiteral(" Ni , Fe-K,, Cu-L3 ,Xx, Fe-Q, Cu-liii"), false);
  ASSERT_EQ(e.size(), 5);
  EXPECT_EQ(e[0].name(), QStringLiteral("Ni-K"));
  EXPECT_EQ(e[1].name(), QStringLiteral("Fe-K"));
  EXPECT_EQ(e[2].name(), QStringLiteral("Cu-L3"));
  // An unknown edge name reads as the K edge, and is said like an unknown
  // element; a known name in any letter case is not.
  EXPECT_EQ(e[3].name(), QStringLiteral("Fe-Q"));
  EXPECT_CLOSE(e[3].e0, e[1].e0);
  EXPECT_TRUE(log.has("Unknown element or edge : Fe-Q (read as the K edge)"));
  EXPECT_EQ(log.count("Unknown element or edge"), 2);
  double fe = 0.0;
  ASSERT_TRUE(lookupEdgeEnergy("Fe", "K", fe));
  EXPECT_CLOSE(e[1].e0, fe);
  EXPECT_TRUE(log.contains("Unknown element or edge : Xx"));
  const QVector<ElemEntry> sorted = parseElemNames(QStringLiteral("Ni, Fe-K, Cu"), true);
  ASSERT_EQ(sorted.size(), 3);
  EXPECT_EQ(sorted[0].symbol, QStringLiteral("Fe"));
  EXPECT_EQ(sorted[1].symbol, QStringLiteral("Ni"));
  EXPECT_EQ(sorted[2].symbol, QStringLiteral("Cu"));
  EXPECT_EQ(elemMapName(QStringLiteral("Fe-K"), ElemMapNROI),
            QStringLiteral("Fe-K Elem Ctrl NROI"));
}

TEST(ResidualAbsorption, RestIsTwicePreLessPostAtFactorOne)
{
  XafsSpectrum s = twoSteps(2.0);
  // Straight lines: pre and post by their own formula, at E_RA + shift.
  double dmut = 0.0, rest = 0.0;
  residualAt(s, 7300.0, 1.0, dmut, rest);
  const double E = 7302.0;
  const double pre = s.pre.c + s.pre.slope * E;
  const double post = s.post.useOutside ? s.postValue(E) : s.post.c + s.post.slope * E;
  EXPECT_CLOSE(dmut, post - pre);
  EXPECT_CLOSE(rest, 2 * pre - post);
}

TEST(ResidualAbsorption, RatioMapAndItsHoles)
{
  const AnalyzeCond c = lctest::area(4, 3, 0, 0, 1, 0, 2, 3); // columns 1 and 2 analysed
  Analyzed2DRes rest, dmut, ratio;
  rest.reset(c);
  dmut.reset(c);
  for (int y = 0; y < 3; ++y)
    for (int x = 1; x <= 2; ++x) {
      rest.setData(x, y, 0, 0, -1.0 + x + y); // smallest at (1, 0): 0
      dmut.setData(x, y, 0, 0, 1.0);
    }
  rest.setData(2, 2, 0, 0, -2.0); // now the smallest rest, m = -2
  const int holes = fillResidualRatio(rest, dmut, ratio);
  EXPECT_CLOSE(ratio.valueAt(2, 2), 0.0);
  rest.setData(1, 1, 0, 0, std::nan("")); // not fitted: stays so, no minimum
  fillResidualRatio(rest, dmut, ratio);
  EXPECT_TRUE(std::isnan(ratio.valueAt(1, 1)));
  // (1, 0): r = 0 - (-2) = 2, d = 1
  EXPECT_CLOSE(ratio.valueAt(1, 0), 2.0 / 3.0);
  // Outside the area rest 0, dmut 0: r = 2, ratio 1; no hole there.
  EXPECT_CLOSE(ratio.valueAt(0, 0), 1.0);
  EXPECT_EQ(holes, 0);
  // A map whose minimum is 0 leaves 0/0 outside: written as 0.
  Analyzed2DRes flat;
  flat.reset(c);
  for (int y = 0; y < 3; ++y)
    flat.setData(1, y, 0, 0, 1.0);
  const int n = fillResidualRatio(flat, dmut, ratio);
  EXPECT_EQ(n, 3 * 2); // columns 0 and 3
  EXPECT_CLOSE(ratio.valueAt(0, 1), 0.0);
  EXPECT_TRUE(std::isfinite(ratio.max()));
}

TEST(MapTools, ProcessingRules)
{
  EXPECT_CLOSE(ProcMapsKernel::combine(3.0, 1.0, ProcMapsKernel::Sub), 2.0);
  EXPECT_CLOSE(ProcMapsKernel::combine(3.0, 2.0, ProcMapsKernel::Div), 1.5);
  EXPECT_CLOSE(ProcMapsKernel::combine(3.0, 0.0, ProcMapsKernel::Div), 0.0);
  EXPECT_CLOSE(ProcMapsKernel::combine(3.0, 1e-300, ProcMapsKernel::Mask), 3.0);
  EXPECT_CLOSE(ProcMapsKernel::combine(3.0, 0.0, ProcMapsKernel::Mask), 0.0);
  EXPECT_CLOSE(ProcMapsKernel::combine(3.0, -1.0, ProcMapsKernel::Mask), 0.0);
  MapValues m;
  m.width = 3;
  m.height = 2;
  m.data = { 1, 2, 3, 4, 5, 6 };
  EXPECT_CLOSE(m.blockSum(0, 0, 1, 1), 1.0 + 2 + 4 + 5); // pixels off the map count 0
  EXPECT_CLOSE(m.blockSum(1, 1, -1, 0), 4.0 + 5 + 6);
  EXPECT_CLOSE(m.blockMean(0, 0, 1, 1), (1.0 + 2 + 4 + 5) / 4);

  // Maps of a 3 x 3 binned run hold their value on every pixel of a
  // block: each operation works on that value, not on nine times it.
  MapValues a, b;
  a.width = b.width = 6;
  a.height = b.height = 3;
  for (int i = 0; i < 18; ++i) {
    a.data.append(i % 6 < 3 ? 2.0 : 5.0);
    b.data.append(i % 6 < 3 ? 0.5 : -1.0);
  }
  const struct
  {
    int type;
    double left, right;
  } cases[] = { { ProcMapsKernel::Sub, 1.5, 6.0 },
                { ProcMapsKernel::Div, 4.0, -5.0 },
                { ProcMapsKernel::Mask, 2.0, 0.0 } };
  for (const auto& c : cases) {
    const ProcMapsKernel k(a, b, c.type);
    double out[3];
    RasterPoint p;
    p.cy = p.bx = p.by = 1;
    for (const double want : { c.left, c.right }) {
      p.cx = want == c.left ? 1 : 4;
      k.compute(p, nullptr, out);
      EXPECT_CLOSE(out[0], want) << c.type << " at " << p.cx;
    }
  }
}

namespace {

// Two edges (Fe K, Ni K) in one stack, noise free, no shift.
// The first `flat` pixels hold nothing: no edge at all.
stackgen::StackSpec twoEdgePlan(double feK, double niK, int size, int flat)
{
  stackgen::StackSpec plan;
  plan.width = size;
  plan.height = size;
  plan.noise = false;
  QVector<double> e;
  for (double x = 6950.0; x <= 8550.0; x += 10.0)
    e.append(x);
  for (double x : { feK - 20, feK + 20, niK - 20, niK + 20 })
    e.append(x);
  std::sort(e.begin(), e.end());
  plan.energies = e;
  stackgen::Component fe;
  fe.name = "fe";
  fe.edge = feK;
  fe.step = 1.0;
  stackgen::Component ni;
  ni.name = "ni";
  ni.edge = niK;
  ni.step = 0.8;
  plan.components = { fe, ni };
  plan.shift = QVector<double>(size * size, 0.0);
  if (flat > 0) {
    plan.thickness = QVector<double>(size * size, 1.0);
    std::fill_n(plan.thickness.begin(), flat, 0.0);
  }
  return plan;
}

struct TwoEdgeWorld
{
  double feK = 0.0;
  double niK = 0.0;
  std::unique_ptr<GeneratedStack> stack;
  QVector<ElemCond> conds;
  TwoEdgeWorld(int size, int flat = 0)
  {
    loadEdgeTable();
    lookupEdgeEnergy("Fe", "K", feK);
    lookupEdgeEnergy("Ni", "K", niK);
    stack = std::make_unique<GeneratedStack>(twoEdgePlan(feK, niK, size, flat));
    conds = { edge(feK), edge(niK) };
    conds[0].roiStart = conds[1].roiStart = 0.0; // empty ROI
    conds[0].roiEnd = conds[1].roiEnd = 0.0;
    // The pixels without Fe have no Fe jump: measured all the same.
    conds[0].thDMut = conds[1].thDMut = -10.0;
  }
  PointSpectra spectra() const { return PointSpectra(stack->view(), 1, -1.0); }
};

// Runs `kernel` over the whole image into fresh maps; returns their data.
QVector<QVector<double>> runMaps(std::shared_ptr<const PointKernel> kernel,
                                 const AnalyzeCond& area,
                                 int threads,
                                 int tile)
{
  std::vector<std::unique_ptr<Analyzed2DRes>> owned;
  QVector<Analyzed2DRes*> maps;
  for (int i = 0; i < kernel->valuesPerPoint(); ++i) {
    owned.push_back(std::make_unique<Analyzed2DRes>());
    maps.append(owned.back().get());
  }
  MapsRun run(QStringLiteral("test run"));
  run.engine().setThreadCount(threads);
  run.engine().setTilePoints(tile);
  QSignalSpy ended(&run, &MapsRun::ended);
  run.runNow(area, kernel, maps);
  EXPECT_EQ(ended.count(), 1);
  EXPECT_TRUE(run.completed());
  QVector<QVector<double>> data;
  for (Analyzed2DRes* m : maps)
    data.append(m->data());
  return data;
}

} // namespace

TEST(ElemRun, TwoEdgeStackRecoversTheJumpsOnEveryThreadCount)
{
  TwoEdgeWorld w(10);
  ASSERT_TRUE(w.stack->ok());
  const stackgen::StackTruth& t = w.stack->truth();
  auto kernel = std::make_shared<ElemKernel>(w.spectra(), w.conds, 0, ElemBackground());
  const AnalyzeCond area = lctest::wholeArea(10, 10);
  const auto one = runMaps(kernel, area, 1, 0);
  EXPECT_TRUE(lctest::sameBytes(one, runMaps(kernel, area, 2, 0)));
  EXPECT_TRUE(lctest::sameBytes(one, runMaps(kernel, area, 2, 7)));
  ASSERT_EQ(one.size(), 2 * ElemMapCount);

  double worst = 0.0;
  PointRaster raster(area);
  for (int i = 0; i < raster.count(); ++i) {
    const RasterPoint p = raster.at(i);
    if (!p.inside)
      continue;
    // The map holds the one-point answer.
    std::vector<ElemResult> r(2);
    analyzeSpectrumElems0(
      w.spectra().at(p.cx, p.cy, p.bx, p.by), w.conds, 0, ElemBackground(), r.data());
    const int at = p.cy * 10 + p.cx;
    EXPECT_EQ(one[ElemMapDMut][at], r[0].dmut);
    EXPECT_EQ(one[ElemMapCount + ElemMapRatio][at], r[1].ratio);
    // Against the generator: the pixel's thickness times mu(E0+dE) -
    // mu(E0-dE) of both components.
    double expect[2] = { 0.0, 0.0 };
    int n = 0;
    for (int x = p.cx; x <= p.cx; ++x, ++n) {
      const int q = p.cy * 10 + x;
      for (int k = 0; k < 2; ++k) {
        const double e0 = k == 0 ? w.feK : w.niK;
        double d = 0.0;
        for (int c = 0; c < 2; ++c)
          d += t.fractions[c][q] * (stackgen::componentMu(t.components[c], e0 + 20) -
                                    stackgen::componentMu(t.components[c], e0 - 20));
        expect[k] += t.thickness[q] * d;
      }
    }
    for (int k = 0; k < 2; ++k)
      worst = std::max(worst, std::fabs(r[k].dmut - expect[k] / n));
    EXPECT_CLOSE(r[1].ratio, r[1].dmut / r[0].dmut);
    EXPECT_CLOSE(r[0].roi, 0.0);
  }
  // Up to the counts' rounding.
  EXPECT_LT(worst, 2e-3);
}

TEST(ResidualRun, MapsEqualTheOnePointAnswerOnEveryThreadCount)
{
  TwoEdgeWorld w(8);
  ASSERT_TRUE(w.stack->ok());
  auto kernel = std::make_shared<RaKernel>(w.spectra(), 7300.0, 1.0);
  const AnalyzeCond area = lctest::area(8, 8, 0, 0, 1, 1, 6, 6);
  const auto one = runMaps(kernel, area, 1, 0);
  EXPECT_TRUE(lctest::sameBytes(one, runMaps(kernel, area, 2, 0)));
  EXPECT_TRUE(lctest::sameBytes(one, runMaps(kernel, area, 2, 5)));
  const XafsSpectrum s = w.spectra().at(3, 4, 0, 0);
  const double pre = s.preValue(7300.0);
  const double post = s.postValue(7300.0);
  EXPECT_CLOSE(one[0][4 * 8 + 3], post - pre);
  EXPECT_CLOSE(one[1][4 * 8 + 3], 2 * pre - post);
  EXPECT_CLOSE(one[1][0], 0.0); // outside the area
  // Every point (normalised four at a time in the run) is bit for bit the
  // answer of its spectrum alone, with Victoreen lines and with a shift map.
  EnergyShiftView shifts;
  shifts.width = shifts.height = 8;
  shifts.area = shifts.measured = QRect(0, 0, 8, 8);
  for (int i = 0; i < 64; ++i)
    shifts.values.append(-1.0 + 0.25 * (i % 9));
  for (const auto& [mode, shifted] : { std::pair(1, false), { 1, true }, { 0, true } }) {
    const PointSpectra spectra(w.stack->view(), mode, -1.0, shifted ? shifts : EnergyShiftView());
    const auto maps = runMaps(std::make_shared<RaKernel>(spectra, 7300.0, 1.0), area, 2, 0);
    int differ = 0;
    for (int y = 1; y < 7; ++y)
      for (int x = 1; x < 7; ++x) {
        const XafsSpectrum sp = spectra.at(x, y, 0, 0);
        double want[2] = { std::nan(""), std::nan("") };
        if (fit::jumpClear(sp.dMut, edgeJumpNoise(sp)))
          residualAt(sp, 7300.0, 1.0, want[0], want[1]);
        for (int k = 0; k < 2; ++k)
          differ += std::memcmp(&maps[k][y * 8 + x], &want[k], sizeof(double)) != 0;
      }
    EXPECT_EQ(differ, 0) << "mode " << mode << " shifted " << shifted;
  }
  // An energy beyond the stack's is said; the run still extrapolates.
  const struct
  {
    double eRA;
    bool said;
  } energies[] = { { 7300.0, false }, { 20000.0, true }, { 1000.0, true } };
  for (const auto& c : energies)
    EXPECT_EQ(residualEnergyOutside(w.spectra(), c.eRA)
                .startsWith(QStringLiteral("Residual absorption at %1 eV is outside").arg(c.eRA)),
              c.said)
      << c.eRA;
}

TEST(ResidualRun, PointsWithoutAnEdgeAreNaNInBothMapsAndCountedOnce)
{
  TwoEdgeWorld w(6, 4);
  ASSERT_TRUE(w.stack->ok());
  const AnalyzeCond area = lctest::wholeArea(6, 6);
  Analyzed2DRes dmut, rest;
  MapsRun run(QStringLiteral("Residual absorption analysis"));
  run.engine().setThreadCount(2);
  QSignalSpy said(&run, &MapsRun::notFitted);
  lctest::MessageCapture log;
  run.runNow(area, std::make_shared<RaKernel>(w.spectra(), 7300.0, 1.0), { &dmut, &rest });
  for (const Analyzed2DRes* m : { &dmut, &rest })
    for (int i = 0; i < 36; ++i)
      EXPECT_EQ(std::isnan(m->data()[i]), i < 4) << i;
  EXPECT_EQ(log.count(QStringLiteral("points not fitted (NaN in the maps): 4 (")), 1);
  EXPECT_EQ(said.count(), 1);
}
