#include "analysis/ComponentRun.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/Components.h"
#include "analysis/LcfRun.h"
#include "analysis/PointRun.h"

#include "GeneratedStack.h"
#include "support/Maps.h"
#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <QTemporaryDir>
#include <QTest>
#include <random>

#include <cstring>
#include <memory>

namespace {

constexpr int W = 24;
constexpr int H = 12;

// Three compounds with edges 5 eV apart, each alone in a third of the image
// (columns 0-7, 8-15, 16-23), noise-free and without energy shifts.
stackgen::StackSpec threeRegions()
{
  stackgen::StackSpec plan;
  plan.width = W;
  plan.height = H;
  plan.noise = false;
  plan.shift = QVector<double>(W * H, 0.0);
  for (int c = 0; c < 3; ++c) {
    stackgen::Component comp;
    comp.name = QStringLiteral("c%1").arg(c);
    comp.edge = 8974.0 + 5.0 * c;
    comp.whiteLine = 0.3 + 0.4 * c;
    plan.components.append(comp);
    QVector<double> f(W * H, 0.0);
    for (int y = 0; y < H; ++y)
      for (int x = 8 * c; x < 8 * c + 8; ++x)
        f[y * W + x] = 1.0;
    plan.fractions.append(f);
  }
  return plan;
}

int regionOf(int x)
{
  return x / 8;
}

class ComponentWorld
{
public:
  ComponentWorld()
    : stack(threeRegions())
  {
  }
  ComponentSetup setup(int components, int clusters = 0) const
  {
    ComponentSetup s;
    s.spectra = PointSpectra(stack.view(), 1, -1.0);
    s.components = components;
    s.clusters = clusters;
    return s;
  }
  static AnalyzeCond area() { return lctest::wholeArea(W, H); }
  bool run(ComponentRun& r, const ComponentSetup& s, int threads = 0)
  {
    if (threads > 0)
      r.engine().setThreadCount(threads);
    QSignalSpy ended(&r, &ComponentRun::ended);
    const AnalyzeCond c = area();
    const bool started = r.start(&c, s);
    r.waitForEnd();
    EXPECT_EQ(ended.count(), 1);
    return started;
  }

  GeneratedStack stack;
};

XafsSpectrum reference(const QString& file)
{
  XafsSpectrum s;
  s.load(file);
  s.normalize(1);
  return s;
}

} // namespace

TEST(Components, PcaOfRankTwoDataAndKMeansOfSeparatedGroups)
{
  // Rows a + t*b + u*c: two directions, so two components hold everything.
  std::vector<double> data;
  const int rows = 40, cols = 5;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      data.push_back(1.0 + (r % 7) * (c + 1) + (r % 3) * (c == 2 ? 4.0 : -1.0));
  const components::Pca pca = components::decompose(data, rows, cols);
  ASSERT_EQ(pca.explained.size(), cols);
  EXPECT_CLOSE(pca.explained[0] + pca.explained[1], 1.0, 1e-12);
  EXPECT_EQ(components::componentsAboveNoise(pca, rows, 2), 2);
  EXPECT_EQ(components::componentsAboveNoise(pca, rows, 4), 4);

  // Three directions under white noise: the three stand above the noise
  // floor, where 99 % of the variance takes most of the noise as well.
  std::mt19937 gen(7);
  std::normal_distribution<double> noise(0.0, 1.0);
  const int nRows = 3000, nCols = 60;
  std::vector<double> noisy;
  for (int r = 0; r < nRows; ++r)
    for (int c = 0; c < nCols; ++c)
      noisy.push_back(4.0 * std::sin(r * 0.37) * std::cos(c * 0.1) + 2.0 * (r % 5) * (c % 3 == 0) +
                      1.0 * std::cos(r * 1.3) * (c > 30) + noise(gen));
  const components::Pca p = components::decompose(noisy, nRows, nCols);
  double threshold = 0.0;
  EXPECT_EQ(components::componentsAboveNoise(p, nRows, 2, &threshold), 3);
  EXPECT_GT(threshold, 0.0);
  double share = 0.0;
  int n99 = 0;
  while (share < 0.99)
    share += p.explained[n99++];
  EXPECT_GT(n99, 30);

  std::vector<double> pts;
  for (int r = 0; r < 30; ++r) {
    pts.push_back(10.0 * (r % 3) + 0.01 * r);
    pts.push_back(-5.0 * (r % 3));
  }
  const components::KMeans km = components::kmeans(pts, 30, 2, 3);
  for (int r = 3; r < 30; ++r)
    EXPECT_EQ(km.labels[size_t(r)], km.labels[size_t(r % 3)]);
  EXPECT_NE(km.labels[0], km.labels[1]);
  EXPECT_NE(km.labels[1], km.labels[2]);
  EXPECT_NE(km.labels[0], km.labels[2]);
}

