#include "spectrum/EdgeNormalisation.h"

#include "spectrum/LineSums.h"

#include <algorithm>

namespace {

using lanes::Traits;
using lanes::V1;
using lanes::V4;

// Every step below is written once over a lane type: V1 for one spectrum,
// V4 for four. Values are stored in rows of the lane width (row i holds the
// lanes' values at E[i]); energies, wavelengths and the windows the
// expected edge sets are shared by the lanes.

template<typename V>
LC_LANE_INLINE void smoothFiveT(const double* y, int n, double* s)
{
  constexpr int W = Traits<V>::W;
  // A running sum over the points i-2 .. i+2 that exist (1 to 5 of them).
  static constexpr double kInverseCount[6] = { 0.0, 1.0, 1.0 / 2, 1.0 / 3, 1.0 / 4, 1.0 / 5 };
  V sum;
  lanes::splat(0.0, sum);
  int lo = 0;
  int hi = -1;
  for (int i = 0; i < n; ++i) {
    while (hi < std::min(n - 1, i + 2)) {
      V v;
      lanes::load(y + size_t(++hi) * W, v);
      sum += v;
    }
    while (lo < i - 2) {
      V v;
      lanes::load(y + size_t(lo++) * W, v);
      sum -= v;
    }
    V inverse;
    lanes::splat(kInverseCount[hi - lo + 1], inverse);
    const V r = sum * inverse;
    lanes::store(s + size_t(i) * W, r);
  }
}

template<typename V>
LC_LANE_INLINE void firstEdgeGuessT(const EdgeWindows& win,
                                    const double* E,
                                    const double* smoothed,
                                    int n,
                                    V& best)
{
  using M = typename Traits<V>::M;
  constexpr int W = Traits<V>::W;
  // Rises smoothed[i+1] - smoothed[i] exist for i <= n-2; the window's
  // midpoints (x[i] + x[i+2]) / 2 for i <= n-3. No qualifying start point
  // means the whole spectrum is searched, as with no expected edge.
  int lo = 0;
  int hi = n - 2;
  if (win.expectedEdgeSet && n >= 3) {
    int start = -1;
    int end = -1;
    for (int i = 0; i <= n - 3 && end < 0; ++i) {
      const double mid = 0.5 * (E[i] + E[i + 2]);
      if (start < 0 && mid > win.expectedEdge + win.preEnd)
        start = i;
      if (mid > win.expectedEdge + win.postStart)
        end = i;
    }
    if (start >= 0) {
      lo = start;
      hi = end >= 0 ? end : n - 2;
    }
  }
  V bestRise;
  lanes::splat(0.0, bestRise);
  lanes::splat(-1.0, best);
  for (int i = lo; i <= hi; ++i) {
    V above;
    V here;
    lanes::load(smoothed + size_t(i + 1) * W, above);
    lanes::load(smoothed + size_t(i) * W, here);
    const V rise = above - here;
    const M up = rise > bestRise;
    lanes::select(up, rise, bestRise, bestRise);
    V at;
    lanes::splat(double(i), at);
    lanes::select(up, at, best, best);
  }
  V zero;
  lanes::splat(0.0, zero);
  const M none = best < zero;
  lanes::select(none, zero, best, best);
}

// An inverted edge (a fluorescence channel read as ln(I0/I1)): part the
// lines so the post-edge line lies above the pre-edge line and the
// normalised curves keep a positive jump. The caller keeps the measured
// value; the normalisation recomputes it from the parted lines.
double partLines(double e0, EdgeLine& pre, EdgeLine& post)
{
  const double jump = post.valueAt(e0) - pre.valueAt(e0);
  if (jump < 0.0) {
    const double p = 0.55 * jump;
    pre.c += p;
    pre.p0 += p;
    post.c -= p;
    post.p0 -= p;
  }
  return jump;
}

template<typename V>
LC_LANE_INLINE void fitEdgeLinesT(const EdgeWindows& win,
                                  const EdgeSamples& s,
                                  const V& e0,
                                  EdgeLine* pre,
                                  EdgeLine* post,
                                  double* jump,
                                  bool* ok,
                                  int lanes)
{
  constexpr int W = Traits<V>::W;
  V first;
  V last;
  lanes::splat(s.n > 0 ? s.E[0] : 0.0, first);
  lanes::splat(s.n > 0 ? s.E[s.n - 1] : 0.0, last);
  V preEnd;
  V postStart;
  lanes::splat(win.preEnd, preEnd);
  lanes::splat(win.postStart, postStart);
  const V preHi = e0 + preEnd;
  const V postLo = e0 + postStart;
  bool preOk[W] = {};
  bool postOk[W] = {};
  if (win.mode == 0) {
    if (s.n >= 4) {
      V sums[10];
      V ref;
      double lane[10];
      lanes::victoreenSums(s.E, s.lambda, s.y, s.n, first, preHi, sums, ref);
      for (int l = 0; l < lanes; ++l) {
        for (int k = 0; k < 10; ++k)
          lane[k] = lanes::lane(sums[k], l);
        preOk[l] = VictLine::victoreenFromSums(lane, lanes::lane(ref, l), pre[l]);
      }
      lanes::victoreenSums(s.E, s.lambda, s.y, s.n, postLo, last, sums, ref);
      for (int l = 0; l < lanes; ++l) {
        for (int k = 0; k < 10; ++k)
          lane[k] = lanes::lane(sums[k], l);
        postOk[l] = VictLine::victoreenFromSums(lane, lanes::lane(ref, l), post[l]);
      }
    }
  } else if (s.n >= 3) {
    V sums[6];
    V origin;
    V firstY;
    double lane[6];
    lanes::straightSums(s.E, s.y, s.n, first, preHi, sums, origin, firstY);
    for (int l = 0; l < lanes; ++l) {
      for (int k = 0; k < 6; ++k)
        lane[k] = lanes::lane(sums[k], l);
      preOk[l] =
        VictLine::straightFromSums(lane, lanes::lane(origin, l), lanes::lane(firstY, l), pre[l]);
    }
    lanes::straightSums(s.E, s.y, s.n, postLo, last, sums, origin, firstY);
    for (int l = 0; l < lanes; ++l) {
      for (int k = 0; k < 6; ++k)
        lane[k] = lanes::lane(sums[k], l);
      postOk[l] =
        VictLine::straightFromSums(lane, lanes::lane(origin, l), lanes::lane(firstY, l), post[l]);
    }
  }
  for (int l = 0; l < lanes; ++l) {
    if (ok)
      ok[l] = preOk[l] && postOk[l];
    jump[l] = partLines(lanes::lane(e0, l), pre[l], post[l]);
  }
}

template<typename V>
LC_LANE_INLINE void edgeIndexBetweenT(const double* E,
                                      const double* s,
                                      const double* preAt,
                                      const double* postAt,
                                      int n,
                                      V& best)
{
  using M = typename Traits<V>::M;
  constexpr int W = Traits<V>::W;
  lanes::splat(0.0, best);
  if (n < 3)
    return;
  // smoothedAt(E_j) at a point energy is the smoothed value of the first
  // of the points sharing that energy; `runStart` follows that point.
  int runStart = E[1] == E[0] ? 0 : 1;
  V below;
  V here;
  lanes::load(s, below);
  lanes::load(s + size_t(runStart) * W, here);
  V bestRise;
  V half;
  lanes::splat(0.0, bestRise);
  lanes::splat(0.5, half);
  for (int i = 1; i <= n - 2; ++i) {
    if (E[i + 1] != E[i])
      runStart = i + 1;
    V above;
    V p;
    V q;
    lanes::load(s + size_t(runStart) * W, above);
    lanes::load(preAt + size_t(i) * W, p);
    lanes::load(postAt + size_t(i) * W, q);
    const V middle = half * (p + q);
    const V rise = above - below;
    const M up = (below < middle) & (middle < above) & (rise > bestRise);
    lanes::select(up, rise, bestRise, bestRise);
    V at;
    lanes::splat(double(i), at);
    lanes::select(up, at, best, best);
    below = here;
    here = above;
  }
}

// Both lines at every energy. Straight and Victoreen lines are evaluated
// lane by lane with valueAt's own expressions; a line replaced beyond a
// limit is left to valueAt itself.
template<typename V>
LC_LANE_INLINE void lineValuesT(const EdgeSamples& s,
                                const EdgeLine* pre,
                                const EdgeLine* post,
                                double* preAt,
                                double* postAt,
                                int lanes)
{
  using M = typename Traits<V>::M;
  constexpr int W = Traits<V>::W;
  const int n = s.n;
  const double* E = s.E;
  V pc, ps, pa, pb, qc, qs, qa, qb;
  M preLinear;
  M postLinear;
  bool curved = false;
  bool outside = false;
  for (int l = 0; l < W; ++l) {
    lanes::setLane(pc, l, pre[l].c);
    lanes::setLane(ps, l, pre[l].slope);
    lanes::setLane(pa, l, pre[l].a);
    lanes::setLane(pb, l, pre[l].b);
    lanes::setLane(qc, l, post[l].c);
    lanes::setLane(qs, l, post[l].slope);
    lanes::setLane(qa, l, post[l].a);
    lanes::setLane(qb, l, post[l].b);
    lanes::setMask(preLinear, l, pre[l].linear);
    lanes::setMask(postLinear, l, post[l].linear);
    if (l < lanes) {
      curved = curved || !pre[l].linear || !post[l].linear;
      outside = outside || pre[l].useOutside || post[l].useOutside;
    }
  }
  for (int i = 0; i < n; ++i) {
    V at;
    lanes::splat(E[i], at);
    V a = pc + ps * at;
    V b = qc + qs * at;
    if (curved) {
      const double lambda = s.lambda ? s.lambda[i] : kHcEVA / E[i];
      V lam;
      V l3;
      lanes::splat(lambda, lam);
      lanes::splat(lambda * lambda * lambda, l3);
      const V va = pc + pa * l3 + pb * l3 * lam;
      const V vb = qc + qa * l3 + qb * l3 * lam;
      lanes::select(preLinear, a, va, a);
      lanes::select(postLinear, b, vb, b);
    }
    lanes::store(preAt + size_t(i) * W, a);
    lanes::store(postAt + size_t(i) * W, b);
  }
  if (outside)
    for (int l = 0; l < lanes; ++l)
      if (pre[l].useOutside || post[l].useOutside)
        for (int i = 0; i < n; ++i) {
          const double lambda = s.lambda ? s.lambda[i] : kHcEVA / E[i];
          preAt[size_t(i) * W + l] = pre[l].valueAt(E[i], lambda);
          postAt[size_t(i) * W + l] = post[l].valueAt(E[i], lambda);
        }
}

template<typename V>
LC_LANE_INLINE void normaliseT(const EdgeWindows& win,
                               const EdgeSamples& s,
                               EdgeLine* pre,
                               EdgeLine* post,
                               double* smoothed,
                               double* preAt,
                               double* postAt,
                               EdgeResult* res,
                               int lanes)
{
  constexpr int W = Traits<V>::W;
  const int n = s.n;
  const double* E = s.E;
  smoothFiveT<V>(s.y, n, smoothed);
  V guess;
  firstEdgeGuessT(win, E, smoothed, n, guess);
  V e0;
  for (int l = 0; l < W; ++l)
    lanes::setLane(e0, l, E[int(lanes::lane(guess, l))]);
  double jump[W];
  fitEdgeLinesT(win, s, e0, pre, post, jump, nullptr, lanes);
  lineValuesT<V>(s, pre, post, preAt, postAt, lanes);
  V edge;
  edgeIndexBetweenT(E, smoothed, preAt, postAt, n, edge);
  for (int l = 0; l < lanes; ++l) {
    const size_t at = size_t(lanes::lane(edge, l));
    const size_t k = at * W + size_t(l);
    res[l] = { E[at], postAt[k] - preAt[k] };
  }
}

__attribute__((target_clones("avx2", "default"))) void normaliseFourLanes(const EdgeWindows& win,
                                                                          const EdgeSamples& s,
                                                                          EdgeLine* pre,
                                                                          EdgeLine* post,
                                                                          double* smoothed,
                                                                          double* preAt,
                                                                          double* postAt,
                                                                          EdgeResult* res,
                                                                          int lanes)
{
  normaliseT<V4>(win, s, pre, post, smoothed, preAt, postAt, res, lanes);
}

__attribute__((target_clones("avx2", "default"))) void doubleNormalisedLanes(const double* y,
                                                                             const double* preAt,
                                                                             const double* postAt,
                                                                             int count,
                                                                             double* dn,
                                                                             double* jump)
{
  using M = Traits<V4>::M;
  V4 zero;
  lanes::splat(0.0, zero);
  int k = 0;
  for (; k + 4 <= count; k += 4) {
    V4 v;
    V4 p;
    V4 q;
    lanes::load(y + k, v);
    lanes::load(preAt + k, p);
    lanes::load(postAt + k, q);
    const V4 local = q - p;
    const V4 ratio = (v - p) / local;
    // finite and over a jump that is not 0: x - x is 0 exactly for a
    // finite x, NaN otherwise.
    const M keep = (local != zero) & (ratio - ratio == zero);
    V4 r;
    lanes::select(keep, ratio, zero, r);
    lanes::store(dn + k, r);
    lanes::store(jump + k, local);
  }
  for (; k < count; ++k) {
    dn[k] = doubleNormalised(y[k], preAt[k], postAt[k]);
    jump[k] = postAt[k] - preAt[k];
  }
}

} // namespace

