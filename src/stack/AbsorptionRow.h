#pragma once

// The absorption of a row of boxes at one energy, four boxes at a time
// through one logarithm of our own: every box gives the same number whether
// it is computed alone or beside others, on any x86-64 (the SIMD width is
// chosen at run time, the operations and their order are not).

// out[j] = ln(i0[j] / i1[j]); 1.0 where that has no meaning (a non-positive
// product or a non-finite result). `out` overlaps neither input.
void transmissionRow(const double* i0, const double* i1, double* out, int count);

// The logarithm `transmissionRow` takes, for one x > 0 (within one unit in
// the last place of ln x); 1.0 where `transmissionRow` gives it.
double absorptionLog(double x);

// "avx2" or "sse2": the instructions `transmissionRow` runs on here.
const char* absorptionRowPath();
