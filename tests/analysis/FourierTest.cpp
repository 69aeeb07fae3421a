#include "analysis/FourierRun.h"
#include "analysis/FourierTransformer.h"
#include "analysis/PointRun.h"

#include "input/TiffData.h"
#include "spectrum/SpectrumPoints.h"
#include "stack/StackSpectra.h"

#include "StackGen.h"
#include "support/Maps.h"
#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <cmath>
#include <complex>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Frames with chosen pixels, written as 16-bit TIFF and read back as the
// loader reads them.
class Frames
{
public:
  Frames(int w, int h)
    : m_w(w)
    , m_h(h)
  {
  }
  void add(const std::function<int(int x, int y)>& pixel)
  {
    stackgen::Counts counts(m_w * m_h);
    for (int i = 0; i < counts.size(); ++i)
      counts[i] = quint32(pixel(i % m_w, i / m_w));
    const QString name = m_dir + QStringLiteral("/f%1.tif").arg(m_frames.size());
    ASSERT_TRUE(stackgen::writeFrame(name, stackgen::Format::Tiff, m_w, m_h, counts));
    m_frames.push_back(std::make_unique<TiffData>());
    ASSERT_TRUE(m_frames.back()->read(name));
    m_frames.back()->energy = 9000.0 + m_frames.size();
  }
  StackView view() const
  {
    StackView v;
    for (const auto& f : m_frames)
      v.i1.append(f.get());
    v.width = m_w;
    v.height = m_h;
    return v;
  }
  AnalyzeCond area(int bx, int by) const { return lctest::area(m_w, m_h, bx, by, 0, 0, m_w, m_h); }

private:
  int m_w;
  int m_h;
  QString m_dir = lctest::scratchDir(QStringLiteral("Fourier"));
  std::vector<std::unique_ptr<TiffData>> m_frames;
};

// The analysis as first written: for every k, every point transformed
// again and |F_k| taken (N^2 transforms a point).
QVector<FourierRes> naiveSums(const StackView& stack, AnalyzeCond c)
{
  const int n = stack.i1.size();
  FourierTransformer t;
  QVector<FourierRes> res(n);
  for (int k = 0; k < n; ++k) {
    res[k].k = k;
    c.reset();
    do {
      const double w = boxSum(stack.i1.first(), c.cx, c.cy, c.bx, c.by);
      t.setUp(n);
      t.transform(rawSpectrumAt(stack, c.cx, c.cy, c.bx, c.by));
      const double a = t.magnitudes()[k];
      res[k].sww += w * w;
      res[k].saa += a * a;
      res[k].swa += w * a;
    } while (c.next());
  }
  return res;
}

QVector<FourierRes> runSums(const StackView& stack,
                            const AnalyzeCond& c,
                            int threads,
                            QStringList* log = nullptr)
{
  lctest::MessageCapture capture;
  FourierRun run;
  run.engine().setThreadCount(threads);
  QSignalSpy ended(&run, &FourierRun::ended);
  run.start(&c, stack);
  run.engine().waitForEnd();
  EXPECT_EQ(ended.count(), 1);
  if (log)
    *log = capture.messages();
  return run.results();
}

} // namespace

TEST(FourierTransformer, MagnitudesOfShortAndPaddedCurves)
{
  FourierTransformer t;
  // N = 1: the magnitude is |y0|.
  t.setUp(1);
  SpectrumPoints one;
  one.append(9000.0, -3.25);
  t.transform(one);
  ASSERT_EQ(t.magnitudes().size(), 1);
  EXPECT_CLOSE(t.magnitudes()[0], 3.25);

  // Points beyond the curve enter as 0: against a direct DFT of (1, 2, 0, 0, 0).
  t.setUp(5);
  SpectrumPoints two;
  two.append(1.0, 1.0);
  two.append(2.0, 2.0);
  t.transform(two);
  const QVector<double> m = t.magnitudes();
  for (int k = 0; k < 5; ++k) {
    const std::complex<double> f = 1.0 + 2.0 * std::polar(1.0, -2.0 * kPi * k / 5.0);
    EXPECT_CLOSE(m[k], std::abs(f)) << "k " << k;
  }

  // The per-thread entry gives the same numbers, bit for bit.
  const double values[] = { 1.0, 2.0 };
  FourierTransformer::Workspace ws(5);
  double mags[5];
  t.magnitudesOf(values, 2, ws, mags);
  for (int k = 0; k < 5; ++k)
    EXPECT_CLOSE(mags[k], m[k], 0.0) << "k " << k;

  // A plain array of n values.
  const double plain[] = { 1.0, 2.0, 0.0, 0.0, 0.0 };
  t.transform(plain);
  EXPECT_CLOSE(t.magnitudes()[1], m[1]);
  t.setUp(0);
  EXPECT_EQ(t.size(), 0);
}

