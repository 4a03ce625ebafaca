#include "binding/host_lists.h"

#include <cstddef>

#include "binding/host_table.h"

namespace vantic {

namespace {

// A host that reports fewer entries on the second call than on the first: keep only what it filled.
void KeepFilled(std::vector<int32_t> &list, int32_t count) {
    if (count >= 0 && static_cast<size_t>(count) < list.size()) list.resize(static_cast<size_t>(count));
}

}  // namespace

int32_t MeshPointCount(KorrinItem mesh) {
    int32_t n = 0;
    FX(fxMeshNumPoints)(mesh, &n, 0);
    return n;
}

int32_t MeshPolygonCount(KorrinItem mesh) {
    int32_t n = 0;
    FX(fxMeshNumPolys)(mesh, &n, 0);
    return n;
}

void ReadPolygonCorners(KorrinItem mesh, int32_t polygon, std::vector<int32_t> &corners) {
    int32_t slot = 0, count = 0, unused = 0;
    corners.clear();
    FX(fxMeshPoly)(mesh, polygon, &slot, 1, &count, &unused, 0);
    if (count < 1) return;
    corners.resize(static_cast<size_t>(count));
    FX(fxMeshPoly)(mesh, polygon, corners.data(), count, &count, &unused, 0);
    KeepFilled(corners, count);
}

void ReadPointPolygons(KorrinItem mesh, int32_t point, std::vector<int32_t> &polygons) {
    int32_t slot = 0, count = 0;
    polygons.clear();
    FX(fxMeshPointPolys)(mesh, point, &slot, 1, &count, 0);
    if (count < 1) return;
    polygons.resize(static_cast<size_t>(count));
    FX(fxMeshPointPolys)(mesh, point, polygons.data(), count, &count, 0);
    KeepFilled(polygons, count);
}

std::vector<int32_t> PolygonCorners(KorrinItem mesh, int32_t polygon) {
    std::vector<int32_t> corners;
    ReadPolygonCorners(mesh, polygon, corners);
    return corners;
}

std::vector<int32_t> PointPolygons(KorrinItem mesh, int32_t point) {
    std::vector<int32_t> polygons;
    ReadPointPolygons(mesh, point, polygons);
    return polygons;
}

}  // namespace vantic