TEST(Components, KMeansAndPcaAreTheSameForAnyThreadCount)
{
  // Enough rows for the assignment to be split; a fixed pseudo-random cloud.
  const int rows = 20000, dims = 3;
  std::vector<double> pts;
  quint32 state = 7;
  for (int i = 0; i < rows * dims; ++i) {
    state = state * 1664525u + 1013904223u;
    pts.push_back(double(state >> 8) / double(1 << 24) + (i / dims % 4));
  }
  const components::KMeans one = components::kmeans(pts, rows, dims, 4, 3, 300, 11, 1);
  const components::Pca p1 = components::decompose(pts, rows, dims, 1);
  EXPECT_LE(one.iterations, 300);
  for (int threads : { 2, 3 }) {
    // One team for every loop, as a run has: the seeding, hundreds of
    // assignment rounds, the decomposition (the rows span several chunks)
    // and the scores.
    components::Team team(threads);
    const components::KMeans km = components::kmeans(pts, rows, dims, 4, 3, 300, 11, team);
    EXPECT_EQ(one.labels, km.labels) << threads;
    EXPECT_EQ(std::memcmp(&one.inertia, &km.inertia, sizeof(double)), 0) << threads;
    const components::Pca p = components::decompose(pts, rows, dims, team);
    EXPECT_EQ(p1.vectors, p.vectors) << threads;
    EXPECT_EQ(p1.variance, p.variance) << threads;
    EXPECT_EQ(components::scores(p1, pts, rows, 2, 1), components::scores(p1, pts, rows, 2, team))
      << threads;
  }
}

TEST(ComponentRun, ThreeCompoundsGiveThreeClustersAndTheirSpectra)
{
  ComponentWorld w;
  ASSERT_TRUE(w.stack.ok());
  ComponentRun run;
  ASSERT_TRUE(w.run(run, w.setup(2)));
  ASSERT_EQ(run.maps().size(), 2);
  EXPECT_EQ(run.maps()[0]->name(), QStringLiteral("PCA Score 1"));
  EXPECT_EQ(run.maps()[1]->name(), QStringLiteral("PCA Score 2"));
  EXPECT_GE(run.explained()[0] + run.explained()[1], 0.99);
  EXPECT_EQ(run.pointsUsed(), W * H);

  ASSERT_TRUE(w.run(run, w.setup(2, 3)));
  ASSERT_EQ(run.clusters().size(), 3);
  const Analyzed2DRes* map = run.clusterMap();
  ASSERT_EQ(run.maps().last(), map);
  EXPECT_EQ(map->name(), QStringLiteral("Cluster Map"));
  // Clusters are numbered by their edge, and the compounds' edges rise with
  // their region: cluster c+1 is region c.
  int right = 0;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      right += int(map->valueAt(x, y)) == regionOf(x) + 1 ? 1 : 0;
  EXPECT_GE(right, int(0.95 * W * H));
  int total = 0;
  for (int c = 0; c < 3; ++c) {
    total += run.clusters()[c].count;
    const XafsSpectrum ref = reference(w.stack.truth().referenceFiles[c]);
    const XafsSpectrum& mean = run.clusters()[c].spectrum;
    double worst = 0.0;
    for (int i = 0; i < mean.size(); ++i)
      worst =
        std::max(worst, std::abs(mean.value(i) - ref.doubleNormalizedPreBase(mean.energy(i))));
    EXPECT_LT(worst, 0.03) << "cluster " << c + 1;
  }
  EXPECT_EQ(total, W * H);
}

