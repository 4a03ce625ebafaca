#include "brush/point_arrays.h"

#include <cstdlib>
#include <cstring>

#include "binding/host_lists.h"
#include "brush/brush.h"
#include "geometry/triangulation.h"

namespace vantic {

namespace {

void *NewArray(int32_t count, size_t elementSize) {
    const size_t n = count > 0 ? static_cast<size_t>(count) : 1;
    return std::calloc(n, elementSize);
}

int32_t Smaller(int32_t a, int32_t b) {
    const int32_t m = a < b ? a : b;
    return m > 0 ? m : 0;
}

}  // namespace

BrushArrays *OwnArrays(const Brush *brush) {
    if (!brush) return nullptr;
    BrushAttachment *attachment = BrushGetAttachment(brush->action);
    // A client that changed brush->action must not reach another brush's arrays.
    return attachment && attachment->brush == brush ? &attachment->arrays : nullptr;
}

int32_t ReachableTargets(const Brush *brush, const BrushArrays *own) {
    return brush && own ? Smaller(brush->targetCount, own->count) : 0;
}

int32_t TargetOrder(const Brush *brush, const BrushArrays *own, KorrinItem target) {
    if (!brush || !brush->targetIds) return -1;
    const int32_t count = ReachableTargets(brush, own);
    for (int32_t i = 0; i < count; ++i)
        if (brush->targetIds[i] == target) return i;
    return -1;
}

int32_t TargetPointCount(const BrushArrays &own, int32_t t, KorrinItem target) {
    return Smaller(own.targets[t].length, MeshPointCount(target));
}

int32_t BoundedPointCount(int32_t length, int32_t hostCount) { return Smaller(length, hostCount); }

int32_t *NewPointFlags(int32_t count) { return static_cast<int32_t *>(NewArray(count, sizeof(int32_t))); }

double *NewPointWeights(int32_t count) { return static_cast<double *>(NewArray(count, sizeof(double))); }

bool AppendTargetArrays(BrushArrays &own, const TargetArrays &entry) {
    auto *grown = static_cast<TargetArrays *>(std::calloc(static_cast<size_t>(own.count) + 1, sizeof(TargetArrays)));
    if (!grown) return false;
    if (own.count > 0) std::memcpy(grown, own.targets, static_cast<size_t>(own.count) * sizeof(TargetArrays));
    grown[own.count] = entry;
    std::free(own.targets);
    own.targets = grown;
    ++own.count;
    return true;
}

void RemoveTargetArrays(BrushArrays &own, int32_t k) {
    if (k < 0 || k >= own.count) return;
    TargetArrays &entry = own.targets[k];
    std::free(entry.flags);
    std::free(entry.weights);
    std::free(entry.boxMarks);
    vantic_FreeMesh(entry.mesh);
    FreeFlatTriangles(entry.triangles);
    std::memmove(own.targets + k, own.targets + k + 1, static_cast<size_t>(own.count - k - 1) * sizeof(TargetArrays));
    --own.count;
}

void FreeOwnBoxMarks(BrushArrays &own) {
    for (int32_t t = 0; t < own.count; ++t) {
        std::free(own.targets[t].boxMarks);
        own.targets[t].boxMarks = nullptr;
        own.targets[t].boxLength = 0;
    }
    std::free(own.boxSelection);
    own.boxSelection = nullptr;
}

void FreeBrushArrays(BrushArrays &own) {
    FreeOwnBoxMarks(own);
    while (own.count > 0) RemoveTargetArrays(own, own.count - 1);
    std::free(own.targets);
    std::free(own.ids);
    std::free(own.selection);
    std::free(own.weights);
    std::free(own.meshes);
    own = BrushArrays{};
}

}  // namespace vantic
