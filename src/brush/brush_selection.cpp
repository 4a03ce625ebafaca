// The brush's per-point selection: points, edges, polygons, whole targets, inversion, bulk set and
// get, and the push into the host. Every per-point loop is bounded by the length the module made the
// flags with, so a host mesh that grew after the target was added is never written past.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "binding/host_lists.h"
#include "binding/host_table.h"
#include "brush/brush.h"
#include "brush/point_arrays.h"
#include "brush/selection_flags.h"

namespace {

using vantic::TargetFlags;

void SetPoint(Brush *brush, KorrinItem target, int32_t point, int32_t value) {
    const TargetFlags f = vantic::TargetSelectionFlags(brush, target);
    if (point >= 0 && point < f.count) f.flags[point] = value;
}

void SetEdge(Brush *brush, KorrinItem target, const int32_t *edge, int32_t value) {
    if (!edge) return;
    const TargetFlags f = vantic::TargetSelectionFlags(brush, target);
    if (edge[0] < 0 || edge[0] >= f.count || edge[1] < 0 || edge[1] >= f.count) return;
    f.flags[edge[0]] = value;
    f.flags[edge[1]] = value;
}

void SetPolygon(Brush *brush, KorrinItem target, int32_t polygon, int32_t value) {
    if (polygon < 0 || polygon >= vantic::MeshPolygonCount(target)) return;
    const TargetFlags f = vantic::TargetSelectionFlags(brush, target);
    if (!f.flags) return;
    // Polygons of up to four corners take one host call and no allocation.
    int32_t local[4] = {};
    int32_t count = 0, unused = 0;
    FX(fxMeshPoly)(target, polygon, local, 4, &count, &unused, 0);
    std::vector<int32_t> large;
    const int32_t *corners = local;
    if (count > 4) {
        large.resize(static_cast<size_t>(count));
        FX(fxMeshPoly)(target, polygon, large.data(), count, &count, &unused, 0);
        if (count > static_cast<int32_t>(large.size())) count = static_cast<int32_t>(large.size());
        corners = large.data();
    }
    for (int32_t i = 0; i < count; ++i)
        if (corners[i] >= 0 && corners[i] < f.count) f.flags[corners[i]] = value;
}

void SetTarget(const TargetFlags &f, int32_t value) {
    for (int32_t i = 0; i < f.count; ++i) f.flags[i] = value;
}

// Calls visit(flags) for the flags of every target the module can reach.
template <class Visit>
void ForEachTarget(Brush *brush, Visit visit) {
    if (!brush || !brush->selection || !brush->targetIds) return;
    const vantic::BrushArrays *own = vantic::OwnArrays(brush);
    const int32_t targets = vantic::ReachableTargets(brush, own);
    for (int32_t t = 0; t < targets; ++t) {
        int32_t *flags = brush->selection[t];
        const KorrinItem target = brush->targetIds[t];
        visit(target, TargetFlags{flags, flags ? vantic::TargetPointCount(*own, t, target) : 0, 0});
    }
}

}  // namespace

void vantic_BrushSelectVertex(Brush *brush, KorrinItem target, int32_t point) { SetPoint(brush, target, point, 1); }
void vantic_BrushDeselectVertex(Brush *brush, KorrinItem target, int32_t point) { SetPoint(brush, target, point, 0); }
void vantic_BrushSelectEdge(Brush *brush, KorrinItem target, const int32_t *edge) { SetEdge(brush, target, edge, 1); }
void vantic_BrushDeselectEdge(Brush *brush, KorrinItem target, const int32_t *edge) { SetEdge(brush, target, edge, 0); }

void vantic_BrushSelectPolygon(Brush *brush, KorrinItem target, int32_t polygon) {
    SetPolygon(brush, target, polygon, 1);
}

void vantic_BrushDeselectPolygon(Brush *brush, KorrinItem target, int32_t polygon) {
    SetPolygon(brush, target, polygon, 0);
}

void vantic_BrushSelectTarget(Brush *brush, KorrinItem target) {
    SetTarget(vantic::TargetSelectionFlags(brush, target), 1);
}

void vantic_BrushDeselectTarget(Brush *brush, KorrinItem target) {
    SetTarget(vantic::TargetSelectionFlags(brush, target), 0);
}

void vantic_BrushSelectAll(Brush *brush) {
    ForEachTarget(brush, [](KorrinItem, const TargetFlags &f) { SetTarget(f, 1); });
}

void vantic_BrushDeselectAll(Brush *brush) {
    ForEachTarget(brush, [](KorrinItem, const TargetFlags &f) { SetTarget(f, 0); });
}

void vantic_BrushInverSelection(Brush *brush) {
    ForEachTarget(brush, [](KorrinItem, const TargetFlags &f) {
        for (int32_t i = 0; i < f.count; ++i) f.flags[i] = f.flags[i] == 0 ? 1 : 0;
    });
}

void vantic_BrushSetSelection(Brush *brush, KorrinItem target, const int32_t *values) {
    if (!values) return;
    const TargetFlags f = vantic::TargetSelectionFlags(brush, target);
    if (f.count > 0) std::memcpy(f.flags, values, static_cast<size_t>(f.count) * sizeof(int32_t));
}

int32_t *vantic_BrushGetSelection(Brush *brush, KorrinItem target) {
    const TargetFlags f = vantic::TargetSelectionFlags(brush, target);
    if (!f.flags) return nullptr;
    // A plain calloc'd array the client frees with free(); never null for a target on the brush, even
    // with no points. Points the flags do not cover (the mesh grew) read as not selected.
    const size_t size = f.points > 0 ? static_cast<size_t>(f.points) : 1;
    auto *copy = static_cast<int32_t *>(std::calloc(size, sizeof(int32_t)));
    if (!copy) return nullptr;
    if (f.count > 0) std::memcpy(copy, f.flags, static_cast<size_t>(f.count) * sizeof(int32_t));
    return copy;
}

void vantic_BrushUpdateSelection(Brush *brush) {
    ForEachTarget(brush, [](KorrinItem target, const TargetFlags &f) {
        FX(fxPointSelect_ClearAll)(target);
        for (int32_t i = 0; i < f.count; ++i)
            if (f.flags[i] != 0) FX(fxPointSelect_Set)(target, i);
    });
}
