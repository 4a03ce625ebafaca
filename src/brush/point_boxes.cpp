#include "brush/point_boxes.h"

#include <limits>

namespace vantic {

namespace {

using BoxFunction = void (*)(const double *, size_t, PointBox *);

// Eight points are 24 doubles, whose axes repeat every three: lane l of a group of 24 always holds
// axis l % 3, so each lane keeps its own least and greatest value with no shuffling, and the lanes are
// folded into axes at the end. `v < m ? v : m` leaves a value that is not a number out, as the wide
// minimum instructions do.
constexpr size_t kLanes = 24;

template <size_t W>
[[gnu::always_inline]] inline void Halve(double *low, double *high) {
    for (size_t l = 0; l < W; ++l) {
        low[l] = low[l + W] < low[l] ? low[l + W] : low[l];
        high[l] = high[l + W] > high[l] ? high[l + W] : high[l];
    }
}

// n is a constant for whole boxes, so that the loops unroll and the lanes stay in registers.
[[gnu::always_inline]] inline PointBox Box(const double *xyz, size_t n) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    double low[kLanes], high[kLanes];
    for (size_t l = 0; l < kLanes; ++l) {
        low[l] = kInf;
        high[l] = -kInf;
    }
    const size_t values = 3 * n, grouped = values - values % kLanes;
    for (size_t g = 0; g < grouped; g += kLanes)
        for (size_t l = 0; l < kLanes; ++l) {
            const double v = xyz[g + l];
            low[l] = v < low[l] ? v : low[l];
            high[l] = v > high[l] ? v : high[l];
        }
    for (size_t j = grouped; j < values; ++j) {
        const size_t l = j - grouped;
        const double v = xyz[j];
        low[l] = v < low[l] ? v : low[l];
        high[l] = v > high[l] ? v : high[l];
    }
    // Lanes l and l + w hold the same axis whenever w is a multiple of 3: halve 24 lanes to 12, 6, 3.
    Halve<12>(low, high);
    Halve<6>(low, high);
    Halve<3>(low, high);
    PointBox box;
    for (size_t a = 0; a < 3; ++a) {
        box.low[a] = low[a];
        box.high[a] = high[a];
    }
    return box;
}

[[gnu::always_inline]] inline void Boxes(const double *xyz, size_t n, PointBox *boxes) {
    const size_t whole = n / kBoxPoints;
    for (size_t b = 0; b < whole; ++b) boxes[b] = Box(xyz + 3 * kBoxPoints * b, kBoxPoints);
    if (n > whole * kBoxPoints) boxes[whole] = Box(xyz + 3 * kBoxPoints * whole, n - whole * kBoxPoints);
}

void BoxBaseline(const double *xyz, size_t n, PointBox *boxes) { Boxes(xyz, n, boxes); }

#if VANTIC_WIDE_KERNELS
VANTIC_AT_AVX2 void BoxAvx2(const double *xyz, size_t n, PointBox *boxes) { Boxes(xyz, n, boxes); }
VANTIC_AT_AVX512 void BoxAvx512(const double *xyz, size_t n, PointBox *boxes) { Boxes(xyz, n, boxes); }

constexpr WidthKernels<BoxFunction> kKernels{&BoxBaseline, &BoxAvx2, &BoxAvx512};
#else
constexpr WidthKernels<BoxFunction> kKernels{&BoxBaseline, nullptr, nullptr};
#endif

}  // namespace

void BoxPoints(const double *xyz, size_t n, PointBox *boxes) { kKernels.widest()(xyz, n, boxes); }

bool BoxPointsWith(VectorWidth width, const double *xyz, size_t n, PointBox *boxes) {
    if (!Runs(width)) return false;
    kKernels.at(width)(xyz, n, boxes);
    return true;
}

}  // namespace vantic
