#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "binding/data_keys.h"
#include "binding/host_lists.h"
#include "binding/host_table.h"
#include "tangent/tangent_evaluate.h"
#include "tangent/tangent_space.h"
#include "tangent/tangent_topology.h"

namespace {

void ReleaseTangentSpace(TangentSpace *space) {
    if (space->points) {
        for (int32_t p = 0; p < space->numPoints; ++p) {
            TangentPoint &point = space->points[p];
            std::free(point.neighbours);
            point.neighbours = nullptr;
            std::free(point.corners);
            point.corners = nullptr;
        }
        std::free(space->points);
    }
    std::free(space);
}

// The start values of a point: zeros but for references to no point and the identity frame.
TangentPoint StartPoint() {
    TangentPoint point;
    std::memset(&point, 0, sizeof point);
    for (int i = 0; i < 3; ++i) point.refTri1[i] = point.refTri2[i] = 0xFFFFFFFFu;
    for (int i = 0; i < 4; ++i) point.matrix[5 * i] = 1.0;
    return point;
}

// Start values, corners, neighbours and reference triangles point by point, so that each record is
// visited once while it is being built. started counts the records given their start values.
bool BuildPoints(TangentSpace *space, const TangentPoint &start, int32_t &started) {
    try {
        const vantic::PolygonTable polygons = vantic::ReadPolygons(space->objectId);
        const std::vector<double> base = vantic::BasePositions(space);
        std::vector<int32_t> around;
        for (int32_t p = 0; p < space->numPoints; ++p) {
            std::memcpy(&space->points[p], &start, sizeof start);
            started = p + 1;
            if (!vantic::BuildCorners(space, p, polygons, around) || !vantic::BuildNeighbours(&space->points[p]))
                return false;
            vantic::ChooseReferenceTriangles(space, p, base.data());
        }
    } catch (const std::bad_alloc &) {
        return false;
    }
    return true;
}

// Every point built, then a first evaluation. Out of memory, the records not reached get their
// start values too, so that releasing them frees only what was allocated.
bool Build(TangentSpace *space) {
    const TangentPoint start = StartPoint();
    int32_t started = 0;
    if (BuildPoints(space, start, started)) return vantic::EvaluateTangentSpace(space);
    for (int32_t p = started; p < space->numPoints; ++p) std::memcpy(&space->points[p], &start, sizeof start);
    return false;
}

}  // namespace

TangentSpace *vantic_CreateTangentSpace(KorrinItem objectId, uint32_t dataId) {
    TangentSpace *space = static_cast<TangentSpace *>(std::calloc(1, sizeof(TangentSpace)));
    if (!space) return nullptr;
    space->objectId = objectId;
    space->passes = 2;
    const int32_t n = vantic::MeshPointCount(objectId);
    space->numPoints = n > 0 ? n : 0;
    if (space->numPoints > 0) {
        // Not zero-filled: Build gives every point its start values as it reaches it.
        space->points = static_cast<TangentPoint *>(std::malloc(static_cast<size_t>(n) * sizeof(TangentPoint)));
        if (!space->points) {
            std::free(space);
            return nullptr;
        }
    }
    // Out of memory: nothing half-built is attached.
    if (!Build(space)) {
        ReleaseTangentSpace(space);
        return nullptr;
    }
    FX(fxDataSet)(objectId, vantic::kModuleDataKey, dataId, space);
    return space;
}

TangentSpace *vantic_FetchTangentSpace(KorrinItem objectId, uint32_t dataId) {
    return static_cast<TangentSpace *>(FX(fxDataGet)(objectId, vantic::kModuleDataKey, dataId));
}

void vantic_DeleteTangentSpace(KorrinItem objectId, uint32_t dataId, TangentSpace *space) {
    TangentSpace *attached = static_cast<TangentSpace *>(FX(fxDataGet)(objectId, vantic::kModuleDataKey, dataId));
    if (attached) FX(fxDataFree)(objectId, vantic::kModuleDataKey, dataId);
    // An explicit record is released even when another one was attached; that one is only detached.
    TangentSpace *release = space ? space : attached;
    if (release) ReleaseTangentSpace(release);
}

void vantic_TangentGetMatrix(const TangentSpace *space, int32_t point, double *matrix) {
    if (!space || !space->points || !matrix || point < 0 || point >= space->numPoints) return;
    std::memcpy(matrix, space->points[point].matrix, sizeof space->points[point].matrix);
}
