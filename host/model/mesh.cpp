#include "model/mesh.h"

#include <cmath>
#include <limits>
#include <set>
#include <stdexcept>
#include <string>

#include "model/host.h"

namespace vhost {

namespace {

bool InRange(int32_t index, size_t count) { return index >= 0 && static_cast<size_t>(index) < count; }

// Newell's normal of a polygon: twice its area along its facing direction, so that summing these
// weights the polygons around a point by area. Exact for planar polygons, sound for bent ones.
Vec3 AreaNormal(const std::vector<Vec3> &points, const std::vector<int32_t> &corners) {
    Vec3 n{0.0, 0.0, 0.0};
    const size_t count = corners.size();
    for (size_t i = 0; i < count; ++i) {
        const Vec3 &a = points[static_cast<size_t>(corners[i])];
        const Vec3 &b = points[static_cast<size_t>(corners[(i + 1) % count])];
        n[0] += (a[1] - b[1]) * (a[2] + b[2]);
        n[1] += (a[2] - b[2]) * (a[0] + b[0]);
        n[2] += (a[0] - b[0]) * (a[1] + b[1]);
    }
    return n;
}

bool CornersInRange(const std::vector<int32_t> &corners, size_t pointCount) {
    for (int32_t c : corners)
        if (!InRange(c, pointCount)) return false;
    return true;
}

// Distinct non-zero targets in host order: what a walk over the effect visits.
std::vector<KorrinItem> WalkOrder(const Effect &effect) {
    std::vector<KorrinItem> order;
    std::set<KorrinItem> seen;
    for (KorrinItem t : effect.targets)
        if (t != 0 && seen.insert(t).second) order.push_back(t);
    return order;
}

}  // namespace

void Mesh::rebuild() {
    const size_t n = base.size();
    if (current.size() != n) current = base;
    selected.resize(n, 0);

    pointPolygons.assign(n, {});
    std::vector<Vec3> sums(n, Vec3{0.0, 0.0, 0.0});
    for (size_t p = 0; p < polygons.size(); ++p) {
        const std::vector<int32_t> &corners = polygons[p];
        if (!CornersInRange(corners, n)) continue;
        const Vec3 area = AreaNormal(base, corners);
        for (int32_t c : corners) {
            std::vector<int32_t> &list = pointPolygons[static_cast<size_t>(c)];
            // A polygon that lists a point twice is still one polygon of that point.
            if (!list.empty() && list.back() == static_cast<int32_t>(p)) continue;
            list.push_back(static_cast<int32_t>(p));
            for (int k = 0; k < 3; ++k) sums[static_cast<size_t>(c)][k] += area[k];
        }
    }

    normals.assign(n, Vec3{0.0, 0.0, 0.0});
    for (size_t i = 0; i < n; ++i) {
        const Vec3 &s = sums[i];
        const double length2 = s[0] * s[0] + s[1] * s[1] + s[2] * s[2];
        if (!(length2 > 0.0) || !std::isfinite(length2)) continue;
        const double inverse = 1.0 / std::sqrt(length2);
        normals[i] = Vec3{s[0] * inverse, s[1] * inverse, s[2] * inverse};
    }
}

Mesh &MeshTable::operator[](KorrinItem id) {
    if (id < 1 || id > static_cast<KorrinItem>(std::numeric_limits<int32_t>::max()))
        throw std::out_of_range("mesh id " + std::to_string(id));
    if (id > slots_.size()) slots_.resize(static_cast<size_t>(id));
    std::unique_ptr<Mesh> &slot = slots_[static_cast<size_t>(id - 1)];
    if (!slot) slot = std::make_unique<Mesh>();
    return *slot;
}

void MeshTable::erase(KorrinItem id) {
    if (id >= 1 && id <= slots_.size()) slots_[static_cast<size_t>(id - 1)].reset();
}

Mesh *MeshStore::find(KorrinItem id) { return meshes.find(id); }

Effect *MeshStore::findEffect(KorrinItem id) {
    auto it = effects.find(id);
    return it == effects.end() ? nullptr : &it->second;
}

Mesh *LiveMesh(Host &host, KorrinItem id) {
    return host.scene.items.exists(id) ? host.scene.meshes.find(id) : nullptr;
}

Effect *LiveEffect(Host &host, KorrinItem id) {
    return host.scene.items.exists(id) ? host.scene.meshes.findEffect(id) : nullptr;
}

KorrinItem FirstTarget(const Effect &effect) {
    const std::vector<KorrinItem> order = WalkOrder(effect);
    return order.empty() ? 0 : order.front();
}

KorrinItem NextTarget(const Effect &effect, KorrinItem target) {
    if (target == 0) return 0;
    const std::vector<KorrinItem> order = WalkOrder(effect);
    for (size_t i = 0; i + 1 < order.size(); ++i)
        if (order[i] == target) return order[i + 1];
    return 0;
}

KorrinItem AddMesh(Host &host, const std::string &name, const MeshData &data) {
    const size_t n = data.points.size();
    if (n > static_cast<size_t>(std::numeric_limits<int32_t>::max()) ||
        data.polygons.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        throw std::invalid_argument("mesh " + name + ": too large for 32-bit indices");
    for (size_t p = 0; p < data.polygons.size(); ++p)
        for (int32_t c : data.polygons[p])
            if (!InRange(c, n))
                throw std::invalid_argument("mesh " + name + ": polygon " + std::to_string(p) + " uses point " +
                                            std::to_string(c) + " of " + std::to_string(n));

    const KorrinItem id = host.scene.items.add(ItemKind::Mesh, name);
    Mesh &mesh = host.scene.meshes.meshes[id];
    mesh.base = data.points;
    mesh.current = data.points;
    mesh.polygons = data.polygons;
    mesh.rebuild();
    return id;
}

KorrinItem AddEffect(Host &host, const std::string &name, const std::vector<KorrinItem> &targets) {
    std::set<KorrinItem> seen;
    for (KorrinItem t : targets) {
        if (t == 0) throw std::invalid_argument("effect " + name + ": target id 0");
        if (!seen.insert(t).second)
            throw std::invalid_argument("effect " + name + ": target " + std::to_string(t) + " listed twice");
    }
    const KorrinItem id = host.scene.items.add(ItemKind::Effect, name);
    host.scene.meshes.effects[id].targets = targets;
    return id;
}

}  // namespace vhost
