// Built with -fno-math-errno: a square root that could set errno is not vectorised, and the roots here
// are of sums of squares, never of negative numbers.
#include "brush/weight_runs.h"

#include <atomic>
#include <cmath>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define VANTIC_X86_WEIGHT_KERNELS 1
#else
#define VANTIC_X86_WEIGHT_KERNELS 0
#endif

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

#if VANTIC_X86_WEIGHT_KERNELS
__attribute__((target("avx2"))) void RunAvx2(const FalloffShape &falloff, const double *centre, const double *xyz,
                                             size_t n, double *weights) {
    Run(falloff, centre, xyz, n, weights);
}

__attribute__((target("avx512f,avx512vl,avx512dq"))) void RunAvx512(const FalloffShape &falloff, const double *centre,
                                                                    const double *xyz, size_t n, double *weights) {
    Run(falloff, centre, xyz, n, weights);
}
#endif

bool Supported(WeightRunKernel kernel) {
    switch (kernel) {
        case WeightRunKernel::kBaseline:
            return true;
#if VANTIC_X86_WEIGHT_KERNELS
        // The checks include the operating system's support for the wider registers.
        case WeightRunKernel::kAvx2:
            __builtin_cpu_init();
            return __builtin_cpu_supports("avx2");
        case WeightRunKernel::kAvx512:
            __builtin_cpu_init();
            return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
                   __builtin_cpu_supports("avx512dq");
#endif
        default:
            return false;
    }
}

RunFunction FunctionOf(WeightRunKernel kernel) {
    switch (kernel) {
#if VANTIC_X86_WEIGHT_KERNELS
        case WeightRunKernel::kAvx2:
            return &RunAvx2;
        case WeightRunKernel::kAvx512:
            return &RunAvx512;
#endif
        default:
            return &RunBaseline;
    }
}

// Chosen at the first run; threads racing there choose the same.
std::atomic<RunFunction> g_run{nullptr};

RunFunction Chosen() {
    RunFunction run = g_run.load(std::memory_order_relaxed);
    if (!run) {
        run = &RunBaseline;
        for (WeightRunKernel k : {WeightRunKernel::kAvx512, WeightRunKernel::kAvx2})
            if (Supported(k)) {
                run = FunctionOf(k);
                break;
            }
        g_run.store(run, std::memory_order_relaxed);
    }
    return run;
}

}  // namespace

void WeighStraightRun(const FalloffShape &falloff, const double *centre, const double *xyz, size_t n,
                      double *weights) {
    Chosen()(falloff, centre, xyz, n, weights);
}

bool WeighStraightRunWith(WeightRunKernel kernel, const FalloffShape &falloff, const double *centre,
                          const double *xyz, size_t n, double *weights) {
    if (!Supported(kernel)) return false;
    FunctionOf(kernel)(falloff, centre, xyz, n, weights);
    return true;
}

}  // namespace vantic
