#include "analysis/Components.h"

#include <Eigen/Dense>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <random>
#include <thread>

#include <QtGlobal>

namespace components {

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

// Calls work(i) for i in [0, count) on up to `threads` threads (the caller's
// among them).
template<typename Work>
void spread(int count, int threads, const Work& work)
{
  threads = std::max(1, std::min(threads, count));
  std::atomic<int> next{ 0 };
  const auto loop = [&] {
    for (int i = next.fetch_add(1); i < count; i = next.fetch_add(1))
      work(i);
  };
  std::vector<std::thread> pool;
  for (int t = 1; t < threads; ++t)
    pool.emplace_back(loop);
  loop();
  for (std::thread& th : pool)
    th.join();
}

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

void seedCentres(const std::vector<double>& p,
                 int rows,
                 int dims,
                 int k,
                 std::mt19937_64& gen,
                 std::vector<double>& centres)
{
  centres.assign(size_t(k) * size_t(dims), 0.0);
  std::vector<double> nearest(size_t(rows), std::numeric_limits<double>::infinity());
  int pick = int(uniform(gen) * rows);
  for (int c = 0; c < k; ++c) {
    std::copy_n(p.data() + size_t(pick) * size_t(dims), dims, centres.data() + size_t(c) * dims);
    if (c + 1 == k)
      break;
    double total = 0.0;
    for (int r = 0; r < rows; ++r) {
      const double d =
        distance2(p.data() + size_t(r) * dims, centres.data() + size_t(c) * dims, dims);
      nearest[r] = std::min(nearest[r], d);
      total += nearest[r];
    }
    if (!(total > 0.0)) { // every point sits on a centre: take the next rows
      pick = (pick + 1) % rows;
      continue;
    }
    const double target = uniform(gen) * total;
    double run = 0.0;
    pick = rows - 1;
    for (int r = 0; r < rows; ++r) {
      run += nearest[r];
      if (run > target) {
        pick = r;
        break;
      }
    }
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

KMeans lloyd(const std::vector<double>& p,
             int rows,
             int dims,
             int k,
             std::vector<double>& centres,
             int maxIterations,
             int threads,
             const std::atomic<bool>* cancel)
{
  KMeans out;
  out.labels.assign(size_t(rows), -1);
  // Each row's label depends on that row alone; the centres' sums are taken
  // per block of rows in row order and the blocks added in their order, so
  // no number depends on how the blocks were spread over the threads.
  const int blocks = (rows + KMeansBlockRows - 1) / KMeansBlockRows;
  const size_t width = size_t(k) * size_t(dims);
  std::vector<double> blockSums(size_t(blocks) * width);
  std::vector<int> blockCounts(size_t(blocks) * size_t(k));
  std::vector<char> changedIn(static_cast<size_t>(blocks));
  std::vector<double> sums(width);
  std::vector<int> counts(static_cast<size_t>(k));
  for (int it = 0; it < maxIterations; ++it) {
    if (cancel && cancel->load(std::memory_order_relaxed))
      return out;
    spread(blocks, threads, [&](int b) {
      const int r0 = b * KMeansBlockRows;
      const int r1 = std::min(rows, r0 + KMeansBlockRows);
      changedIn[size_t(b)] = assign(p, r0, r1, dims, k, centres, out.labels) ? 1 : 0;
      double* bs = blockSums.data() + size_t(b) * width;
      int* bc = blockCounts.data() + size_t(b) * size_t(k);
      std::fill(bs, bs + width, 0.0);
      std::fill(bc, bc + k, 0);
      for (int r = r0; r < r1; ++r) {
        const int c = out.labels[size_t(r)];
        ++bc[c];
        const double* x = p.data() + size_t(r) * dims;
        double* sc = bs + size_t(c) * dims;
        for (int d = 0; d < dims; ++d)
          sc[d] += x[d];
      }
    });
    bool changed = false;
    for (char c : changedIn)
      changed = changed || c;
    out.iterations = it + 1;
    if (!changed)
      break;
    std::fill(sums.begin(), sums.end(), 0.0);
    std::fill(counts.begin(), counts.end(), 0);
    for (int b = 0; b < blocks; ++b) {
      const double* bs = blockSums.data() + size_t(b) * width;
      for (size_t i = 0; i < width; ++i)
        sums[i] += bs[i];
      for (int c = 0; c < k; ++c)
        counts[size_t(c)] += blockCounts[size_t(b) * size_t(k) + size_t(c)];
    }
    // An emptied cluster keeps its centre.
    for (int c = 0; c < k; ++c)
      if (counts[c] > 0)
        for (int d = 0; d < dims; ++d)
          centres[size_t(c) * dims + d] = sums[size_t(c) * dims + d] / counts[c];
  }
  out.inertia = 0.0;
  for (int r = 0; r < rows; ++r)
    out.inertia +=
      distance2(p.data() + size_t(r) * dims, centres.data() + size_t(out.labels[r]) * dims, dims);
  return out;
}

} // namespace

Pca decompose(const std::vector<double>& data, int rows, int columns, int threads)
{
  Pca pca;
  pca.columns = columns;
  if (rows < 1 || columns < 1)
    return pca;
  const Eigen::Map<const RowMatrix> x(data.data(), rows, columns);
  const int blocks = (rows + BlockRows - 1) / BlockRows;
  std::vector<Eigen::RowVectorXd> blockSums(static_cast<size_t>(blocks));
  spread(blocks, threads, [&](int b) {
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
  const int perRound = std::max(1, std::min(threads, chunks));
  std::vector<Eigen::MatrixXd> partial(static_cast<size_t>(perRound));
  for (int first = 0; first < chunks; first += perRound) {
    const int inRound = std::min(perRound, chunks - first);
    spread(inRound, threads, [&](int i) {
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
  spread((rows + BlockRows - 1) / BlockRows, threads, [&](int b) {
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
  KMeans best;
  if (rows < 1 || dims < 1 || k < 1 || k > rows)
    return best;
  std::mt19937_64 gen(seed);
  std::vector<double> centres;
  for (int r = 0; r < std::max(1, restarts); ++r) {
    if (cancel && cancel->load(std::memory_order_relaxed))
      break;
    seedCentres(points, rows, dims, k, gen, centres);
    KMeans run = lloyd(points, rows, dims, k, centres, maxIterations, threads, cancel);
    if (best.labels.empty() || run.inertia < best.inertia)
      best = std::move(run);
  }
  return best;
}

} // namespace components
