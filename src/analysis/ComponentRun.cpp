#include "analysis/ComponentRun.h"

#include "analysis/Analyzed2DRes.h"
#include "analysis/Components.h"
#include "analysis/GridSpectraKernel.h"
#include "analysis/PointRun.h"
#include "app/TextItems.h"

#include <QCoreApplication>
#include <QDebug>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

QString runTitle(const ComponentSetup& s)
{
  return s.clusters > 0 ? QStringLiteral("Cluster analysis") : QStringLiteral("PCA");
}

} // namespace

// What the decomposition thread gets (the gathered spectra, moved in) and
// gives back. It touches nothing else, so the owner's thread goes on.
struct ComponentRun::Decomposition
{
  // In.
  std::vector<double> data; // usable spectra, one a row
  std::vector<Point> points;
  QVector<double> grid;
  ComponentSetup setup;
  int threads = 1;
  std::atomic<bool> cancel{ false };
  // Out.
  QVector<double> explained;
  ScoreChoice choice; // how many scores the clustering used, and why
  int nMaps = 0;
  int stride = 0;
  std::vector<double> scores; // rows x stride
  bool clustered = false;
  std::vector<int> number; // cluster number (1..k) per row
  QVector<ClusterMean> clusters;

  void run();
};

QString scoreChoiceLine(const ScoreChoice& c, bool translated)
{
  static const char* const texts[] = {
    QT_TRANSLATE_NOOP("ComponentRun", "%1 scores, as asked"),
    QT_TRANSLATE_NOOP("ComponentRun",
                      "%1 scores: the components above the noise floor (singular values above "
                      "%2; the next is %3)"),
  };
  if (c.how == ScoreChoice::None)
    return QString();
  const char* text = texts[c.how == ScoreChoice::Asked ? 0 : 1];
  QString line =
    translated ? QCoreApplication::translate("ComponentRun", text) : QString::fromLatin1(text);
  line = line.arg(c.scores);
  if (c.how == ScoreChoice::AboveNoise)
    line = line.arg(c.threshold, 0, 'g', 3).arg(c.next, 0, 'g', 3);
  return line;
}

void ComponentRun::Decomposition::run()
{
  const int rows = int(points.size());
  const int m = grid.size();
  const int k = setup.clusters;
  // One team for every loop of the run (k-means alone runs hundreds).
  components::Team team(threads);
  const components::Pca pca = components::decompose(data, rows, m, team);
  if (cancel)
    return;
  int nScores = 0;
  if (k > 0 && setup.autoScores) {
    double threshold = 0.0;
    nScores = std::min(m, components::componentsAboveNoise(pca, rows, 2, &threshold));
    const double next = nScores < pca.variance.size()
                          ? std::sqrt(std::max(0.0, pca.variance[nScores]) * std::max(1, rows - 1))
                          : 0.0;
    choice = { ScoreChoice::AboveNoise, nScores, threshold, next };
  } else if (k > 0) {
    nScores = std::min(m, setup.clusterScores);
    choice = { ScoreChoice::Asked, nScores, 0.0, 0.0 };
  }
  nMaps = k > 0 ? nScores : std::min(setup.components, m);
  stride = std::max(nMaps, nScores);
  scores = components::scores(pca, data, rows, stride, team);
  explained = pca.explained;
  if (k <= 0 || cancel)
    return;

  std::vector<double> x(size_t(rows) * nScores);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < nScores; ++c)
      x[size_t(r) * nScores + c] = scores[size_t(r) * stride + c];
  const components::KMeans km =
    components::kmeans(x, rows, nScores, k, 5, 300, 0x4c756d61u, team, &cancel);
  if (cancel)
    return;
  std::vector<double> sums;
  std::vector<int> counts;
  components::clusterSums(data, rows, m, km.labels, k, team, sums, counts);
  QVector<ClusterMean> means(k);
  for (int c = 0; c < k; ++c) {
    means[c].count = counts[size_t(c)];
    SpectrumPoints pts;
    for (int i = 0; i < m; ++i)
      pts.append(grid[i], means[c].count > 0 ? sums[size_t(c) * m + i] / means[c].count : 0.0);
    means[c].spectrum = XafsSpectrum(
      pts, QString(), setup.spectra.mode, 0.0, setup.spectra.suggestedEeV, -10.0, 10.0);
  }
  // Numbered by the edge position of the mean, lowest first, so the numbers
  // do not depend on the seeding.
  std::vector<int> order(static_cast<size_t>(k));
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&means](int a, int b) {
    return means[a].spectrum.midx < means[b].spectrum.midx;
  });
  std::vector<int> numberOf(static_cast<size_t>(k));
  for (int i = 0; i < k; ++i) {
    numberOf[size_t(order[size_t(i)])] = i + 1;
    ClusterMean cm = means[order[size_t(i)]];
    cm.spectrum.name = QStringLiteral("Cluster %1").arg(i + 1);
    clusters.append(cm);
  }
  number.resize(size_t(rows));
  for (int r = 0; r < rows; ++r)
    number[size_t(r)] = numberOf[size_t(km.labels[size_t(r)])];
  clustered = true;
}

