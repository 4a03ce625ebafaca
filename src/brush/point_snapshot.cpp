#include "brush/point_snapshot.h"

#include "binding/host_lists.h"
#include "binding/host_table.h"
#include "brush/point_arrays.h"
#include "brush/scratch_blocks.h"

namespace vantic {

namespace {

void Fetch(KorrinItem target, int32_t i, double *out) {
    FX(fxMeshPoint)(target, i, out, KORRIN_POSITIONS_CURRENT);
}

}  // namespace

PointSnapshot::PointSnapshot(const Brush *brush, bool whole) : whole_(whole) {
    const int32_t count = brush && brush->targetIds ? ReachableTargets(brush, OwnArrays(brush)) : 0;
    targets_.reserve(static_cast<size_t>(count));
    for (int32_t t = 0; t < count; ++t) targets_.push_back(Target{brush->targetIds[t], -1, Read::Nothing, nullptr});
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

bool PointSnapshot::allocate(Target &target) {
    // Not zeroed: only the points read are ever looked at.
    if (!target.xyz && target.count > 0)
        target.xyz = TakeScratch(static_cast<size_t>(target.count) * 3);
    return target.xyz != nullptr;
}

void PointSnapshot::readAll(int32_t t) {
    Target &target = entry(t);
    if (target.read == Read::All) return;
    // The listed points are read again here; no caller asks for a list before all.
    target.read = Read::All;
    if (!allocate(target)) return;
    for (int32_t i = 0; i < target.count; ++i) Fetch(target.id, i, target.xyz + 3 * static_cast<size_t>(i));
}

void PointSnapshot::readListed(int32_t t, const int32_t *points, int32_t n) {
    if (whole_) return readAll(t);
    Target &target = entry(t);
    if (target.read != Read::Nothing) return;
    target.read = Read::Listed;
    if (!allocate(target)) return;
    for (int32_t k = 0; k < n && points[k] < target.count; ++k)
        Fetch(target.id, points[k], target.xyz + 3 * static_cast<size_t>(points[k]));
}

void PointSnapshot::position(int32_t t, int32_t i, double *out) const {
    const Target &target = targets_[static_cast<size_t>(t)];
    if (!target.xyz) return Fetch(target.id, i, out);
    const double *p = target.xyz + 3 * static_cast<size_t>(i);
    out[0] = p[0];
    out[1] = p[1];
    out[2] = p[2];
}

}  // namespace vantic
