#include "rbf/column_update.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace vantic {

namespace {

// Rows of the target columns handled together: a block of the source columns this tall stays in
// cache while every target column of the call passes over it.
constexpr int32_t kRowBlock = 256;

// Lanes of doubles that one instruction works on. Element-wise, each lane is the scalar arithmetic:
// the product is rounded, then subtracted (contraction is off for the whole module).
typedef double Lanes2 __attribute__((vector_size(16)));
typedef double Lanes4 __attribute__((vector_size(32)));
typedef double Lanes8 __attribute__((vector_size(64)));

template <class V>
constexpr int kWidth = static_cast<int>(sizeof(V) / sizeof(double));

// Vectors pass by reference only: a vector by value would change the calling convention between the
// baseline and the wider kernels.
template <class V>
[[gnu::always_inline]] inline void Load(V &v, const double *p) {
    std::memcpy(&v, p, sizeof v);
}

template <class V>
[[gnu::always_inline]] inline void Store(double *p, const V &v) {
    std::memcpy(p, &v, sizeof v);
}

// A tile of R lane groups (R * width rows) by C columns starting at row i of column j, kept in
// registers while the source columns k0 ... k1-1 are taken off it, one product at a time per entry.
// Always inlined, so that it is compiled for the instruction set of the kernel that calls it.
template <class V, int R, int C>
[[gnu::always_inline]] inline void SubtractTile(double *const *col, int32_t j, int32_t i, int32_t k0, int32_t k1) {
    constexpr int w = kWidth<V>;
    V tile[C][R];
#pragma GCC unroll 16
    for (int c = 0; c < C; ++c)
#pragma GCC unroll 4
        for (int r = 0; r < R; ++r) Load(tile[c][r], col[j + c] + i + r * w);
    for (int32_t k = k0; k < k1; ++k) {
        const double *source = col[k] + i;
        V s[R];
#pragma GCC unroll 4
        for (int r = 0; r < R; ++r) Load(s[r], source + r * w);
#pragma GCC unroll 16
        for (int c = 0; c < C; ++c) {
            const double m = col[j + c][k];
#pragma GCC unroll 4
            for (int r = 0; r < R; ++r) tile[c][r] = tile[c][r] - s[r] * m;
        }
    }
#pragma GCC unroll 16
    for (int c = 0; c < C; ++c)
#pragma GCC unroll 4
        for (int r = 0; r < R; ++r) Store(col[j + c] + i + r * w, tile[c][r]);
}

// Rows [i0, i1) of C columns from j: whole tiles, then single lane groups, then single rows.
template <class V, int R, int C>
[[gnu::always_inline]] inline void SubtractRows(double *const *col, int32_t j, int32_t i0, int32_t i1, int32_t k0,
                                                int32_t k1) {
    constexpr int32_t w = kWidth<V>;
    int32_t i = i0;
    for (; i + R * w <= i1; i += R * w) SubtractTile<V, R, C>(col, j, i, k0, k1);
    for (; i + w <= i1; i += w) SubtractTile<V, 1, C>(col, j, i, k0, k1);
    for (; i < i1; ++i) SubtractTile<double, 1, C>(col, j, i, k0, k1);
}

// Rows from k1 down, every term k0 ... k1-1, in register tiles of R lane groups by C columns.
template <class V, int R, int C>
[[gnu::always_inline]] inline void SubtractBelow(double *const *col, int32_t n, int32_t j0, int32_t j1, int32_t k0,
                                                 int32_t k1) {
    for (int32_t i0 = k1; i0 < n; i0 += kRowBlock) {
        const int32_t i1 = std::min(n, i0 + kRowBlock);
        int32_t j = j0;
        for (; j + C <= j1; j += C) SubtractRows<V, R, C>(col, j, i0, i1, k0, k1);
        for (; j < j1; ++j) SubtractRows<V, R, 1>(col, j, i0, i1, k0, k1);
    }
}

using BelowKernel = void (*)(double *const *, int32_t, int32_t, int32_t, int32_t, int32_t);

// Baseline x86-64 (two lanes): 16 registers hold a 4 x 4 tile, its sources and a product.
void BelowBaseline(double *const *col, int32_t n, int32_t j0, int32_t j1, int32_t k0, int32_t k1) {
    SubtractBelow<Lanes2, 2, 4>(col, n, j0, j1, k0, k1);
}

#if VANTIC_WIDE_KERNELS
// Four lanes, 16 registers: an 8 x 4 tile.
VANTIC_AT_AVX2 void BelowAvx2(double *const *col, int32_t n, int32_t j0, int32_t j1, int32_t k0, int32_t k1) {
    SubtractBelow<Lanes4, 2, 4>(col, n, j0, j1, k0, k1);
}

// Eight lanes, 32 registers: a 16 x 8 tile.
VANTIC_AT_AVX512 void BelowAvx512(double *const *col, int32_t n, int32_t j0, int32_t j1, int32_t k0, int32_t k1) {
    SubtractBelow<Lanes8, 2, 8>(col, n, j0, j1, k0, k1);
}

constexpr WidthKernels<BelowKernel> kKernels{&BelowBaseline, &BelowAvx2, &BelowAvx512};
#else
constexpr WidthKernels<BelowKernel> kKernels{&BelowBaseline, nullptr, nullptr};
#endif

constexpr int32_t kUnchosen = -1;
std::atomic<int32_t> g_width{kUnchosen};

}  // namespace

VectorWidth ActiveColumnWidth() {
    int32_t chosen = g_width.load(std::memory_order_relaxed);
    if (chosen == kUnchosen) {
        // Threads racing here choose the same width.
        chosen = static_cast<int32_t>(WidestWidth());
        g_width.store(chosen, std::memory_order_relaxed);
    }
    return static_cast<VectorWidth>(chosen);
}

bool ForceColumnWidth(VectorWidth width) {
    if (!Runs(width)) return false;
    g_width.store(static_cast<int32_t>(width), std::memory_order_relaxed);
    return true;
}

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
    kKernels.at(ActiveColumnWidth())(col, n, j0, j1, k0, k1);
}

}  // namespace vantic
