#include "calibration/CalibKernel.h"

#include "GeneratedStack.h"
#include "StackGen.h"
#include "analysis/AnalyzeCond.h"
#include "analysis/PointKernel.h"
#include "analysis/PointRun.h"
#include "input/TiffData.h"
#include "spectrum/XafsSpectrum.h"
#include "stack/StackSpectra.h"
#include "support/Maps.h"
#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <gtest/gtest.h>

#include <cstring>

#include <cmath>
#include <memory>
#include <vector>

// A 3 x 2 raster of single pixels over a 3 x 2 map: statistics by hand.
// Values 1, 2, 3, 4, 5, 9: mean 4, squared deviations 9+4+1+0+1+25 = 40,
// sigma = sqrt(40 / 6) with n, not n - 1 (sqrt(40 / 5) would be 2.828).
TEST(CalibKernel, StatisticsByHandUseNAndReadTheScanPointsOnly)
{
  AnalyzeCond scan = lctest::wholeArea(3, 2);
  const ShiftStats s = shiftMapStats({ 1, 2, 3, 4, 5, 9 }, scan);
  EXPECT_EQ(s.n, 6);
  EXPECT_CLOSE(s.average, 4.0);
  EXPECT_CLOSE(s.min, 1.0);
  EXPECT_CLOSE(s.max, 9.0);
  EXPECT_CLOSE(s.sigma, std::sqrt(40.0 / 6.0));

  // With bins of 3 x 1 only the block centres count: columns 1 and 4 of a
  // 6 x 1 map, whatever the other pixels hold; a first point past the
  // map's edge does not count at all.
  scan.setup(6, 1, 1, 0, 0, 0, 6, 1);
  const ShiftStats b = shiftMapStats({ 100, -1, 100, 100, 3, 100 }, scan);
  EXPECT_EQ(b.n, 2);
  EXPECT_CLOSE(b.average, 1.0);
  EXPECT_CLOSE(b.sigma, 2.0);

  const AnalyzeCond off = lctest::area(6, 1, 2, 0, 5, 0, 1, 1); // centre at x = 7
  EXPECT_EQ(shiftMapStats(QVector<double>(6, 1.0), off).n, 0);
  EXPECT_EQ(shiftMapStats({}, scan).n, 0);
}

// The run's progress (the engine's raster): a one-row area has no extent to
// divide by; otherwise (y - y0) / (y1 - y0) in floating point.
TEST(CalibKernel, ProgressInFloatingPoint)
{
  const AnalyzeCond flat = lctest::area(8, 8, 0, 0, 0, 5, 8, 0); // y0 = y1 = 5
  EXPECT_CLOSE(PointRaster(flat).progressAt(0), 100.0);
  const AnalyzeCond three = lctest::area(8, 8, 0, 0, 0, 0, 8, 3);
  EXPECT_CLOSE(PointRaster(three).progressAt(1), 100.0 / 3.0);
  EXPECT_CLOSE(PointRaster(three).progressAt(0), 0.0);
}

TEST(CalibKernel, StandardEdgeAndShift)
{
  XafsSpectrum standard;
  standard.midx = 8980.5;
  EXPECT_CLOSE(calibStandardEdge(&standard, 9000.0), 8980.5);
  EXPECT_CLOSE(calibStandardEdge(nullptr, 9000.0), 9000.0);
  EXPECT_TRUE(std::isnan(calibStandardEdge(nullptr, 0.0))); // unknown: a run refuses

  XafsSpectrum point;
  point.points.append(8970.0, 0.1);
  point.midx = 8982.0;
  EXPECT_CLOSE(calibShiftOf(point, 8980.5), 1.5);
  EXPECT_CLOSE(calibShiftOf(XafsSpectrum(), 8980.5), 0.0); // off the stack: no edge
}

// A standard gives an edge where its spectrum's edge is: the fluorescence
// scan (Fe K, 7112 eV; ln(I0/I1) of it falls at the edge and left the edge
// at its first point, 6606 eV) and a transmission scan load; a scan whose
// edge falls is refused with the file named.
TEST(CalibKernel, StandardLoadsAtItsEdgeOrRefuses)
{
  const struct
  {
    const char* file;
    double edge;
  } measured[] = { { "PF9A_2022.dat", 7112 }, { "fe2o3_rt1.xmu", 7112 } };
  for (const auto& m : measured) {
    SCOPED_TRACE(m.file);
    LC_REQUIRE_SHARED_FILE(path, m.file);
    for (int mode : { 0, 1 }) {
      XafsSpectrum s;
      EXPECT_EQ(loadCalibStandard(path, mode, s), QString());
      EXPECT_CLOSE(s.midx, m.edge + 5.0, 10.0);
    }
  }
  const QString dir = lctest::scratchDir("calib_standard");
  QByteArray falling;
  for (int i = 0; i < 200; ++i)
    falling += QByteArray::number(8900 + i) + " " + QByteArray::number(i < 80 ? 2.0 : 1.0) + "\n";
  lctest::writeFile(dir + "/falling.dat", falling);
  XafsSpectrum s;
  const QString why = loadCalibStandard(dir + "/falling.dat", 1, s);
  EXPECT_TRUE(why.startsWith("Standard not loaded: no rising edge")) << why.toStdString();
  EXPECT_TRUE(why.endsWith("falling.dat"));
}

