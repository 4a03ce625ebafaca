// The brush's targets: four parallel per-target arrays (ids, selection flags, weights, triangle
// meshes) kept in step on every add and remove.
#include <cstdlib>
#include <cstring>

#include "binding/host_lists.h"
#include "binding/host_table.h"
#include "brush/box_selection.h"
#include "brush/brush.h"
#include "brush/point_arrays.h"
#include "geometry/triangulation.h"

namespace {

int32_t TargetCount(const Brush *brush) { return brush->targetCount > 0 ? brush->targetCount : 0; }

// calloc'd copy of the first count entries of old with room for one more; null on failure.
template <class T>
T *GrownCopy(const T *old, int32_t count) {
    auto *grown = static_cast<T *>(std::calloc(static_cast<size_t>(count) + 1, sizeof(T)));
    if (grown && old && count > 0) std::memcpy(grown, old, static_cast<size_t>(count) * sizeof(T));
    return grown;
}

// Drops entry k of the first count entries by moving the rest down one place.
template <class T>
void RemoveEntry(T *array, int32_t count, int32_t k) {
    if (array) std::memmove(array + k, array + k + 1, static_cast<size_t>(count - k - 1) * sizeof(T));
}

// Releases the four per-target arrays (not their entries) and puts the given ones in their place.
void ReplaceTargetArrays(Brush *brush, uint32_t *ids, int32_t **selection, double **weights, TriangleMesh **meshes,
                         int32_t count) {
    std::free(brush->targetIds);
    std::free(brush->selection);
    std::free(brush->weights);
    std::free(brush->targetMeshes);
    brush->targetIds = ids;
    brush->selection = selection;
    brush->weights = weights;
    brush->targetMeshes = meshes;
    brush->targetCount = count;
}

}  // namespace

int32_t vantic_BrushFindTargetOrder(Brush *brush, KorrinItem targetId) {
    if (!brush || !brush->targetIds) return -1;
    for (int32_t i = 0; i < brush->targetCount; ++i)
        if (brush->targetIds[i] == targetId) return i;
    return -1;
}

void vantic_BrushAddTarget(Brush *brush, KorrinItem targetId) {
    if (!brush) return;
    const int32_t count = TargetCount(brush);
    if (count > 0 && vantic_BrushFindTargetOrder(brush, targetId) >= 0) return;

    // Everything is allocated before anything changes: a failed allocation leaves the brush as it was.
    auto *ids = GrownCopy(brush->targetIds, count);
    auto *selection = GrownCopy(brush->selection, count);
    auto *weights = GrownCopy(brush->weights, count);
    auto *meshes = GrownCopy(brush->targetMeshes, count);
    int32_t *flags = vantic::NewPointFlags(vantic::MeshPointCount(targetId));
    double *pointWeights = vantic::NewPointWeights(vantic::MeshPointCount(targetId));
    if (!ids || !selection || !weights || !meshes || !flags || !pointWeights) {
        std::free(ids);
        std::free(selection);
        std::free(weights);
        std::free(meshes);
        vantic::FreePointArray(flags);
        vantic::FreePointArray(pointWeights);
        return;
    }

    ids[count] = targetId;
    selection[count] = flags;
    weights[count] = pointWeights;
    meshes[count] = vantic_TriangulateTarget(targetId, 0);
    // The first target keeps the host's selection; later ones start from a clear one.
    if (count > 0) FX(fxPointSelect_ClearAll)(targetId);
    ReplaceTargetArrays(brush, ids, selection, weights, meshes, count + 1);
}

void vantic_BrushRemoveTarget(Brush *brush, KorrinItem targetId) {
    const int32_t k = vantic_BrushFindTargetOrder(brush, targetId);
    if (k < 0) return;
    const int32_t count = brush->targetCount;

    if (brush->selection) vantic::FreePointArray(brush->selection[k]);
    if (brush->weights) vantic::FreePointArray(brush->weights[k]);
    if (brush->targetMeshes && brush->targetMeshes[k]) vantic_FreeMesh(brush->targetMeshes[k]);
    vantic::RemoveTargetBoxMarks(brush, k);

    if (count == 1) {
        ReplaceTargetArrays(brush, nullptr, nullptr, nullptr, nullptr, 0);
        return;
    }
    // The arrays keep their allocation; only the first targetCount entries are in use.
    RemoveEntry(brush->targetIds, count, k);
    RemoveEntry(brush->selection, count, k);
    RemoveEntry(brush->weights, count, k);
    RemoveEntry(brush->targetMeshes, count, k);
    brush->targetCount = count - 1;
}