ComponentRun::ComponentRun(QObject* parent)
  : QObject(parent)
  , m_engine(std::make_unique<PointRun>())
  , m_clusterMap(std::make_unique<Analyzed2DRes>(QStringLiteral("Cluster Map")))
{
  connect(m_engine.get(), &PointRun::rowStarted, this, [this](int, double percent) {
    emit progress(percent);
  });
  connect(m_engine.get(), &PointRun::ended, this, &ComponentRun::engineEnded);
}

ComponentRun::~ComponentRun()
{
  if (m_job)
    m_job->cancel = true;
  if (m_worker.joinable())
    m_worker.join();
}

bool ComponentRun::isRunning() const
{
  return m_engine->isRunning() || m_job;
}

void ComponentRun::stop()
{
  if (m_engine->isRunning()) {
    m_engine->stop();
    return;
  }
  if (!m_job)
    return;
  m_job->cancel = true;
  decompositionDone(m_job);
}

void ComponentRun::waitForEnd()
{
  m_engine->waitForEnd();
  if (m_job)
    decompositionDone(m_job);
}

QVector<Analyzed2DRes*> ComponentRun::maps() const
{
  QVector<Analyzed2DRes*> all;
  for (int i = 0; i < m_scoreMaps; ++i)
    all.append(m_scoreMapPool[size_t(i)].get());
  if (m_clustered)
    all.append(m_clusterMap.get());
  return all;
}

bool ComponentRun::refuse(const QString& why, const QString& shown)
{
  qDebug().noquote() << why;
  emit refused(shown);
  emit ended();
  return false;
}

bool ComponentRun::start(const AnalyzeCond* area, const ComponentSetup& setup)
{
  if (isRunning())
    stop();
  const bool clustering = setup.clusters != 0;
  // The log's line in English, the window's in its language.
  auto refuseWith = [&](const char* reason, const QStringList& numbers = {}) {
    QString english = QString::fromLatin1(reason);
    QString local = QCoreApplication::translate("Refusal", reason);
    for (const QString& n : numbers) {
      english = english.arg(n);
      local = local.arg(n);
    }
    return refuse(
      runTitle(setup) + QStringLiteral(" not started: ") + english,
      (setup.clusters > 0 ? tr("Cluster analysis not started: %1") : tr("PCA not started: %1"))
        .arg(local));
  };
  if (!area)
    return refuseWith(QT_TRANSLATE_NOOP("Refusal", "no image loaded"));
  if (clustering ? !setup.autoScores && setup.clusterScores < 1 : setup.components < 1)
    return refuseWith(QT_TRANSLATE_NOOP("Refusal", "the number of components must be at least 1"));
  const PointRaster raster(*area);
  int inside = 0;
  int first = -1;
  for (int i = 0; i < raster.count(); ++i)
    if (raster.at(i).inside) {
      ++inside;
      if (first < 0)
        first = i;
    }
  if (clustering && setup.clusters < 2)
    return refuseWith(QT_TRANSLATE_NOOP("Refusal", "the number of clusters must be at least 2"));
  if (setup.clusters > inside)
    return refuseWith(QT_TRANSLATE_NOOP("Refusal", "%1 clusters but only %2 points in the area"),
                      { QString::number(setup.clusters), QString::number(inside) });
  if (inside < 2)
    return refuseWith(QT_TRANSLATE_NOOP("Refusal", "fewer than two points in the area"));
  const RasterPoint p0 = raster.at(first);
  QVector<double> grid = GridSpectraKernel::sampleGrid(
    setup.spectra, p0.cx, p0.cy, p0.bx, p0.by, setup.fitLo, setup.fitHi);
  if (grid.size() < 2)
    return refuseWith(QT_TRANSLATE_NOOP("Refusal", "fewer than two energies in the fitting range"));

  m_setup = setup;
  m_cond = *area;
  m_cond.reset();
  m_runGrid = grid;
  m_data.clear();
  m_data.reserve(size_t(inside) * size_t(grid.size()));
  m_points.clear();
  m_points.reserve(size_t(inside));
  m_runLeftOut = 0;
  auto kernel = std::make_shared<GridSpectraKernel>(setup.spectra, grid);
  emit progress(0.0);
  logWithTime(runTitle(setup) + QStringLiteral(" start"));
  const int m = grid.size();
  m_engine->start(m_cond, kernel, [this, m](const RasterPoint& p, const double* v) {
    for (int i = 0; i < m; ++i)
      if (!std::isfinite(v[i])) {
        ++m_runLeftOut;
        return;
      }
    m_data.insert(m_data.end(), v, v + m);
    m_points.push_back({ p.cx, p.cy, p.bx, p.by });
  });
  m_threads = std::max(1, m_engine->threadsInUse());
  return true;
}