// A noisy one-component stack whose edge moves by a known amount per pixel
// (-2..+2 eV across, a block at +3 eV), on a 0.5 eV grid near the edge:
// each point's shift against the reference comes back to within the grid,
// through the spectrum the main window builds for a point; read between the
// grid points, to well within it.
TEST(CalibKernel, RecoversAGeneratedShiftMap)
{
  stackgen::StackSpec plan;
  plan.width = 30;
  plan.height = 20;
  stackgen::Component a;
  a.name = "A";
  a.whiteLine = 0.3;
  plan.components = { a };
  plan.fractions = { QVector<double>(plan.width * plan.height, 1.0) };
  plan.shift = stackgen::calibrationCheckShift(plan.width, plan.height);
  for (double e = 8900.0; e < 8960.0; e += 5.0)
    plan.energies << e;
  for (double e = 8960.0; e <= 9000.0; e += 0.5)
    plan.energies << e;
  for (double e = 9005.0; e <= 9080.0; e += 5.0)
    plan.energies << e;
  const GeneratedStack stack(plan);
  ASSERT_TRUE(stack.ok());
  const stackgen::StackTruth& truth = stack.truth();
  ASSERT_EQ(stack.view().i1.size(), plan.energies.size());

  XafsSpectrum standard;
  ASSERT_TRUE(standard.load(truth.referenceFiles[0]));
  standard.normalize(1);
  const PointSpectra spectra(
    stack.view(), 1, a.edge, EnergyShiftView(), QStringLiteral("Body-Calib"));
  for (const EdgeLocate locate :
       { EdgeLocate::Grid, EdgeLocate::Interpolated, EdgeLocate::DerivativePeak }) {
    const double es = calibStandardEdge(&standard, -1.0, locate);
    EXPECT_CLOSE(es, a.edge, 1.0);
    auto kernel = std::make_shared<CalibPointKernel>(spectra, es, locate);
    for (int b : { 0, 2 }) {
      AnalyzeCond scan = lctest::wholeArea(plan.width, plan.height, b);
      // The run on the engine, on one and on two threads: the same bytes.
      QVector<double> byThreads[2];
      for (int t = 0; t < 2; ++t) {
        PointRun run;
        run.setThreadCount(t + 1);
        run.setTilePoints(7);
        run.start(
          scan, kernel, [&](const RasterPoint&, const double* v) { byThreads[t].append(v[0]); });
        run.waitForEnd();
      }
      EXPECT_TRUE(lctest::sameBytes(byThreads[0], byThreads[1]));
      double sumError = 0.0;
      int n = 0;
      do {
        if (!scan.pointInside())
          continue;
        // The one-point path gives the run's value.
        const double one = calibShiftOf(spectra.at(scan.cx, scan.cy, b, b), es, locate);
        ASSERT_LT(n, byThreads[0].size());
        EXPECT_EQ(one, byThreads[0][n]);
        // The truth of a block: the mean shift of its pixels.
        double expected = 0.0;
        int pixels = 0;
        for (int y = scan.cy - b; y <= scan.cy + b; ++y)
          for (int x = scan.cx - b; x <= scan.cx + b; ++x)
            if (x >= 0 && y >= 0 && x < plan.width && y < plan.height) {
              expected += truth.shift[y * plan.width + x];
              ++pixels;
            }
        sumError += std::fabs(one - expected / pixels);
        ++n;
      } while (scan.next());
      ASSERT_GT(n, 0);
      // Placed between grid points, binned spectra come to within a fifth
      // of the 0.5 eV step.
      const double bound = (locate != EdgeLocate::Grid && b == 2) ? 0.1 : 0.3;
      EXPECT_LE(sumError / n, bound)
        << edgeLocateName(locate).toStdString() << ", binning " << b << " over " << n << " points";
    }
  }
}
