#pragma once

#include <cstdint>
#include <cstring>

// Arithmetic on lanes of doubles, one spectrum per lane. Code written once
// over a lane type runs on one lane (V1, plain scalar instructions) for a
// single spectrum and on four (V4, one AVX2 register or two SSE2 ones) for
// a batch of neighbouring points; each lane takes the same operations in
// the same order either way, so a point's numbers do not depend on its
// company. Nothing here contracts a multiply and an add.
//
// Helpers take and give their vectors by reference: a 32-byte vector passed
// by value from the portable clone of a function has no agreed calling
// convention, which clang refuses outright.
namespace lanes {

using V1 = double;
typedef double V4 __attribute__((vector_size(32)));
typedef std::int64_t M4 __attribute__((vector_size(32)));

template<typename V>
struct Traits;
template<>
struct Traits<V1>
{
  using M = bool;
  static constexpr int W = 1;
};
template<>
struct Traits<V4>
{
  using M = M4;
  static constexpr int W = 4;
};

#define LC_LANE_INLINE __attribute__((always_inline)) inline

template<typename V>
LC_LANE_INLINE void load(const double* p, V& v)
{
  std::memcpy(&v, p, sizeof v);
}

template<typename V>
LC_LANE_INLINE void store(double* p, const V& v)
{
  std::memcpy(p, &v, sizeof v);
}

template<typename V>
LC_LANE_INLINE void splat(double x, V& v)
{
  for (int l = 0; l < Traits<V>::W; ++l)
    v[l] = x;
}
LC_LANE_INLINE void splat(double x, double& v)
{
  v = x;
}

// Lane l of a value, and setting it (of a mask: all ones or zeros).
template<typename V>
LC_LANE_INLINE double lane(const V& v, int l)
{
  return v[l];
}
LC_LANE_INLINE double lane(const double& v, int)
{
  return v;
}
template<typename V>
LC_LANE_INLINE void setLane(V& v, int l, double x)
{
  v[l] = x;
}
LC_LANE_INLINE void setLane(double& v, int, double x)
{
  v = x;
}
template<typename M>
LC_LANE_INLINE void setMask(M& m, int l, bool on)
{
  m[l] = on ? -1 : 0;
}
LC_LANE_INLINE void setMask(bool& m, int, bool on)
{
  m = on;
}

// out = m ? a : b, lane by lane, bits kept.
template<typename V, typename M>
LC_LANE_INLINE void select(const M& m, const V& a, const V& b, V& out)
{
  out = (V)(((M)a & m) | ((M)b & ~m));
}
LC_LANE_INLINE void select(bool m, const double& a, const double& b, double& out)
{
  out = m ? a : b;
}

template<typename M>
LC_LANE_INLINE bool any(const M& m, int lanes)
{
  for (int l = 0; l < lanes; ++l)
    if (m[l])
      return true;
  return false;
}
LC_LANE_INLINE bool any(bool m, int)
{
  return m;
}

} // namespace lanes
