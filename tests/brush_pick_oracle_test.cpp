// The ray-cast pick against the plain walk it must match bit for bit: every triangle of every target's
// triangle mesh in order, its corners fetched from the host, the exact test with cull on, the first
// hit taken whatever its sign and later ones only when strictly nearer and in front. The meshes are
// placed so that the ray runs through vertices, edges, diagonals, slivers and edge-on faces, at scales
// from 1e-6 to 1e6, where rounding decides.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "brush/mouse_ray.h"
#include "brush/plane_runs.h"
#include "brush/ray_prefilter.h"
#include "brush/strip_survivors.h"
#include "brush_scene.h"
#include "geometry/vector_primitives.h"
#include "linked_module.h"
#include "services/service_map.h"

namespace {

using brushtest::BrushScene;
using brushtest::Vec3;
using brushtest::ViewKind;
using vhost::MeshData;

// Every hit field and the result of one pick.
struct Hit {
    int32_t result;
    uint32_t target, triangle[3], point, edge[2];
    int32_t polygon;
    double barycentric[3], position[3], distance;
};

Hit Fields(const Brush &b, int32_t result) {
    Hit h{};
    h.result = result;
    h.target = b.hitTarget;
    h.polygon = b.hitPolygon;
    h.point = b.hitPoint;
    h.distance = b.hitDistance;
    for (int i = 0; i < 3; ++i) {
        h.triangle[i] = b.hitTriangle[i];
        h.barycentric[i] = b.hitBarycentric[i];
        h.position[i] = b.hitPosition[i];
    }
    h.edge[0] = b.hitEdge[0];
    h.edge[1] = b.hitEdge[1];
    return h;
}

std::string Describe(const Hit &h) {
    char text[400];
    std::snprintf(text, sizeof text,
                  "result %d target %u polygon %d triangle (%u %u %u) w (%a %a %a) at (%a %a %a) t %a", h.result,
                  h.target, h.polygon, h.triangle[0], h.triangle[1], h.triangle[2], h.barycentric[0], h.barycentric[1],
                  h.barycentric[2], h.position[0], h.position[1], h.position[2], h.distance);
    return text;
}

bool SameBits(const Hit &a, const Hit &b) {
    return a.result == b.result && a.target == b.target && a.polygon == b.polygon && a.point == b.point &&
           std::memcmp(a.triangle, b.triangle, sizeof a.triangle) == 0 &&
           std::memcmp(a.edge, b.edge, sizeof a.edge) == 0 &&
           std::memcmp(a.barycentric, b.barycentric, sizeof a.barycentric) == 0 &&
           std::memcmp(a.position, b.position, sizeof a.position) == 0 &&
           std::memcmp(&a.distance, &b.distance, sizeof a.distance) == 0;
}

// The plain walk, written out on its own. Triangles that name points the mesh no longer has are passed
// over.
Hit OraclePick(const Brush &b) {
    static auto *meshPoint = vhost::ServiceAs<fxMeshPoint_fn>("fxMeshPoint");
    static auto *numPoints = vhost::ServiceAs<fxMeshNumPoints_fn>("fxMeshNumPoints");
    const vantic::PixelRay ray = vantic::RayThroughPixel(b.viewType, b.mouseX, b.mouseY);
    Hit h = Fields(b, 0);
    double best = -1.0;
    bool taken = false;
    for (int32_t t = 0; t < b.targetCount; ++t) {
        const TriangleMesh *mesh = b.targetMeshes[t];
        if (!mesh || !mesh->polygons) continue;
        int32_t count = 0;
        numPoints(b.targetIds[t], &count, 0);
        for (int32_t j = 0; j < mesh->polygonCount; ++j) {
            const PolygonTriangles &polygon = mesh->polygons[j];
            if (!polygon.triangles) continue;
            for (int32_t k = 0; k < polygon.triangleCount; ++k) {
                const int32_t *c = polygon.triangles[k].corners;
                if (c[0] < 0 || c[1] < 0 || c[2] < 0 || c[0] >= count || c[1] >= count || c[2] >= count) continue;
                double p[3][3], s = 0.0, w[3];
                for (int i = 0; i < 3; ++i) meshPoint(b.targetIds[t], c[i], p[i], 1);
                if (!vantic_RayIntersectTriangle2(ray.origin, ray.direction, p[0], p[1], p[2], &s, w, 1)) continue;
                if (!(best == -1.0 || (0.0 < s && s < best))) continue;
                best = s;
                taken = true;
                h.target = b.targetIds[t];
                h.polygon = j;
                for (int i = 0; i < 3; ++i) {
                    h.triangle[i] = static_cast<uint32_t>(c[i]);
                    h.barycentric[i] = w[i];
                }
            }
        }
    }
    if (!taken) {
        Hit miss{};
        std::memcpy(miss.barycentric, h.barycentric, sizeof miss.barycentric);
        return miss;
    }
    double p[3][3];
    for (int i = 0; i < 3; ++i) meshPoint(h.target, static_cast<int32_t>(h.triangle[i]), p[i], 1);
    vantic_BarycentricToWorld(h.barycentric, p[0], p[1], p[2], h.position);
    const double *w = h.barycentric;
    const uint32_t *c = h.triangle;
    const int heavy = w[0] >= w[1] && w[0] >= w[2] ? 0 : (w[1] >= w[2] ? 1 : 2);
    h.point = c[heavy];
    h.edge[0] = c[heavy];
    h.edge[1] = heavy == 0 ? c[1] : (heavy == 1 ? (w[0] > w[2] ? c[0] : c[2]) : c[1]);
    h.distance = best;
    h.result = 1;
    return h;
}

// A scene with a generic view: perspective turned off the axes, or an axis view, and a mouse off the
// centre, so that the ray runs along no axis in the perspective case.
class PickOracle : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(BindLinkedModule(scene.host), VANTIC_ENTRY_LOADED); }

    void useView(bool axis) {
        if (axis) {
            scene.host.scene.views.current = "Front";
            b->viewType = -3;
        } else {
            scene.host.scene.views.current = "Perspective";
            vhost::Viewport &view = scene.host.scene.views.currentView();
            view.rotate = {23.0, -17.0, 0.0};
            view.dolly = 10.0;
            b->viewType = 2;
        }
        b->mouseX = 301;
        b->mouseY = 257;
        ray = vantic::RayThroughPixel(b->viewType, b->mouseX, b->mouseY);
    }

    // The point at distance s along the ray.
    Vec3 along(double s) const {
        return {ray.origin[0] + s * ray.direction[0], ray.origin[1] + s * ray.direction[1],
                ray.origin[2] + s * ray.direction[2]};
    }

    // Picks through the registry and with the oracle from the same brush state; true on a hit.
    bool expectSame(const std::string &what) {
        const Brush before = *b;
        const Hit expected = OraclePick(*b);
        *b = before;
        const Hit got = Fields(*b, scene.rayCast());
        EXPECT_TRUE(SameBits(got, expected)) << what << "\n got      " << Describe(got) << "\n expected "
                                             << Describe(expected);
        return got.result == 1;
    }

    void removeTarget(KorrinItem id) { scene.fn<vantic_BrushRemoveTarget_t>("vantic_BrushRemoveTarget")(b, id); }

    BrushScene scene{ViewKind::Perspective};
    Brush *b = scene.brush;
    vantic::PixelRay ray{};
};

