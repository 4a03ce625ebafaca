// The screen-space pick: the nearest projected point, polygon side and polygon centre to the mouse,
// measured in pixels over every target, with no depth test and no distance limit.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <new>
#include <span>
#include <vector>

#include "binding/host_lists.h"
#include "binding/host_table.h"
#include "brush/brush.h"
#include "brush/mouse_ray.h"
#include "brush/point_snapshot.h"
#include "brush/polygon_corner_reader.h"
#include "brush/projected_points.h"
#include "brush/scratch_blocks.h"
#include "brush/side_codes.h"
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
    double pointSquare = NAN;  // the squared distance of the best point; NaN (compares false) until one
};

// Plain comparisons: with a non-finite coordinate the skipping below is off, so how they treat NaN
// does not matter, and they compile to single instructions.
double Min(double a, double b) { return a < b ? a : b; }
double Max(double a, double b) { return a > b ? a : b; }

// Whether a polygon's sides, or its centre, can be passed over because none of them can come
// strictly nearer to the mouse than the best so far (a measure that is not smaller never replaces
// the best, so skipping it changes nothing). Each side's measure is the mouse's distance to a corner
// or to a foot between two corners, and the centre is the corners' mean, so up to rounding each is
// at least the mouse's distance to the box around the corners, whose square is gap2. The slack
// covers that rounding, and the rounding of the test itself, many times over: it grows with the
// coordinates' size (scale) and with the corner count (the centre's sum).
// The squared distance from m to the box around a and b, on screen.
double BoxGap2(const double *m, const double *a, const double *b) {
    const double dx = Max(Max(Min(a[0], b[0]) - m[0], m[0] - Max(a[0], b[0])), 0.0);
    const double dy = Max(Max(Min(a[1], b[1]) - m[1], m[1] - Max(a[1], b[1])), 0.0);
    return dx * dx + dy * dy;
}

struct Reach {
    bool sidesFar = false, centreFar = false;
};

class FarTest {
public:
    explicit FarTest(double scale) : scale_(scale) {}

    Reach operator()(double gap2, int32_t k, const ScreenPickResult &best) {
        // The limits change only with k and the two bests, which seldom change from one polygon to
        // the next.
        if (k != k_ || !(best.side.distance == side_) || !(best.centre.distance == centre_)) {
            k_ = k;
            side_ = best.side.distance;
            centre_ = best.centre.distance;
            const double kk = static_cast<double>(k) + 4.0;
            const double slack = scale_ * kk * kk + 0x1p-1000;
            sideLimit_ = Limit(side_, slack);
            centreLimit_ = Limit(centre_, slack);
        }
        return {gap2 > sideLimit_, gap2 > centreLimit_};
    }
    // The same for one side of the polygon last tested, gap2 measured to the box around its ends. A
    // side measured since may have lowered the best; the limit kept is then only looser.
    bool sideFar(double gap2) const { return gap2 > sideLimit_; }

    // Half the width of a square around the mouse such that a polygon of at most `corners` corners,
    // all beyond one side of it, has measures above `bound`: its gap2 is at least half * half, which
    // the factor 1 + 2^-40 puts above (bound + slack)^2 whatever the rounding of both squares. Not
    // finite, or too small for its square to be a normal number, when no square can be used.
    double squareAround(double bound, int32_t corners) const {
        const double kk = static_cast<double>(corners) + 4.0;
        const double reach = bound + (scale_ * kk * kk + 0x1p-1000);
        const double half = reach + reach * 0x1p-40;
        return half >= 0x1p-500 && half <= 0x1p500 ? half : HUGE_VAL;
    }

private:
    // No limit before the first measure (-1) or after a non-number.
    static double Limit(double best, double slack) {
        const double reach = best + slack;
        return best >= 0.0 ? reach * reach : HUGE_VAL;
    }

