#include "stack/AbsorptionRow.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

typedef double V4 __attribute__((vector_size(32)));
typedef std::int64_t I4 __attribute__((vector_size(32)));

// Lane helpers are macros and the logarithm takes its lanes by reference:
// a 32-byte vector passed by value from the portable clone has no agreed
// calling convention, which clang refuses outright. Casts between vectors of
// one size keep the bits.
#define LC_SPLAT(v) (V4{ (v), (v), (v), (v) })
#define LC_AS_DOUBLE(i) ((V4)(i))
#define LC_AS_INT(d) ((I4)(d))

// fdlibm's logarithm on four lanes: x = 2^k (1 + f) with 1 + f in
// [sqrt(2)/2, sqrt(2)), ln(1 + f) = f - f²/2 + s (f²/2 + R(s²)),
// s = f / (2 + f). Valid for normal positive finite x; each lane runs the
// same operations in the same order as a lane of any other width.
__attribute__((always_inline)) inline void log4(const V4& x, V4& result)
{
  const I4 bits = LC_AS_INT(x);
  const I4 exponent = (bits >> 52) & 0x7ff;
  const I4 mantissa = (bits & 0x000fffffffffffffLL) | 0x3ff0000000000000LL;
  V4 m = LC_AS_DOUBLE(mantissa);
  // The biased exponent as a double without an integer conversion: the bits
  // of 2^52 + e, less 2^52.
  V4 k =
    LC_AS_DOUBLE(exponent | 0x4330000000000000LL) - LC_SPLAT(4503599627370496.0) - LC_SPLAT(1023.0);
  const I4 high = m > LC_SPLAT(1.4142135623730951);
  m = LC_AS_DOUBLE((LC_AS_INT(m * LC_SPLAT(0.5)) & high) | (LC_AS_INT(m) & ~high));
  k = LC_AS_DOUBLE((LC_AS_INT(k + LC_SPLAT(1.0)) & high) | (LC_AS_INT(k) & ~high));
  const V4 f = m - LC_SPLAT(1.0);
  const V4 s = f / (LC_SPLAT(2.0) + f);
  const V4 z = s * s;
  const V4 w = z * z;
  const V4 t1 =
    w * (LC_SPLAT(3.999999999940941908e-01) +
         w * (LC_SPLAT(2.222219843214978396e-01) + w * LC_SPLAT(1.531383769920937332e-01)));
  const V4 t2 =
    z * (LC_SPLAT(6.666666666666735130e-01) +
         w * (LC_SPLAT(2.857142874366239149e-01) +
              w * (LC_SPLAT(1.818357216161805012e-01) + w * LC_SPLAT(1.479819860511658591e-01))));
  const V4 r = t2 + t1;
  const V4 hfsq = LC_SPLAT(0.5) * f * f;
  const V4 ln2Hi = LC_SPLAT(6.93147180369123816490e-01);
  const V4 ln2Lo = LC_SPLAT(1.90821492927058770002e-10);
  result = k * ln2Hi - ((hfsq - (s * (hfsq + r) + k * ln2Lo)) - f);
}

// The value of a lane whose ratio is not a normal positive number (rare):
// the library logarithm decides it, its result kept only when finite.
double oddLane(double i0, double i1, double ratio)
{
  if (!(i0 * i1 > 0))
    return 1.0;
  const double r = std::log(ratio);
  return std::isfinite(r) ? r : 1.0;
}

// A last group of fewer than four lanes is padded, so a box alone gets the
// same number as a box among others. Lanes whose ratio is not a normal
// positive number are rare: they are noted on the way and mended after the
// row, so the common pass never looks at single lanes.
__attribute__((target_clones("avx2", "default"))) void transmissionRows(const double* i0,
                                                                        const double* i1,
                                                                        double* out,
                                                                        int count)
{
  I4 odd = LC_AS_INT(LC_SPLAT(0.0));
  for (int j = 0; j < count; j += 4) {
    const int lanes = count - j < 4 ? count - j : 4;
    V4 a = LC_SPLAT(1.0);
    V4 b = LC_SPLAT(1.0);
    if (lanes == 4) {
      std::memcpy(&a, i0 + j, sizeof a);
      std::memcpy(&b, i1 + j, sizeof b);
    } else {
      for (int l = 0; l < lanes; ++l) {
        a[l] = i0[j + l];
        b[l] = i1[j + l];
      }
    }
    const V4 ratio = a / b;
    V4 mu;
    log4(ratio, mu);
    const I4 plain = (a * b > LC_SPLAT(0.0)) & (ratio >= LC_SPLAT(2.2250738585072014e-308)) &
                     (ratio <= LC_SPLAT(1.7976931348623157e308));
    const V4 v = LC_AS_DOUBLE((LC_AS_INT(mu) & plain) | (LC_AS_INT(LC_SPLAT(1.0)) & ~plain));
    odd |= ~plain & (a * b > LC_SPLAT(0.0));
    if (lanes == 4)
      std::memcpy(out + j, &v, sizeof v);
    else
      for (int l = 0; l < lanes; ++l)
        out[j + l] = v[l];
  }
  if (odd[0] | odd[1] | odd[2] | odd[3])
    for (int j = 0; j < count; ++j) {
      const double ratio = i0[j] / i1[j];
      if (i0[j] * i1[j] > 0.0 &&
          !(ratio >= 2.2250738585072014e-308 && ratio <= 1.7976931348623157e308))
        out[j] = oddLane(i0[j], i1[j], ratio);
    }
}

} // namespace

void transmissionRow(const double* i0, const double* i1, double* out, int count)
{
  transmissionRows(i0, i1, out, count);
}

double absorptionLog(double x)
{
  double out = 1.0;
  const double one = 1.0;
  transmissionRows(&x, &one, &out, 1);
  return out;
}

const char* absorptionRowPath()
{
  return __builtin_cpu_supports("avx2") ? "avx2" : "sse2";
}