void doubleNormalisedRows(const double* y,
                          const double* preAt,
                          const double* postAt,
                          int count,
                          double* dn,
                          double* jump)
{
  doubleNormalisedLanes(y, preAt, postAt, count, dn, jump);
}

void smoothFive(const double* y, int n, double* s)
{
  smoothFiveT<V1>(y, n, s);
}

int firstEdgeGuess(const EdgeWindows& win, const double* E, const double* smoothed, int n)
{
  V1 best;
  firstEdgeGuessT(win, E, smoothed, n, best);
  return int(best);
}

double fitEdgeLines(const EdgeWindows& win,
                    const EdgeSamples& s,
                    double e0,
                    EdgeLine& pre,
                    EdgeLine& post,
                    bool* ok)
{
  const V1 at = e0;
  double jump = 0.0;
  fitEdgeLinesT(win, s, at, &pre, &post, &jump, ok, 1);
  return jump;
}

int edgeIndexBetween(const double* E,
                     const double* s,
                     const double* preAt,
                     const double* postAt,
                     int n)
{
  V1 best;
  edgeIndexBetweenT(E, s, preAt, postAt, n, best);
  return int(best);
}

EdgeResult normaliseSamples(const EdgeWindows& win,
                            const EdgeSamples& s,
                            EdgeLine& pre,
                            EdgeLine& post,
                            double* smoothed,
                            double* preAt,
                            double* postAt)
{
  EdgeResult res;
  normaliseT<V1>(win, s, &pre, &post, smoothed, preAt, postAt, &res, 1);
  return res;
}

void normaliseFour(const EdgeWindows& win,
                   const EdgeSamples& s,
                   EdgeLine* pre,
                   EdgeLine* post,
                   double* smoothed,
                   double* preAt,
                   double* postAt,
                   EdgeResult* res,
                   int lanes)
{
  normaliseFourLanes(win, s, pre, post, smoothed, preAt, postAt, res, std::clamp(lanes, 1, 4));
}