// Unit vectors u and v spanning a plane that faces back along the ray (u x v = -d), turned by angle
// about its normal so that the grid's rows run along no axis.
struct Frame {
    Vec3 u, v;
};

Frame FacingFrame(const double *d, double angle) {
    const double sl = std::sqrt(d[0] * d[0] + d[1] * d[1]);
    const Vec3 n{-d[0], -d[1], -d[2]}, s{d[1] / sl, -d[0] / sl, 0.0};
    const Vec3 t{n[1] * s[2] - n[2] * s[1], n[2] * s[0] - n[0] * s[2], n[0] * s[1] - n[1] * s[0]};
    Frame f{};
    for (int k = 0; k < 3; ++k) {
        f.u[k] = std::cos(angle) * s[k] + std::sin(angle) * t[k];
        f.v[k] = -std::sin(angle) * s[k] + std::cos(angle) * t[k];
    }
    return f;
}

// Moves the points of a target so that local point (x, y) of its plane lands at `at`: the client moves
// points between picks and the next pick must see where they are now.
void PlaceGrid(vhost::Mesh &mesh, const MeshData &local, const Frame &f, double x, double y, const Vec3 &at) {
    for (size_t i = 0; i < local.points.size(); ++i) {
        const double a = local.points[i][0] - x, c = local.points[i][1] - y;
        for (int k = 0; k < 3; ++k) mesh.current[i][k] = at[k] + a * f.u[k] + c * f.v[k];
    }
}

