// The pick's per-call plane coordinates of the points (see ray_prefilter.h) and the walk over the
// triangles that the prefilter cannot rule out.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

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
        filter_.onAxis([&](auto k) { placeListed<k()>(xyz, xyzMask, list, from, to); });
    }
    bool made() const { return xs_ != nullptr; }

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
            const size_t i0 = static_cast<size_t>(c[0]) & mask, i1 = static_cast<size_t>(c[1]) & mask,
                         i2 = static_cast<size_t>(c[2]) & mask;
            if (!RayPrefilter::MissesAt(xs[i0], ys[i0], xs[i1], ys[i1], xs[i2], ys[i2], tolerance)) return k;
        }
        return end;
    }

    // The same over short corners, triangle k's being base + near[3k .. 3k + 2], all in range. The
    // loop is bound by loads, so it loads less: a triangle's three offsets at once (the array has room
    // for a fourth), and where a triangle runs along the first edge of the one before the other way
    // (corners c, x, a after a, b, c, as a quad is cut) it takes a and c and their cross from that one.
    [[gnu::noinline]] int32_t nextNearSurvivor(const uint16_t *near, int32_t base, int32_t k, int32_t end,
                                               double tolerance) const {
        const double *const xs = xs_, *const ys = ys_;
        const size_t mask = mask_;
        auto at = [&](uint32_t offset) { return static_cast<size_t>(base + static_cast<int32_t>(offset)) & mask; };
        // The triangle before: its first and last corners, their places and their cross.
        uint32_t first = 0x10000, last = 0x10000;  // no offset: nothing before
        double xf = 0.0, yf = 0.0, xl = 0.0, yl = 0.0, crossFirstLast = 0.0;
        for (; k < end; ++k) {
            uint32_t o[3];
            const uint16_t *n = near + 3 * static_cast<size_t>(k);
            if constexpr (std::endian::native == std::endian::little) {
                uint64_t w;
                std::memcpy(&w, n, sizeof w);
                for (int i = 0; i < 3; ++i) o[i] = static_cast<uint32_t>((w >> (16 * i)) & 0xffff);
            } else {
                for (int i = 0; i < 3; ++i) o[i] = n[i];
            }
            double x0, y0, x2, y2, cross02;
            if (o[0] == last && o[2] == first) {
                x0 = xl;
                y0 = yl;
                x2 = xf;
                y2 = yf;
                cross02 = -crossFirstLast;
            } else {
                const size_t i0 = at(o[0]), i2 = at(o[2]);
                x0 = xs[i0];
                y0 = ys[i0];
                x2 = xs[i2];
                y2 = ys[i2];
                cross02 = RayPrefilter::Cross(x0, y0, x2, y2);
            }
            const size_t i1 = at(o[1]);
            if (!RayPrefilter::MissesWith(cross02, x0, y0, xs[i1], ys[i1], x2, y2, tolerance)) return k;
            first = o[0];
            last = o[2];
            xf = x0;
            yf = y0;
            xl = x2;
            yl = y2;
            crossFirstLast = cross02;
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
