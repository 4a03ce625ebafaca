#include "brush/side_codes.h"

namespace vantic {

namespace {

using CodesFunction = void (*)(const double *, const double *, size_t, const double *, double, uint8_t *);

// The loop is the same for every width; the attributes of the caller it is inlined into choose it.
[[gnu::always_inline]] inline void Run(const double *xs, const double *ys, size_t n, const double *mouse, double half,
                                       uint8_t *codes) {
    const double mx = mouse[0], my = mouse[1];
    for (size_t i = 0; i < n; ++i) {
        const double x = xs[i], y = ys[i];
        codes[i] = static_cast<uint8_t>(static_cast<unsigned>(mx - x > half) | static_cast<unsigned>(x - mx > half) << 1 |
                                        static_cast<unsigned>(my - y > half) << 2 |
                                        static_cast<unsigned>(y - my > half) << 3);
    }
}

void RunBaseline(const double *xs, const double *ys, size_t n, const double *mouse, double half, uint8_t *codes) {
    Run(xs, ys, n, mouse, half, codes);
}

#if VANTIC_WIDE_KERNELS
VANTIC_AT_AVX2 void RunAvx2(const double *xs, const double *ys, size_t n, const double *mouse, double half,
                            uint8_t *codes) {
    Run(xs, ys, n, mouse, half, codes);
}

VANTIC_AT_AVX512 void RunAvx512(const double *xs, const double *ys, size_t n, const double *mouse, double half,
                                uint8_t *codes) {
    Run(xs, ys, n, mouse, half, codes);
}

constexpr WidthKernels<CodesFunction> kKernels{&RunBaseline, &RunAvx2, &RunAvx512};
#else
constexpr WidthKernels<CodesFunction> kKernels{&RunBaseline, nullptr, nullptr};
#endif

}  // namespace

void SideCodes(const double *xs, const double *ys, size_t n, const double *mouse, double half, uint8_t *codes) {
    kKernels.widest()(xs, ys, n, mouse, half, codes);
}

bool SideCodesWith(VectorWidth width, const double *xs, const double *ys, size_t n, const double *mouse, double half,
                   uint8_t *codes) {
    if (!Runs(width)) return false;
    kKernels.at(width)(xs, ys, n, mouse, half, codes);
    return true;
}

}  // namespace vantic
