// Host polygons to Triangle records of mesh point indices.
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "binding/host_lists.h"
#include "binding/host_table.h"
#include "geometry/triangulation.h"
#include "geometry/vector_primitives.h"

namespace {

struct FreeBlock {
    void operator()(void *block) const { std::free(block); }
};

// Throws std::bad_alloc when out of memory, having freed what it took.
Triangle *TriangulatePolygon(KorrinItem mesh, int32_t poly, int32_t *count, int32_t selector) {
    const std::vector<int32_t> corners = vantic::PolygonCorners(mesh, poly);
    const int32_t n = static_cast<int32_t>(corners.size());
    if (n < 3) {
        *count = 0;
        return nullptr;
    }
    std::unique_ptr<Triangle, FreeBlock> triangles(
        static_cast<Triangle *>(std::calloc(static_cast<size_t>(n - 2), sizeof(Triangle))));
    if (!triangles) return nullptr;  // out of memory: as if the polygon were absent
    if (n == 3) {
        for (int i = 0; i < 3; ++i) triangles.get()->corners[i] = corners[static_cast<size_t>(i)];
        *count = 1;
        return triangles.release();
    }
    std::vector<double> positions(3 * static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i)
        FX(fxMeshPoint)(mesh, corners[static_cast<size_t>(i)], &positions[3 * static_cast<size_t>(i)], selector);
    double normal[3];
    vantic_ComputeBestFitNormal(positions.data(), n, normal);
    // Flatten onto the plane through the first corner; the ear tests assume a planar polygon.
    for (int32_t i = 1; i < n; ++i) {
        double *p = &positions[3 * static_cast<size_t>(i)];
        vantic_PointOnPlane(p, normal, positions.data(), p);
    }
    const int32_t k = vantic::Triangulate(n, positions.data(), normal, triangles.get());
    for (int32_t t = 0; t < k; ++t)
        for (int32_t &corner : triangles.get()[t].corners) corner = corners[static_cast<size_t>(corner)];
    *count = k;
    return triangles.release();
}

}  // namespace

Triangle *vantic_TriangulatePolyId(KorrinItem mesh, int32_t poly, int32_t *count, int32_t selector) {
    if (!count) return nullptr;
    // A negative index is as absent as one past the end: never ask the host for it.
    if (poly < 0 || poly >= vantic::MeshPolygonCount(mesh)) return nullptr;
    try {
        return TriangulatePolygon(mesh, poly, count, selector);
    } catch (const std::bad_alloc &) {
        return nullptr;  // out of memory: as if the polygon were absent
    }
}

TriangleMesh *vantic_TriangulateTarget(KorrinItem mesh, int32_t selector) {
    const int32_t polygonCount = vantic::MeshPolygonCount(mesh);
    if (polygonCount < 1) return nullptr;
    auto *record = static_cast<TriangleMesh *>(std::calloc(1, sizeof(TriangleMesh)));
    auto *polygons =
        static_cast<PolygonTriangles *>(std::calloc(static_cast<size_t>(polygonCount), sizeof(PolygonTriangles)));
    if (!record || !polygons) {  // out of memory: no mesh rather than a half-made one
        std::free(record);
        std::free(polygons);
        return nullptr;
    }
    record->polygonCount = polygonCount;
    record->polygons = polygons;
    for (int32_t i = 0; i < polygonCount; ++i) {
        PolygonTriangles &entry = record->polygons[i];
        entry.triangles = vantic_TriangulatePolyId(mesh, i, &entry.triangleCount, selector);
    }
    return record;
}

void vantic_FreeMesh(TriangleMesh *mesh) {
    if (!mesh) return;
    if (mesh->polygons) {
        for (int32_t i = 0; i < mesh->polygonCount; ++i) std::free(mesh->polygons[i].triangles);
        std::free(mesh->polygons);
        mesh->polygons = nullptr;
        mesh->polygonCount = 0;
    }
    std::free(mesh);
}

void vantic_FreeTriangle(void *block) {
    if (block) std::free(block);
}
