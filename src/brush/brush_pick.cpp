// The pick: the eye ray through the mouse against every triangle of every target, nearest
// front-facing hit taken; or the screen-space pick when the brush asks for it.
//
// Each point the triangles use is read once per call into a snapshot and given two plane coordinates
// soon after, and every triangle first meets the prefilter; only those it cannot rule out meet the
// exact test, in the same order as a plain walk over the triangle meshes, so the same hit is taken.
#include "brush/brush.h"
#include "brush/brush_hit.h"
#include "brush/flat_triangles.h"
#include "brush/mouse_ray.h"
#include "brush/point_snapshot.h"
#include "brush/ray_planes.h"
#include "brush/ray_prefilter.h"
#include "geometry/vector_primitives.h"

namespace vantic {

namespace {

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

// The running choice: -1.0 means nothing taken yet; the first hit is taken whatever the sign of its
// t, later ones only when strictly nearer and in front.
struct Choice {
    double best = -1.0;
    bool taken = false;
    int32_t target = 0;  // position in the target list
    int32_t polygon = 0;
    int32_t corners[3] = {0, 0, 0};
    double weights[3] = {0, 0, 0};
    double positions[3][3] = {};  // the corners' positions, as the test saw them
};

// The exact test on one triangle; true when it is taken.
bool Offer(Choice &choice, const PixelRay &ray, const double *p0, const double *p1, const double *p2,
           const int32_t *c) {
    double hitT = 0.0, w[3];
    if (!vantic_RayIntersectTriangle2(ray.origin, ray.direction, p0, p1, p2, &hitT, w, 1)) return false;
    if (!(choice.best == -1.0 || (0.0 < hitT && hitT < choice.best))) return false;
    choice.best = hitT;
    choice.taken = true;
    const double *p[3] = {p0, p1, p2};
    for (int i = 0; i < 3; ++i) {
        choice.corners[i] = c[i];
        choice.weights[i] = w[i];
        for (int k = 0; k < 3; ++k) choice.positions[i][k] = p[i][k];
    }
    return true;
}

// Every triangle of one target in order, block by block: the points a block names are read (and
// placed) just before it is walked, so they are still in cache when its triangles use them. Checked:
// corners may lie outside [0, count), and such a triangle, naming points the mesh no longer has, is
// never taken.
template <bool Checked>
void WalkTriangles(Choice &choice, const PixelRay &ray, const RayPrefilter &filter, PointSnapshot &points, int32_t t,
                   const FlatTriangles &flat) {
    const int32_t count = points.pointCount(t);
    points.keepWindow(t, flat.windowSpan);
    RayPlanes planes(filter, count, flat.windowSpan);
    if (planes.made()) planes.keepOffsets(points.keepOffsets(t, ray.origin, ray.direction));
    int32_t cursor = 0;
    for (int32_t block = 0; block < TriangleBlocks(flat); ++block) {
        const int32_t bound = flat.blockBounds[block];
        const int32_t from = cursor;
        // The block's first units and strips are wanted once its points are read: fetched meanwhile.
        if (flat.nearUnits) __builtin_prefetch(flat.nearUnits + flat.blockUnits[block]);
        if (flat.strips) __builtin_prefetch(flat.strips + flat.blockStrips[block]);
        cursor = points.readUpTo(t, flat.usedPoints, flat.usedCount, bound, cursor);
        const bool xyz = points.positions(t) != nullptr;
        if (xyz && planes.made()) planes.place(points, t, flat.usedPoints, from, cursor);
        // Placed only where read into the snapshot. Any point placed so far bounds the reach of this
        // block's corners, the read ones.
        const bool filtered = xyz && planes.made();
        const double tolerance = filtered ? planes.tolerance() : 0.0;
        const int32_t end = flat.triangleCount - block * kTriangleBlock > kTriangleBlock
                                ? (block + 1) * kTriangleBlock
                                : flat.triangleCount;
        auto offer = [&](int32_t k) {
            const int32_t *c = flat.corners + 3 * static_cast<size_t>(k);
            bool taken;
            if (xyz) {
                taken = Offer(choice, ray, points.at(t, c[0]), points.at(t, c[1]), points.at(t, c[2]), c);
            } else {
                double p[3][3];
                for (int i = 0; i < 3; ++i) points.position(t, c[i], p[i]);
                taken = Offer(choice, ray, p[0], p[1], p[2], c);
            }
            if (taken) {
                choice.target = t;
                choice.polygon = PolygonOfTriangle(flat, k);
            }
        };
        // The short corners where there are (never with Checked: they exist only without negative
        // corners, and the unchecked walk needs every corner below the count).
        if (filtered && !Checked && flat.nearUnits) {
            RayPlanes::UnitCursor at{flat.blockUnits[block], block * kTriangleBlock, false};
            const int32_t low = flat.blockLows[block], last = flat.blockUnits[block + 1];
            const int32_t strip = flat.strips ? flat.blockStrips[block] : 0;
            const int32_t stripEnd = flat.strips ? flat.blockStrips[block + 1] : 0;
            for (; planes.nextUnitSurvivor(flat.nearUnits, low, at, last, tolerance, flat.strips, strip, stripEnd);
                 at.step(flat.nearUnits))
                offer(at.triangle());
            continue;
        }
        auto next = [&](int32_t from) {
            if (!filtered) return NextTriangleInRange<Checked>(flat.corners, from, end, count);
            return planes.nextSurvivor<Checked>(flat.corners, from, end, count, tolerance);
        };
        for (int32_t k = block * kTriangleBlock; (k = next(k)) < end; ++k) offer(k);
    }
    planes.finishOffsets();
}

// The module's flat copy of the target's triangles when the brush still shows the mesh it was made
// from; otherwise one made now into temporary from the mesh the brush shows; null without memory.
const FlatTriangles *TrianglesOf(const BrushArrays *own, int32_t t, const TriangleMesh *mesh,
                                 FlatTriangles &temporary) {
    if (own && t < own->count && own->targets[t].mesh == mesh && own->targets[t].triangles.polygonStarts)
        return &own->targets[t].triangles;
    return BuildFlatTriangles(mesh, temporary) ? &temporary : nullptr;
}

// Without memory for a flat copy: the mesh record walked as it is, nothing filtered.
void WalkMeshRecord(Choice &choice, const PixelRay &ray, PointSnapshot &points, int32_t t, const TriangleMesh &mesh) {
    const int32_t count = points.pointCount(t);
    for (int32_t j = 0; j < mesh.polygonCount; ++j) {
        const PolygonTriangles &polygon = mesh.polygons[j];
        if (!polygon.triangles) continue;
        for (int32_t k = 0; k < polygon.triangleCount; ++k) {
            const int32_t *c = polygon.triangles[k].corners;
            if (!(c[0] >= 0 && c[0] < count && c[1] >= 0 && c[1] < count && c[2] >= 0 && c[2] < count)) continue;
            double p[3][3];
            for (int i = 0; i < 3; ++i) points.position(t, c[i], p[i]);
            if (Offer(choice, ray, p[0], p[1], p[2], c)) {
                choice.target = t;
                choice.polygon = j;
            }
        }
    }
}

// A flat copy made for one call, freed with it.
struct TemporaryTriangles {
    FlatTriangles flat{};
    ~TemporaryTriangles() { FreeFlatTriangles(flat); }
};

void PickTarget(Choice &choice, const PixelRay &ray, const RayPrefilter &filter, PointSnapshot &points,
                const Brush *brush, const BrushArrays *own, int32_t t) {
    const TriangleMesh *mesh = brush->targetMeshes ? brush->targetMeshes[t] : nullptr;
    if (!mesh || !mesh->polygons) return;
    TemporaryTriangles temporary;
    const FlatTriangles *flat = TrianglesOf(own, t, mesh, temporary.flat);
    if (!flat) return WalkMeshRecord(choice, ray, points, t, *mesh);
    if (flat->triangleCount == 0) return;
    if (!flat->negativeCorners && flat->cornerBound <= points.pointCount(t))
        WalkTriangles<false>(choice, ray, filter, points, t, *flat);
    else
        WalkTriangles<true>(choice, ray, filter, points, t, *flat);
}

}  // namespace

int32_t BrushRayCastOn(Brush *brush, PointSnapshot &points) {
    const PixelRay ray = RayThroughPixel(brush->viewType, brush->mouseX, brush->mouseY);
    const RayPrefilter filter(ray.origin, ray.direction);
    const BrushArrays *own = OwnArrays(brush);
    Choice choice;
    for (int32_t t = 0; t < points.targetCount(); ++t) PickTarget(choice, ray, filter, points, brush, own, t);
    if (!choice.taken) {
        ClearHitNames(brush);  // a miss keeps hitBarycentric
        return 0;
    }
    brush->hitTarget = points.target(choice.target);
    brush->hitPolygon = choice.polygon;
    for (int i = 0; i < 3; ++i) {
        brush->hitTriangle[i] = static_cast<uint32_t>(choice.corners[i]);
        brush->hitBarycentric[i] = choice.weights[i];
    }
    vantic_BarycentricToWorld(brush->hitBarycentric, choice.positions[0], choice.positions[1], choice.positions[2],
                              brush->hitPosition);
    SetPointAndEdge(brush);
    brush->hitDistance = choice.best;
    return 1;
}

}  // namespace vantic

int32_t vantic_BrushRayCast(Brush *brush) {
    if (!brush) return 0;
    if (brush->pickMode != VANTIC_PICK_RAY_CAST) {
        vantic::BrushScreenPick(brush, nullptr);
        return 1;
    }
    vantic::PointSnapshot points(brush, false);
    return vantic::BrushRayCastOn(brush, points);
}
