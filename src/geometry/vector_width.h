// The vector widths a bulk loop may be built for, and the choice of the widest one the processor (and
// its operating system) runs. A loop is written once and built at each width by inlining it into a
// function per width; every width gives the bits of the plain loop, since each lane does the plain
// loop's operations in its order (contraction stays off at every width).
#pragma once

#include <cstdint>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define VANTIC_WIDE_KERNELS 1
#define VANTIC_AT_AVX2 __attribute__((target("avx2")))
#define VANTIC_AT_AVX512 __attribute__((target("avx512f,avx512vl,avx512dq")))
#else
#define VANTIC_WIDE_KERNELS 0
#endif

namespace vantic {

enum class VectorWidth : int32_t { kBaseline = 0, kAvx2 = 1, kAvx512 = 2 };

// Whether this processor runs code built for width.
bool Runs(VectorWidth width);

// "baseline", "avx2" or "avx512".
const char *VectorWidthName(VectorWidth width);

// The widest width this processor runs, no wider than the environment variable VANTIC_VECTOR_WIDTH
// allows when it holds one of the names above (any other value is ignored). Every width gives the
// same results, so the variable changes only the speed: it lets a user time the widths a processor
// without the wider ones would run, or step round a fault in one.
VectorWidth WidestWidth();

// One loop built at every width; the widths a processor lacks are never called.
template <class Function>
struct WidthKernels {
    Function baseline, avx2, avx512;

    Function at(VectorWidth width) const {
        switch (width) {
            case VectorWidth::kAvx512: return avx512 ? avx512 : baseline;
            case VectorWidth::kAvx2: return avx2 ? avx2 : baseline;
            default: return baseline;
        }
    }
    // The widest this processor runs (within VANTIC_VECTOR_WIDTH), found once.
    Function widest() const {
        static const VectorWidth chosen = WidestWidth();
        return at(chosen);
    }
};

}  // namespace vantic
