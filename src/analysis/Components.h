#pragma once

#include <QVector>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

// Principal components and k-means of a set of spectra: plain functions on
// row-major matrices (one spectrum a row). The numbers depend only on the
// input and its order, never on threads or timing.
namespace components {

// The threads of one run, started once and handed one loop after another: a
// clustering runs hundreds of short loops (a k-means round takes a
// millisecond), and starting threads for each cost more than the loop.
class Team
{
public:
  explicit Team(int threads);
  ~Team();
  Team(const Team&) = delete;
  Team& operator=(const Team&) = delete;
  int size() const { return int(m_threads.size()) + 1; }
  // Calls work(i) for every i in [0, count) on the team's threads, the
  // caller's among them, and returns when every call has returned. Which
  // thread takes which i is left to chance: the work writes its results by
  // i, and whoever adds them up does so in the order of i.
  void spread(int count, const std::function<void(int)>& work);

private:
  struct Shared;
  std::unique_ptr<Shared> m_shared;
  std::vector<std::thread> m_threads;
};

struct Pca
{
  int columns = 0;
  QVector<double> mean;      // per column
  QVector<double> variance;  // eigenvalues, largest first
  QVector<double> explained; // share of the total variance per component
  // Eigenvectors, one row per component in the order of `variance`; the sign
  // makes the largest-magnitude element positive, so it is reproducible.
  std::vector<double> vectors;
};

// Mean-centred covariance of `rows` x `columns` data, accumulated in blocks
// of a fixed number of rows summed in order, and its eigen-decomposition.
// The blocks are spread over `threads` threads; the numbers do not depend on
// their number.
Pca decompose(const std::vector<double>& data, int rows, int columns, int threads = 1);
Pca decompose(const std::vector<double>& data, int rows, int columns, Team& team);

// The first `n` scores of every row: (row - mean) . vector k, rows x n,
// computed on `threads` threads with the same numbers as on one.
std::vector<double> scores(const Pca& pca,
                           const std::vector<double>& data,
                           int rows,
                           int n,
                           int threads = 1);
std::vector<double> scores(const Pca& pca,
                           const std::vector<double>& data,
                           int rows,
                           int n,
                           Team& team);

// The components that stand above the noise: with r = min(columns, rows - 1)
// components that can be non-zero, the noise floor is the median singular
// value of the tail (components r/2 .. r-1), where only noise is left; a
// component counts when its singular value exceeds the floor times
// (1 + sqrt(columns / rows)) (the spread of pure noise's singular values)
// times kNoiseMargin. At least `atLeast`, at most r (or all). `floor`
// receives the floor's threshold as a singular value, when given.
inline constexpr double kNoiseMargin = 2.0;
int componentsAboveNoise(const Pca& pca, int rows, int atLeast, double* threshold = nullptr);

struct KMeans
{
  std::vector<int> labels; // 0 .. k-1 per row
  double inertia = 0.0;    // within-cluster sum of squares
  int iterations = 0;      // of the restart kept
};

// k-means of `rows` x `dims` points into k clusters: k-means++ seeding from a
// fixed seed, `restarts` runs, the lowest within-cluster sum kept (the first
// on a tie), at most `maxIterations` assignment rounds each. The seeding's
// distances, the assignment of the rows and the sums of the centres are
// spread over `threads` threads in fixed blocks of rows, whose sums are added
// in block order; the result does not depend on their number. When `cancel`
// is given and becomes true, it returns soon, between assignment rounds, with
// a result that means nothing.
KMeans kmeans(const std::vector<double>& points,
              int rows,
              int dims,
              int k,
              int restarts = 5,
              int maxIterations = 300,
              std::uint64_t seed = 0x4c756d61u,
              int threads = 1,
              const std::atomic<bool>* cancel = nullptr);
KMeans kmeans(const std::vector<double>& points,
              int rows,
              int dims,
              int k,
              int restarts,
              int maxIterations,
              std::uint64_t seed,
              Team& team,
              const std::atomic<bool>* cancel = nullptr);

// The sum of each cluster's rows (k x dims) and their count (k) for labels
// in 0 .. k-1, spread over the team in blocks of rows whose sums are added
// in block order: the same numbers for any number of threads.
void clusterSums(const std::vector<double>& points,
                 int rows,
                 int dims,
                 const std::vector<int>& labels,
                 int k,
                 Team& team,
                 std::vector<double>& sums,
                 std::vector<int>& counts);

} // namespace components