TEST(ComponentRun, ResultsAreBitIdenticalForOneAndTwoThreads)
{
  ComponentWorld w;
  ASSERT_TRUE(w.stack.ok());
  QVector<QVector<double>> maps[2];
  QVector<QVector<double>> means[2];
  for (int t = 0; t < 2; ++t) {
    ComponentRun run;
    ASSERT_TRUE(w.run(run, w.setup(2, 3), t + 1));
    for (const Analyzed2DRes* m : run.maps())
      maps[t].append(m->data());
    for (const ClusterMean& c : run.clusters()) {
      QVector<double> v;
      for (int i = 0; i < c.spectrum.size(); ++i)
        v.append(c.spectrum.value(i));
      means[t].append(v);
    }
  }
  EXPECT_TRUE(lctest::sameBytes(maps[0], maps[1]));
  ASSERT_EQ(means[0].size(), 3);
  EXPECT_TRUE(lctest::sameBytes(means[0], means[1]));
}

// The decomposition runs on a thread of its own after the gather: the
// results and the end reach the owner through its event loop; a stop while
// it works ends the run once and keeps the last results, and a run destroyed
// meanwhile takes its thread down with it.
TEST(ComponentRun, DecompositionEndsThroughTheEventLoopAndCanBeStopped)
{
  ComponentWorld w;
  ASSERT_TRUE(w.stack.ok());
  ComponentRun run;
  ASSERT_TRUE(w.run(run, w.setup(2, 3)));
  const QVector<double> clustered = run.clusterMap()->data();
  const int mapsBefore = run.maps().size();
  const AnalyzeCond area = w.area();

  QSignalSpy ended(&run, &ComponentRun::ended);
  ASSERT_TRUE(run.start(&area, w.setup(2, 3)));
  run.engine().waitForEnd();
  EXPECT_TRUE(run.isRunning());
  EXPECT_EQ(ended.count(), 0);
  ASSERT_TRUE(ended.wait(20000));
  EXPECT_EQ(ended.count(), 1);
  EXPECT_FALSE(run.isRunning());
  EXPECT_EQ(run.clusterMap()->data(), clustered);

  ended.clear();
  ASSERT_TRUE(run.start(&area, w.setup(4)));
  run.engine().waitForEnd();
  run.stop();
  EXPECT_EQ(ended.count(), 1);
  EXPECT_FALSE(run.isRunning());
  QTest::qWait(50); // a post from the stopped thread changes nothing
  EXPECT_EQ(ended.count(), 1);
  EXPECT_EQ(run.maps().size(), mapsBefore); // the scores and the cluster map, as before
  EXPECT_EQ(run.clusters().size(), 3);

  auto doomed = std::make_unique<ComponentRun>();
  QSignalSpy doomedEnded(doomed.get(), &ComponentRun::ended);
  ASSERT_TRUE(doomed->start(&area, w.setup(2, 3)));
  doomed->engine().waitForEnd();
  doomed.reset();
  QTest::qWait(50);
  EXPECT_EQ(doomedEnded.count(), 0);
}

TEST(ComponentRun, SavedClusterMeansFitTheirOwnRegionsAsReferences)
{
  ComponentWorld w;
  ASSERT_TRUE(w.stack.ok());
  ComponentRun run;
  ASSERT_TRUE(w.run(run, w.setup(2, 3)));
  QTemporaryDir dir;
  const QString base = dir.filePath(QStringLiteral("cl"));
  ASSERT_TRUE(run.saveClusterSpectra(base));
  QVector<RefSnapshot> refs;
  for (int c = 1; c <= 3; ++c) {
    XafsSpectrum s;
    ASSERT_TRUE(s.load(QStringLiteral("%1-%2.dat").arg(base).arg(c)));
    s.normalize(1);
    refs.append(RefSnapshot::take(s, 0.0, false, true, true));
  }
  std::vector<std::unique_ptr<Analyzed2DRes>> owned;
  LcfRunMaps maps;
  for (int c = 0; c < 3; ++c) {
    owned.push_back(std::make_unique<Analyzed2DRes>());
    maps.amounts.append(owned.back().get());
    owned.push_back(std::make_unique<Analyzed2DRes>());
    maps.fractions.append(owned.back().get());
  }
  owned.push_back(std::make_unique<Analyzed2DRes>());
  maps.zansa = owned.back().get();
  LcfRunSetup setup;
  setup.spectra = PointSpectra(w.stack.view(), 1, -1.0);
  setup.refs = refs;
  LcfRun lcf;
  const AnalyzeCond c = w.area();
  ASSERT_TRUE(lcf.start(&c, setup, maps));
  lcf.engine().waitForEnd();
  for (int y = 1; y < H; y += 3)
    for (int x = 1; x < W; x += 3)
      if (x % 8 != 7 && x % 8 != 0) { // away from the region borders
        EXPECT_GT(maps.fractions[regionOf(x)]->valueAt(x, y), 0.9) << x << "," << y;
      }

  lctest::MessageCapture log;
  EXPECT_FALSE(run.saveClusterSpectra(dir.filePath(QStringLiteral("none/x"))));
  EXPECT_TRUE(log.has(QStringLiteral("Cluster spectra not saved: cannot write %1")
                        .arg(dir.filePath(QStringLiteral("none/x-1.dat")))));
}

