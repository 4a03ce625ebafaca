// The pick's per-call plane coordinates of the points (see ray_prefilter.h) and the walk over the
// triangles that the prefilter cannot rule out.
#pragma once

#include <cstddef>
#include <cstdint>

#include "brush/plane_runs.h"
#include "brush/point_snapshot.h"
#include "brush/ray_offsets.h"
#include "brush/ray_prefilter.h"
#include "brush/scratch_blocks.h"
#include "brush/strip_survivors.h"

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

// Plane coordinates of a target's points, placed stretch by stretch as the points are read, as a row
// of x and a row of y, which the strip walk loads many slots at a time without shuffles: point i sits
// in slot i & mask. The triangle blocks walk ascending windows of points, so when the widest window is
// well below the point count the slots form a ring that holds it and stays in cache; otherwise there
// is a slot per point.
// Nothing is made without memory.
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
        if (offsets_) offsets_->abandon();  // kept only for points placed in a row
        filter_.onAxis([&](auto k) { placeListed<k()>(xyz, xyzMask, list, from, to); });
    }
    bool made() const { return xs_ != nullptr; }
    // Keeps in offsets (null: nowhere) how far from the ray each run of points placed from now on lies,
    // and, at finishOffsets, what turns them into distances.
    void keepOffsets(RayOffsets *offsets) { offsets_ = offsets; }
    void finishOffsets() const {
        if (offsets_) offsets_->finish(reach_, failed_);
    }

    // The first triangle in [k, end) that the prefilter cannot rule out (Checked: among those with
    // every corner in [0, count)), or end. Not inlined: on its own the loop keeps everything in
    // registers.
    template <bool Checked>
    [[gnu::noinline]] int32_t nextSurvivor(const int32_t *corners, int32_t k, int32_t end, int32_t count,
                                           double tolerance) const {
        const double *const xs = xs_, *const ys = ys_;
        const size_t mask = mask_;
        for (; k < end; ++k) {
            const int32_t *c = corners + 3 * static_cast<size_t>(k);
            if (Checked && !CornersInRange(c, count)) continue;
            const Pair p0 = PairAt(xs, ys, static_cast<size_t>(c[0]) & mask);
            const Pair p1 = PairAt(xs, ys, static_cast<size_t>(c[1]) & mask);
            const Pair p2 = PairAt(xs, ys, static_cast<size_t>(c[2]) & mask);
            if (!RayPrefilter::MissesWith(Cross(p0, p2), p0, p1, p2, tolerance)) return k;
        }
        return end;
    }

    // A place among a block's units (see FlatTriangles::nearUnits): the unit, the index of its first
    // triangle, and whether the walk is at its second.
    struct UnitCursor {
        int32_t unit, first;
        bool second;
        int32_t triangle() const { return first + (second ? 1 : 0); }
        // On to the triangle after this one.
        void step(const uint64_t *units) {
            if (!second && UnitIsPair(units[unit])) {
                second = true;
                return;
            }
            first += second ? 2 : 1;
            second = false;
            ++unit;
        }
    };

    // The same over short corners: moves `at` to the first triangle from it on, among units up to
    // `end`, that the prefilter cannot rule out, and returns true; false when there is none. A unit's
    // corners are base + its offsets, all in range. The loop is bound by the work per triangle, so a
    // pair's two triangles share their loads and the cross of the edge between them: the second's
    // cross for c -> a is exactly the negated first's for a -> c, so each triangle gets
    // RayPrefilter::MissesWith's answer, its tests written out so that a corner is loaded only when
    // they reach it. The far side of that edge rules one of the two out at once. Strips[s] for s in
    // [strip, stripEnd), ascending, are passed over by StripSurvivor up to their first unit that may
    // hold a survivor, in stretches whose slots do not wrap round the ring.
    [[gnu::noinline]] bool nextUnitSurvivor(const uint64_t *units, int32_t base, UnitCursor &at, int32_t end,
                                            double tolerance, const NearStrip *strips, int32_t strip,
                                            int32_t stripEnd) const {
        const double *const xs = xs_, *const ys = ys_;
        const size_t mask = mask_, low = static_cast<size_t>(base);
        auto corner = [&](uint64_t unit, int i) { return PairAt(xs, ys, (low + UnitOffset(unit, i)) & mask); };
        int32_t first = at.first;
        bool second = at.second;
        for (int32_t u = at.unit; u < end; ++u, second = false) {
            while (strip < stripEnd && strips[strip].first + strips[strip].count <= u) ++strip;
            if (!second && strip < stripEnd && strips[strip].first <= u) {
                const NearStrip &run = strips[strip];
                const size_t along = static_cast<size_t>(u - run.first);
                int32_t room = run.first + run.count - u;
                size_t slots[4];
                for (int i = 0; i < 4; ++i) {
                    slots[i] = (low + UnitOffset(run.unit, i) + along) & mask;
                    if (mask != ~size_t{0} && static_cast<size_t>(room) > mask + 1 - slots[i])
                        room = static_cast<int32_t>(mask + 1 - slots[i]);
                }
                const int32_t passed = StripSurvivor(xs, ys, slots[0], slots[1], slots[2], slots[3], room, tolerance);
                first += 2 * passed;
                u += passed;
                if (passed == room) {
                    --u;  // the loop's step moves on to the unit after the stretch
                    continue;
                }
            }
            const uint64_t unit = units[u];
            const Pair a = corner(unit, 0), c = corner(unit, 2);
            const double ac = Cross(a, c);
            if (!second && !(ac < -tolerance)) {
                const Pair b = corner(unit, 1);
                if (!(Cross(b, a) < -tolerance) && !(Cross(c, b) < -tolerance)) {
                    at = UnitCursor{u, first, false};
                    return true;
                }
            }
            if (!UnitIsPair(unit)) {
                ++first;
                continue;
            }
            if (!(-ac < -tolerance)) {
                const Pair x = corner(unit, 3);
                if (!(Cross(x, c) < -tolerance) && !(Cross(a, x) < -tolerance)) {
                    at = UnitCursor{u, first, true};
                    return true;
                }
            }
            first += 2;
        }
        at = UnitCursor{end, first, false};
        return false;
    }
    // Covers every point placed so far.
    double tolerance() const { return filter_.tolerance(reach_, failed_); }

