#include "analysis/AnalyzeProc.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

XafsSpectrum edgeSpectrum(double centre)
{
  SpectrumPoints p;
  for (double e = 8900; e <= 9100; e += 2.0)
    p.append(e, 0.2 + 0.8 / (1.0 + std::exp(-(e - centre) / 2.0)));
  return XafsSpectrum(p, "ref", 1, 0.0, -1.0, -10.0, 10.0);
}

} // namespace

// The Analyzer writes an answer into its rows only outside a 2-D run, so
// answers given during one are marked; they skip the curve spectrum too.
// (Answers crossing the thread are checked through the Analyzer.)
TEST(AnalyzeProc, RunAnswersAreMarkedAndCarryNoSpectrum)
{
  AnalyzeProc worker;
  QVector<LcfResult> r;
  QObject::connect(&worker, &AnalyzeProc::finished, [&](const LcfResult& res) { r << res; });
  const QVector<RefSnapshot> refs = { RefSnapshot::take(edgeSpectrum(8990), 0, false, true, false),
                                      RefSnapshot::take(
                                        edgeSpectrum(9010), 0, false, true, false) };
  FitConditions cond;
  cond.tag = 7;
  worker.analyzeSpectrum0(edgeSpectrum(9000), refs, false, cond);
  worker.setContAccess(true);
  worker.analyzeSpectrum0(edgeSpectrum(9000), refs, false, cond);
  ASSERT_EQ(r.size(), 2);
  EXPECT_EQ(r[0].tag, 7u);
  EXPECT_FALSE(r[0].contAccess);
  EXPECT_GT(r[0].fitted.size(), 0);
  EXPECT_TRUE(r[1].contAccess);
  EXPECT_EQ(r[1].fitted.size(), 0);
  EXPECT_FALSE(r[1].curve.isEmpty());
}
