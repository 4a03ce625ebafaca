// Built-in meshes, so that tests and the sandbox need no files.
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "model/mesh.h"

namespace vhost {

namespace {

void Require(bool ok, const char *what) {
    if (!ok) throw std::invalid_argument(what);
}

// A circle of segments points at height y, starting on +x and turning counter-clockwise seen from +y.
void AddCircle(MeshData &mesh, double radius, double y, int32_t segments) {
    for (int32_t s = 0; s < segments; ++s) {
        const double angle = 2.0 * std::numbers::pi * s / segments;
        mesh.points.push_back(Vec3{radius * std::cos(angle), y, -radius * std::sin(angle)});
    }
}

// Quads between two circles of segments points, the upper one starting at index upper and the lower
// one at lower: facing outwards.
void AddBand(MeshData &mesh, int32_t upper, int32_t lower, int32_t segments) {
    for (int32_t s = 0; s < segments; ++s) {
        const int32_t next = (s + 1) % segments;
        mesh.polygons.push_back({upper + s, lower + s, lower + next, upper + next});
    }
}

}  // namespace

MeshData MakeGrid(int32_t columns, int32_t rows, double width, double height) {
    Require(columns >= 1 && rows >= 1, "grid: needs at least one column and one row");
    MeshData mesh;
    for (int32_t j = 0; j <= rows; ++j)
        for (int32_t i = 0; i <= columns; ++i)
            mesh.points.push_back(Vec3{-0.5 * width + width * i / columns, -0.5 * height + height * j / rows, 0.0});
    const int32_t stride = columns + 1;
    for (int32_t j = 0; j < rows; ++j)
        for (int32_t i = 0; i < columns; ++i) {
            const int32_t a = j * stride + i;
            mesh.polygons.push_back({a, a + 1, a + 1 + stride, a + stride});
        }
    return mesh;
}

MeshData MakeCube(double size) {
    const double h = 0.5 * size;
    MeshData mesh;
    for (double z : {-h, h}) {
        mesh.points.push_back(Vec3{-h, -h, z});
        mesh.points.push_back(Vec3{h, -h, z});
        mesh.points.push_back(Vec3{h, h, z});
        mesh.points.push_back(Vec3{-h, h, z});
    }
    mesh.polygons = {{4, 5, 6, 7}, {0, 3, 2, 1}, {1, 2, 6, 5}, {0, 4, 7, 3}, {3, 7, 6, 2}, {0, 1, 5, 4}};
    return mesh;
}

MeshData MakeSphere(double radius, int32_t segments, int32_t rings) {
    Require(segments >= 3 && rings >= 2, "sphere: needs at least 3 segments and 2 rings");
    MeshData mesh;
    mesh.points.push_back(Vec3{0.0, radius, 0.0});
    for (int32_t k = 1; k < rings; ++k) {
        const double polar = std::numbers::pi * k / rings;
        AddCircle(mesh, radius * std::sin(polar), radius * std::cos(polar), segments);
    }
    const int32_t bottom = static_cast<int32_t>(mesh.points.size());
    mesh.points.push_back(Vec3{0.0, -radius, 0.0});

    for (int32_t s = 0; s < segments; ++s) mesh.polygons.push_back({0, 1 + s, 1 + (s + 1) % segments});
    for (int32_t k = 1; k + 1 < rings; ++k) AddBand(mesh, 1 + (k - 1) * segments, 1 + k * segments, segments);
    const int32_t last = 1 + (rings - 2) * segments;
    for (int32_t s = 0; s < segments; ++s) mesh.polygons.push_back({bottom, last + (s + 1) % segments, last + s});
    return mesh;
}

MeshData MakeTube(double radius, double height, int32_t segments, int32_t rings) {
    Require(segments >= 3 && rings >= 1, "tube: needs at least 3 segments and 1 ring");
    MeshData mesh;
    for (int32_t k = 0; k <= rings; ++k) AddCircle(mesh, radius, -0.5 * height + height * k / rings, segments);
    for (int32_t k = 0; k < rings; ++k) AddBand(mesh, (k + 1) * segments, k * segments, segments);
    return mesh;
}

MeshData MakePolygon(const std::vector<Vec3> &corners) {
    MeshData mesh;
    mesh.points = corners;
    std::vector<int32_t> polygon;
    for (size_t i = 0; i < corners.size(); ++i) polygon.push_back(static_cast<int32_t>(i));
    mesh.polygons.push_back(polygon);
    return mesh;
}

}  // namespace vhost
