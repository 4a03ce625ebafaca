// The RBF's LU solver: Crout's method with implicit (scaled) partial pivoting, in place.
#pragma once

#include <cstdint>

#include "vanticAPI.h"

namespace vantic {

// The largest system the solver takes: its row permutation is held in 16-bit entries.
constexpr int32_t kLuMaxOrder = 65536;

// Solves M x = b for the system M(r, c) = rows[c][r] of a square matrix (the transpose of what the
// rows hold). On success the matrix holds L (unit diagonal not stored) and U in the pivoted row order,
// the "Row permutation: " line is written to standard output and the result is 1. A singular system
// gives 0 and leaves x untouched (an all-zero row of M: the matrix too). x must not alias b.
int32_t LuSolve(RbfMatrix *matrix, const double *b, double *x);

}  // namespace vantic
