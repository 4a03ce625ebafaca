// The arithmetic core of the LU decomposition. The matrix is held as columns of M (col[c][r] is
// M(r, c)), so every update below runs down contiguous, independent entries; each entry takes its
// products off its running value one at a time in ascending k, which is exactly the order of the
// plain column-by-column decomposition.
#pragma once

#include <cstdint>

#include "geometry/vector_width.h"

namespace vantic {

// For every column j in [j0, j1) and row i > k: col[j][i] -= col[k][i] * col[j][k], for k = k0 ... k1-1
// in turn. Rows i < k1 take the terms k < i only (a unit-lower triangular solve on rows [k0, k1)).
// Needs k1 <= j0: the multipliers col[j][k] are final once the rows above them are done.
void SubtractColumnProducts(double *const *col, int32_t n, int32_t j0, int32_t j1, int32_t k0, int32_t k1);

// The vector width the bulk of the update runs at: the widest one (see WidestWidth), chosen at the
// first update. Every width gives the same bits: the rows of a column are independent, and each entry
// takes its products in the same order with a separate multiply and subtract.
VectorWidth ActiveColumnWidth();

// For tests and benchmarks of this copy of the module: use width from now on. False, and no change,
// when the processor does not run it.
bool ForceColumnWidth(VectorWidth width);

}  // namespace vantic
