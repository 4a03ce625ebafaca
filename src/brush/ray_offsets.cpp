#include "brush/ray_offsets.h"

#include <bit>
#include <cmath>
#include <limits>

#include "brush/scratch_blocks.h"
#include "geometry/vec3_ops.h"

// Why beyond() holds. With V the direction, v = |V_k| its largest component, O the origin and r the
// largest |P - O| component placed, a placed coordinate is within 12 u v r (u = 2^-53) of n.(P - O)
// for n = n1 = V_k e_a - V_a e_k or n2 = V_k e_b - V_b e_k (ray_prefilter.cpp); e below bounds that
// with room, plus what products below the normal range lose. n1 and n2 are perpendicular to V and
// their Gram matrix has eigenvalues V_k^2 and |V|^2, so a point whose exact coordinates are x, y lies
// at least sqrt(x^2 + y^2) / |V| from the ray's line, and the placed ones are within 1.5 e of them
// as a pair. The line is at most h from the centre H (h bounds |V x (H - O)| / v from its rounded
// value), so |P - H| >= sqrt(x^2 + y^2) / |V| - h. A rounded square sum of placed coordinates of at
// least (1.5 e + |V| (R (1 + 2 eps) + h))^2 (1 + eps), with eps = 2^-20 far above every rounding
// here, therefore gives |P - H| >= R (1 + 2 eps), and the weighting's distance, a sum of rounded
// squares of rounded differences, is within a few u of |P - H| while R is in the normal range of its
// squares: it is not below R, so the weight is 0. Failed placings, a ray or centre beyond 2^250, and
// radii outside [2^-400, 2^400] give +infinity: nothing is passed over.

namespace vantic {

namespace {

using LowerFunction = void (*)(int32_t, const double *, const double *, size_t, double *);

constexpr int64_t kMagnitude = INT64_MAX;  // all bits but the sign

// The loop is the same for every width; the attributes of the caller it is inlined into choose it.
// The least is taken on the bits of the square sums, which order as the sums do (none is negative)
// and reduce as whole integers.
[[gnu::always_inline]] inline void Lower(int32_t first, const double *xs, const double *ys, size_t n, double *least) {
    const size_t run = static_cast<size_t>(kOffsetRun);
    for (size_t j = 0; j < n;) {
        const size_t index = static_cast<size_t>(first) + j, r = index / run;
        const size_t end = n - j < run - index % run ? n : j + (run - index % run);
        int64_t low = index % run == 0 ? kMagnitude : std::bit_cast<int64_t>(least[r]);
        for (size_t i = j; i < end; ++i) {
            const int64_t m = std::bit_cast<int64_t>(xs[i] * xs[i] + ys[i] * ys[i]) & kMagnitude;
            low = m < low ? m : low;
        }
        least[r] = std::bit_cast<double>(low);
        j = end;
    }
}

void LowerBaseline(int32_t first, const double *xs, const double *ys, size_t n, double *least) {
    Lower(first, xs, ys, n, least);
}

#if VANTIC_WIDE_KERNELS
VANTIC_AT_AVX2 void LowerAvx2(int32_t first, const double *xs, const double *ys, size_t n, double *least) {
    Lower(first, xs, ys, n, least);
}

VANTIC_AT_AVX512 void LowerAvx512(int32_t first, const double *xs, const double *ys, size_t n, double *least) {
    Lower(first, xs, ys, n, least);
}

constexpr WidthKernels<LowerFunction> kKernels{&LowerBaseline, &LowerAvx2, &LowerAvx512};
#else
constexpr WidthKernels<LowerFunction> kKernels{&LowerBaseline, nullptr, nullptr};
#endif

constexpr double kEps = 0x1p-20;
constexpr double kLargest = 0x1p250;

double LargestMagnitude(const double *p) {
    const double a = std::fabs(p[0]), b = std::fabs(p[1]), c = std::fabs(p[2]);
    const double ab = a > b ? a : b;
    return ab > c ? ab : c;  // not a number only when c is
}

}  // namespace

void LowerRunOffsets(int32_t first, const double *xs, const double *ys, size_t n, double *least) {
    kKernels.widest()(first, xs, ys, n, least);
}

bool LowerRunOffsetsWith(VectorWidth width, int32_t first, const double *xs, const double *ys, size_t n,
                         double *least) {
    if (!Runs(width)) return false;
    kKernels.at(width)(first, xs, ys, n, least);
    return true;
}

RayOffsets::RayOffsets(const double *origin, const double *direction, int32_t count) : count_(count) {
    for (int i = 0; i < 3; ++i) {
        origin_[i] = origin[i];
        direction_[i] = direction[i];
    }
    if (count > 0) least_ = TakeScratch(static_cast<size_t>((count + kOffsetRun - 1) / kOffsetRun));
}

RayOffsets::~RayOffsets() { GiveBackScratch(least_); }

void RayOffsets::add(int32_t first, const double *xs, const double *ys, size_t n) {
    // Only a placing that goes on from where the last stopped keeps the runs whole.
    if (!least_ || finished_ || first != placed_ || n > static_cast<size_t>(count_ - placed_)) {
        failed_ = true;
        return;
    }
    LowerRunOffsets(first, xs, ys, n, least_);
    placed_ += static_cast<int32_t>(n);
}

void RayOffsets::finish(double reach, bool failed) {
    reach_ = reach;
    failed_ = failed_ || failed;
    finished_ = true;
}

int32_t RayOffsets::runsPlaced() const {
    if (!finished_ || failed_) return 0;
    return placed_ == count_ ? (count_ + kOffsetRun - 1) / kOffsetRun : placed_ / kOffsetRun;
}

double RayOffsets::beyond(const double *centre, double radius) const {
    constexpr double kNever = std::numeric_limits<double>::infinity();
    if (!finished_ || failed_ || !least_ || !(reach_ >= 0.0 && reach_ <= kLargest)) return kNever;
    if (!(radius >= 0x1p-400 && radius <= 0x1p400)) return kNever;
    const double v = LargestMagnitude(direction_);
    if (!(v >= 0x1p-400 && v <= kLargest) || !(LargestMagnitude(origin_) <= kLargest)) return kNever;
    double d[3], c[3];
    geo::Sub(centre, origin_, d);
    const double dmax = LargestMagnitude(d);
    if (!(dmax <= kLargest)) return kNever;
    geo::Cross(direction_, d, c);
    const double line = (geo::Length(c) * (1 + kEps) + kEps * v * dmax + 0x1p-500) / v;
    const double length = geo::Length(direction_) * (1 + kEps);
    const double e = 0x1p-48 * v * reach_ + 0x1p-1000 * (1 + v) * (1 + reach_);
    const double offset = (1.5 * e + length * (radius * (1 + 2 * kEps) + line)) * (1 + kEps);
    return offset * offset * (1 + kEps) + 0x1p-1000;
}

}  // namespace vantic
