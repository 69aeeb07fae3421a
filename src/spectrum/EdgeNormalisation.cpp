#include "spectrum/EdgeNormalisation.h"

#include <algorithm>

void smoothFive(const double* y, int n, double* s)
{
  // A running sum over the points i-2 .. i+2 that exist (1 to 5 of them).
  static constexpr double kInverseCount[6] = { 0.0, 1.0, 1.0 / 2, 1.0 / 3, 1.0 / 4, 1.0 / 5 };
  double sum = 0.0;
  int lo = 0;
  int hi = -1;
  for (int i = 0; i < n; ++i) {
    while (hi < std::min(n - 1, i + 2))
      sum += y[++hi];
    while (lo < i - 2)
      sum -= y[lo++];
    s[i] = sum * kInverseCount[hi - lo + 1];
  }
}

int firstEdgeGuess(const EdgeWindows& win, const double* E, const double* smoothed, int n)
{
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
  int best = -1;
  double bestRise = 0.0;
  for (int i = lo; i <= hi; ++i) {
    const double rise = smoothed[i + 1] - smoothed[i];
    if (rise > bestRise) {
      bestRise = rise;
      best = i;
    }
  }
  return best < 0 ? 0 : best;
}

double fitEdgeLines(const EdgeWindows& win,
                    const EdgeSamples& s,
                    double e0,
                    EdgeLine& pre,
                    EdgeLine& post,
                    bool* ok)
{
  const LineFitInput in{ s.E, s.lambda, s.y, s.n };
  const double first = s.n > 0 ? s.E[0] : 0.0;
  const double last = s.n > 0 ? s.E[s.n - 1] : 0.0;
  bool preOk;
  bool postOk;
  if (win.mode == 0) {
    preOk = VictLine::fitVictoreen(in, first, e0 + win.preEnd, pre);
    postOk = VictLine::fitVictoreen(in, e0 + win.postStart, last, post);
  } else {
    preOk = VictLine::fitStraight(in, first, e0 + win.preEnd, pre);
    postOk = VictLine::fitStraight(in, e0 + win.postStart, last, post);
  }
  if (ok)
    *ok = preOk && postOk;
  const double jump = post.valueAt(e0) - pre.valueAt(e0);
  if (jump < 0.0) {
    // An inverted edge (a fluorescence channel read as ln(I0/I1)): part the
    // lines so the post-edge line lies above the pre-edge line and the
    // normalised curves keep a positive jump. The caller keeps the measured
    // value; the normalisation recomputes it from the parted lines.
    const double p = 0.55 * jump;
    pre.c += p;
    pre.p0 += p;
    post.c -= p;
    post.p0 -= p;
  }
  return jump;
}

int edgeIndexBetween(const double* E,
                     const double* s,
                     const double* preAt,
                     const double* postAt,
                     int n)
{
  if (n < 3)
    return 0;
  // smoothedAt(E_j) at a point energy is the smoothed value of the first
  // of the points sharing that energy; `runStart` follows that point.
  int runStart = E[1] == E[0] ? 0 : 1;
  double below = s[0];
  double here = s[runStart];
  int best = 0;
  double bestRise = 0.0;
  for (int i = 1; i <= n - 2; ++i) {
    if (E[i + 1] != E[i])
      runStart = i + 1;
    const double above = s[runStart];
    const double half = 0.5 * (preAt[i] + postAt[i]);
    if (below < half && half < above && above - below > bestRise) {
      bestRise = above - below;
      best = i;
    }
    below = here;
    here = above;
  }
  return best;
}

EdgeResult normaliseSamples(const EdgeWindows& win,
                            const EdgeSamples& s,
                            EdgeLine& pre,
                            EdgeLine& post,
                            double* smoothed,
                            double* preAt,
                            double* postAt)
{
  const int n = s.n;
  const double* E = s.E;
  smoothFive(s.y, n, smoothed);
  fitEdgeLines(win, s, E[firstEdgeGuess(win, E, smoothed, n)], pre, post);
  // A line left from an earlier Victoreen fit (its own fit failed) still
  // needs the wavelengths.
  const bool linear = pre.linear && post.linear;
  if (s.lambda || !linear) {
    for (int i = 0; i < n; ++i) {
      const double lambda = s.lambda ? s.lambda[i] : kHcEVA / E[i];
      preAt[i] = pre.valueAt(E[i], lambda);
      postAt[i] = post.valueAt(E[i], lambda);
    }
  } else if (pre.useOutside || post.useOutside) {
    for (int i = 0; i < n; ++i) {
      preAt[i] = pre.valueAt(E[i], 0.0);
      postAt[i] = post.valueAt(E[i], 0.0);
    }
  } else {
    // Two straight lines: valueAt's own expression, in a loop without
    // branches.
    const double preC = pre.c;
    const double preSlope = pre.slope;
    const double postC = post.c;
    const double postSlope = post.slope;
    for (int i = 0; i < n; ++i) {
      preAt[i] = preC + preSlope * E[i];
      postAt[i] = postC + postSlope * E[i];
    }
  }
  const int edge = edgeIndexBetween(E, smoothed, preAt, postAt, n);
  return { E[edge], postAt[edge] - preAt[edge] };
}