TEST(ComponentRun, RefusalsSayWhyEndOnceAndKeepTheLastResults)
{
  ComponentWorld w;
  ASSERT_TRUE(w.stack.ok());
  ComponentRun run;
  ASSERT_TRUE(w.run(run, w.setup(2, 3)));
  const QVector<double> before = run.clusterMap()->data();

  struct Case
  {
    ComponentSetup setup;
    bool image;
    QString line;
  };
  ComponentSetup k1 = w.setup(2, 1);
  ComponentSetup kBig = w.setup(2, W * H + 1);
  ComponentSetup n0 = w.setup(0);
  ComponentSetup clusterN0 = w.setup(2, 3);
  clusterN0.autoScores = false;
  clusterN0.clusterScores = 0;
  const Case cases[] = {
    { w.setup(2), false, QStringLiteral("PCA not started: no image loaded") },
    { n0, true, QStringLiteral("PCA not started: the number of components must be at least 1") },
    { clusterN0,
      true,
      QStringLiteral("Cluster analysis not started: the number of components must be at least 1") },
    { k1,
      true,
      QStringLiteral("Cluster analysis not started: the number of clusters must be at least 2") },
    { kBig,
      true,
      QStringLiteral("Cluster analysis not started: %1 clusters but only %2 points in the area")
        .arg(W * H + 1)
        .arg(W * H) },
  };
  for (const Case& c : cases) {
    lctest::MessageCapture log;
    QSignalSpy ended(&run, &ComponentRun::ended);
    const AnalyzeCond area = w.area();
    EXPECT_FALSE(run.start(c.image ? &area : nullptr, c.setup));
    EXPECT_EQ(ended.count(), 1) << c.line.toStdString();
    EXPECT_TRUE(log.has(c.line)) << c.line.toStdString();
    EXPECT_EQ(run.clusters().size(), 3);
    EXPECT_EQ(run.clusterMap()->data(), before);
  }
}

TEST(ComponentRun, PointsWithoutFiniteSpectraAreLeftOutAndCounted)
{
  ComponentWorld w;
  ASSERT_TRUE(w.stack.ok());
  ComponentSetup s = w.setup(2, 3);
  // A shift map read from a damaged file: not a number on the leftmost
  // column, so the spectra there cannot be placed on the grid.
  EnergyShiftView shifts;
  shifts.width = W;
  shifts.height = H;
  shifts.area = QRect(0, 0, W, H);
  shifts.values = QVector<double>(W * H, 0.0);
  for (int y = 0; y < H; ++y)
    shifts.values[y * W] = qQNaN();
  s.spectra = PointSpectra(w.stack.view(), 1, -1.0, shifts);
  const AnalyzeCond c = w.area();
  ComponentRun run;
  lctest::MessageCapture log;
  ASSERT_TRUE(run.start(&c, s));
  run.waitForEnd();
  EXPECT_TRUE(
    log.has(QStringLiteral("Cluster analysis: %1 spectra with non-finite values left out").arg(H)));
  EXPECT_EQ(run.pointsLeftOut(), H);
  EXPECT_EQ(run.pointsUsed(), W * H - H);
  for (int y = 0; y < H; ++y) {
    EXPECT_EQ(run.clusterMap()->valueAt(0, y), 0.0);
    EXPECT_EQ(run.clusterMap()->valueAt(1, y), 1.0);
  }
}
