#include "brush/vector_width.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

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

VectorWidth WidestWidth() {
    VectorWidth allowed = VectorWidth::kAvx512;
    if (const char *cap = std::getenv("VANTIC_VECTOR_WIDTH")) {
        if (std::strcmp(cap, "baseline") == 0) allowed = VectorWidth::kBaseline;
        if (std::strcmp(cap, "avx2") == 0) allowed = VectorWidth::kAvx2;
    }
    for (VectorWidth width : {VectorWidth::kAvx512, VectorWidth::kAvx2})
        if (width <= allowed && Runs(width)) return width;
    return VectorWidth::kBaseline;
}

}  // namespace vantic