    double scale_;
    int32_t k_ = -1;
    double side_ = 0.0, centre_ = 0.0, sideLimit_ = HUGE_VAL, centreLimit_ = HUGE_VAL;
};

// The mouse's distance to the mean of k corners whose sum is `sum`.
double CentreDistance(double *sum, int32_t k, const double *mouse) {
    const double inverse = 1.0 / k;
    for (int i = 0; i < 3; ++i) sum[i] *= inverse;
    return vantic::geo::Distance(sum, mouse);
}

// Measures one projected point against the best so far. The distance is the root of q; the root never
// decreases as q grows, so a q at or above the best one's cannot give a strictly smaller distance and
// needs no root.
struct PointMeasure {
    const double *mouse;
    ScreenPickResult &best;
    KorrinItem target;
    double magnitude;  // the largest |x| or |y| on screen, mouse included
    bool finite = true;
    double pointSquare;  // kept in a register through the host calls

    void operator()(int32_t i, const double *p, const double *projected) {
        const double s[3] = {projected[0], projected[1], 0.0};
        const double ax = std::fabs(s[0]), ay = std::fabs(s[1]);
        finite &= (ax <= DBL_MAX) & (ay <= DBL_MAX);  // false for infinities and non-numbers
        magnitude = Max(magnitude, Max(ax, ay));
        double d[3];
        vantic::geo::Sub(s, mouse, d);
        const double q = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
        if (q >= pointSquare) return;
        if (best.point.offer(std::sqrt(q))) {
            pointSquare = q;
            best.pointIndex = static_cast<uint32_t>(i);
            best.target = target;
            vantic::geo::Copy(p, best.pointPosition);
        }
    }
};

// Polygons of up to this many corners may be passed over by their corners' side codes.
constexpr int32_t kCodedCorners = 64;
// How many of the polygons around the nearest point are measured ahead to bound the final bests.
constexpr size_t kBoundingPolygons = 8;

// The least side and centre measures among the first few polygons the host lists around point q,
// each computed as MeasurePolygons computes it for a polygon it measures in full. Every one of them
// is offered there or passed over as larger than a best, so the final bests are at most these.
template <class Corner>
void MeasuresAround(KorrinItem target, int32_t q, int32_t n, const double *mouse, Corner &corner, double &side,
                    double &centre) {
    std::vector<int32_t> polygons;
    try {
        polygons = vantic::PointPolygons(target, q);
    } catch (const std::bad_alloc &) {
        return;  // no bound: nothing is passed over by its codes
    }
    const int32_t m = vantic::MeshPolygonCount(target);
    vantic::PolygonCornerReader reader;
    for (size_t i = 0; i < polygons.size() && i < kBoundingPolygons; ++i) {
        if (polygons[i] < 0 || polygons[i] >= m) continue;  // never measured
        const std::span<const int32_t> corners = reader.read(target, polygons[i]);
        const int32_t k = static_cast<int32_t>(corners.size());
        bool inRange = k > 0;
        for (int32_t c : corners) inRange = inRange && static_cast<uint32_t>(c) < static_cast<uint32_t>(n);
        if (!inRange) continue;
        double sum[3] = {0.0, 0.0, 0.0};
        for (int32_t j = 0; j < k; ++j) {
            double a[3] = {0.0, 0.0, 0.0}, b[3] = {0.0, 0.0, 0.0};
            corner(corners[static_cast<size_t>(j)], a);
            corner(corners[static_cast<size_t>(j + 1 < k ? j + 1 : 0)], b);
            side = Min(SideDistance(mouse, a, b), side);  // a non-number leaves it
            for (int c = 0; c < 3; ++c) sum[c] += a[c];
        }
        centre = Min(CentreDistance(sum, k, mouse), centre);
    }
}

