#include "brush/vector_width.h"

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

}  // namespace vantic
