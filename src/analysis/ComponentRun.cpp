#include "analysis/ComponentRun.h"

#include "analysis/Analyzed2DRes.h"
#include "analysis/Components.h"
#include "analysis/GridSpectraKernel.h"
#include "analysis/PointRun.h"
#include "app/TextItems.h"

#include <QDebug>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// Share of the variance the default number of clustering scores explains.
constexpr double DefaultShare = 0.99;

QString runTitle(const ComponentSetup& s)
{
  return s.clusters > 0 ? QStringLiteral("Cluster analysis") : QStringLiteral("PCA");
}

} // namespace

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

ComponentRun::~ComponentRun() = default;

bool ComponentRun::isRunning() const
{
  return m_engine->isRunning();
}

void ComponentRun::stop()
{
  m_engine->stop();
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

bool ComponentRun::refuse(const QString& why)
{
  qDebug().noquote() << why;
  emit ended();
  return false;
}

bool ComponentRun::start(const AnalyzeCond* area, const ComponentSetup& setup)
{
  if (isRunning())
    stop();
  const QString title = runTitle(setup);
  const QString no = title + QStringLiteral(" not started: ");
  if (!area)
    return refuse(no + QStringLiteral("no image loaded"));
  const bool clustering = setup.clusters != 0;
  if (clustering ? !setup.autoScores && setup.clusterScores < 1 : setup.components < 1)
    return refuse(no + QStringLiteral("the number of components must be at least 1"));
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
    return refuse(no + QStringLiteral("the number of clusters must be at least 2"));
  if (setup.clusters > inside)
    return refuse(
      no +
      QStringLiteral("%1 clusters but only %2 points in the area").arg(setup.clusters).arg(inside));
  if (inside < 2)
    return refuse(no + QStringLiteral("fewer than two points in the area"));
  const RasterPoint p0 = raster.at(first);
  QVector<double> grid = GridSpectraKernel::sampleGrid(
    setup.spectra, p0.cx, p0.cy, p0.bx, p0.by, setup.fitLo, setup.fitHi);
  if (grid.size() < 2)
    return refuse(no + QStringLiteral("fewer than two energies in the fitting range"));

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
  logWithTime(title + QStringLiteral(" start"));
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
  if (completed)
    finish();
  std::vector<double>().swap(m_data);
  std::vector<Point>().swap(m_points);
  logWithTime(runTitle(m_setup) + QStringLiteral(" end"));
  emit ended();
}

void ComponentRun::finish()
{
  const QString title = runTitle(m_setup);
  const int rows = int(m_points.size());
  const int m = m_runGrid.size();
  const int k = m_setup.clusters;
  if (m_runLeftOut > 0)
    qDebug().noquote() << QStringLiteral("%1: %2 spectra with non-finite values left out")
                            .arg(title)
                            .arg(m_runLeftOut);
  if (rows < std::max(2, k)) {
    qDebug().noquote() << QStringLiteral("%1 not computed: %2 usable points, fewer than %3")
                            .arg(title)
                            .arg(rows)
                            .arg(std::max(2, k));
    return;
  }
  const components::Pca pca = components::decompose(m_data, rows, m);
  const int nScores =
    k > 0 ? std::min(m,
                     m_setup.autoScores ? components::componentsFor(pca, DefaultShare, 2)
                                        : m_setup.clusterScores)
          : 0;
  const int nMaps = k > 0 ? nScores : std::min(m_setup.components, m);
  const std::vector<double> sc = components::scores(pca, m_data, rows, std::max(nMaps, nScores));
  const int stride = std::max(nMaps, nScores);

  while (int(m_scoreMapPool.size()) < nMaps)
    m_scoreMapPool.push_back(std::make_unique<Analyzed2DRes>(
      QStringLiteral("PCA Score %1").arg(m_scoreMapPool.size() + 1)));
  for (int c = 0; c < nMaps; ++c) {
    Analyzed2DRes& map = *m_scoreMapPool[size_t(c)];
    map.reset(m_cond);
    for (int r = 0; r < rows; ++r) {
      const Point& p = m_points[size_t(r)];
      map.setData(p.cx, p.cy, p.bx, p.by, sc[size_t(r) * stride + c]);
    }
  }
  m_scoreMaps = nMaps;
  m_grid = m_runGrid;
  m_explained = pca.explained;
  m_pointsUsed = rows;
  m_leftOut = m_runLeftOut;
  m_clustered = false;
  m_clusters.clear();

  if (k > 0) {
    std::vector<double> x(size_t(rows) * nScores);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < nScores; ++c)
        x[size_t(r) * nScores + c] = sc[size_t(r) * stride + c];
    const components::KMeans km =
      components::kmeans(x, rows, nScores, k, 5, 300, 0x4c756d61u, m_threads);
    QVector<ClusterMean> means(k);
    std::vector<std::vector<double>> sums(static_cast<size_t>(k),
                                          std::vector<double>(static_cast<size_t>(m), 0.0));
    for (int r = 0; r < rows; ++r) {
      const int c = km.labels[size_t(r)];
      ++means[c].count;
      const double* v = m_data.data() + size_t(r) * m;
      for (int i = 0; i < m; ++i)
        sums[size_t(c)][size_t(i)] += v[i];
    }
    for (int c = 0; c < k; ++c) {
      SpectrumPoints pts;
      for (int i = 0; i < m; ++i)
        pts.append(m_runGrid[i],
                   means[c].count > 0 ? sums[size_t(c)][size_t(i)] / means[c].count : 0.0);
      means[c].spectrum = XafsSpectrum(
        pts, QString(), m_setup.spectra.mode, 0.0, m_setup.spectra.suggestedEeV, -10.0, 10.0);
    }
    // Numbered by the edge position of the mean, lowest first, so the
    // numbers do not depend on the seeding.
    std::vector<int> order(static_cast<size_t>(k));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&means](int a, int b) {
      return means[a].spectrum.midx < means[b].spectrum.midx;
    });
    std::vector<int> number(static_cast<size_t>(k));
    for (int i = 0; i < k; ++i) {
      number[size_t(order[size_t(i)])] = i + 1;
      ClusterMean cm = means[order[size_t(i)]];
      cm.spectrum.name = QStringLiteral("Cluster %1").arg(i + 1);
      m_clusters.append(cm);
    }
    m_clusterMap->reset(m_cond);
    for (int r = 0; r < rows; ++r) {
      const Point& p = m_points[size_t(r)];
      m_clusterMap->setData(p.cx, p.cy, p.bx, p.by, number[size_t(km.labels[size_t(r)])]);
    }
    m_clustered = true;
  }
  refreshMaps();
  emit progress(100.0);
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
