#include "analysis/Components.h"

#include <Eigen/Dense>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <random>

#include <QtGlobal>

namespace components {

struct Team::Shared
{
  std::mutex mutex;
  std::condition_variable wake;
  std::condition_variable done;
  const std::function<void(int)>* work = nullptr;
  int count = 0;
  std::atomic<int> next{ 0 };
  std::uint64_t loop = 0; // the loops handed out so far
  bool open = false;      // helpers may still join the current loop
  int busy = 0;           // helpers in the current loop
  bool quit = false;

  void take(const std::function<void(int)>& w, int n)
  {
    for (int i = next.fetch_add(1); i < n; i = next.fetch_add(1))
      w(i);
  }
};

Team::Team(int threads)
  : m_shared(std::make_unique<Shared>())
{
  Shared& s = *m_shared;
  for (int t = 1; t < threads; ++t)
    m_threads.emplace_back([&s] {
      std::uint64_t seen = 0;
      for (;;) {
        const std::function<void(int)>* work = nullptr;
        int count = 0;
        {
          std::unique_lock<std::mutex> lock(s.mutex);
          s.wake.wait(lock, [&] { return s.quit || (s.open && s.loop != seen); });
          if (s.quit)
            return;
          seen = s.loop;
          work = s.work;
          count = s.count;
          ++s.busy;
        }
        s.take(*work, count);
        std::lock_guard<std::mutex> lock(s.mutex);
        if (--s.busy == 0)
          s.done.notify_one();
      }
    });
}

Team::~Team()
{
  {
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->quit = true;
  }
  m_shared->wake.notify_all();
  for (std::thread& t : m_threads)
    t.join();
}

void Team::spread(int count, const std::function<void(int)>& work)
{
  if (count <= 0)
    return;
  Shared& s = *m_shared;
  if (m_threads.empty() || count == 1) {
    for (int i = 0; i < count; ++i)
      work(i);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    s.work = &work;
    s.count = count;
    s.next = 0;
    s.open = true;
    ++s.loop;
  }
  s.wake.notify_all();
  s.take(work, count);
  // Every index is taken: a helper that has not joined yet (not scheduled,
  // on a busy machine) would find nothing left, so the loop closes and only
  // the helpers inside are waited for. None is inside when `next` is reset.
  std::unique_lock<std::mutex> lock(s.mutex);
  s.open = false;
  s.done.wait(lock, [&] { return s.busy == 0; });
}

namespace {

using RowMatrix = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>;

// Rows summed per block; fixed, so the sums never depend on how the caller
// was scheduled.
constexpr int BlockRows = 1024;
// Blocks whose covariance one thread accumulates into a matrix of its own;
// these partial matrices are added in their order, so the sum is the same
// for any number of threads.
constexpr int ChunkBlocks = 8;
// Rows per block of the k-means assignment and of its sums.
constexpr int KMeansBlockRows = 4096;

// A uniform number in [0, 1) from 53 bits of the generator: the same on every
// standard library, unlike std::uniform_real_distribution.
double uniform(std::mt19937_64& gen)
{
  return double(gen() >> 11) * (1.0 / 9007199254740992.0);
}

double distance2(const double* a, const double* b, int dims)
{
  double s = 0.0;
  for (int d = 0; d < dims; ++d) {
    const double t = a[d] - b[d];
    s += t * t;
  }
  return s;
}

int blocksOf(int rows)
{
  return (rows + KMeansBlockRows - 1) / KMeansBlockRows;
}

// k-means++: every next centre is a row drawn with a chance proportional to
// its squared distance to the nearest centre so far. The distances and their
// sums are taken per block of rows, the block sums added in block order.
void seedCentres(const std::vector<double>& p,
                 int rows,
                 int dims,
                 int k,
                 std::mt19937_64& gen,
                 Team& team,
                 std::vector<double>& centres)
{
  centres.assign(size_t(k) * size_t(dims), 0.0);
  std::vector<double> nearest(size_t(rows), std::numeric_limits<double>::infinity());
  const int blocks = blocksOf(rows);
  std::vector<double> blockTotal(static_cast<size_t>(blocks));
  int pick = int(uniform(gen) * rows);
  for (int c = 0; c < k; ++c) {
    double* centre = centres.data() + size_t(c) * dims;
    std::copy_n(p.data() + size_t(pick) * size_t(dims), dims, centre);
    if (c + 1 == k)
      break;
    team.spread(blocks, [&](int b) {
      const int r1 = std::min(rows, (b + 1) * KMeansBlockRows);
      double t = 0.0;
      for (int r = b * KMeansBlockRows; r < r1; ++r) {
        nearest[r] = std::min(nearest[r], distance2(p.data() + size_t(r) * dims, centre, dims));
        t += nearest[r];
      }
      blockTotal[size_t(b)] = t;
    });
    double total = 0.0;
    for (double t : blockTotal)
      total += t;
    if (!(total > 0.0)) { // every point sits on a centre: take the next rows
      pick = (pick + 1) % rows;
      continue;
    }
    // The row where the running sum passes the target: the block first,
    // then the row within it.
    const double target = uniform(gen) * total;
    double run = 0.0;
    int b = 0;
    while (b + 1 < blocks && run + blockTotal[size_t(b)] <= target)
      run += blockTotal[size_t(b++)];
    const int r0 = b * KMeansBlockRows;
    const int r1 = std::min(rows, r0 + KMeansBlockRows);
    // Rounding may keep the sum within the block below the target: then
    // the block's last row off every centre.
    pick = -1;
    for (int r = r0; r < r1 && pick < 0; ++r) {
      run += nearest[r];
      if (run > target)
        pick = r;
    }
    for (int r = r1 - 1; r >= r0 && pick < 0; --r)
      if (nearest[r] > 0.0)
        pick = r;
    if (pick < 0)
      pick = r1 - 1;
  }
}

// Nearest centre of every row in [r0, r1); true when a label changed.
bool assign(const std::vector<double>& p,
            int r0,
            int r1,
            int dims,
            int k,
            const std::vector<double>& centres,
            std::vector<int>& labels)
{
  bool changed = false;
  for (int r = r0; r < r1; ++r) {
    const double* x = p.data() + size_t(r) * dims;
    int best = 0;
    double bestD = distance2(x, centres.data(), dims);
    for (int c = 1; c < k; ++c) {
      const double d = distance2(x, centres.data() + size_t(c) * dims, dims);
      if (d < bestD) {
        bestD = d;
        best = c;
      }
    }
    if (labels[size_t(r)] != best) {
      labels[size_t(r)] = best;
      changed = true;
    }
  }
  return changed;
}

// The sums of each cluster's rows and their counts, per block of rows
// (summed in row order) and then over the blocks in block order, so no sum
// depends on how the blocks were spread over the threads.
struct BlockSums
{
  BlockSums(int rows, int dims, int k)
    : rows(rows)
    , dims(dims)
    , k(k)
    , blocks(blocksOf(rows))
    , width(size_t(k) * size_t(dims))
    , sums(size_t(blocks) * width)
    , counts(size_t(blocks) * size_t(k))
  {
  }

