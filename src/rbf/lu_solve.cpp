#include "rbf/lu_solve.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "rbf/column_update.h"

namespace vantic {

namespace {

// Columns decomposed together. Before a panel is decomposed column by column, the updates from
// every column left of it are applied in blocks of kPanel columns, the bulk of the work.
constexpr int32_t kPanel = 48;

struct Scratch {
    uint16_t *perm = nullptr;
    double *scale = nullptr;
    double *saved = nullptr;  // the panel's columns as they were before its updates
    int32_t *pivots = nullptr;  // the row each column of the panel swapped with (itself: none)
    bool allocate(int32_t n) {
        const size_t count = static_cast<size_t>(std::max(n, 1));
        perm = static_cast<uint16_t *>(std::calloc(count, sizeof *perm));
        scale = static_cast<double *>(std::calloc(count, sizeof *scale));
        saved = static_cast<double *>(std::calloc(count * static_cast<size_t>(std::min(std::max(n, 1), kPanel)),
                                                  sizeof *saved));
        pivots = static_cast<int32_t *>(std::calloc(kPanel, sizeof *pivots));
        return perm && scale && saved && pivots;
    }
    ~Scratch() {
        std::free(perm);
        std::free(scale);
        std::free(saved);
        std::free(pivots);
    }
};

void SwapRows(double *const *col, int32_t c0, int32_t c1, int32_t a, int32_t b) {
    for (int32_t c = c0; c < c1; ++c) std::swap(col[c][a], col[c][b]);
}

// The panel's row swaps, in order, on the columns outside [j0, j1): the plain decomposition swaps
// across all columns at once; a swap only permutes entries, so doing it later gives the same matrix.
void SwapOutsidePanel(double *const *col, int32_t n, int32_t j0, int32_t j1, int32_t done,
                      const int32_t *pivots) {
    auto swapColumns = [&](int32_t c0, int32_t c1) {
        for (int32_t c = c0; c < c1; ++c)
            for (int32_t j = j0; j < done; ++j)
                if (pivots[j - j0] != j) std::swap(col[c][j], col[c][pivots[j - j0]]);
    };
    swapColumns(0, j0);
    swapColumns(j1, n);
}

// Largest magnitude of every row of M (a column of storage), compared as the scaling step does.
// 0 when a row holds nothing but zeros: the system is singular.
int32_t ScaleRows(double *const *col, int32_t n, Scratch &s) {
    for (int32_t r = 0; r < n; ++r) s.scale[r] = 0.0;
    for (int32_t c = 0; c < n; ++c)
        for (int32_t r = 0; r < n; ++r) {
            const double magnitude = std::fabs(col[c][r]);
            if (magnitude > s.scale[r]) s.scale[r] = magnitude;
        }
    for (int32_t r = 0; r < n; ++r) {
        if (s.scale[r] == 0.0) return 0;
        s.scale[r] = 1.0 / s.scale[r];
        s.perm[r] = static_cast<uint16_t>(r);
    }
    return 1;
}

// Crout's decomposition, one column j at a time in its arithmetic: column j takes the products of
// every earlier column in ascending order, then the row with the largest scaled magnitude from j down
// becomes the pivot row. The columns are grouped in panels only to reuse the cache; a singular column
// leaves the matrix exactly as the column-by-column order would.
int32_t Decompose(double *const *col, int32_t n, Scratch &s) {
    for (int32_t j0 = 0; j0 < n; j0 += kPanel) {
        const int32_t j1 = std::min(n, j0 + kPanel);
        const size_t rows = static_cast<size_t>(n);
        for (int32_t c = j0; c < j1; ++c)
            std::memcpy(s.saved + static_cast<size_t>(c - j0) * rows, col[c], rows * sizeof(double));
        for (int32_t k0 = 0; k0 < j0; k0 += kPanel)
            SubtractColumnProducts(col, n, j0, j1, k0, std::min(j0, k0 + kPanel));

        for (int32_t j = j0; j < j1; ++j) {
            SubtractColumnProducts(col, n, j, j + 1, j0, j);
            double best = 0.0;
            int32_t pivot = -1;
            for (int32_t i = j; i < n; ++i) {
                const double d = s.scale[i] * std::fabs(col[j][i]);
                if (d > best) {
                    best = d;
                    pivot = i;
                }
            }
            if (pivot < 0) {
                // Put back what the plain order would not have touched yet: the later panel columns
                // as they were, with this panel's swaps so far.
                for (int32_t c = j + 1; c < j1; ++c) {
                    std::memcpy(col[c], s.saved + static_cast<size_t>(c - j0) * rows, rows * sizeof(double));
                    for (int32_t p = j0; p < j; ++p)
                        if (s.pivots[p - j0] != p) std::swap(col[c][p], col[c][s.pivots[p - j0]]);
                }
                SwapOutsidePanel(col, n, j0, j1, j, s.pivots);
                return 0;
            }
            s.pivots[j - j0] = pivot;
            if (pivot != j) {
                SwapRows(col, j0, j1, j, pivot);
                std::swap(s.perm[j], s.perm[pivot]);
                s.scale[pivot] = s.scale[j];
            }
            if (j != n - 1) {
                const double f = 1.0 / col[j][j];
                for (int32_t i = j + 1; i < n; ++i) col[j][i] = col[j][i] * f;
            }
        }
        SwapOutsidePanel(col, n, j0, j1, j1, s.pivots);
    }
    return 1;
}

void PrintPermutation(const uint16_t *perm, int32_t n) {
    // Contract: clients and their scripts read this line from standard output.
    std::fputs("\n", stdout);
    std::fputs("Row permutation: ", stdout);
    for (int32_t i = 0; i < std::min(n, 3); ++i) std::printf("[%d]", static_cast<int>(perm[i]) + 1);
    std::fputs("\n", stdout);
}

// Forward then back substitution; each sum is taken off the running value term by term in ascending k.
void Substitute(double *const *col, int32_t n, const uint16_t *perm, const double *b, double *x) {
    for (int32_t i = 0; i < n; ++i) x[i] = b[perm[i]];
    for (int32_t k = 0; k < n; ++k) {
        const double xk = x[k];
        const double *lower = col[k];
        for (int32_t i = k + 1; i < n; ++i) x[i] = x[i] - lower[i] * xk;
    }
    for (int32_t i = n - 1; i >= 0; --i) {
        double sum = x[i];
        for (int32_t k = i + 1; k < n; ++k) sum = sum - col[k][i] * x[k];
        x[i] = sum / col[i][i];
    }
}

}  // namespace

int32_t LuSolve(RbfMatrix *matrix, const double *b, double *x) {
    const int32_t n = matrix->rowCount;
    if (n < 0 || n > kLuMaxOrder || matrix->columnCount != n) return 0;
    double *const *col = matrix->rows;
    Scratch scratch;
    if (!scratch.allocate(n)) return 0;
    if (!ScaleRows(col, n, scratch)) return 0;
    if (!Decompose(col, n, scratch)) return 0;
    PrintPermutation(scratch.perm, n);
    Substitute(col, n, scratch.perm, b, x);
    return 1;
}

}  // namespace vantic
