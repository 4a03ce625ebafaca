// Built with -fno-math-errno: a square root that could set errno is not vectorised, and the roots here
// are of sums of squares, never of negative numbers.
#include "brush/weight_runs.h"

#include <algorithm>
#include <cmath>

namespace vantic {

namespace {

using RunFunction = void (*)(const FalloffShape &, const double *, const double *, size_t, double *);

// The loop is the same for every width; the attributes of the caller it is inlined into choose it.
[[gnu::always_inline]] inline void Run(const FalloffShape &falloff, const double *centre, const double *xyz, size_t n,
                                       double *weights) {
    const FalloffShape f = falloff;
    const double c0 = centre[0], c1 = centre[1], c2 = centre[2];
    for (size_t i = 0; i < n; ++i) {
        const double d0 = xyz[3 * i] - c0, d1 = xyz[3 * i + 1] - c1, d2 = xyz[3 * i + 2] - c2;
        const double d = std::sqrt(d0 * d0 + d1 * d1 + d2 * d2);
        const double w = f.weight(d);
        weights[i] = d < f.radius ? w : 0.0;
    }
}

void RunBaseline(const FalloffShape &falloff, const double *centre, const double *xyz, size_t n, double *weights) {
    Run(falloff, centre, xyz, n, weights);
}

#if VANTIC_WIDE_KERNELS
VANTIC_AT_AVX2 void RunAvx2(const FalloffShape &falloff, const double *centre, const double *xyz, size_t n,
                            double *weights) {
    Run(falloff, centre, xyz, n, weights);
}

VANTIC_AT_AVX512 void RunAvx512(const FalloffShape &falloff, const double *centre, const double *xyz, size_t n,
                                double *weights) {
    Run(falloff, centre, xyz, n, weights);
}

constexpr WidthKernels<RunFunction> kKernels{&RunBaseline, &RunAvx2, &RunAvx512};
#else
constexpr WidthKernels<RunFunction> kKernels{&RunBaseline, nullptr, nullptr};
#endif

}  // namespace

void WeighStraightRun(const FalloffShape &falloff, const double *centre, const double *xyz, size_t n,
                      double *weights) {
    kKernels.widest()(falloff, centre, xyz, n, weights);
}

// Rounding is monotonic, and so are the differences, squares, sums and root the weights take: a point
// whose x lies at or above the box's low, when low - c rounds above 0, has a rounded x - c at least
// that; one at or below high has c - x at least c - high rounded (rounding to nearest is symmetric).
// So the distance the weights compute for any point of the box is at least the one computed here from
// the least gap on each axis, and when that is R or more every weight is 0. Points that are not numbers
// are outside the box and weigh 0 anyway; a centre or radius that is not a number skips nothing.
bool BoxBeyond(const FalloffShape &falloff, const PointBox &box, const double *centre) {
    double gap[3];
    for (int a = 0; a < 3; ++a) {
        const double below = box.low[a] - centre[a], above = centre[a] - box.high[a];
        gap[a] = below > 0 ? below : above > 0 ? above : 0.0;
    }
    return std::sqrt(gap[0] * gap[0] + gap[1] * gap[1] + gap[2] * gap[2]) >= falloff.radius;
}

void WeighStraightRun(const FalloffShape &falloff, const double *centre, const double *xyz, const PointBox *boxes,
                      size_t n, double *weights) {
    if (!boxes) return WeighStraightRun(falloff, centre, xyz, n, weights);
    // Runs of boxes within reach are weighed as one, runs beyond are zeroed.
    for (size_t first = 0; first < n;) {
        const bool beyond = BoxBeyond(falloff, boxes[first / kBoxPoints], centre);
        size_t end = first + kBoxPoints;
        while (end < n && BoxBeyond(falloff, boxes[end / kBoxPoints], centre) == beyond) end += kBoxPoints;
        if (end > n) end = n;
        if (beyond) {
            // The next run within reach is read next, from memory: its first box is fetched meanwhile.
            if (end < n)
                for (size_t v = 0; v < 3 * kBoxPoints; v += 8) __builtin_prefetch(xyz + 3 * end + v);
            std::fill(weights + first, weights + end, 0.0);
        } else
            WeighStraightRun(falloff, centre, xyz + 3 * first, end - first, weights + first);
        first = end;
    }
}

bool WeighStraightRunWith(VectorWidth width, const FalloffShape &falloff, const double *centre,
                          const double *xyz, size_t n, double *weights) {
    if (!Runs(width)) return false;
    kKernels.at(width)(falloff, centre, xyz, n, weights);
    return true;
}

}  // namespace vantic
