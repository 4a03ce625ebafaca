#include "brush/point_snapshot.h"

#include <new>

#include "binding/host_lists.h"
#include "binding/host_table.h"
#include "brush/point_arrays.h"
#include "brush/scratch_blocks.h"

namespace vantic {

PointSnapshot::PointSnapshot(const Brush *brush, bool whole) : whole_(whole), meshPoint_(FX(fxMeshPoint)) {
    const int32_t count = brush && brush->targetIds ? ReachableTargets(brush, OwnArrays(brush)) : 0;
    targets_.reserve(static_cast<size_t>(count));
    for (int32_t t = 0; t < count; ++t) targets_.push_back(Target{brush->targetIds[t], -1, Read::Nothing, 0, nullptr, ~size_t{0}});
}

PointSnapshot::~PointSnapshot() {
    for (Target &target : targets_) GiveBackScratch(target.xyz);
}

PointSnapshot::Target &PointSnapshot::entry(int32_t t) {
    Target &target = targets_[static_cast<size_t>(t)];
    if (target.count < 0) target.count = MeshPointCount(target.id);
    return target;
}

int32_t PointSnapshot::pointCount(int32_t t) { return entry(t).count; }

RayOffsets *PointSnapshot::keepOffsets(int32_t t, const double *origin, const double *direction) {
    if (!whole_) return nullptr;
    try {
        if (offsets_.size() < targets_.size()) offsets_.resize(targets_.size());
        auto &kept = offsets_[static_cast<size_t>(t)];
        kept = std::make_unique<RayOffsets>(origin, direction, pointCount(t));
        return kept->ready() ? kept.get() : nullptr;
    } catch (const std::bad_alloc &) {
        return nullptr;  // the weighting then reads every point again
    }
}

bool PointSnapshot::allocate(Target &target) {
    // Not zeroed: only the points read are ever looked at.
    if (!target.xyz && target.count > 0) {
        const size_t slots = target.mask == ~size_t{0} ? static_cast<size_t>(target.count) : target.mask + 1;
        target.xyz = TakeScratch(slots * 3);
    }
    return target.xyz != nullptr;
}

void PointSnapshot::keepWindow(int32_t t, int32_t span) {
    Target &target = entry(t);
    if (whole_ || target.xyz) return;
    size_t slots = 1;
    while (slots < static_cast<size_t>(span > 0 ? span : 1)) slots *= 2;
    target.mask = slots < static_cast<size_t>(target.count) ? slots - 1 : ~size_t{0};
}

void PointSnapshot::readAll(int32_t t) {
    Target &target = entry(t);
    if (target.read != Read::All) {
        // Listed points are read again here; no caller asks for a list before all.
        target.read = Read::All;
        target.cursor = 0;
    }
    if (target.mask != ~size_t{0}) {
        GiveBackScratch(target.xyz);
        target.xyz = nullptr;
        target.mask = ~size_t{0};
    }
    if (!allocate(target)) return;
    for (int32_t i = target.cursor; i < target.count; ++i)
        meshPoint_(target.id, i, target.xyz + 3 * static_cast<size_t>(i), KORRIN_POSITIONS_CURRENT);
    target.cursor = target.count;
}

int32_t PointSnapshot::readUpTo(int32_t t, const int32_t *points, int32_t n, int32_t bound, int32_t cursor) {
    Target &target = entry(t);
    const Read mode = whole_ ? Read::All : Read::Listed;
    if (target.read != mode) {
        // Listed points are read again for all, never the other way round.
        target.read = mode;
        target.cursor = 0;
    }
    if (!allocate(target)) return cursor;
    const int32_t end = bound < target.count ? bound : target.count;
    const bool whole = whole_;
    auto below = [&](int32_t k) { return whole ? k < end : k < n && points[k] < end; };
    int32_t k = cursor;
    // What an earlier caller read is not read again.
    while (k < target.cursor && below(k)) ++k;
    // Locals, kept in registers across the host calls, which could otherwise change any member.
    fxMeshPoint_fn *const read = meshPoint_;
    const KorrinItem id = target.id;
    double *const xyz = target.xyz;
    const size_t mask = target.mask;
    if (whole)
        for (; k < end; ++k) read(id, k, xyz + 3 * (static_cast<size_t>(k) & mask), KORRIN_POSITIONS_CURRENT);
    else
        for (int32_t i; k < n && (i = points[k]) < end; ++k)
            read(id, i, xyz + 3 * (static_cast<size_t>(i) & mask), KORRIN_POSITIONS_CURRENT);
    if (k > target.cursor) target.cursor = k;
    return k;
}

void PointSnapshot::position(int32_t t, int32_t i, double *out) const {
    const Target &target = targets_[static_cast<size_t>(t)];
    if (!target.xyz) {
        meshPoint_(target.id, i, out, KORRIN_POSITIONS_CURRENT);
        return;
    }
    const double *p = slot(target, i);
    out[0] = p[0];
    out[1] = p[1];
    out[2] = p[2];
}

}  // namespace vantic
