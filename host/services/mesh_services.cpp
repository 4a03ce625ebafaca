// Mesh, point-selection and effect services. Whatever the caller passes (an unknown or deleted item,
// an index out of range, a null pointer, a capacity below 1), they write only what they can and never
// fail the host: counts of what does not exist are 0, other results 1 for done and 0 for not done.
#include "services/mesh_services.h"

#include <algorithm>

#include "model/host.h"
#include "model/mesh.h"

namespace vhost {

namespace {

bool InRange(int32_t index, size_t count) { return index >= 0 && static_cast<size_t>(index) < count; }

void Put(int32_t *out, int32_t value) {
    if (out) *out = value;
}

void PutVec(double *out, const Vec3 &v) {
    if (!out) return;
    out[0] = v[0];
    out[1] = v[1];
    out[2] = v[2];
}

// The two-call list pattern: copy up to capacity entries, always report the full count.
int32_t PutList(const std::vector<int32_t> &list, int32_t *buffer, int32_t capacity, int32_t *count) {
    if (buffer && capacity > 0)
        std::copy_n(list.begin(), std::min(list.size(), static_cast<size_t>(capacity)), buffer);
    Put(count, static_cast<int32_t>(list.size()));
    return 1;
}

Mesh *Live(KorrinItem mesh) { return LiveMesh(Host::current(), mesh); }

int32_t MeshNumPoints(KorrinItem mesh, int32_t *count, int32_t) {
    const Mesh *m = Live(mesh);
    Put(count, m ? static_cast<int32_t>(m->base.size()) : 0);
    return m ? 1 : 0;
}

int32_t MeshNumPolys(KorrinItem mesh, int32_t *count, int32_t) {
    const Mesh *m = Live(mesh);
    Put(count, m ? static_cast<int32_t>(m->polygons.size()) : 0);
    return m ? 1 : 0;
}

int32_t MeshPoly(KorrinItem mesh, int32_t polygon, int32_t *corners, int32_t capacity, int32_t *cornerCount,
                 int32_t *flagsOut, int32_t) {
    Put(flagsOut, 0);
    const Mesh *m = Live(mesh);
    if (!m || !InRange(polygon, m->polygons.size())) {
        Put(cornerCount, 0);
        return 0;
    }
    return PutList(m->polygons[static_cast<size_t>(polygon)], corners, capacity, cornerCount);
}

int32_t MeshPointPolys(KorrinItem mesh, int32_t point, int32_t *polygons, int32_t capacity, int32_t *polygonCount,
                       int32_t) {
    const Mesh *m = Live(mesh);
    if (!m || !InRange(point, m->pointPolygons.size())) {
        Put(polygonCount, 0);
        return 0;
    }
    return PutList(m->pointPolygons[static_cast<size_t>(point)], polygons, capacity, polygonCount);
}

int32_t MeshPoint(KorrinItem mesh, int32_t point, double *position, int32_t selector) {
    const Mesh *m = Live(mesh);
    const bool known = selector == KORRIN_POSITIONS_BASE || selector == KORRIN_POSITIONS_CURRENT;
    if (!m || !position || !known) return 0;
    const std::vector<Vec3> &positions = selector == KORRIN_POSITIONS_BASE ? m->base : m->current;
    if (!InRange(point, positions.size())) return 0;
    PutVec(position, positions[static_cast<size_t>(point)]);
    return 1;
}

int32_t MeshPointNormal(KorrinItem mesh, int32_t point, double *normal, int32_t) {
    const Mesh *m = Live(mesh);
    if (!m || !normal || !InRange(point, m->normals.size())) return 0;
    PutVec(normal, m->normals[static_cast<size_t>(point)]);
    return 1;
}

int32_t SelectPoint(KorrinItem mesh, int32_t point, uint8_t value) {
    Mesh *m = Live(mesh);
    if (!m || !InRange(point, m->selected.size())) return 0;
    m->selected[static_cast<size_t>(point)] = value;
    return 1;
}

int32_t PointSelectSet(KorrinItem mesh, int32_t point) { return SelectPoint(mesh, point, 1); }

int32_t PointSelectClear(KorrinItem mesh, int32_t point) { return SelectPoint(mesh, point, 0); }

int32_t PointSelectClearAll(KorrinItem mesh) {
    Mesh *m = Live(mesh);
    if (!m) return 0;
    std::fill(m->selected.begin(), m->selected.end(), uint8_t{0});
    return 1;
}

KorrinItem EffectTargetFirst(KorrinItem effect, int32_t) {
    const Effect *e = LiveEffect(Host::current(), effect);
    return e ? FirstTarget(*e) : 0;
}

KorrinItem EffectTargetNext(KorrinItem effect, KorrinItem target, int32_t) {
    const Effect *e = LiveEffect(Host::current(), effect);
    return e ? NextTarget(*e, target) : 0;
}

}  // namespace

void AddMeshServices(ServiceMap &map) {
    VHOST_SERVICE(map, fxMeshNumPoints, MeshNumPoints);
    VHOST_SERVICE(map, fxMeshNumPolys, MeshNumPolys);
    VHOST_SERVICE(map, fxMeshPoly, MeshPoly);
    VHOST_SERVICE(map, fxMeshPointPolys, MeshPointPolys);
    VHOST_SERVICE(map, fxMeshPoint, MeshPoint);
    VHOST_SERVICE(map, fxMeshPointNormal, MeshPointNormal);
    VHOST_SERVICE(map, fxPointSelect_Set, PointSelectSet);
    VHOST_SERVICE(map, fxPointSelect_Clear, PointSelectClear);
    VHOST_SERVICE(map, fxPointSelect_ClearAll, PointSelectClearAll);
    VHOST_SERVICE(map, fxEffectTargetFirst, EffectTargetFirst);
    VHOST_SERVICE(map, fxEffectTargetNext, EffectTargetNext);
}

}  // namespace vhost