TEST(FourierRun, OneTransformAPointGivesTheNaiveSums)
{
  Frames f(9, 7);
  const int n = 12;
  for (int k = 0; k < n; ++k)
    f.add([k](int x, int y) { return 100 + ((x * 7 + y * 13 + k * k * 5) % 97) * (1 + x % 3); });
  const AnalyzeCond c = f.area(1, 0);
  const QVector<FourierRes> naive = naiveSums(f.view(), c);
  QStringList log1;
  const QVector<FourierRes> one = runSums(f.view(), c, 1, &log1);
  QStringList log2;
  const QVector<FourierRes> two = runSums(f.view(), c, 2, &log2);
  ASSERT_EQ(one.size(), n);
  ASSERT_EQ(two.size(), n);
  EXPECT_EQ(log1.first(), QStringLiteral("2da FA 1:"));
  ASSERT_EQ(log1.size(), 1 + n);
  for (int k = 0; k < n; ++k) {
    EXPECT_CLOSE(one[k].sww, naive[k].sww) << k;
    EXPECT_CLOSE_REL(one[k].saa, naive[k].saa, 1e-15) << k;
    EXPECT_CLOSE_REL(one[k].swa, naive[k].swa, 1e-15) << k;
    // The lines as logged are the naive loop's, and do not depend on the
    // thread count.
    EXPECT_EQ(log1[1 + k], FourierRun::resLine(naive[k]));
    EXPECT_EQ(log2[1 + k], log1[1 + k]);
  }
}

TEST(FourierRun, ACosineOverTheStackPicksItsFrequency)
{
  // Pixels B + A cos(2 pi 3 i / N) with A varying over the image: of the
  // frequencies above 0 (the mean follows any intensity), |F_3| and its
  // mirror N-3 follow the first frame; the others hold rounding only.
  Frames f(16, 12);
  const int n = 16;
  for (int i = 0; i < n; ++i)
    f.add([i, n](int x, int y) {
      const double a = 200.0 + 60.0 * x + 25.0 * ((y * 5) % 7);
      return int(std::lround(1500.0 + a * std::cos(2.0 * kPi * 3.0 * i / n)));
    });
  const QVector<FourierRes> res = runSums(f.view(), f.area(0, 0), 2);
  ASSERT_EQ(res.size(), n);
  const double c3 = std::fabs(res[3].correlation());
  EXPECT_GT(c3, 0.95);
  EXPECT_CLOSE(res[3].correlation(), res[n - 3].correlation(), 1e-9);
  for (int k = 1; k < n; ++k) {
    if (k == 3 || k == n - 3)
      continue;
    // nan (no magnitude at all) counts as below.
    EXPECT_FALSE(std::fabs(res[k].correlation()) >= c3 - 0.01) << k;
  }
}

TEST(FourierRun, ZeroSumsLogNanAndEmptyStacksDoNothing)
{
  Frames f(4, 3);
  for (int k = 0; k < 3; ++k)
    f.add([](int, int) { return 0; });
  QStringList log;
  runSums(f.view(), f.area(0, 0), 2, &log);
  ASSERT_EQ(log.size(), 4);
  EXPECT_EQ(log[1], QStringLiteral("Res 0 0 0 0 nan"));
  EXPECT_EQ(log[3], QStringLiteral("Res 2 0 0 0 nan"));

  // N = 0 and no area: nothing logged, the run still ends once.
  lctest::MessageCapture capture;
  FourierRun run;
  QSignalSpy ended(&run, &FourierRun::ended);
  const AnalyzeCond c = f.area(0, 0);
  EXPECT_FALSE(run.start(&c, StackView()));
  EXPECT_FALSE(run.start(nullptr, f.view()));
  EXPECT_EQ(ended.count(), 2);
  EXPECT_TRUE(capture.messages().isEmpty());
}

TEST(FourierRun, StopEndsOnceWithoutResults)
{
  Frames f(40, 30);
  for (int k = 0; k < 8; ++k)
    f.add([k](int x, int y) { return 100 + x + y + k; });
  lctest::MessageCapture capture;
  FourierRun run;
  run.engine().setThreadCount(1);
  run.engine().setTilePoints(1);
  QSignalSpy ended(&run, &FourierRun::ended);
  const AnalyzeCond c = f.area(0, 0);
  ASSERT_TRUE(run.start(&c, f.view()));
  run.stop();
  run.stop();
  ASSERT_EQ(ended.count(), 1);
  EXPECT_FALSE(ended.first().first().toBool());
  EXPECT_EQ(capture.count(QStringLiteral("Res ")), 0);
  EXPECT_TRUE(capture.has(QStringLiteral("2da FA stopped")));
  // The plans stay for the next run of the same length.
  EXPECT_EQ(run.transformer().size(), 8);
}