struct ScaleCase {
    double cell;
    bool axis;
};

void PrintTo(const ScaleCase &c, std::ostream *os) { *os << "cells of " << c.cell << (c.axis ? ", axis view" : ""); }

class GridAims : public PickOracle, public ::testing::WithParamInterface<ScaleCase> {};

// A 4 x 4 grid, its faces towards the eye, moved so that the ray runs through every vertex, every
// edge midpoint, every diagonal at a third and a half, and every cell centre in turn; cells from 1e-6
// to 1e6, including sides where |det| lies at and around 1e-6.
TEST_P(GridAims, EveryVertexEdgeAndCentreMatchesThePlainWalk) {
    const ScaleCase c = GetParam();
    useView(c.axis);
    const double h = c.cell;
    const MeshData local = vhost::MakeGrid(4, 4, 4 * h, 4 * h);
    const KorrinItem id = scene.addTarget("grid", local);
    const Frame f = FacingFrame(ray.direction, 0.3);
    const Vec3 at = along(10.0 + 8.0 * h);
    int aims = 0, hits = 0;
    for (int j = 0; j <= 8; ++j)
        for (int i = 0; i <= 8; ++i)
            for (double third : {0.0, 1.0 / 3.0}) {
                const double x = (i - 4) * 0.5 * h + third * h, y = (j - 4) * 0.5 * h + third * h;
                PlaceGrid(scene.mesh(id), local, f, x, y, at);
                ++aims;
                hits += expectSame("aim (" + std::to_string(x / h) + ", " + std::to_string(y / h) + ") cells");
            }
    // Aims on the rim may fall off the grid by rounding, the inner ones must not.
    EXPECT_GT(hits, aims * 3 / 5) << aims;
}

INSTANTIATE_TEST_SUITE_P(Scales, GridAims,
                         ::testing::Values(ScaleCase{1e-6, false}, ScaleCase{1e-5, true}, ScaleCase{1e-4, false},
                                           ScaleCase{1e-3 * (1 - 1e-9), false}, ScaleCase{1e-3, true},
                                           ScaleCase{1e-3 * (1 + 1e-9), false}, ScaleCase{0.37, false},
                                           ScaleCase{1.0, true}, ScaleCase{1e3, false}, ScaleCase{1e6, false},
                                           ScaleCase{1e6, true}));

// Triangle soups around the ray: fans about a point on it, slivers pointing at it from just past
// their tip, triangles with an edge through it, edge-on triangles that contain it, back faces,
// degenerate ones, one behind the eye, in two targets that hold the same soup.
MeshData Soup(const Vec3 &at, const Vec3 &d, double scale, std::mt19937_64 &random) {
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-12, 0);
    MeshData m;
    auto point = [&](const Vec3 &p) {
        m.points.push_back(p);
        return static_cast<int32_t>(m.points.size() - 1);
    };
    auto offset = [&](const Vec3 &p, double size) {
        return Vec3{p[0] + size * unit(random), p[1] + size * unit(random), p[2] + size * unit(random)};
    };
    auto lerp = [](const Vec3 &p, const Vec3 &q, double s) {
        return Vec3{p[0] + s * (q[0] - p[0]), p[1] + s * (q[1] - p[1]), p[2] + s * (q[2] - p[2])};
    };
    // A fan of thin triangles about the point on the ray.
    const int32_t hub = point(at);
    const int spokes = 48;
    std::vector<int32_t> ring;
    for (int k = 0; k < spokes; ++k) ring.push_back(point(offset(at, scale)));
    for (int k = 0; k < spokes; ++k) m.polygons.push_back({hub, ring[k], ring[(k + 1) % spokes]});
    for (int k = 0; k < 200; ++k) {
        const double size = scale * std::ldexp(1.0, 3 * exponent(random));
        const Vec3 a = offset(at, scale), q = offset(at, scale);
        switch (k % 5) {
            case 0: {  // a sliver whose tip lies just beside the ray
                const Vec3 tip = offset(at, size * 1e-9);
                const Vec3 far = offset(lerp(at, a, 2.0), size * 1e-12);
                m.polygons.push_back({point(tip), point(far), point(offset(far, size * 1e-13))});
                break;
            }
            case 1: {  // an edge through the ray, the third corner anywhere
                const Vec3 e0 = lerp(at, a, -1.0), e1 = a;
                m.polygons.push_back({point(e0), point(e1), point(q)});
                break;
            }
            case 2: {  // edge-on: two corners on a line along the ray
                const Vec3 s0{at[0] - d[0] * size, at[1] - d[1] * size, at[2] - d[2] * size};
                m.polygons.push_back({point(s0), point(at), point(offset(at, size))});
                break;
            }
            case 3: {  // nearly collinear corners across the ray
                const Vec3 e0 = lerp(at, a, -1.0);
                m.polygons.push_back({point(e0), point(offset(at, size * 1e-15)), point(a)});
                break;
            }
            default:  // anything close by, either face towards the eye
                m.polygons.push_back({point(offset(at, size)), point(offset(at, size)), point(offset(at, size))});
        }
    }
    return m;
}

