#include "binding/host_lists.h"

#include <cstddef>

#include "binding/host_table.h"

namespace vantic {

namespace {

// The list as read, in list itself.
template <class Read>
void ReadList(std::vector<int32_t> &list, Read &&read) {
    list.resize(static_cast<size_t>(kListFirstRead));
    // A longer list replaces the first read's entries; either way the entries start the list.
    const size_t kept = ReadOnceOrTwice(list.data(), list, read).size();
    list.resize(kept);
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
    auto *const meshPoly = FX(fxMeshPoly);
    ReadList(corners, [&](int32_t *buffer, int32_t capacity, int32_t *count) {
        int32_t unused = 0;
        meshPoly(mesh, polygon, buffer, capacity, count, &unused, 0);
    });
}

void ReadPointPolygons(KorrinItem mesh, int32_t point, std::vector<int32_t> &polygons) {
    auto *const pointPolys = FX(fxMeshPointPolys);
    ReadList(polygons, [&](int32_t *buffer, int32_t capacity, int32_t *count) {
        pointPolys(mesh, point, buffer, capacity, count, 0);
    });
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
