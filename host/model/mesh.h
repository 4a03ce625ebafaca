// Meshes (two position sets, polygons, point-to-polygon lists, normals, point selection) and effects
// with ordered targets.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
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
    // Normals follow the base positions: they are the rest shape's, like the positions of selector 0.
    // A point in no polygon, or whose polygons have no area, gets the normal (0, 0, 0). Corners out of
    // range are skipped here; AddMesh refuses them in the first place.
    void rebuild();
};

struct Effect {
    std::vector<KorrinItem> targets;  // in host order
};

// Meshes by item id. Ids count up from 1 and are never reused, so the mesh of item id lives at index
// id - 1 (null when the item has none): every point read looks its mesh up, and this keeps that to
// one index.
class MeshTable {
public:
    // The mesh of id, made empty when it has none; throws std::out_of_range for id 0 and ids past
    // what 32-bit indices reach.
    Mesh &operator[](KorrinItem id);
    Mesh *find(KorrinItem id) {
        return id >= 1 && id <= slots_.size() ? slots_[static_cast<size_t>(id - 1)].get() : nullptr;
    }
    size_t count(KorrinItem id) { return find(id) ? 1 : 0; }
    void erase(KorrinItem id);

private:
    std::vector<std::unique_ptr<Mesh>> slots_;
};

struct MeshStore {
    MeshTable meshes;
    std::map<KorrinItem, Effect> effects;
    Mesh *find(KorrinItem id);
    Effect *findEffect(KorrinItem id);
};

// The mesh or effect of an item that still exists in the scene (a deleted item has none).
Mesh *LiveMesh(Host &host, KorrinItem id);
Effect *LiveEffect(Host &host, KorrinItem id);

// The walk over an effect's targets: the first target, and the one after target. Both answer 0 past
// the end, for 0, and for an id that is not a target. Zeros and repeats in targets are passed over, so
// a walk always ends even when a test has edited the list by hand.
KorrinItem FirstTarget(const Effect &effect);
KorrinItem NextTarget(const Effect &effect, KorrinItem target);

// Scene construction (host/model/mesh.cpp). Both throw std::invalid_argument for data the host
// could not hold: a corner that is no point of the mesh; a target id 0 or listed twice.
KorrinItem AddMesh(Host &host, const std::string &name, const MeshData &data);
KorrinItem AddEffect(Host &host, const std::string &name, const std::vector<KorrinItem> &targets);

// Built-in generators (host/model/mesh_generators.cpp). Quads wound counter-clockwise seen from
// outside (grid: seen from +z). Sizes below the minimum (1 column/row/ring, 3 segments, 2 sphere
// rings) throw std::invalid_argument. Layouts, so that callers can name points and polygons:
// - grid: point (i, j) is j·(columns + 1) + i, x growing with i and y with j; quad (i, j) is
//   j·columns + i with corners (i, j), (i + 1, j), (i + 1, j + 1), (i, j + 1).
// - cube: points 0-3 the corners at z = -size/2 and 4-7 those at +size/2, each four going (-,-),
//   (+,-), (+,+), (-,+) in (x, y); faces +z, -z, +x, -x, +y, -y.
// - sphere: point 0 the top pole, then rings - 1 circles of segments points from the top down, then
//   the bottom pole; the top fan, the quad bands from the top down, the bottom fan.
// - tube: rings + 1 circles of segments points from y = -height/2 upwards; quad bands from the bottom.
// Circles start on +x and turn counter-clockwise seen from +y.
MeshData MakeGrid(int32_t columns, int32_t rows, double width, double height);  // xy-plane, centred on 0
MeshData MakeCube(double size);                                                   // centred on 0
MeshData MakeSphere(double radius, int32_t segments, int32_t rings);             // poles on ±y, triangle fans
MeshData MakeTube(double radius, double height, int32_t segments, int32_t rings); // open ring of quads along y
MeshData MakePolygon(const std::vector<Vec3> &corners);                          // one polygon

// OBJ files through tinyobjloader (host/model/obj_mesh.cpp); throws std::runtime_error naming the
// file, and the line where known, for a missing or malformed file.
MeshData LoadObj(const std::string &path);
// The same for OBJ text already read; path only names it in messages.
MeshData ParseObj(const std::string &text, const std::string &path);

}  // namespace vhost