TEST_F(PickOracle, SoupsOfSliversFansAndEdgeOnTrianglesInTwoTargets) {
    std::mt19937_64 random(20261210);
    int hits = 0, picks = 0;
    for (bool axis : {false, true})
        for (double scale : {1e-6, 1e-3, 1.0, 1e3, 1e6}) {
            useView(axis);
            const Vec3 d{ray.direction[0], ray.direction[1], ray.direction[2]};
            const Vec3 at = along(10.0);
            const MeshData soup = Soup(at, d, scale, random);
            // A triangle behind the eye, both ways round, that the ray meets first; then the soup twice.
            const Vec3 p = along(-1.0);
            const MeshData behind{{{p[0] + 1, p[1], p[2]}, {p[0], p[1] + 1, p[2]}, {p[0] - 1, p[1] - 1, p[2]}},
                                  {{0, 1, 2}, {0, 2, 1}}};
            const std::string name = std::to_string(picks);
            const KorrinItem back = scene.addTarget("behind" + name, behind);
            const KorrinItem first = scene.addTarget("soup" + name, soup);
            scene.addTarget("copy" + name, soup);
            hits += expectSame("soup at scale " + std::to_string(scale) + " behind the eye's hit");
            removeTarget(back);
            hits += expectSame("soup at scale " + std::to_string(scale));
            removeTarget(first);
            hits += expectSame("its copy alone");
            picks += 3;
            while (b->targetCount > 0) removeTarget(b->targetIds[0]);
        }
    EXPECT_GT(hits, picks / 2);
}

// The same grid with its points stored four ways: in grid order; shuffled, so that the triangles of
// one stretch name points from anywhere; with unused points between the used ones; and shuffled among
// so many unused ones that one stretch of triangles spans more points than short offsets reach.
enum class Storage { InOrder, Shuffled, WithGaps, FarApart };

MeshData Stored(const MeshData &grid, Storage storage, std::mt19937_64 &random) {
    const size_t n = grid.points.size();
    std::vector<int32_t> where(n);
    const size_t spread = storage == Storage::WithGaps ? 3 : storage == Storage::FarApart ? 20 : 1;
    for (size_t i = 0; i < n; ++i) where[i] = static_cast<int32_t>(spread * i + spread / 2);
    if (storage == Storage::Shuffled || storage == Storage::FarApart) std::shuffle(where.begin(), where.end(), random);
    MeshData m;
    m.points.assign(spread * n, Vec3{0.0, 0.0, 0.0});
    for (size_t i = 0; i < n; ++i) m.points[static_cast<size_t>(where[i])] = grid.points[i];
    for (const auto &polygon : grid.polygons) {
        std::vector<int32_t> corners;
        for (int32_t c : polygon) corners.push_back(where[static_cast<size_t>(c)]);
        m.polygons.push_back(corners);
    }
    return m;
}

