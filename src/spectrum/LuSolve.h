#pragma once

// Small dense linear systems by LU decomposition with row pivoting, for the
// least-squares normal equations of the line fits. Matrices are row-major
// n x n, n <= kLuMaxSize.

constexpr int kLuMaxSize = 8;

// Factorises `a` in place (unit lower L below the diagonal, U on and above
// it) and records the row order in `perm`. False when a pivot is zero or too
// small against the matrix's largest entry to carry information, or when
// the matrix holds a non-finite value.
bool luDecompose(double* a, int n, int* perm);
// Forward substitution L·y = P·b; false on a non-finite result.
bool luSolveLower(const double* lu, int n, const int* perm, const double* b, double* y);
// Back substitution U·x = y; false on a zero diagonal or non-finite result.
bool luSolveUpper(const double* lu, int n, const double* y, double* x);