// The sides and centres of every polygon of target, whose n points are on screen at corner(c, xy). A
// polygon of at most kCodedCorners corners whose side codes (when given) share a bit is passed over at
// once: none of its measures can reach the final bests.
template <class Corner>
void MeasurePolygons(KorrinItem target, int32_t n, const double *mouse, ScreenPickResult &best, FarTest &far,
                     const uint8_t *codes, Corner &&corner) {
    const int32_t m = vantic::MeshPolygonCount(target);
    vantic::PolygonCornerReader reader;
    for (int32_t p = 0; p < m; ++p) {
        const std::span<const int32_t> corners = reader.read(target, p);
        const int32_t k = static_cast<int32_t>(corners.size());
        if (codes && k > 0 && k <= kCodedCorners) {
            unsigned shared = 0xf;
            bool covered = true;
            for (int32_t c : corners) {
                covered = covered && static_cast<uint32_t>(c) < static_cast<uint32_t>(n);
                if (!covered) break;
                shared &= codes[c];
            }
            if (covered && shared != 0) continue;
        }
        // A corner the projection does not cover (the host reported more points since) is skipped
        // with its polygon; a polygon without corners has no centre.
        bool inRange = k > 0;
        double low[2] = {HUGE_VAL, HUGE_VAL}, high[2] = {-HUGE_VAL, -HUGE_VAL};
        for (int32_t c : corners) {
            inRange = inRange && static_cast<uint32_t>(c) < static_cast<uint32_t>(n);  // also c >= 0
            if (!inRange) break;
            double xy[2];
            corner(c, xy);
            low[0] = Min(low[0], xy[0]);
            low[1] = Min(low[1], xy[1]);
            high[0] = Max(high[0], xy[0]);
            high[1] = Max(high[1], xy[1]);
        }
        if (!inRange) continue;
        const double box[2][3] = {{low[0], low[1], 0.0}, {high[0], high[1], 0.0}};
        const Reach reach = far(BoxGap2(mouse, box[0], box[1]), k, best);
        if (reach.sidesFar && reach.centreFar) continue;

        double centre[3] = {0.0, 0.0, 0.0};
        for (int32_t j = 0; j < k; ++j) {
            const int32_t next = corners[static_cast<size_t>(j + 1 < k ? j + 1 : 0)];
            const int32_t at = corners[static_cast<size_t>(j)];
            double a[3] = {0.0, 0.0, 0.0}, b[3] = {0.0, 0.0, 0.0};
            corner(at, a);
            corner(next, b);
            if (!reach.sidesFar && !far.sideFar(BoxGap2(mouse, a, b)) && best.side.offer(SideDistance(mouse, a, b))) {
                best.edge[0] = static_cast<uint32_t>(at);
                best.edge[1] = static_cast<uint32_t>(next);
            }
            for (int i = 0; i < 3; ++i) centre[i] += a[i];
        }
        if (reach.centreFar) continue;
        if (best.centre.offer(CentreDistance(centre, k, mouse))) best.polygon = p;
    }
}