// Grids of thousands of triangles, so that the points are read and placed in many stretches, aimed
// at through vertices, edges and centres everywhere on them: the pick alone, and a tool press (pick and
// weights on one snapshot) whose hit matches the plain walk and whose weights match a client's
// weighting, which reads every point from the host.
TEST_F(PickOracle, LargeGridsStoredInOrderShuffledOrWithGaps) {
    std::mt19937_64 random(91);
    for (bool axis : {false, true})
        for (Storage storage : {Storage::InOrder, Storage::Shuffled, Storage::WithGaps, Storage::FarApart}) {
            useView(axis);
            const MeshData local = Stored(vhost::MakeGrid(75, 60, 75.0, 60.0), storage, random);
            const KorrinItem id = scene.addTarget("grid", local);
            const Frame f = FacingFrame(ray.direction, 0.4);
            int hits = 0, aims = 0;
            for (double y = -29.5; y <= 29.5; y += 6.25)
                for (double x : {-37.0, -12.5, 0.0, 0.5, 19.25, 36.5}) {
                    PlaceGrid(scene.mesh(id), local, f, x, y, along(80.0));
                    const std::string what = "aim (" + std::to_string(x) + ", " + std::to_string(y) + ")";
                    ++aims;
                    if (!expectSame(what)) continue;
                    ++hits;
                    b->mode = VANTIC_MODE_WEIGHTS;
                    b->weightMode = VANTIC_WEIGHTS_DISTANCE;
                    b->radius = 40.0;
                    const Brush before = *b;
                    const Hit expected = OraclePick(*b);
                    *b = before;
                    scene.press(b->mouseX, b->mouseY);
                    const Hit pressed = Fields(*b, 1);
                    EXPECT_TRUE(SameBits(pressed, expected)) << what << " pressed\n got      " << Describe(pressed)
                                                             << "\n expected " << Describe(expected);
                    const size_t n = local.points.size();
                    const std::vector<double> painted = scene.weights(0, n);
                    scene.calculateWeights();
                    const std::vector<double> plain = scene.weights(0, n);
                    EXPECT_EQ(std::memcmp(painted.data(), plain.data(), n * sizeof(double)), 0) << what;
                    scene.release(b->mouseX, b->mouseY);
                }
            EXPECT_EQ(hits, aims);
            removeTarget(id);
        }
}

// Targets whose host mesh lost or gained points after they were added: triangles that name points
// the mesh no longer has are never taken, nothing is read past any array, and a tool press (pick and
// weights on one snapshot) works on what is there.
TEST_F(PickOracle, MeshesThatShrankOrGrewAfterTheyWereAdded) {
    useView(false);
    const MeshData local = vhost::MakeGrid(6, 6, 6.0, 6.0);
    const KorrinItem id = scene.addTarget("grid", local);
    vhost::Mesh &mesh = scene.mesh(id);
    PlaceGrid(mesh, local, FacingFrame(ray.direction, 0.2), 0.25, 0.25, along(12.0));
    ASSERT_TRUE(expectSame("as added"));
    const std::vector<Vec3> whole = mesh.current;
    for (size_t keep : {whole.size() - 1, whole.size() / 2 + 3, size_t{2}, size_t{0}, whole.size() + 40}) {
        mesh.base.assign(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(std::min(keep, whole.size())));
        mesh.base.resize(keep, Vec3{0.0, 0.0, 0.0});
        mesh.current = mesh.base;
        mesh.rebuild();
        expectSame(std::to_string(keep) + " points");
        for (int32_t weightMode : {0, 1}) {
            b->weightMode = weightMode;
            scene.press(b->mouseX, b->mouseY);
            scene.release(b->mouseX, b->mouseY);
        }
    }
}

// The prefilter alone: on rays through vertices and edges (as rounding puts them), past the tips of
// slivers and along edge-on faces, at every scale, it never rules out a triangle the exact test hits.
TEST(RayPrefilter, NeverRulesOutWhatTheExactTestHits) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-60, 60);
    int ruledOut = 0, hits = 0, nearMisses = 0;
    for (int n = 0; n < 200000; ++n) {
        const double scale = std::ldexp(1.0, exponent(random) / 3);
        double o[3], d[3], p[3][3];
        for (int k = 0; k < 3; ++k) {
            o[k] = scale * 40.0 * unit(random);
            d[k] = unit(random);
        }
        if (n % 3 == 0) d[n % 2] = 0.0;  // directions in a coordinate plane
        vantic_Normalize(d);
        const double s = scale * (1.0 + 50.0 * std::fabs(unit(random)));
        for (auto &corner : p)
            for (int k = 0; k < 3; ++k) corner[k] = o[k] + s * d[k] + scale * unit(random);
        // Put the ray through a corner, an edge or past a sliver's tip, up to rounding.
        const double tiny = scale * std::ldexp(1.0, -20 - 2 * (n % 16));
        const int kind = n % 4;
        for (int k = 0; k < 3; ++k) {
            const double on = o[k] + s * d[k];
            if (kind == 0) p[0][k] = on + tiny * unit(random);
            if (kind == 1) p[1][k] = 2.0 * on - p[0][k] + tiny * unit(random);
            if (kind == 2) p[2][k] = p[1][k] + tiny * unit(random);  // a sliver
        }
        double t = 0.0, w[3];
        const bool hit = vantic_RayIntersectTriangle2(o, d, p[0], p[1], p[2], &t, w, 1) != 0;
        const vantic::RayPrefilter filter(o, d);
        double xy[3][2], reach = 0.0;
        bool failed = false;
        for (int i = 0; i < 3; ++i) {
            const double r = filter.place(p[i], xy[i]);
            failed = failed || r < 0;
            reach = std::max(reach, r);
        }
        const bool out = vantic::RayPrefilter::Misses(xy[0], xy[1], xy[2], filter.tolerance(reach, failed));
        ASSERT_FALSE(hit && out) << "case " << n;
        ruledOut += out;
        hits += hit;
        nearMisses += !hit && !out;
    }
    // Not vacuous: it rules most misses out, and the exact test hits often.
    EXPECT_GT(ruledOut, 60000);
    EXPECT_GT(hits, 20000);
    EXPECT_LT(nearMisses, ruledOut);
}

