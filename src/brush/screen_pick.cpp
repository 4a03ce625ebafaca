// The screen-space pick: the nearest projected point, polygon side and polygon centre to the mouse,
// measured in pixels over every target, with no depth test and no distance limit.
#include <cstdint>
#include <vector>

#include "binding/host_lists.h"
#include "binding/host_table.h"
#include "brush/brush.h"
#include "brush/mouse_ray.h"
#include "geometry/vec3_ops.h"
#include "geometry/vector_primitives.h"
#include "geometry/view_queries.h"

namespace {

// A nearest search: -1.0 is "none yet", and only a strictly smaller distance replaces the best, so
// on equal distances the first one found stays.
struct Nearest {
    double distance = -1.0;
    bool offer(double d) {
        if (!(distance > d || distance == -1.0)) return false;
        distance = d;
        return true;
    }
};

// Distance from m to the segment a-b, all on screen (z = 0). A side whose ends coincide gives a
// non-number s, both tests fail, and the distance to b is taken.
double SideDistance(const double *m, const double *a, const double *b) {
    double ab[3], am[3];
    vantic::geo::Sub(b, a, ab);
    vantic::geo::Sub(m, a, am);
    const double s = vantic::geo::Dot(am, ab) / vantic::geo::Dot(ab, ab);
    const double f[3] = {s * ab[0], s * ab[1], s * ab[2]};
    if (vantic::geo::Dot(f, ab) <= 0.0) return vantic::geo::Length(am);
    if (vantic::geo::Length(ab) >= vantic::geo::Length(f)) {
        const double foot[3] = {a[0] + f[0], a[1] + f[1], a[2] + f[2]};
        return vantic::geo::Distance(m, foot);
    }
    return vantic::geo::Distance(m, b);
}

struct ScreenPickResult {
    Nearest point, side, centre;
    uint32_t target = UINT32_MAX, pointIndex = UINT32_MAX;  // all bits set until a point is measured
    uint32_t edge[2] = {UINT32_MAX, UINT32_MAX};            // likewise until a side is measured
    int32_t polygon = -1;                                   // likewise until a centre is measured
    double pointPosition[3] = {0.0, 0.0, 0.0};
};

void MeasureTarget(KorrinItem target, const double *mouse, ScreenPickResult &best) {
    const int32_t n = vantic::MeshPointCount(target);
    std::vector<double> screen(n > 0 ? static_cast<size_t>(n) * 3 : 0);
    for (int32_t i = 0; i < n; ++i) {
        double p[3];
        FX(fxMeshPoint)(target, i, p, KORRIN_POSITIONS_CURRENT);
        double *s = &screen[static_cast<size_t>(i) * 3];
        FX(fxWorldScreenConversion)(p, s, KORRIN_WORLD_TO_SCREEN);
        s[2] = 0.0;
        if (best.point.offer(vantic::geo::Distance(s, mouse))) {
            best.pointIndex = static_cast<uint32_t>(i);
            best.target = target;
            vantic::geo::Copy(p, best.pointPosition);
        }
    }
    const int32_t m = vantic::MeshPolygonCount(target);
    for (int32_t p = 0; p < m; ++p) {
        const std::vector<int32_t> corners = vantic::PolygonCorners(target, p);
        const int32_t k = static_cast<int32_t>(corners.size());
        // A corner the projection does not cover (the host reported more points since) is skipped
        // with its polygon; a polygon without corners has no centre.
        bool inRange = k > 0;
        for (int32_t c : corners) inRange = inRange && c >= 0 && c < n;
        if (!inRange) continue;
        double centre[3] = {0.0, 0.0, 0.0};
        for (int32_t j = 0; j < k; ++j) {
            const int32_t next = corners[j + 1 < k ? j + 1 : 0];
            const double *a = &screen[static_cast<size_t>(corners[j]) * 3];
            const double *b = &screen[static_cast<size_t>(next) * 3];
            if (best.side.offer(SideDistance(mouse, a, b))) {
                best.edge[0] = static_cast<uint32_t>(corners[j]);
                best.edge[1] = static_cast<uint32_t>(next);
            }
            for (int i = 0; i < 3; ++i) centre[i] += a[i];
        }
        const double inverse = 1.0 / k;
        for (double &c : centre) c *= inverse;
        if (best.centre.offer(vantic::geo::Distance(centre, mouse))) best.polygon = p;
    }
}

}  // namespace

void vantic::BrushScreenPick(Brush *brush) {
    const double mouse[3] = {static_cast<double>(brush->mouseX), static_cast<double>(brush->mouseY), 0.0};
    ScreenPickResult best;
    const int32_t targets = brush->targetIds ? ReachableTargets(brush, OwnArrays(brush)) : 0;
    for (int32_t t = 0; t < targets; ++t) MeasureTarget(brush->targetIds[t], mouse, best);

    // The hit position is where the eye ray through the mouse meets the plane through the nearest
    // point that faces the view; without an intersection it keeps its previous value.
    double eye[3] = {0.0, 0.0, 0.0}, view[3] = {0.0, 0.0, 0.0};
    const bool axis = IsAxisView(brush->viewType);
    if (axis) {
        GetCurrentViewRay(brush->viewType, eye, view);
    } else {
        vantic_GetViewDirection(view);
        vantic_GetViewOrigin(eye);
    }
    double world[3], origin[3], direction[3], t = 0.0;
    PixelToWorld(mouse[0], mouse[1], world);
    EyeRayThrough(axis, eye, view, world, origin, direction);
    vantic_RayIntersectPlane(origin, direction, view, best.pointPosition, &t, brush->hitPosition, 0);

    brush->hitPolygon = best.polygon;
    brush->hitEdge[0] = best.edge[0];
    brush->hitEdge[1] = best.edge[1];
    brush->hitPoint = best.pointIndex;
    brush->hitTarget = best.target;
    brush->hitDistance = 0.0;
    for (int i = 0; i < 3; ++i) {
        brush->hitTriangle[i] = 0;
        brush->hitBarycentric[i] = 0.0;
    }
}