  void take(int b, const double* p, const int* labels)
  {
    const int r0 = b * KMeansBlockRows;
    const int r1 = std::min(rows, r0 + KMeansBlockRows);
    double* bs = sums.data() + size_t(b) * width;
    int* bc = counts.data() + size_t(b) * size_t(k);
    std::fill(bs, bs + width, 0.0);
    std::fill(bc, bc + k, 0);
    for (int r = r0; r < r1; ++r) {
      const int c = labels[r];
      ++bc[c];
      const double* x = p + size_t(r) * dims;
      double* sc = bs + size_t(c) * dims;
      for (int d = 0; d < dims; ++d)
        sc[d] += x[d];
    }
  }

  void addUp(std::vector<double>& total, std::vector<int>& count) const
  {
    total.assign(width, 0.0);
    count.assign(size_t(k), 0);
    for (int b = 0; b < blocks; ++b) {
      const double* bs = sums.data() + size_t(b) * width;
      for (size_t i = 0; i < width; ++i)
        total[i] += bs[i];
      for (int c = 0; c < k; ++c)
        count[size_t(c)] += counts[size_t(b) * size_t(k) + size_t(c)];
    }
  }

  int rows, dims, k, blocks;
  size_t width;
  std::vector<double> sums;
  std::vector<int> counts;
};

KMeans lloyd(const std::vector<double>& p,
             int rows,
             int dims,
             int k,
             std::vector<double>& centres,
             int maxIterations,
             Team& team,
             const std::atomic<bool>* cancel)
{
  KMeans out;
  out.labels.assign(size_t(rows), -1);
  // Each row's label depends on that row alone; the centres' sums are those
  // of BlockSums.
  BlockSums parts(rows, dims, k);
  const int blocks = parts.blocks;
  std::vector<char> changedIn(static_cast<size_t>(blocks));
  std::vector<double> sums;
  std::vector<int> counts;
  for (int it = 0; it < maxIterations; ++it) {
    if (cancel && cancel->load(std::memory_order_relaxed))
      return out;
    team.spread(blocks, [&](int b) {
      const int r0 = b * KMeansBlockRows;
      const int r1 = std::min(rows, r0 + KMeansBlockRows);
      changedIn[size_t(b)] = assign(p, r0, r1, dims, k, centres, out.labels) ? 1 : 0;
      parts.take(b, p.data(), out.labels.data());
    });
    bool changed = false;
    for (char c : changedIn)
      changed = changed || c;
    out.iterations = it + 1;
    if (!changed)
      break;
    parts.addUp(sums, counts);
    // An emptied cluster keeps its centre.
    for (int c = 0; c < k; ++c)
      if (counts[c] > 0)
        for (int d = 0; d < dims; ++d)
          centres[size_t(c) * dims + d] = sums[size_t(c) * dims + d] / counts[c];
  }
  std::vector<double> blockInertia(static_cast<size_t>(blocks));
  team.spread(blocks, [&](int b) {
    const int r1 = std::min(rows, (b + 1) * KMeansBlockRows);
    double s = 0.0;
    for (int r = b * KMeansBlockRows; r < r1; ++r)
      s +=
        distance2(p.data() + size_t(r) * dims, centres.data() + size_t(out.labels[r]) * dims, dims);
    blockInertia[size_t(b)] = s;
  });
  out.inertia = 0.0;
  for (double s : blockInertia)
    out.inertia += s;
  return out;
}

} // namespace

Pca decompose(const std::vector<double>& data, int rows, int columns, int threads)
{
  Team team(threads);
  return decompose(data, rows, columns, team);
}

Pca decompose(const std::vector<double>& data, int rows, int columns, Team& team)
{
  Pca pca;
  pca.columns = columns;
  if (rows < 1 || columns < 1)
    return pca;
  const Eigen::Map<const RowMatrix> x(data.data(), rows, columns);
  const int blocks = (rows + BlockRows - 1) / BlockRows;
  std::vector<Eigen::RowVectorXd> blockSums(static_cast<size_t>(blocks));
  team.spread(blocks, [&](int b) {
    const int r0 = b * BlockRows;
    blockSums[size_t(b)] = x.middleRows(r0, std::min(BlockRows, rows - r0)).colwise().sum();
  });
  Eigen::RowVectorXd sum = Eigen::RowVectorXd::Zero(columns);
  for (const Eigen::RowVectorXd& b : blockSums)
    sum += b;
  const Eigen::RowVectorXd mean = sum / double(rows);
  Eigen::MatrixXd cov = Eigen::MatrixXd::Zero(columns, columns);
  // Chunks of blocks, a round of as many chunks as threads at a time, each
  // into its own matrix; the matrices are added in chunk order.
  const int chunks = (blocks + ChunkBlocks - 1) / ChunkBlocks;
  const int perRound = std::max(1, std::min(team.size(), chunks));
  std::vector<Eigen::MatrixXd> partial(static_cast<size_t>(perRound));
  for (int first = 0; first < chunks; first += perRound) {
    const int inRound = std::min(perRound, chunks - first);
    team.spread(inRound, [&](int i) {
      Eigen::MatrixXd& p = partial[size_t(i)];
      p.setZero(columns, columns);
      RowMatrix centred;
      const int b1 = std::min(blocks, (first + i + 1) * ChunkBlocks);
      for (int b = (first + i) * ChunkBlocks; b < b1; ++b) {
        const int r0 = b * BlockRows;
        centred = x.middleRows(r0, std::min(BlockRows, rows - r0)).rowwise() - mean;
        p.selfadjointView<Eigen::Lower>().rankUpdate(centred.transpose());
      }
    });
    for (int i = 0; i < inRound; ++i)
      cov += partial[size_t(i)];
  }
  cov = cov.selfadjointView<Eigen::Lower>();
  cov /= double(std::max(1, rows - 1));

  const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(cov);
  const Eigen::VectorXd& values = solver.eigenvalues(); // ascending
  const Eigen::MatrixXd& vectors = solver.eigenvectors();
  pca.mean.resize(columns);
  for (int c = 0; c < columns; ++c)
    pca.mean[c] = mean[c];
  double total = 0.0;
  for (int c = 0; c < columns; ++c)
    total += std::max(0.0, values[c]);
  pca.vectors.resize(size_t(columns) * columns);
  for (int k = 0; k < columns; ++k) {
    const int src = columns - 1 - k;
    const double v = std::max(0.0, values[src]);
    pca.variance.append(v);
    pca.explained.append(total > 0.0 ? v / total : 0.0);
    int big = 0;
    for (int c = 1; c < columns; ++c)
      if (std::abs(vectors(c, src)) > std::abs(vectors(big, src)))
        big = c;
    const double sign = vectors(big, src) < 0.0 ? -1.0 : 1.0;
    for (int c = 0; c < columns; ++c)
      pca.vectors[size_t(k) * columns + c] = sign * vectors(c, src);
  }
  return pca;
}

std::vector<double> scores(const Pca& pca,
                           const std::vector<double>& data,
                           int rows,
                           int n,
                           int threads)
{
  Team team(threads);
  return scores(pca, data, rows, n, team);
}

std::vector<double> scores(const Pca& pca,
                           const std::vector<double>& data,
                           int rows,
                           int n,
                           Team& team)
{
  const int m = pca.columns;
  n = std::max(0, std::min(n, m));
  std::vector<double> out(size_t(rows) * n);
  if (rows < 1 || n < 1)
    return out;
  const Eigen::Map<const RowMatrix> x(data.data(), rows, m);
  const Eigen::Map<const RowMatrix> v(pca.vectors.data(), n, m);
  const Eigen::Map<const Eigen::RowVectorXd> mean(pca.mean.constData(), m);
  Eigen::Map<RowMatrix> s(out.data(), rows, n);
  // Every block's scores depend on that block alone.
  team.spread((rows + BlockRows - 1) / BlockRows, [&](int b) {
    const int r0 = b * BlockRows;
    const int k = std::min(BlockRows, rows - r0);
    const RowMatrix centred = x.middleRows(r0, k).rowwise() - mean;
    s.middleRows(r0, k).noalias() = centred * v.transpose();
  });
  return out;
}

int componentsAboveNoise(const Pca& pca, int rows, int atLeast, double* threshold)
{
  const int all = pca.variance.size();
  const int r = std::min(all, rows - 1);
  std::vector<double> sv;
  for (int k = 0; k < all; ++k)
    sv.push_back(std::sqrt(std::max(0.0, pca.variance[k]) * std::max(1, rows - 1)));
  double limit = 0.0;
  if (r >= 2) {
    std::vector<double> tail(sv.begin() + r / 2, sv.begin() + r);
    std::nth_element(tail.begin(), tail.begin() + tail.size() / 2, tail.end());
    const double floor = tail[tail.size() / 2];
    limit = floor * (1.0 + std::sqrt(double(pca.columns) / std::max(1, rows))) * kNoiseMargin;
    // Noise-free data: the tail is rounding, far below the leading value.
    limit = std::max(limit, sv.front() * 1e-6);
  }
  if (threshold)
    *threshold = limit;
  int n = 0;
  while (n < std::max(r, 0) && sv[size_t(n)] > limit)
    ++n;
  return std::min(all, std::max(n, atLeast));
}

KMeans kmeans(const std::vector<double>& points,
              int rows,
              int dims,
              int k,
              int restarts,
              int maxIterations,
              std::uint64_t seed,
              int threads,
              const std::atomic<bool>* cancel)
{
  Team team(threads);
  return kmeans(points, rows, dims, k, restarts, maxIterations, seed, team, cancel);
}

KMeans kmeans(const std::vector<double>& points,
              int rows,
              int dims,
              int k,
              int restarts,
              int maxIterations,
              std::uint64_t seed,
              Team& team,
              const std::atomic<bool>* cancel)
{
  KMeans best;
  if (rows < 1 || dims < 1 || k < 1 || k > rows)
    return best;
  std::mt19937_64 gen(seed);
  std::vector<double> centres;
  for (int r = 0; r < std::max(1, restarts); ++r) {
    if (cancel && cancel->load(std::memory_order_relaxed))
      break;
    seedCentres(points, rows, dims, k, gen, team, centres);
    KMeans run = lloyd(points, rows, dims, k, centres, maxIterations, team, cancel);
    if (best.labels.empty() || run.inertia < best.inertia)
      best = std::move(run);
  }
  return best;
}

void clusterSums(const std::vector<double>& points,
                 int rows,
                 int dims,
                 const std::vector<int>& labels,
                 int k,
                 Team& team,
                 std::vector<double>& sums,
                 std::vector<int>& counts)
{
  BlockSums parts(std::max(0, rows), dims, k);
  team.spread(parts.blocks, [&](int b) { parts.take(b, points.data(), labels.data()); });
  parts.addUp(sums, counts);
}

} // namespace components
