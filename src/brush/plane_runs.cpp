#include "brush/plane_runs.h"

namespace vantic {

namespace {

using RunFunction = uint64_t (*)(const RayPrefilter &, const double *, double *, size_t);

// The loop is the same for every width; the attributes of the caller it is inlined into choose it.
[[gnu::always_inline]] inline uint64_t Run(const RayPrefilter &filter, const double *xyz, double *xy, size_t n) {
    return filter.onAxis([&](auto k) __attribute__((always_inline)) { return filter.placeRun<k()>(xyz, xy, n); });
}

uint64_t RunBaseline(const RayPrefilter &filter, const double *xyz, double *xy, size_t n) {
    return Run(filter, xyz, xy, n);
}

#if VANTIC_WIDE_KERNELS
VANTIC_AT_AVX2 uint64_t RunAvx2(const RayPrefilter &filter, const double *xyz, double *xy, size_t n) {
    return Run(filter, xyz, xy, n);
}

VANTIC_AT_AVX512 uint64_t RunAvx512(const RayPrefilter &filter, const double *xyz, double *xy, size_t n) {
    return Run(filter, xyz, xy, n);
}

constexpr WidthKernels<RunFunction> kKernels{&RunBaseline, &RunAvx2, &RunAvx512};
#else
constexpr WidthKernels<RunFunction> kKernels{&RunBaseline, nullptr, nullptr};
#endif

}  // namespace

uint64_t PlacePlaneRun(const RayPrefilter &filter, const double *xyz, double *xy, size_t n) {
    return kKernels.widest()(filter, xyz, xy, n);
}

bool PlacePlaneRunWith(VectorWidth width, const RayPrefilter &filter, const double *xyz, double *xy, size_t n,
                       uint64_t &top) {
    if (!Runs(width)) return false;
    top = kKernels.at(width)(filter, xyz, xy, n);
    return true;
}

}  // namespace vantic
