#pragma once

// Small dense linear systems by LU decomposition with row pivoting: the one
// solver of the program, for the normal equations of the line fits and of the
// reference fits. Matrices are row-major n x n. The pivot is the largest
// absolute value of the column among the remaining rows (the first of equal
// ones wins).

constexpr int kLuMaxSize = 8;

// The line fits (n <= kLuMaxSize): factorises `a` in place (unit lower L below the diagonal, U on
// and above it) and records the row order in `perm`. False when a pivot is zero or too small
// against the matrix's largest entry to carry information, or when the matrix holds a non-finite
// value.
bool luDecompose(double* a, int n, int* perm);
// Forward substitution L·y = P·b; false on a non-finite result.
bool luSolveLower(const double* lu, int n, const int* perm, const double* b, double* y);
// Back substitution U·x = y; false on a zero diagonal or non-finite result.
bool luSolveUpper(const double* lu, int n, const double* y, double* x);

// The reference fits' rule, for any n: a zero pivot marks the system
// singular, but the decomposition goes on and skips that column, and the
// substitution leaves the unknown of that row at 0, so a singular system
// (identical references) still gives finite weights, all on the first.
// Factorises `a` in place; returns whether a zero pivot was met.
bool luDecomposeSkipping(double* a, int n, int* perm);
// Solves with a factorisation of luDecomposeSkipping; `y` is n doubles of
// scratch, `x` receives the n unknowns.
void luSolveSkipping(const double* lu,
                     int n,
                     const int* perm,
                     const double* b,
                     double* y,
                     double* x);
