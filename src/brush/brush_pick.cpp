// The pick: the eye ray through the mouse against every triangle of every target, nearest
// front-facing hit taken; or the screen-space pick when the brush asks for it.
#include "binding/host_table.h"
#include "brush/brush.h"
#include "brush/brush_hit.h"
#include "brush/mouse_ray.h"
#include "geometry/vector_primitives.h"

namespace {

// World positions of a triangle's three corners, fetched from the host on every call.
void FetchTriangle(KorrinItem target, const int32_t *corners, double (*p)[3]) {
    for (int i = 0; i < 3; ++i) FX(fxMeshPoint)(target, corners[i], p[i], KORRIN_POSITIONS_CURRENT);
}

// The hit point is the corner of largest weight and the hit edge runs from it to its heavier
// neighbour, never c0-c2; ties go to the lower corner.
void SetPointAndEdge(Brush *brush) {
    const double *w = brush->hitBarycentric;
    const uint32_t *c = brush->hitTriangle;
    if (w[0] >= w[1] && w[0] >= w[2]) {
        brush->hitPoint = c[0];
        brush->hitEdge[0] = c[0];
        brush->hitEdge[1] = c[1];
    } else if (w[1] >= w[2]) {
        brush->hitPoint = c[1];
        brush->hitEdge[0] = c[1];
        brush->hitEdge[1] = w[0] > w[2] ? c[0] : c[2];
    } else {
        brush->hitPoint = c[2];
        brush->hitEdge[0] = c[2];
        brush->hitEdge[1] = c[1];
    }
}

}  // namespace

int32_t vantic_BrushRayCast(Brush *brush) {
    if (!brush) return 0;
    if (brush->pickMode != VANTIC_PICK_RAY_CAST) {
        vantic::BrushScreenPick(brush);
        return 1;
    }
    const vantic::PixelRay ray = vantic::RayThroughPixel(brush->viewType, brush->mouseX, brush->mouseY);

    // -1.0 means nothing taken yet; the first hit is taken whatever the sign of its t, later ones
    // only when strictly nearer and in front.
    double best = -1.0;
    bool taken = false;
    const int32_t targets = brush->targetIds ? vantic::ReachableTargets(brush, vantic::OwnArrays(brush)) : 0;
    for (int32_t t = 0; t < targets; ++t) {
        const TriangleMesh *mesh = brush->targetMeshes ? brush->targetMeshes[t] : nullptr;
        if (!mesh || !mesh->polygons) continue;
        const KorrinItem target = brush->targetIds[t];
        for (int32_t j = 0; j < mesh->polygonCount; ++j) {
            const PolygonTriangles &polygon = mesh->polygons[j];
            if (!polygon.triangles) continue;
            for (int32_t k = 0; k < polygon.triangleCount; ++k) {
                const int32_t *c = polygon.triangles[k].corners;
                double p[3][3];
                FetchTriangle(target, c, p);
                double hitT = 0.0, w[3];
                if (!vantic_RayIntersectTriangle2(ray.origin, ray.direction, p[0], p[1], p[2], &hitT, w, 1)) continue;
                if (!(best == -1.0 || (0.0 < hitT && hitT < best))) continue;
                best = hitT;
                brush->hitTarget = target;
                brush->hitPolygon = j;
                for (int i = 0; i < 3; ++i) {
                    brush->hitTriangle[i] = static_cast<uint32_t>(c[i]);
                    brush->hitBarycentric[i] = w[i];
                }
                taken = true;
            }
        }
    }
    if (!taken) {
        vantic::ClearHitNames(brush);  // a miss keeps hitBarycentric
        return 0;
    }
    const int32_t corners[3] = {static_cast<int32_t>(brush->hitTriangle[0]), static_cast<int32_t>(brush->hitTriangle[1]),
                                static_cast<int32_t>(brush->hitTriangle[2])};
    double p[3][3];
    FetchTriangle(brush->hitTarget, corners, p);
    vantic_BarycentricToWorld(brush->hitBarycentric, p[0], p[1], p[2], brush->hitPosition);
    SetPointAndEdge(brush);
    brush->hitDistance = best;
    return 1;
}
