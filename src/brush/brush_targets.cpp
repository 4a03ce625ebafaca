// The brush's targets: four parallel per-target arrays (ids, selection flags, weights, triangle
// meshes) kept in step on every add and remove. The module's own record of what it made is kept in
// step with them, so a client that replaced an array or changed targetCount cannot make it free or
// overrun anything.
#include <cstdlib>
#include <cstring>

#include "binding/host_lists.h"
#include "binding/host_table.h"
#include "brush/box_selection.h"
#include "brush/brush.h"
#include "brush/point_arrays.h"
#include "geometry/triangulation.h"

namespace {

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

// Releases the outer arrays the module made (never a client's) and puts the given ones in their place.
void ReplaceTargetArrays(Brush *brush, vantic::BrushArrays &own, uint32_t *ids, int32_t **selection,
                         double **weights, TriangleMesh **meshes, int32_t count) {
    std::free(own.ids);
    std::free(own.selection);
    std::free(own.weights);
    std::free(own.meshes);
    own.ids = brush->targetIds = ids;
    own.selection = brush->selection = selection;
    own.weights = brush->weights = weights;
    own.meshes = brush->targetMeshes = meshes;
    brush->targetCount = count;
}

}  // namespace

int32_t vantic_BrushFindTargetOrder(Brush *brush, KorrinItem targetId) {
    return vantic::TargetOrder(brush, vantic::OwnArrays(brush), targetId);
}

void vantic_BrushAddTarget(Brush *brush, KorrinItem targetId) {
    vantic::BrushArrays *own = vantic::OwnArrays(brush);
    if (!own) return;
    const int32_t count = vantic::ReachableTargets(brush, own);
    if (count > 0 && vantic_BrushFindTargetOrder(brush, targetId) >= 0) return;

    // Everything is allocated before anything changes: a failed allocation leaves the brush as it was.
    const int32_t points = vantic::MeshPointCount(targetId);
    auto *ids = GrownCopy(brush->targetIds, count);
    auto *selection = GrownCopy(brush->selection, count);
    auto *weights = GrownCopy(brush->weights, count);
    auto *meshes = GrownCopy(brush->targetMeshes, count);
    vantic::TargetArrays entry{};
    entry.flags = vantic::NewPointFlags(points);
    entry.weights = vantic::NewPointWeights(points);
    entry.length = points > 0 ? points : 0;
    // A target added during a box drag has no marks; the module's list keeps one entry per target.
    if (!ids || !selection || !weights || !meshes || !entry.flags || !entry.weights ||
        !vantic::AppendTargetArrays(*own, entry)) {
        std::free(ids);
        std::free(selection);
        std::free(weights);
        std::free(meshes);
        std::free(entry.flags);
        std::free(entry.weights);
        return;
    }
    // A client that lowered targetCount drops the targets past it from the module's list as well.
    while (own->count > count + 1) vantic::RemoveTargetArrays(*own, own->count - 2);

    ids[count] = targetId;
    selection[count] = entry.flags;
    weights[count] = entry.weights;
    vantic::TargetArrays &made = own->targets[count];
    meshes[count] = made.mesh = vantic_TriangulateTarget(targetId, 0);
    // Without memory for the flat copy it stays empty and the pick reads the mesh record itself.
    vantic::BuildFlatTriangles(made.mesh, made.triangles);
    // The first target keeps the host's selection; later ones start from a clear one.
    if (count > 0) FX(fxPointSelect_ClearAll)(targetId);
    ReplaceTargetArrays(brush, *own, ids, selection, weights, meshes, count + 1);
}

void vantic_BrushRemoveTarget(Brush *brush, KorrinItem targetId) {
    const int32_t k = vantic_BrushFindTargetOrder(brush, targetId);
    if (k < 0) return;
    vantic::BrushArrays &own = *vantic::OwnArrays(brush);
    const int32_t count = vantic::ReachableTargets(brush, &own);

    vantic::RemoveTargetBoxMarks(brush, own, k);
    vantic::RemoveTargetArrays(own, k);
    if (count == 1) {
        ReplaceTargetArrays(brush, own, nullptr, nullptr, nullptr, nullptr, 0);
        return;
    }
    // The arrays keep their allocation; only the first targetCount entries are in use.
    RemoveEntry(brush->targetIds, count, k);
    RemoveEntry(brush->selection, count, k);
    RemoveEntry(brush->weights, count, k);
    RemoveEntry(brush->targetMeshes, count, k);
    brush->targetCount = count - 1;
}
