// Built with -fno-math-errno: a square root that could set errno is not vectorised, and the roots here
// are of sums of squares, never of negative numbers. And with -fno-trapping-math: a division that could
// trap is not done in lanes that do not want it, so widths without masks would not vectorise the loop.
#include "brush/weight_runs.h"

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

bool WeighStraightRunWith(VectorWidth width, const FalloffShape &falloff, const double *centre,
                          const double *xyz, size_t n, double *weights) {
    if (!Runs(width)) return false;
    kKernels.at(width)(falloff, centre, xyz, n, weights);
    return true;
}

}  // namespace vantic
