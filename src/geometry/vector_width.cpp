#include "geometry/vector_width.h"

#include <cstdlib>
#include <cstring>

namespace vantic {

bool Runs(VectorWidth width) {
    switch (width) {
        case VectorWidth::kBaseline:
            return true;
#if VANTIC_WIDE_KERNELS
        // The checks include the operating system's support for the wider registers.
        case VectorWidth::kAvx2:
            __builtin_cpu_init();
            return __builtin_cpu_supports("avx2");
        case VectorWidth::kAvx512:
            __builtin_cpu_init();
            return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
                   __builtin_cpu_supports("avx512dq");
#endif
        default:
            return false;
    }
}

const char *VectorWidthName(VectorWidth width) {
    switch (width) {
        case VectorWidth::kAvx2: return "avx2";
        case VectorWidth::kAvx512: return "avx512";
        default: return "baseline";
    }
}

VectorWidth WidestWidth() {
    constexpr VectorWidth kWidestFirst[] = {VectorWidth::kAvx512, VectorWidth::kAvx2, VectorWidth::kBaseline};
    VectorWidth allowed = VectorWidth::kAvx512;
    if (const char *cap = std::getenv("VANTIC_VECTOR_WIDTH"))
        for (VectorWidth width : kWidestFirst)
            if (std::strcmp(cap, VectorWidthName(width)) == 0) allowed = width;
    for (VectorWidth width : kWidestFirst)
        if (width <= allowed && Runs(width)) return width;
    return VectorWidth::kBaseline;
}

}  // namespace vantic