// Points placed in a row, at every vector width the processor runs, against place() point by point:
// the same coordinates to the bit, and the same reach, or the same failure, for runs of every length
// holding ordinary, huge, tiny, negative-zero, infinite and non-number coordinates.
TEST(PlaneRuns, EveryWidthPlacesAsThePointByPointLoop) {
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-300, 300), pick(0, 15);
    const double odd[] = {0.0, -0.0, 0x1p250, -0x1p250, 0x1.0000000000001p250, HUGE_VAL, -HUGE_VAL, NAN, 0x1p-1074,
                          -0x1p-1060, 1e300, -1e-300};
    int failures = 0;
    for (int n = 0; n < 3000; ++n) {
        double o[3], d[3];
        for (int k = 0; k < 3; ++k) {
            o[k] = std::ldexp(unit(random), exponent(random) / 4);
            d[k] = unit(random);
        }
        if (n % 4 == 0) d[n % 3] = 0.0;
        if (n % 7 == 0) d[(n + 1) % 3] = -0.0;
        const vantic::RayPrefilter filter(o, d);
        const size_t count = static_cast<size_t>(n % 37);
        std::vector<double> xyz(3 * count), expected(2 * count), got(2 * count);  // a row of x, then of y
        for (double &c : xyz) {
            const int kind = pick(random);
            c = kind < 2 ? odd[static_cast<size_t>(pick(random)) % std::size(odd)]
                         : o[0] + std::ldexp(unit(random), exponent(random) / (kind < 6 ? 1 : 8));
        }
        // Rare odd values in the long runs, so that most of them succeed.
        if (n % 5 != 0)
            for (double &c : xyz)
                if (!(std::fabs(c) < 0x1p250)) c = unit(random);
        double reach = 0.0;
        bool failed = false;
        for (size_t i = 0; i < count; ++i) {
            double xy[2];
            const double r = filter.place(&xyz[3 * i], xy);
            expected[i] = xy[0];
            expected[count + i] = xy[1];
            failed = failed || r < 0;
            reach = std::max(reach, r);
        }
        failures += failed;
        for (auto kernel : {vantic::VectorWidth::kBaseline, vantic::VectorWidth::kAvx2,
                            vantic::VectorWidth::kAvx512}) {
            std::fill(got.begin(), got.end(), 7.0);
            uint64_t top = 0;
            if (!vantic::PlacePlaneRunWith(kernel, filter, xyz.data(), got.data(), got.data() + count, count, top))
                continue;
            ASSERT_TRUE(count == 0 || std::memcmp(got.data(), expected.data(), got.size() * sizeof(double)) == 0)
                << "case " << n << " kernel " << static_cast<int>(kernel);
            const double r = vantic::RayPrefilter::RunReach(top);
            ASSERT_EQ(r < 0, failed) << "case " << n;
            if (!failed) {
                ASSERT_EQ(std::memcmp(&r, &reach, sizeof r), 0) << "case " << n;
            }
        }
    }
    EXPECT_GT(failures, 100);
    EXPECT_LT(failures, 2000);
}

