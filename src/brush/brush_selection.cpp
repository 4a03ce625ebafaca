// The brush's per-point selection: points, edges, polygons, whole targets, inversion, bulk set and
// get, and the push into the host. Every per-point loop is bounded by the flag array's own length,
// so a host mesh that grew after the target was added is never written past.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "binding/host_lists.h"
#include "binding/host_table.h"
#include "brush/brush.h"
#include "brush/point_arrays.h"
#include "brush/selection_flags.h"

namespace {

using vantic::PointLoopCount;

int32_t LoopCount(const int32_t *flags, KorrinItem target) {
    return PointLoopCount(flags, vantic::MeshPointCount(target));
}

void SetPoint(Brush *brush, KorrinItem target, int32_t point, int32_t value) {
    int32_t *flags = vantic::TargetSelectionFlags(brush, target);
    if (!flags) return;
    if (point >= 0 && point < LoopCount(flags, target)) flags[point] = value;
}

void SetEdge(Brush *brush, KorrinItem target, const int32_t *edge, int32_t value) {
    int32_t *flags = vantic::TargetSelectionFlags(brush, target);
    if (!flags || !edge) return;
    const int32_t n = LoopCount(flags, target);
    if (edge[0] < 0 || edge[0] >= n || edge[1] < 0 || edge[1] >= n) return;
    flags[edge[0]] = value;
    flags[edge[1]] = value;
}

void SetPolygon(Brush *brush, KorrinItem target, int32_t polygon, int32_t value) {
    if (polygon < 0 || polygon >= vantic::MeshPolygonCount(target)) return;
    int32_t *flags = vantic::TargetSelectionFlags(brush, target);
    if (!flags) return;
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
    const int32_t length = vantic::PointArrayLength(flags);
    for (int32_t i = 0; i < count; ++i)
        if (corners[i] >= 0 && corners[i] < length) flags[corners[i]] = value;
}

void SetTarget(int32_t *flags, KorrinItem target, int32_t value) {
    if (!flags) return;
    const int32_t n = LoopCount(flags, target);
    for (int32_t i = 0; i < n; ++i) flags[i] = value;
}

void SetAll(Brush *brush, int32_t value) {
    if (!brush || !brush->selection) return;
    for (int32_t t = 0; t < brush->targetCount; ++t) SetTarget(brush->selection[t], brush->targetIds[t], value);
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
    SetTarget(vantic::TargetSelectionFlags(brush, target), target, 1);
}

void vantic_BrushDeselectTarget(Brush *brush, KorrinItem target) {
    SetTarget(vantic::TargetSelectionFlags(brush, target), target, 0);
}

void vantic_BrushSelectAll(Brush *brush) { SetAll(brush, 1); }
void vantic_BrushDeselectAll(Brush *brush) { SetAll(brush, 0); }

void vantic_BrushInverSelection(Brush *brush) {
    if (!brush || !brush->selection) return;
    for (int32_t t = 0; t < brush->targetCount; ++t) {
        int32_t *flags = brush->selection[t];
        const int32_t n = LoopCount(flags, brush->targetIds[t]);
        for (int32_t i = 0; i < n; ++i) flags[i] = flags[i] == 0 ? 1 : 0;
    }
}

void vantic_BrushSetSelection(Brush *brush, KorrinItem target, const int32_t *values) {
    if (!values) return;
    int32_t *flags = vantic::TargetSelectionFlags(brush, target);
    if (!flags) return;
    const int32_t n = LoopCount(flags, target);
    if (n > 0) std::memcpy(flags, values, static_cast<size_t>(n) * sizeof(int32_t));
}

int32_t *vantic_BrushGetSelection(Brush *brush, KorrinItem target) {
    const int32_t *flags = vantic::TargetSelectionFlags(brush, target);
    if (!flags) return nullptr;
    const int32_t points = vantic::MeshPointCount(target);
    // A plain calloc'd array the client frees with free(); never null for a target on the brush, even
    // with no points. Points the flags do not cover (the mesh grew) read as not selected.
    const size_t size = points > 0 ? static_cast<size_t>(points) : 1;
    auto *copy = static_cast<int32_t *>(std::calloc(size, sizeof(int32_t)));
    if (!copy) return nullptr;
    const int32_t n = PointLoopCount(flags, points);
    if (n > 0) std::memcpy(copy, flags, static_cast<size_t>(n) * sizeof(int32_t));
    return copy;
}

void vantic_BrushUpdateSelection(Brush *brush) {
    if (!brush || !brush->selection) return;
    for (int32_t t = 0; t < brush->targetCount; ++t) {
        const KorrinItem target = brush->targetIds[t];
        const int32_t *flags = brush->selection[t];
        FX(fxPointSelect_ClearAll)(target);
        const int32_t n = LoopCount(flags, target);
        for (int32_t i = 0; i < n; ++i)
            if (flags[i] != 0) FX(fxPointSelect_Set)(target, i);
    }
}
