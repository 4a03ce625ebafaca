#include "brush/strip_survivors.h"

#include <cmath>
#include <cstring>

#include "brush/ray_prefilter.h"

namespace vantic {

namespace {

// Lanes of doubles filling one register of a width (of Bytes bytes), and what comparing them gives,
// on LP64 and LLP64 alike. Wider lanes than the registers would be split by the compiler through
// memory, shuffles and all.
template <int Bytes>
struct Register {
    typedef double Lanes __attribute__((vector_size(Bytes)));
    typedef int64_t Masks __attribute__((vector_size(Bytes)));
    static constexpr int32_t kLanes = Bytes / 8;

    // kLanes values of a row, lane j holding row[j]. By reference: by value, vectors would take the
    // calling convention of a width. Each row is loaded once and kept in a register: the compiler
    // would otherwise fold the load into each of its two products, and the walk is bound by loads.
    [[gnu::always_inline]] static void Load(const double *row, Lanes &lanes) {
        std::memcpy(&lanes, row, sizeof lanes);
#if VANTIC_WIDE_KERNELS && !defined(__clang__)  // clang checks the operand against the inlined-into width
        __asm__("" : "+x"(lanes));  // emits nothing; the value must now sit in a vector register
#endif
    }
};

// Whether a unit may hold a survivor, one unit at a time: the prefilter's test of each of its
// triangles, (a, b, c) and (c, x, a), whose crosses of c and a are each other's negations.
[[gnu::always_inline]] inline bool UnitMayHold(const double *xs, const double *ys, size_t a, size_t b, size_t c,
                                               size_t x, double tolerance) {
    using P = RayPrefilter;
    const P::Pair pa = {xs[a], ys[a]}, pb = {xs[b], ys[b]}, pc = {xs[c], ys[c]}, px = {xs[x], ys[x]};
    const double ac = P::Cross(pa, pc);
    return !P::MissesWith(ac, pa, pb, pc, tolerance) || !P::MissesWith(-ac, pc, px, pa, tolerance);
}

// A register of units at a time, each lane a unit, its crosses x_p y_q - y_p x_q rounded as Cross rounds
// them; where a lane may hold a survivor, and for the units left over, one by one. With a finite
// tolerance every coordinate is finite and far from overflow, so x < -tolerance exactly when
// x + tolerance, rounded, is negative: its sign bit is set (it is never -0). The tests are thus sign
// bits combined as integers, which every width keeps in vector registers, where comparisons would
// each yield a mask of the width's own kind.
template <int Bytes>
[[gnu::always_inline]] inline int32_t Walk(const double *xs, const double *ys, size_t a, size_t b, size_t c, size_t x,
                                           int32_t count, double tolerance) {
    using R = Register<Bytes>;
    using Lanes = typename R::Lanes;
    using Masks = typename R::Masks;
    constexpr int32_t kLanes = R::kLanes;
    if (!(tolerance < HUGE_VAL)) return 0;  // nothing is ruled out
    int32_t i = 0;
    for (; i + kLanes <= count; i += kLanes) {
        const size_t k = static_cast<size_t>(i);
        Lanes ax, ay, bx, by, cx, cy, xx, xy_;
        R::Load(xs + a + k, ax);
        R::Load(ys + a + k, ay);
        R::Load(xs + b + k, bx);
        R::Load(ys + b + k, by);
        R::Load(xs + c + k, cx);
        R::Load(ys + c + k, cy);
        R::Load(xs + x + k, xx);
        R::Load(ys + x + k, xy_);
        const Lanes ac = ax * cy - ay * cx, ba = bx * ay - by * ax, cb = cx * by - cy * bx;
        const Lanes xc = xx * cy - xy_ * cx, ax_ = ax * xy_ - ay * xx;
        const Masks firstMisses = (Masks)(ac + tolerance) | (Masks)(ba + tolerance) | (Masks)(cb + tolerance);
        const Masks secondMisses = (Masks)(-ac + tolerance) | (Masks)(xc + tolerance) | (Masks)(ax_ + tolerance);
        const Masks bothMiss = firstMisses & secondMisses;
        int64_t all = -1;
        for (int j = 0; j < kLanes; ++j) all &= bothMiss[j];
        if (all < 0) continue;
        // Some unit may hold one: found, in order, by the tests one unit at a time.
        for (int32_t j = i; j < i + kLanes; ++j) {
            const size_t k = static_cast<size_t>(j);
            if (UnitMayHold(xs, ys, a + k, b + k, c + k, x + k, tolerance)) return j;
        }
    }
    for (; i < count; ++i) {
        const size_t k = static_cast<size_t>(i);
        if (UnitMayHold(xs, ys, a + k, b + k, c + k, x + k, tolerance)) return i;
    }
    return count;
}

using WalkFunction = int32_t (*)(const double *, const double *, size_t, size_t, size_t, size_t, int32_t, double);

int32_t WalkBaseline(const double *xs, const double *ys, size_t a, size_t b, size_t c, size_t x, int32_t count,
                     double tolerance) {
    return Walk<16>(xs, ys, a, b, c, x, count, tolerance);
}

#if VANTIC_WIDE_KERNELS
VANTIC_AT_AVX2 int32_t WalkAvx2(const double *xs, const double *ys, size_t a, size_t b, size_t c, size_t x,
                                int32_t count, double tolerance) {
    return Walk<32>(xs, ys, a, b, c, x, count, tolerance);
}

VANTIC_AT_AVX512 int32_t WalkAvx512(const double *xs, const double *ys, size_t a, size_t b, size_t c, size_t x,
                                    int32_t count, double tolerance) {
    return Walk<64>(xs, ys, a, b, c, x, count, tolerance);
}

constexpr WidthKernels<WalkFunction> kKernels{&WalkBaseline, &WalkAvx2, &WalkAvx512};
#else
constexpr WidthKernels<WalkFunction> kKernels{&WalkBaseline, nullptr, nullptr};
#endif

}  // namespace

int32_t StripSurvivor(const double *xs, const double *ys, size_t a, size_t b, size_t c, size_t x, int32_t count,
                      double tolerance) {
    return kKernels.widest()(xs, ys, a, b, c, x, count, tolerance);
}

bool StripSurvivorWith(VectorWidth width, const double *xs, const double *ys, size_t a, size_t b, size_t c, size_t x,
                       int32_t count, double tolerance, int32_t &found) {
    if (!Runs(width)) return false;
    found = kKernels.at(width)(xs, ys, a, b, c, x, count, tolerance);
    return true;
}

}  // namespace vantic