private:
    using Pair = RayPrefilter::Pair;
    [[gnu::always_inline]] static Pair PairAt(const double *xs, const double *ys, size_t slot) {
        return Pair{xs[slot], ys[slot]};
    }
    [[gnu::always_inline]] static double Cross(const Pair &p, const Pair &q) { return RayPrefilter::Cross(p, q); }

    // Points first .. end - 1, every one (a whole snapshot, or a list without gaps): in runs that wrap
    // around neither ring.
    void placeRow(const double *xyz, size_t xyzMask, int32_t first, int32_t end) {
        const size_t shorter = (xyzMask < mask_ ? xyzMask : mask_) + 1;  // 0: neither is a ring
        for (size_t i = static_cast<size_t>(first); i < static_cast<size_t>(end);) {
            const size_t next = shorter == 0 ? static_cast<size_t>(end) : (i / shorter + 1) * shorter;
            const size_t n = (next < static_cast<size_t>(end) ? next : static_cast<size_t>(end)) - i;
            const size_t slot = i & mask_;
            const uint64_t top = PlacePlaneRun(filter_, xyz + 3 * (i & xyzMask), xs_ + slot, ys_ + slot, n);
            if (offsets_) offsets_->add(static_cast<int32_t>(i), xs_ + slot, ys_ + slot, n);
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
    RayOffsets *offsets_ = nullptr;
    double *xs_ = nullptr;  // x of every slot, then (at ys_) y of every slot: one block
    double *ys_ = nullptr;
    size_t mask_ = 0;
    double reach_ = 0.0;
    bool failed_ = false;
};

}  // namespace vantic
