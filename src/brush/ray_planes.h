// The pick's per-call plane coordinates of the points (see ray_prefilter.h) and the walk over the
// triangles that the prefilter cannot rule out.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "brush/plane_runs.h"
#include "brush/point_snapshot.h"
#include "brush/ray_prefilter.h"
#include "brush/scratch_blocks.h"

namespace vantic {

inline bool CornersInRange(const int32_t *c, int32_t count) {
    return c[0] >= 0 && c[0] < count && c[1] >= 0 && c[1] < count && c[2] >= 0 && c[2] < count;
}

// The first triangle in [k, end) with every corner in [0, count) (any, unless Checked), or end.
template <bool Checked>
inline int32_t NextTriangleInRange(const int32_t *corners, int32_t k, int32_t end, int32_t count) {
    if (Checked)
        while (k < end && !CornersInRange(corners + 3 * static_cast<size_t>(k), count)) ++k;
    return k;
}

// Plane coordinates of a target's points, placed stretch by stretch as the points are read, in two
// rows of slots (x, then y: a triangle's corners are loaded with one address step each): point i sits
// in slot i & mask. The triangle blocks walk ascending windows of points, so when
// the widest window is well below the point count the slots form a ring that holds it and stays in
// cache; otherwise there is a slot per point. Nothing is made without memory.
class RayPlanes {
public:
    RayPlanes(const RayPrefilter &filter, int32_t count, int32_t windowSpan) : filter_(filter) {
        size_t slots = 1;
        while (slots < static_cast<size_t>(windowSpan)) slots *= 2;
        if (count <= 0) return;
        if (slots >= static_cast<size_t>(count)) {
            slots = static_cast<size_t>(count);
            mask_ = ~size_t{0};
        } else {
            mask_ = slots - 1;
        }
        xs_ = TakeScratch(slots * 2);
        ys_ = xs_ ? xs_ + slots : nullptr;
    }
    ~RayPlanes() { GiveBackScratch(xs_); }
    RayPlanes(const RayPlanes &) = delete;
    RayPlanes &operator=(const RayPlanes &) = delete;

    // Places the points read between two cursors of points.readUpTo.
    void place(const PointSnapshot &points, int32_t t, const int32_t *list, int32_t from, int32_t to) {
        if (from >= to) return;
        const double *const xyz = points.positions(t);
        const size_t xyzMask = points.slotMask(t);
        const int32_t first = points.pointAt(list, from), last = points.pointAt(list, to - 1);
        if (last - first == to - from - 1) return placeRow(xyz, xyzMask, first, last + 1);
        switch (filter_.axis()) {
            case 0: return placeListed<0>(xyz, xyzMask, list, from, to);
            case 1: return placeListed<1>(xyz, xyzMask, list, from, to);
            default: return placeListed<2>(xyz, xyzMask, list, from, to);
        }
    }
    bool made() const { return xs_ != nullptr; }

    // The first triangle in [k, end) that the prefilter cannot rule out (Checked: among those with
    // every corner in [0, count)), or end; triangle k's corners are base + corners[3k .. 3k + 2]. Not
    // inlined: on its own the loop keeps everything in registers.
    template <bool Checked, class Index>
    [[gnu::noinline]] int32_t nextSurvivor(const Index *corners, int32_t base, int32_t k, int32_t end, int32_t count,
                                           double tolerance) const {
        const double *const xs = xs_, *const ys = ys_;
        const size_t mask = mask_;
        for (; k < end; ++k) {
            const Index *c = corners + 3 * static_cast<size_t>(k);
            if constexpr (Checked)
                if (!CornersInRange(c, count)) continue;
            size_t i0, i1, i2;
            if constexpr (std::is_same_v<Index, uint16_t> && std::endian::native == std::endian::little) {
                // One load for the three offsets (the array has room for the fourth): the loop is bound
                // by loads, and the shifts run beside them.
                uint64_t w;
                std::memcpy(&w, c, sizeof w);
                i0 = static_cast<size_t>(base + static_cast<int32_t>(w & 0xffff)) & mask;
                i1 = static_cast<size_t>(base + static_cast<int32_t>((w >> 16) & 0xffff)) & mask;
                i2 = static_cast<size_t>(base + static_cast<int32_t>((w >> 32) & 0xffff)) & mask;
            } else {
                i0 = static_cast<size_t>(base + c[0]) & mask;
                i1 = static_cast<size_t>(base + c[1]) & mask;
                i2 = static_cast<size_t>(base + c[2]) & mask;
            }
            if (!RayPrefilter::MissesAt(xs[i0], ys[i0], xs[i1], ys[i1], xs[i2], ys[i2], tolerance)) return k;
        }
        return end;
    }
    // Covers every point placed so far.
    double tolerance() const { return filter_.tolerance(reach_, failed_); }

private:
    // Points first .. end - 1, every one (a whole snapshot, or a list without gaps): in runs that wrap
    // around neither ring.
    void placeRow(const double *xyz, size_t xyzMask, int32_t first, int32_t end) {
        const size_t shorter = (xyzMask < mask_ ? xyzMask : mask_) + 1;  // 0: neither is a ring
        for (size_t i = static_cast<size_t>(first); i < static_cast<size_t>(end);) {
            const size_t next = shorter == 0 ? static_cast<size_t>(end) : (i / shorter + 1) * shorter;
            const size_t n = (next < static_cast<size_t>(end) ? next : static_cast<size_t>(end)) - i;
            const uint64_t top = PlacePlaneRun(filter_, xyz + 3 * (i & xyzMask), xs_ + (i & mask_), ys_ + (i & mask_), n);
            const double r = RayPrefilter::RunReach(top);
            reach_ = r > reach_ ? r : reach_;
            failed_ = failed_ || r < 0;
            i += n;
        }
    }

    template <int K>
    void placeListed(const double *xyz, size_t xyzMask, const int32_t *list, int32_t from, int32_t to) {
        // Locals, kept in registers: the stores to the slots could otherwise alias them.
        const RayPrefilter filter = filter_;
        double *const xs = xs_, *const ys = ys_;
        const size_t mask = mask_;
        double reach = reach_;
        bool failed = failed_;
        for (int32_t q = from; q < to; ++q) {
            const size_t i = static_cast<size_t>(list[q]);
            const double r = filter.placeOn<K>(xyz + 3 * (i & xyzMask), xs + (i & mask), ys + (i & mask));
            reach = r > reach ? r : reach;
            failed |= r < 0;
        }
        reach_ = reach;
        failed_ = failed;
    }

    const RayPrefilter &filter_;
    double *xs_ = nullptr, *ys_ = nullptr;
    size_t mask_ = 0;
    double reach_ = 0.0;
    bool failed_ = false;
};

}  // namespace vantic
