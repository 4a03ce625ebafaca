#include "rbf/column_update.h"

#include <algorithm>

namespace vantic {

namespace {

// Rows of the target columns handled together: a block of the source columns this tall stays in
// cache while every target column of the call passes over it.
constexpr int32_t kRowBlock = 256;

// A tile of R rows by C columns starting at row i of column j: kept in registers while the source
// columns k0 ... k1-1 are taken off it, one product at a time per entry.
// GCC would otherwise vectorise the k loop as an in-order reduction (pairs of products shuffled into
// place); the tile's rows are the dimension that vectorises cleanly.
#if defined(__GNUC__) && !defined(__clang__)
#define VANTIC_TILE_ROWS_VECTORISED __attribute__((optimize("no-tree-loop-vectorize")))
#else
#define VANTIC_TILE_ROWS_VECTORISED
#endif

template <int R, int C>
VANTIC_TILE_ROWS_VECTORISED inline void SubtractTile(double *const *col, int32_t j, int32_t i, int32_t k0, int32_t k1) {
    double tile[C][R];
    for (int c = 0; c < C; ++c)
        for (int r = 0; r < R; ++r) tile[c][r] = col[j + c][i + r];
    for (int32_t k = k0; k < k1; ++k) {
        const double *source = col[k] + i;
        for (int c = 0; c < C; ++c) {
            const double m = col[j + c][k];
            for (int r = 0; r < R; ++r) tile[c][r] = tile[c][r] - source[r] * m;
        }
    }
    for (int c = 0; c < C; ++c)
        for (int r = 0; r < R; ++r) col[j + c][i + r] = tile[c][r];
}

// Rows [i0, i1) of C columns from j.
template <int C>
void SubtractRows(double *const *col, int32_t j, int32_t i0, int32_t i1, int32_t k0, int32_t k1) {
    int32_t i = i0;
    for (; i + 4 <= i1; i += 4) SubtractTile<4, C>(col, j, i, k0, k1);
    for (; i < i1; ++i) SubtractTile<1, C>(col, j, i, k0, k1);
}

}  // namespace

void SubtractColumnProducts(double *const *col, int32_t n, int32_t j0, int32_t j1, int32_t k0, int32_t k1) {
    if (k0 >= k1) return;
    // Rows inside [k0, k1): each takes only the terms above it, which finishes the multipliers
    // col[j][k] that the rows below use.
    for (int32_t j = j0; j < j1; ++j) {
        double *target = col[j];
        for (int32_t k = k0; k < k1; ++k) {
            const double m = target[k];
            const double *source = col[k];
            for (int32_t i = k + 1; i < k1; ++i) target[i] = target[i] - source[i] * m;
        }
    }
    // Rows from k1 down take every term k0 ... k1-1.
    for (int32_t i0 = k1; i0 < n; i0 += kRowBlock) {
        const int32_t i1 = std::min(n, i0 + kRowBlock);
        int32_t j = j0;
        for (; j + 4 <= j1; j += 4) SubtractRows<4>(col, j, i0, i1, k0, k1);
        for (; j < j1; ++j) SubtractRows<1>(col, j, i0, i1, k0, k1);
    }
}

}  // namespace vantic