// One target: each point read once (into the tool event's snapshot when there is one) and projected
// once, the projections kept for the polygons; without memory for them, each corner is projected again
// where a polygon needs it, which gives the same values.
void MeasureTarget(KorrinItem target, vantic::PointSnapshot *points, int32_t t, const double *mouse,
                   ScreenPickResult &best) {
    const int32_t n = points ? points->pointCount(t) : vantic::MeshPointCount(target);
    auto *const toScreen = FX(fxWorldScreenConversion);
    auto *const meshPoint = FX(fxMeshPoint);
    // x of every point, then y, for this call only; the screen plane is z = 0. Two rows rather than
    // pairs: a pair is read back from where the host just wrote it one double at a time, and a paired
    // load would stall on that.
    const size_t count = n > 0 ? static_cast<size_t>(n) : 0;
    const vantic::ScratchHold rows(count * 2 + count / sizeof(double) + 2);  // and a side code per point
    double *const xs = rows.block;
    double *const ys = rows.block ? rows.block + count : nullptr;
    uint8_t *const codes = rows.block ? reinterpret_cast<uint8_t *>(rows.block + 2 * count) : nullptr;

    PointMeasure measure{mouse, best, target, Max(std::fabs(mouse[0]), std::fabs(mouse[1])), true, best.pointSquare};
    auto keep = [&](int32_t i, const double *p, const double *projected) {
        if (xs) {
            xs[i] = projected[0];
            ys[i] = projected[1];
        }
        measure(i, p, projected);
    };
    const double *xyz = nullptr;
    if (points && points->whole()) {
        // Read in stretches, each projected while it is still in cache.
        constexpr int32_t kStretch = 4096;
        for (int32_t from = 0; from < n;) {
            const int32_t to = points->readUpTo(t, nullptr, 0, n - from > kStretch ? from + kStretch : n, from);
            xyz = points->positions(t);
            if (!xyz) break;
            for (int32_t i = from; i < to; ++i) {
                double screen[3] = {0.0, 0.0, 0.0};
                toScreen(xyz + 3 * static_cast<size_t>(i), screen, KORRIN_WORLD_TO_SCREEN);
                keep(i, xyz + 3 * static_cast<size_t>(i), screen);
            }
            from = to;
        }
    }
    // Without a snapshot, or without memory for its array: straight from the host.
    if (!xyz) vantic::ForEachProjectedPoint(target, n, keep);
    best.pointSquare = measure.pointSquare;

    // The slack's scale. Far beyond any screen the squares could overflow, so there, as with a
    // coordinate that is not finite, nothing is passed over.
    FarTest far(measure.finite && measure.magnitude < 0x1p500 ? measure.magnitude * 0x1p-40 : HUGE_VAL);
    if (xs) {
        auto corner = [&](int32_t c, double *xy) {
            xy[0] = xs[c];
            xy[1] = ys[c];
        };
        // The final bests are at most those of the targets before and those of the polygons around
        // this target's nearest point; a polygon whose box lies beyond the larger of them cannot
        // change them.
        double side = best.side.distance >= 0.0 ? best.side.distance : HUGE_VAL;
        double centre = best.centre.distance >= 0.0 ? best.centre.distance : HUGE_VAL;
        if (best.target == target && best.pointIndex < count)
            MeasuresAround(target, static_cast<int32_t>(best.pointIndex), n, mouse, corner, side, centre);
        const double half = far.squareAround(Max(side, centre), kCodedCorners);
        const bool coded = half < HUGE_VAL;
        if (coded) vantic::SideCodes(xs, ys, count, mouse, half, codes);
        return MeasurePolygons(target, n, mouse, best, far, coded ? codes : nullptr, corner);
    }
    MeasurePolygons(target, n, mouse, best, far, nullptr, [&](int32_t c, double *xy) {
        double world[3] = {0.0, 0.0, 0.0}, screen[3] = {0.0, 0.0, 0.0};
        if (xyz)
            vantic::geo::Copy(xyz + 3 * static_cast<size_t>(c), world);
        else
            meshPoint(target, c, world, KORRIN_POSITIONS_CURRENT);
        toScreen(world, screen, KORRIN_WORLD_TO_SCREEN);
        xy[0] = screen[0];
        xy[1] = screen[1];
    });
}

}  // namespace

void vantic::BrushScreenPick(Brush *brush, PointSnapshot *points) {
    const double mouse[3] = {static_cast<double>(brush->mouseX), static_cast<double>(brush->mouseY), 0.0};
    ScreenPickResult best;
    const int32_t targets = brush->targetIds ? ReachableTargets(brush, OwnArrays(brush)) : 0;
    for (int32_t t = 0; t < targets; ++t) {
        // The snapshot was taken over the same reachable targets (the client callbacks of the event ran
        // before it).
        const bool snapped = points && t < points->targetCount() && points->target(t) == brush->targetIds[t];
        MeasureTarget(brush->targetIds[t], snapped ? points : nullptr, t, mouse, best);
    }

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
