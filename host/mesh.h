// Meshes (two position sets, polygons, point-to-polygon lists, normals, point selection) and effects
// with ordered targets.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "korrin_host_services.h"

namespace vhost {

class Host;
using Vec3 = std::array<double, 3>;

// What a mesh is made from: points and polygons as ordered corner lists (indices into points).
struct MeshData {
    std::vector<Vec3> points;
    std::vector<std::vector<int32_t>> polygons;
};

struct Mesh {
    std::vector<Vec3> base;                           // selector 0
    std::vector<Vec3> current;                        // selector 1: deformed positions, equal to base unless deformed
    std::vector<Vec3> normals;                        // host point normals (area-weighted, unit length)
    std::vector<std::vector<int32_t>> polygons;       // corner lists in order
    std::vector<std::vector<int32_t>> pointPolygons;  // per point, the polygons using it, ascending
    std::vector<uint8_t> selected;                    // the host's point selection

    // Rebuilds pointPolygons and normals after points or polygons changed (sizes selected too).
    void rebuild();
};

struct Effect {
    std::vector<KorrinItem> targets;  // in host order
};

struct MeshStore {
    std::map<KorrinItem, Mesh> meshes;
    std::map<KorrinItem, Effect> effects;
    Mesh *find(KorrinItem id);
    Effect *findEffect(KorrinItem id);
};

// Scene construction (host/mesh.cpp).
KorrinItem AddMesh(Host &host, const std::string &name, const MeshData &data);
KorrinItem AddEffect(Host &host, const std::string &name, const std::vector<KorrinItem> &targets);

// Built-in generators (host/mesh_generators.cpp). Quads wound counter-clockwise seen from outside
// (grid: seen from +z).
MeshData MakeGrid(int32_t columns, int32_t rows, double width, double height);  // xy-plane, centred on 0
MeshData MakeCube(double size);                                                   // centred on 0
MeshData MakeSphere(double radius, int32_t segments, int32_t rings);             // poles on ±y, triangle fans
MeshData MakeTube(double radius, double height, int32_t segments, int32_t rings); // open ring of quads along y
MeshData MakePolygon(const std::vector<Vec3> &corners);                          // one polygon

// OBJ files through tinyobjloader (host/obj_mesh.cpp); throws std::runtime_error naming the file,
// and the line where known, for a missing or malformed file.
MeshData LoadObj(const std::string &path);

}  // namespace vhost