void ComponentRun::engineEnded(bool completed)
{
  std::vector<double> data;
  std::vector<Point> points;
  data.swap(m_data);
  points.swap(m_points);
  const QString title = runTitle(m_setup);
  const int rows = int(points.size());
  const int k = m_setup.clusters;
  if (completed && m_runLeftOut > 0)
    qDebug().noquote() << QStringLiteral("%1: %2 spectra with non-finite values left out")
                            .arg(title)
                            .arg(m_runLeftOut);
  if (completed && rows < std::max(2, k)) {
    qDebug().noquote() << QStringLiteral("%1 not computed: %2 usable points, fewer than %3")
                            .arg(title)
                            .arg(rows)
                            .arg(std::max(2, k));
    completed = false;
  }
  if (!completed) {
    endRun();
    return;
  }
  auto job = std::make_shared<Decomposition>();
  job->data = std::move(data);
  job->points = std::move(points);
  job->grid = m_runGrid;
  job->setup = m_setup;
  job->threads = m_threads;
  m_job = job;
  if (m_worker.joinable()) // the last job's thread has posted and ends
    m_worker.join();
  m_worker = std::thread([this, job] {
    job->run();
    // Dropped by Qt when the run is destroyed first (it joins this thread
    // before that), and ignored when a stop or waitForEnd() took the job.
    QMetaObject::invokeMethod(
      this, [this, job] { decompositionDone(job); }, Qt::QueuedConnection);
  });
}

void ComponentRun::decompositionDone(std::shared_ptr<Decomposition> job)
{
  if (job != m_job)
    return;
  if (m_worker.joinable())
    m_worker.join();
  m_job.reset();
  if (!job->cancel)
    apply(*job);
  endRun();
}

void ComponentRun::apply(const Decomposition& job)
{
  const int rows = int(job.points.size());
  while (int(m_scoreMapPool.size()) < job.nMaps)
    m_scoreMapPool.push_back(std::make_unique<Analyzed2DRes>(
      QStringLiteral("PCA Score %1").arg(m_scoreMapPool.size() + 1)));
  for (int c = 0; c < job.nMaps; ++c) {
    Analyzed2DRes& map = *m_scoreMapPool[size_t(c)];
    map.reset(m_cond);
    for (int r = 0; r < rows; ++r) {
      const Point& p = job.points[size_t(r)];
      map.setData(p.cx, p.cy, p.bx, p.by, job.scores[size_t(r) * job.stride + c]);
    }
  }
  m_scoreMaps = job.nMaps;
  m_grid = job.grid;
  m_explained = job.explained;
  m_scoreChoice = job.choice;
  if (m_scoreChoice.how != ScoreChoice::None)
    qDebug().noquote() << runTitle(m_setup) + QStringLiteral(": ") + scoreChoiceLine(m_scoreChoice);
  m_pointsUsed = rows;
  m_leftOut = m_runLeftOut;
  m_clustered = job.clustered;
  m_clusters = job.clusters;
  if (job.clustered) {
    m_clusterMap->reset(m_cond);
    for (int r = 0; r < rows; ++r) {
      const Point& p = job.points[size_t(r)];
      m_clusterMap->setData(p.cx, p.cy, p.bx, p.by, job.number[size_t(r)]);
    }
  }
  refreshMaps();
  emit progress(100.0);
}

void ComponentRun::endRun()
{
  logWithTime(runTitle(m_setup) + QStringLiteral(" end"));
  emit ended();
}

void ComponentRun::refreshMaps()
{
  emit mapsRendered();
}

bool ComponentRun::saveClusterSpectra(const QString& base) const
{
  if (m_clusters.isEmpty()) {
    qDebug().noquote() << "Cluster spectra not saved: no clusters computed";
    return false;
  }
  for (int c = 0; c < m_clusters.size(); ++c) {
    const QString file = QStringLiteral("%1-%2.dat").arg(base).arg(c + 1);
    if (!m_clusters[c].spectrum.writeText(file, false)) {
      qDebug().noquote() << QStringLiteral("Cluster spectra not saved: cannot write %1").arg(file);
      return false;
    }
  }
  return true;
}

ComponentSetup componentSetup(const PointSpectra& spectra,
                              double fitLo,
                              double fitHi,
                              int components,
                              int clusters,
                              bool autoScores)
{
  ComponentSetup setup;
  setup.spectra = spectra;
  setup.fitLo = fitLo;
  setup.fitHi = fitHi;
  setup.clusters = clusters;
  if (clusters == 0)
    setup.components = components;
  setup.autoScores = autoScores;
  setup.clusterScores = components;
  return setup;
}
