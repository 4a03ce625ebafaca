#include "binding/host_lists.h"

#include <cstddef>

#include "binding/host_table.h"

namespace vantic {

namespace {

// Lists this long or shorter (most polygons' corners, most points' polygons) come in one call; a
// longer one, whose full count that call reports, in a second with exactly that capacity.
constexpr int32_t kFirstCapacity = 16;

// read(buffer, capacity, &count) fills up to capacity entries and reports the full count.
template <class Read>
void ReadList(std::vector<int32_t> &list, Read read) {
    list.resize(static_cast<size_t>(kFirstCapacity));
    int32_t count = 0;
    read(list.data(), kFirstCapacity, &count);
    if (count <= kFirstCapacity) {
        list.resize(count > 0 ? static_cast<size_t>(count) : 0);
        return;
    }
    const int32_t reported = count;
    list.resize(static_cast<size_t>(reported));
    read(list.data(), reported, &count);
    // A host that reports fewer entries on the second call than on the first: keep only what it filled.
    if (count >= 0 && count < reported) list.resize(static_cast<size_t>(count));
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
