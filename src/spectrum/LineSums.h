#pragma once

#include "spectrum/Lanes.h"

#include <algorithm>
#include <cstddef>

// The sums of the edge line fits over an energy window, a spectrum a lane:
// energies E (n, shared by the lanes), values Y (n rows of the lane width)
// and per lane the window lo <= E < hi. A point outside a lane's window adds
// +0.0 to that lane's sums, which leaves a sum begun at +0.0 as skipping the
// point would. VictLine's fits finish each lane from its sums.
namespace lanes {

// The points [begin, end) outside which no lane's window holds a point:
// the sums skip the rest, which adds nothing to them. E need not be sorted.
template<typename V>
LC_LANE_INLINE void windowSpan(const double* E,
                               int n,
                               const V& lo,
                               const V& hi,
                               int& begin,
                               int& end)
{
  // A lane with a NaN bound holds no point and widens nothing.
  bool any = false;
  double least = 0.0;
  double most = 0.0;
  for (int l = 0; l < Traits<V>::W; ++l) {
    const double a = lane(lo, l);
    const double b = lane(hi, l);
    if (!(a == a) || !(b == b))
      continue;
    least = any ? std::min(least, a) : a;
    most = any ? std::max(most, b) : b;
    any = true;
  }
  begin = 0;
  end = 0;
  if (!any)
    return;
  end = n;
  while (begin < end && !(least <= E[begin] && E[begin] < most))
    ++begin;
  while (end > begin && !(least <= E[end - 1] && E[end - 1] < most))
    --end;
}

// N, Σe, Σe², Σy, Σey, Σy² with e = E - origin, origin and `first` the
// energy and value of the first point in the window.
template<typename V>
LC_LANE_INLINE void straightSums(const double* E,
                                 const double* Y,
                                 int n,
                                 const V& lo,
                                 const V& hi,
                                 V* s,
                                 V& origin,
                                 V& first)
{
  using M = typename Traits<V>::M;
  constexpr int W = Traits<V>::W;
  V zero;
  V one;
  splat(0.0, zero);
  splat(1.0, one);
  for (int k = 0; k < 6; ++k)
    s[k] = zero;
  origin = zero;
  first = zero;
  int begin = 0;
  int end = 0;
  windowSpan(E, n, lo, hi, begin, end);
  for (int i = begin; i < end; ++i) {
    V at;
    splat(E[i], at);
    const M in = (lo <= at) & (at < hi);
    V y;
    load(Y + size_t(i) * W, y);
    const M starts = in & (s[0] == zero);
    select(starts, at, origin, origin);
    select(starts, y, first, first);
    const V e = at - origin;
    const V ee = e * e;
    const V ey = e * y;
    const V yy = y * y;
    V t;
    select(in, one, zero, t);
    s[0] += t;
    select(in, e, zero, t);
    s[1] += t;
    select(in, ee, zero, t);
    s[2] += t;
    select(in, y, zero, t);
    s[3] += t;
    select(in, ey, zero, t);
    s[4] += t;
    select(in, yy, zero, t);
    s[5] += t;
  }
}

// N, Σu³, Σu⁴, Σu⁶, Σu⁷, Σu⁸, Σy, Σu³y, Σu⁴y, Σy² with u = λ/ref, ref the
// wavelength of the first point in the window (0 while there is none).
template<typename V>
LC_LANE_INLINE void victoreenSums(const double* E,
                                  const double* lambda,
                                  const double* Y,
                                  int n,
                                  const V& lo,
                                  const V& hi,
                                  V* s,
                                  V& ref)
{
  using M = typename Traits<V>::M;
  constexpr int W = Traits<V>::W;
  V zero;
  V one;
  splat(0.0, zero);
  splat(1.0, one);
  for (int k = 0; k < 10; ++k)
    s[k] = zero;
  ref = zero;
  V invRef = zero;
  int begin = 0;
  int end = 0;
  windowSpan(E, n, lo, hi, begin, end);
  for (int i = begin; i < end; ++i) {
    V at;
    splat(E[i], at);
    const M in = (lo <= at) & (at < hi);
    V lam;
    splat(lambda[i], lam);
    const M starts = in & (ref == zero);
    if (any(starts, W)) {
      V inv;
      splat(1.0 / lambda[i], inv);
      select(starts, lam, ref, ref);
      select(starts, inv, invRef, invRef);
    }
    V y;
    load(Y + size_t(i) * W, y);
    const V u = lam * invRef;
    const V u3 = u * u * u;
    const V u4 = u3 * u;
    const V terms[10] = { one, u3, u4, u3 * u3, u3 * u4, u4 * u4, y, u3 * y, u4 * y, y * y };
    for (int k = 0; k < 10; ++k) {
      V t;
      select(in, terms[k], zero, t);
      s[k] += t;
    }
  }
}

} // namespace lanes
