#include "brush/plane_runs.h"

#include <atomic>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define VANTIC_X86_PLANE_KERNELS 1
#else
#define VANTIC_X86_PLANE_KERNELS 0
#endif

namespace vantic {

namespace {

using RunFunction = uint64_t (*)(const RayPrefilter &, const double *, double *, double *, size_t);

// The loop is the same for every width; the attributes of the caller it is inlined into choose it.
[[gnu::always_inline]] inline uint64_t Run(const RayPrefilter &filter, const double *xyz, double *x, double *y,
                                           size_t n) {
    switch (filter.axis()) {
        case 0: return filter.placeRun<0>(xyz, x, y, n);
        case 1: return filter.placeRun<1>(xyz, x, y, n);
        default: return filter.placeRun<2>(xyz, x, y, n);
    }
}

uint64_t RunBaseline(const RayPrefilter &filter, const double *xyz, double *x, double *y, size_t n) {
    return Run(filter, xyz, x, y, n);
}

#if VANTIC_X86_PLANE_KERNELS
__attribute__((target("avx2"))) uint64_t RunAvx2(const RayPrefilter &filter, const double *xyz, double *x, double *y,
                                                 size_t n) {
    return Run(filter, xyz, x, y, n);
}

__attribute__((target("avx512f,avx512vl,avx512dq"))) uint64_t RunAvx512(const RayPrefilter &filter,
                                                                         const double *xyz, double *x, double *y,
                                                                         size_t n) {
    return Run(filter, xyz, x, y, n);
}
#endif

bool Supported(PlaneRunKernel kernel) {
    switch (kernel) {
        case PlaneRunKernel::kBaseline:
            return true;
#if VANTIC_X86_PLANE_KERNELS
        // The checks include the operating system's support for the wider registers.
        case PlaneRunKernel::kAvx2:
            __builtin_cpu_init();
            return __builtin_cpu_supports("avx2");
        case PlaneRunKernel::kAvx512:
            __builtin_cpu_init();
            return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
                   __builtin_cpu_supports("avx512dq");
#endif
        default:
            return false;
    }
}

RunFunction FunctionOf(PlaneRunKernel kernel) {
    switch (kernel) {
#if VANTIC_X86_PLANE_KERNELS
        case PlaneRunKernel::kAvx2:
            return &RunAvx2;
        case PlaneRunKernel::kAvx512:
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
        for (PlaneRunKernel k : {PlaneRunKernel::kAvx512, PlaneRunKernel::kAvx2})
            if (Supported(k)) {
                run = FunctionOf(k);
                break;
            }
        g_run.store(run, std::memory_order_relaxed);
    }
    return run;
}

}  // namespace

uint64_t PlacePlaneRun(const RayPrefilter &filter, const double *xyz, double *x, double *y, size_t n) {
    return Chosen()(filter, xyz, x, y, n);
}

bool PlacePlaneRunWith(PlaneRunKernel kernel, const RayPrefilter &filter, const double *xyz, double *x, double *y,
                       size_t n, uint64_t &top) {
    if (!Supported(kernel)) return false;
    top = FunctionOf(kernel)(filter, xyz, x, y, n);
    return true;
}

}  // namespace vantic
