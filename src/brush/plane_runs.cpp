#include "brush/plane_runs.h"

namespace vantic {

namespace {

using RunFunction = uint64_t (*)(const RayPrefilter &, const double *, double *, double *, size_t);

// The loop is the same for every width; the attributes of the caller it is inlined into choose it.
[[gnu::always_inline]] inline uint64_t Run(const RayPrefilter &filter, const double *xyz, double *xs, double *ys,
                                           size_t n) {
    return filter.onAxis([&](auto k) __attribute__((always_inline)) { return filter.placeRun<k()>(xyz, xs, ys, n); });
}

uint64_t RunBaseline(const RayPrefilter &filter, const double *xyz, double *xs, double *ys, size_t n) {
    return Run(filter, xyz, xs, ys, n);
}

#if VANTIC_WIDE_KERNELS
VANTIC_AT_AVX2 uint64_t RunAvx2(const RayPrefilter &filter, const double *xyz, double *xs, double *ys, size_t n) {
    return Run(filter, xyz, xs, ys, n);
}

VANTIC_AT_AVX512 uint64_t RunAvx512(const RayPrefilter &filter, const double *xyz, double *xs, double *ys,
                                     size_t n) {
    return Run(filter, xyz, xs, ys, n);
}

constexpr WidthKernels<RunFunction> kKernels{&RunBaseline, &RunAvx2, &RunAvx512};
#else
constexpr WidthKernels<RunFunction> kKernels{&RunBaseline, nullptr, nullptr};
#endif

}  // namespace

uint64_t PlacePlaneRun(const RayPrefilter &filter, const double *xyz, double *xs, double *ys, size_t n) {
    return kKernels.widest()(filter, xyz, xs, ys, n);
}

bool PlacePlaneRunWith(VectorWidth width, const RayPrefilter &filter, const double *xyz, double *xs, double *ys,
                       size_t n, uint64_t &top) {
    if (!Runs(width)) return false;
    top = kKernels.at(width)(filter, xyz, xs, ys, n);
    return true;
}

}  // namespace vantic