// A strip's walk at every width against the prefilter triangle by triangle: it stops at the first
// unit of two triangles (a, b, c), (c, x, a) that the prefilter keeps, for strips of every length,
// with crosses exactly at the tolerance (small whole coordinates), far from it, mixed with huge and
// tiny ones, and with an infinite tolerance, which keeps everything even where crosses of infinite
// coordinates are not numbers.
TEST(StripSurvivor, EveryWidthStopsWhereThePrefilterDoes) {
    std::mt19937_64 random(13);
    std::uniform_int_distribution<int> small(-3, 3), length(0, 45), exponent(-200, 200);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    int stopped = 0, ranThrough = 0;
    for (int n = 0; n < 4000; ++n) {
        const int kind = n % 4;
        const int32_t count = length(random);
        const size_t slots = static_cast<size_t>(count) + 40;
        std::vector<double> xy(2 * slots);
        for (double &v : xy)
            v = kind == 0 ? small(random) : kind == 1 ? 100.0 + unit(random) : std::ldexp(unit(random), exponent(random));
        // Far to one side, so that whole strips are ruled out, but for a few corners put across.
        if (kind == 1)
            for (size_t i = 0; i < slots; ++i)
                if (random() % 64 == 0) xy[2 * i] = -xy[2 * i];
        std::uniform_int_distribution<size_t> start(0, 39);
        const size_t a = start(random), b = start(random), c = start(random), x = start(random);
        const bool unbounded = kind == 3 && n % 8 == 3;  // as when a point is too far or not a number
        const double tolerance = kind == 0 ? 1.0 + small(random) % 3 : unbounded ? HUGE_VAL : std::ldexp(1.0, -40);
        if (unbounded)
            std::fill(xy.begin(), xy.end(), HUGE_VAL);
        int32_t expected = count;
        for (int32_t i = 0; i < count; ++i) {
            const size_t k = static_cast<size_t>(i);
            const double *pa = &xy[2 * (a + k)], *pb = &xy[2 * (b + k)], *pc = &xy[2 * (c + k)], *px = &xy[2 * (x + k)];
            if (!vantic::RayPrefilter::Misses(pa, pb, pc, tolerance) || !vantic::RayPrefilter::Misses(pc, px, pa, tolerance)) {
                expected = i;
                break;
            }
        }
        stopped += expected < count;
        ranThrough += expected == count && count > 8;
        std::vector<double> xs(slots), ys(slots);
        for (size_t i = 0; i < slots; ++i) {
            xs[i] = xy[2 * i];
            ys[i] = xy[2 * i + 1];
        }
        for (auto width : {vantic::VectorWidth::kBaseline, vantic::VectorWidth::kAvx2, vantic::VectorWidth::kAvx512}) {
            int32_t found = -1;
            if (!vantic::StripSurvivorWith(width, xs.data(), ys.data(), a, b, c, x, count, tolerance, found)) continue;
            ASSERT_EQ(found, expected) << "case " << n << " width " << static_cast<int>(width);
        }
    }
    EXPECT_GT(stopped, 1000);
    EXPECT_GT(ranThrough, 300);
}

// Sets (or, with null, removes) a variable of this process's environment.
void SetEnvironment(const char *name, const char *value) {
#ifdef _WIN32
    _putenv_s(name, value ? value : "");  // an empty value removes it there
#else
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
#endif
}

// The environment caps the width the kernels run at, and nothing else does.
TEST(VectorWidthCap, TheWidestTheProcessorRunsWithinTheCap) {
    using vantic::VectorWidth;
    const VectorWidth widest = vantic::Runs(VectorWidth::kAvx512) ? VectorWidth::kAvx512
                               : vantic::Runs(VectorWidth::kAvx2) ? VectorWidth::kAvx2
                                                                 : VectorWidth::kBaseline;
    auto capped = [&](VectorWidth cap) { return cap < widest ? cap : widest; };
    const struct {
        const char *value;
        VectorWidth expected;
    } cases[] = {{"baseline", VectorWidth::kBaseline}, {"avx2", capped(VectorWidth::kAvx2)},
                 {"avx512", widest},                   {"AVX2", widest},
                 {"", widest},                         {nullptr, widest}};
    // As the process had it (the suite also runs under a cap), for the tests after this one.
    const char *before = std::getenv("VANTIC_VECTOR_WIDTH");
    const std::string kept = before ? before : "";
    for (const auto &c : cases) {
        SetEnvironment("VANTIC_VECTOR_WIDTH", c.value);
        EXPECT_EQ(vantic::WidestWidth(), c.expected) << (c.value ? c.value : "(unset)");
    }
    SetEnvironment("VANTIC_VECTOR_WIDTH", before ? kept.c_str() : nullptr);
}

}  // namespace
