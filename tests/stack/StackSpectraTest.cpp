#include "stack/StackSpectra.h"

#include "input/TiffData.h"
#include "spectrum/XafsSpectrum.h"
#include "stack/AbsorptionRow.h"

#include "support/TestData.h"
#include "support/Tolerance.h"

#include "GeneratedStack.h"
#include "StackGen.h"

#include <QVector>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kW = 6;
constexpr int kH = 5;

// Frames with exactly known pixels, written by the stack generator as 16-bit
// TIFF and read back the way the loader reads them.
class Stack
{
public:
  TiffData* frame(double energy, const std::function<int(int, int)>& pixel)
  {
    stackgen::Counts counts(kW * kH);
    for (int i = 0; i < counts.size(); ++i)
      counts[i] = quint32(pixel(i % kW, i / kW));
    const QString name = m_dir + QStringLiteral("/f%1.tif").arg(m_frames.size());
    EXPECT_TRUE(stackgen::writeFrame(name, stackgen::Format::Tiff, kW, kH, counts));
    m_frames.push_back(std::make_unique<TiffData>());
    EXPECT_TRUE(m_frames.back()->read(name)) << name.toStdString();
    m_frames.back()->energy = energy;
    return m_frames.back().get();
  }
  TiffData* flat(double energy, int value)
  {
    return frame(energy, [value](int, int) { return value; });
  }

private:
  // One folder per test: ctest runs the tests of this file side by side.
  QString m_dir = lctest::scratchDir(QStringLiteral("StackSpectra"));
  std::vector<std::unique_ptr<TiffData>> m_frames;
};

int ramp(int x, int y, int i)
{
  return 100 + 10 * x + y + 7 * i;
}

} // namespace

// A single pixel without I0 frames has unit incident intensity, so
// mu = -ln(I1 - D); the raw spectrum keeps the undarkened sums. A box partly
// outside sums its inside pixels but still counts the whole box as I0.
TEST(StackSpectra, SinglePixelAndClippedBox)
{
  Stack st;
  StackView v;
  for (int i = 0; i < 3; ++i)
    v.i1.append(st.frame(8000.0 + 10 * i, [i](int x, int y) { return ramp(x, y, i); }));
  v.dark = st.flat(0.0, 2);
  v.width = kW;
  v.height = kH;

  const SpectrumPoints mu = spectrumAt(v, 3, 2, 0, 0);
  const SpectrumPoints raw = rawSpectrumAt(v, 3, 2, 0, 0);
  ASSERT_EQ(mu.points.size(), 3);
  ASSERT_EQ(raw.points.size(), 3);
  EXPECT_CLOSE(mu.points[2].x(), 8020.0);
  for (int i = 0; i < 3; ++i) {
    EXPECT_CLOSE(mu.points[i].y(), -std::log(ramp(3, 2, i) - 2.0));
    EXPECT_CLOSE(raw.points[i].y(), ramp(3, 2, i));
  }

  // Corner box of 3 x 3 with 4 pixels inside; the dark sums over them too.
  const SpectrumPoints corner = spectrumAt(v, 0, 0, 1, 1);
  ASSERT_EQ(corner.points.size(), 3);
  const double inside = ramp(0, 0, 0) + ramp(1, 0, 0) + ramp(0, 1, 0) + ramp(1, 1, 0);
  EXPECT_CLOSE(corner.points[0].y(), std::log(9.0 / (inside - 4 * 2.0)));

  EXPECT_TRUE(spectrumAt(v, kW, 0, 0, 0).points.isEmpty());
  EXPECT_TRUE(spectrumAt(v, 0, -1, 0, 0).points.isEmpty());
  EXPECT_TRUE(rawSpectrumAt(v, -1, 0, 0, 0).points.isEmpty());
}

// I0 frames interpolate in energy (the interpolation itself is pinned with
// the frames) and sum over the box; without I0 frames I0 = 1 - D.
TEST(StackSpectra, IncidentBeam)
{
  Stack st;
  StackView v;
  v.width = kW;
  v.height = kH;
  v.useI0 = true;
  v.i0 << st.flat(10.0, 100) << st.flat(20.0, 200) << st.flat(30.0, 400);
  v.i1 << st.flat(5.0, 40) << st.flat(25.0, 60) << st.flat(35.0, 80);
  EXPECT_CLOSE(i0At(v, 25.0, 1, 1, 1, 0), 900.0); // a 3 x 1 box sums three pixels
  EXPECT_CLOSE(spectrumAt(v, 1, 1, 0, 0).points[2].y(), std::log(500.0 / 80.0));

  v.i0.clear();
  v.dark = st.flat(0.0, 0);
  EXPECT_CLOSE(i0At(v, 25.0, 1, 1, 0, 0), 1.0);
  EXPECT_CLOSE(spectrumAt(v, 1, 1, 0, 0).points[1].y(), std::log(1.0 / 60.0));
}

