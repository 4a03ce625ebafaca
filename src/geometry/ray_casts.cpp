// Nearest ray hit on one host polygon or on a whole host mesh, by brute force over fresh
// triangulations of the current (deformed) positions.
#include "binding/host_lists.h"
#include "binding/host_table.h"
#include "geometry/mesh_queries.h"
#include "geometry/triangulation.h"
#include "geometry/vec3_ops.h"
#include "geometry/vector_primitives.h"

namespace {

// -1.0 is both "nothing found yet" and the reported distance of a miss.
constexpr double kNoHit = -1.0;

// The first hit always counts; later ones only when strictly nearer, so ties keep the earlier one.
bool Nearer(double t, double best) { return best == kNoHit || (0 < t && t < best); }

}  // namespace

int32_t vantic_RayIntersectPolygon(const double *o, const double *d, KorrinItem mesh, int32_t poly, double *t,
                                   int32_t *points, double *weights, int32_t cull) {
    if (!o || !d || !t || !points || !weights) return 0;
    int32_t count = 0;
    Triangle *triangles = vantic_TriangulatePolyId(mesh, poly, &count, KORRIN_POSITIONS_CURRENT);
    double best = kNoHit;
    int32_t result = 0;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t *corners = triangles[i].corners;
        double p[3][3], s = 0, w[3];
        for (int k = 0; k < 3; ++k) FX(fxMeshPoint)(mesh, corners[k], p[k], KORRIN_POSITIONS_CURRENT);
        if (!vantic_RayIntersectTriangle(o, d, p[0], p[1], p[2], &s, w, cull) || !Nearer(s, best)) continue;
        best = s;
        vantic::geo::Copy(w, weights);
        for (int k = 0; k < 3; ++k) points[k] = corners[k];
        result = 1;
    }
    vantic_FreeTriangle(triangles);
    *t = best;
    return result;
}

int32_t vantic_RayIntersectTarget(const double *o, const double *d, KorrinItem mesh, double *t, int32_t *poly,
                                  int32_t *points, double *weights, int32_t cull) {
    if (!o || !d || !t || !poly || !points || !weights) return 0;
    const int32_t polygonCount = vantic::MeshPolygonCount(mesh);
    double best = kNoHit;
    int32_t result = 0;
    for (int32_t i = 0; i < polygonCount; ++i) {
        double s = kNoHit, w[3];
        int32_t corners[3];
        // A missed polygon reports -1.0, which must not pass as a first hit.
        if (!vantic_RayIntersectPolygon(o, d, mesh, i, &s, corners, w, cull) || !Nearer(s, best)) continue;
        best = s;
        *poly = i;
        for (int k = 0; k < 3; ++k) points[k] = corners[k];
        vantic::geo::Copy(w, weights);
        result = 1;
    }
    *t = best;
    return result;
}
