#pragma once

#include "spectrum/Lanes.h"

#include <cstddef>

// The sums of the edge line fits over an energy window, a spectrum a lane:
// energies E (n, shared by the lanes), values Y (n rows of the lane width)
// and per lane the window lo <= E < hi. A point outside a lane's window adds
// +0.0 to that lane's sums, which leaves a sum begun at +0.0 as skipping the
// point would. VictLine's fits finish each lane from its sums.
namespace lanes {

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
  for (int i = 0; i < n; ++i) {
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
  for (int i = 0; i < n; ++i) {
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