// Points without a usable ratio hold 1.0 and never a non-finite value: an
// I1 at the dark level, a total-I0 spectrum shorter than the stack, and in
// fluorescence mode a zero I0.
TEST(StackSpectra, PointsWithoutUsableRatio)
{
  Stack st;
  StackView v;
  v.width = kW;
  v.height = kH;
  v.i1 << st.flat(1.0, 50) << st.flat(2.0, 80) << st.flat(3.0, 90);
  v.dark = st.flat(0.0, 50);
  SpectrumPoints mu = spectrumAt(v, 2, 2, 0, 0);
  EXPECT_CLOSE(mu.points[0].y(), 1.0);
  EXPECT_CLOSE(mu.points[1].y(), -std::log(30.0));

  // The total-I0 spectrum matches by index, overrides UseI0 and gives I0 = 0
  // past its end.
  v.dark = nullptr;
  v.useI0 = true;
  v.i0 << st.flat(1.0, 7);
  v.totalI0 = { 1000.0, 2000.0 };
  mu = spectrumAt(v, 2, 2, 0, 0);
  ASSERT_EQ(mu.points.size(), 3);
  EXPECT_CLOSE(mu.points[0].y(), std::log(1000.0 / 50.0));
  EXPECT_CLOSE(mu.points[1].y(), std::log(2000.0 / 80.0));
  EXPECT_CLOSE(mu.points[2].y(), 1.0);

  v.fluoType = true;
  mu = spectrumAt(v, 2, 2, 0, 0);
  EXPECT_CLOSE(mu.points[1].y(), 80.0 / 2000.0);
  EXPECT_CLOSE(mu.points[2].y(), 1.0);
  for (const QPointF& p : mu.points)
    EXPECT_TRUE(std::isfinite(p.y()));
}

// The spectra's own logarithm: within an ulp or two of the library's over
// the ratios a stack gives, the edge cases decided as before, and a value
// the same alone as among others (the single point and a run's batch).
TEST(StackSpectra, AbsorptionLogarithm)
{
  for (double x : { 1.0,
                    1.0 + 1e-15,
                    0.7,
                    1.4142135623730951,
                    1.5,
                    2.0,
                    3e-5,
                    47.3,
                    6e4,
                    1e300,
                    3e-300,
                    4e-320 }) {
    SCOPED_TRACE(x);
    EXPECT_CLOSE_REL(absorptionLog(x), std::log(x), 4e-16);
  }
  const std::vector<double> i0 = { 100.0, 0.0, 5.0, -2.0, 1e308, 7.0, 9.0 };
  const std::vector<double> i1 = { 50.0, 5.0, 0.0, -3.0, 1e-308, 7.0, 3.0 };
  std::vector<double> row(i0.size());
  transmissionRow(i0.data(), i1.data(), row.data(), int(row.size()));
  const std::vector<double> expected = { std::log(2.0), 1.0, 1.0,          std::log(2.0 / 3.0),
                                         1.0,           0.0, std::log(3.0) };
  for (size_t j = 0; j < row.size(); ++j) {
    SCOPED_TRACE(j);
    EXPECT_CLOSE(row[j], expected[j], 1e-15);
    double alone = 0.0;
    transmissionRow(&i0[j], &i1[j], &alone, 1);
    EXPECT_EQ(std::memcmp(&alone, &row[j], sizeof alone), 0);
  }
}

// Profiles: one box sum per pixel along the line, or its absorption against
// the interpolated I0; nothing for a line outside the stack.
TEST(StackSpectra, Profiles)
{
  Stack st;
  StackView v;
  v.width = kW;
  v.height = kH;
  TiffData* f = st.frame(15.0, [](int x, int y) { return ramp(x, y, 0); });
  v.i0 << st.flat(10.0, 1000) << st.flat(20.0, 3000);

  const SpectrumPoints row = rowProfile(v, f, 1, 0, 0, false);
  ASSERT_EQ(row.points.size(), kW);
  EXPECT_CLOSE(row.points[4].x(), 4.0);
  EXPECT_CLOSE(row.points[4].y(), ramp(4, 1, 0));

  const SpectrumPoints col = columnProfile(v, f, 2, 0, 1, true);
  ASSERT_EQ(col.points.size(), kH);
  const double sum = ramp(2, 1, 0) + ramp(2, 2, 0) + ramp(2, 3, 0);
  EXPECT_CLOSE(col.points[2].y(), std::log(3 * 2000.0 / sum));

  EXPECT_TRUE(rowProfile(v, f, kH, 0, 0, false).points.isEmpty());
  EXPECT_TRUE(columnProfile(v, f, -1, 0, 0, false).points.isEmpty());
  EXPECT_TRUE(rowProfile(v, nullptr, 0, 0, 0, false).points.isEmpty());
  EXPECT_CLOSE(boxSum(nullptr, 0, 0, 1, 1), 0.0);
}

// The generated physical stack (I0 with gradient and drift, dark, noise):
// where component 0 is pure, the normalised spectrum of the pixel column
// box finds its edge within 1 eV of the component's edge plus the pixel's
// shift.
TEST(StackSpectra, PhysicalStackEdge)
{
  stackgen::StackSpec plan;
  plan.width = 12;
  plan.height = 8;
  for (double e = 8940.0; e <= 9040.0; e += 0.5)
    plan.energies.append(e);
  const GeneratedStack stack(plan);
  ASSERT_TRUE(stack.ok());
  const stackgen::StackTruth& truth = stack.truth();
  const StackView v = stack.view();

  const int y = truth.height / 2;
  ASSERT_CLOSE(truth.fractions[0][y * truth.width], 1.0, 1e-9);
  const SpectrumPoints mu = spectrumAt(v, 0, y, 0, 1);
  ASSERT_EQ(mu.size(), truth.energies.size());
  const XafsSpectrum s(mu, QStringLiteral("body-show"), 0, 0.0, -1.0, -20.0, 20.0);
  EXPECT_CLOSE(s.midx, truth.components[0].edge + truth.shift[y * truth.width], 1.0);
}
