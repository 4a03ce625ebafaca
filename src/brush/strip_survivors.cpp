#include "brush/strip_survivors.h"

#include <cmath>
#include <cstring>
#include <utility>

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

    // The x and y of kLanes pairs in a row, lane j holding pair j.
    [[gnu::always_inline]] static void Split(const double *pairs, Lanes &x, Lanes &y) {
        Lanes low, high;
        std::memcpy(&low, pairs, sizeof low);
        std::memcpy(&high, pairs + kLanes, sizeof high);
        Deal(low, high, x, y, std::make_index_sequence<kLanes>());
    }

private:
    // Vectors pass by reference only: by value they would take the calling convention of a width.
    template <size_t... J>
    [[gnu::always_inline]] static void Deal(const Lanes &low, const Lanes &high, Lanes &x, Lanes &y,
                                            std::index_sequence<J...>) {
        x = __builtin_shufflevector(low, high, (2 * J)...);
        y = __builtin_shufflevector(low, high, (2 * J + 1)...);
    }
};

// Whether a unit may hold a survivor, one unit at a time: the prefilter's test of each of its
// triangles, (a, b, c) and (c, x, a), whose crosses of c and a are each other's negations.
[[gnu::always_inline]] inline bool UnitMayHold(const double *xy, size_t a, size_t b, size_t c, size_t x, double tolerance) {
    using P = RayPrefilter;
    const P::Pair pa = P::LoadPair(xy + 2 * a), pb = P::LoadPair(xy + 2 * b), pc = P::LoadPair(xy + 2 * c),
                  px = P::LoadPair(xy + 2 * x);
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
[[gnu::always_inline]] inline int32_t Walk(const double *xy, size_t a, size_t b, size_t c, size_t x, int32_t count,
                                           double tolerance) {
    using R = Register<Bytes>;
    using Lanes = typename R::Lanes;
    using Masks = typename R::Masks;
    constexpr int32_t kLanes = R::kLanes;
    if (!(tolerance < HUGE_VAL)) return 0;  // nothing is ruled out
    int32_t i = 0;
    for (; i + kLanes <= count; i += kLanes) {
        const size_t k = static_cast<size_t>(i);
        Lanes ax, ay, bx, by, cx, cy, xx, xy_;
        R::Split(xy + 2 * (a + k), ax, ay);
        R::Split(xy + 2 * (b + k), bx, by);
        R::Split(xy + 2 * (c + k), cx, cy);
        R::Split(xy + 2 * (x + k), xx, xy_);
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
            if (UnitMayHold(xy, a + k, b + k, c + k, x + k, tolerance)) return j;
        }
    }
    for (; i < count; ++i) {
        const size_t k = static_cast<size_t>(i);
        if (UnitMayHold(xy, a + k, b + k, c + k, x + k, tolerance)) return i;
    }
    return count;
}

using WalkFunction = int32_t (*)(const double *, size_t, size_t, size_t, size_t, int32_t, double);

int32_t WalkBaseline(const double *xy, size_t a, size_t b, size_t c, size_t x, int32_t count, double tolerance) {
    return Walk<16>(xy, a, b, c, x, count, tolerance);
}

#if VANTIC_WIDE_KERNELS
VANTIC_AT_AVX2 int32_t WalkAvx2(const double *xy, size_t a, size_t b, size_t c, size_t x, int32_t count,
                                double tolerance) {
    return Walk<32>(xy, a, b, c, x, count, tolerance);
}

VANTIC_AT_AVX512 int32_t WalkAvx512(const double *xy, size_t a, size_t b, size_t c, size_t x, int32_t count,
                                    double tolerance) {
    return Walk<64>(xy, a, b, c, x, count, tolerance);
}

constexpr WidthKernels<WalkFunction> kKernels{&WalkBaseline, &WalkAvx2, &WalkAvx512};
#else
constexpr WidthKernels<WalkFunction> kKernels{&WalkBaseline, nullptr, nullptr};
#endif

}  // namespace

int32_t StripSurvivor(const double *xy, size_t a, size_t b, size_t c, size_t x, int32_t count, double tolerance) {
    return kKernels.widest()(xy, a, b, c, x, count, tolerance);
}

bool StripSurvivorWith(VectorWidth width, const double *xy, size_t a, size_t b, size_t c, size_t x, int32_t count,
                       double tolerance, int32_t &found) {
    if (!Runs(width)) return false;
    found = kKernels.at(width)(xy, a, b, c, x, count, tolerance);
    return true;
}

}  // namespace vantic
