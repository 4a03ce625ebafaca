// Mesh queries through the loaded module: ray casts on polygons and meshes, neighbour points, effect
// target counts and the closest point of a triangle.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "loading/plugin_host.h"
#include "model/host.h"
#include "model/mesh.h"
#include "vanticAPI.h"

namespace {

using V3 = std::array<double, 3>;
using I3 = std::array<int32_t, 3>;

void ExpectNear(const V3 &actual, const V3 &expected, double tolerance, const std::string &what = "") {
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << what << " component " << i;
}

class MeshQueries : public ::testing::Test {
protected:
    vhost::PluginHost loaded;
    vhost::Host &host = loaded.host;
    vantic_RayIntersectPolygon_t *rayPolygon = loaded.function<vantic_RayIntersectPolygon_t>("vantic_RayIntersectPolygon");
    vantic_RayIntersectTarget_t *rayTarget = loaded.function<vantic_RayIntersectTarget_t>("vantic_RayIntersectTarget");
    vantic_GetNeighbourPoints_t *neighbourPoints =
        loaded.function<vantic_GetNeighbourPoints_t>("vantic_GetNeighbourPoints");
    vantic_EffectTargetCount_t *effectTargetCount =
        loaded.function<vantic_EffectTargetCount_t>("vantic_EffectTargetCount");
    vantic_PointOnTri_t *pointOnTri = loaded.function<vantic_PointOnTri_t>("vantic_PointOnTri");
};

// ---- ray casts ----

struct Hit {
    int32_t result;
    double t;
    int32_t poly;
    I3 points;
    V3 weights;
};

TEST_F(MeshQueries, PolygonRayCastTakesTheFirstOfEqualHitsAndUsesCurrentPositions) {
    // The unit square splits into (3, 0, 1) and (1, 2, 3); a ray down its diagonal meets both at t = 1.
    const KorrinItem quad = vhost::AddMesh(host, "quad", vhost::MakePolygon({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}));
    const V3 o{0.5, 0.5, 1}, down{0, 0, -1};
    Hit h{0, 0, -9, {-9, -9, -9}, {9, 9, 9}};
    h.result = rayPolygon(o.data(), down.data(), quad, 0, &h.t, h.points.data(), h.weights.data(), 1);
    EXPECT_EQ(h.result, 1);
    EXPECT_EQ(h.t, 1.0);
    EXPECT_EQ(h.points, (I3{3, 0, 1}));
    ExpectNear(h.weights, {0.5, 0, 0.5}, 1e-15);

    // The current (deformed) positions are the ones hit.
    for (auto &p : vhost::LiveMesh(host, quad)->current) p[2] = 0.25;
    h.result = rayPolygon(o.data(), down.data(), quad, 0, &h.t, h.points.data(), h.weights.data(), 1);
    EXPECT_EQ(h.result, 1);
    EXPECT_DOUBLE_EQ(h.t, 0.75);

    // Misses: beside it, from behind with cull, a polygon index outside the mesh.
    const struct {
        V3 o, d;
        int32_t poly, cull;
        const char *what;
    } misses[] = {
        {{2, 2, 1}, {0, 0, -1}, 0, 0, "beside"},
        {{0.5, 0.5, -1}, {0, 0, 1}, 0, 1, "back face with cull"},
        {{0.5, 0.5, -1}, {0, 0, -1}, 0, 0, "polygon behind the origin"},
        {{0.5, 0.5, 1}, {0, 0, -1}, 1, 0, "one past the last polygon"},
        {{0.5, 0.5, 1}, {0, 0, -1}, -1, 0, "negative polygon index"},
    };
    for (const auto &m : misses) {
        Hit miss{0, 0, -9, {-9, -9, -9}, {9, 9, 9}};
        EXPECT_EQ(rayPolygon(m.o.data(), m.d.data(), quad, m.poly, &miss.t, miss.points.data(), miss.weights.data(),
                             m.cull),
                  0)
            << m.what;
        EXPECT_EQ(miss.t, -1.0) << m.what;
        EXPECT_EQ(miss.points, (I3{-9, -9, -9})) << m.what;
        ExpectNear(miss.weights, {9, 9, 9}, 0, m.what);
    }
}

Hit CastAt(vantic_RayIntersectTarget_t *cast, KorrinItem mesh, const V3 &o, const V3 &d, int32_t cull) {
    Hit h{0, 0, -9, {-9, -9, -9}, {9, 9, 9}};
    h.result = cast(o.data(), d.data(), mesh, &h.t, &h.poly, h.points.data(), h.weights.data(), cull);
    return h;
}

// A cube of size 1 around the origin, faces wound outwards: 0 is z = +0.5, 1 is z = -0.5.
TEST_F(MeshQueries, MeshRayCastFindsTheNearestFaceInFront) {
    const vhost::MeshData cube = vhost::MakeCube(1);
    const KorrinItem mesh = vhost::AddMesh(host, "cube", cube);
    const struct {
        V3 o, d;
        int32_t cull;
        int32_t result, poly;
        double t;
        const char *what;
    } cases[] = {
        {{0.2, 0.3, 5}, {0, 0, -1}, 1, 1, 0, 4.5, "from above: the top face, not the bottom"},
        {{0.2, 0.3, -5}, {0, 0, 1}, 0, 1, 1, 4.5, "from below: a later polygon that is nearer wins"},
        {{0.2, 0.3, -5}, {0, 0, 1}, 1, 1, 1, 4.5, "from below with cull"},
        {{0.2, 0.3, -5}, {0, 0, 2}, 0, 1, 1, 2.25, "t in multiples of d"},
        {{0.2, 0.3, 0}, {0, 0, 1}, 0, 1, 0, 0.5, "from inside, both sides"},
        {{0.2, 0.3, 0}, {0, 0, 1}, 1, 0, -9, -1, "from inside with cull: only back faces ahead"},
        {{0.2, 0.3, 5}, {0, 0, 1}, 0, 0, -9, -1, "the cube is behind the origin"},
        {{3, 3, 5}, {0, 0, -1}, 0, 0, -9, -1, "beside the cube"},
    };
    for (const auto &c : cases) {
        const Hit h = CastAt(rayTarget, mesh, c.o, c.d, c.cull);
        EXPECT_EQ(h.result, c.result) << c.what;
        EXPECT_DOUBLE_EQ(h.t, c.t) << c.what;
        EXPECT_EQ(h.poly, c.poly) << c.what;
        if (!h.result) {
            EXPECT_EQ(h.points, (I3{-9, -9, -9})) << c.what;
            continue;
        }
        // The weights of the reported corners rebuild the hit point o + t d.
        V3 fromWeights{0, 0, 0};
        for (int k = 0; k < 3; ++k)
            for (int i = 0; i < 3; ++i)
                fromWeights[i] += h.weights[k] * cube.points[static_cast<size_t>(h.points[k])][i];
        ExpectNear(fromWeights, {c.o[0] + h.t * c.d[0], c.o[1] + h.t * c.d[1], c.o[2] + h.t * c.d[2]}, 1e-12, c.what);
        for (int32_t p : h.points) {
            const auto &corners = cube.polygons[static_cast<size_t>(h.poly)];
            EXPECT_NE(std::find(corners.begin(), corners.end(), p), corners.end()) << c.what;
        }
    }
}

// A missed polygon reports -1.0, which must not pass for a first hit: with polygon 0 missed and
// polygon 1 hit, the hit is polygon 1's; with every polygon missed, nothing is written but t.
TEST_F(MeshQueries, MeshRayCastIgnoresMissedPolygonsAndKeepsTheLowerIndexOnTies) {
    vhost::MeshData data;
    data.points = {{5, 5, 0}, {6, 5, 0}, {6, 6, 0}, {5, 6, 0}, {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    data.polygons = {{0, 1, 2, 3}, {4, 5, 6, 7}, {7, 4, 5, 6}};  // 1 and 2 cover the same square
    const KorrinItem mesh = vhost::AddMesh(host, "apart", data);
    // Polygon 1 splits into (7, 4, 5) and (5, 6, 7); the point (0.25, 0.5) lies in the first, at
    // 0.5 (0, 1) + 0.25 (0, 0) + 0.25 (1, 0). Polygon 2 is hit at the same distance and loses the tie.
    const Hit h = CastAt(rayTarget, mesh, {0.25, 0.5, 1}, {0, 0, -1}, 1);
    EXPECT_EQ(h.result, 1);
    EXPECT_EQ(h.poly, 1);
    EXPECT_EQ(h.t, 1.0);
    EXPECT_EQ(h.points, (I3{7, 4, 5}));
    ExpectNear(h.weights, {0.5, 0.25, 0.25}, 1e-15);

    const Hit none = CastAt(rayTarget, mesh, {3, 3, 1}, {0, 0, -1}, 0);
    EXPECT_EQ(none.result, 0);
    EXPECT_EQ(none.t, -1.0);
    EXPECT_EQ(none.poly, -9);
    EXPECT_EQ(none.points, (I3{-9, -9, -9}));
    ExpectNear(none.weights, {9, 9, 9}, 0);

    const KorrinItem empty = vhost::AddMesh(host, "no polygons", {{{0, 0, 0}}, {}});
    for (KorrinItem m : {empty, KorrinItem{4242}}) {
        const Hit e = CastAt(rayTarget, m, {0, 0, 1}, {0, 0, -1}, 0);
        EXPECT_EQ(e.result, 0);
        EXPECT_EQ(e.t, -1.0);
        EXPECT_EQ(e.poly, -9);
    }
}

// ---- neighbour points ----

std::vector<int32_t> Neighbours(vantic_GetNeighbourPoints_t *get, KorrinItem mesh, int32_t point, bool *written) {
    int32_t count = -7;
    int32_t *list = get(mesh, point, &count);
    *written = count != -7;
    std::vector<int32_t> result;
    if (list) result.assign(list, list + count);
    EXPECT_EQ(list == nullptr, !*written);
    std::free(list);
    return result;
}

TEST_F(MeshQueries, NeighbourPointsInOrderOfFirstAppearance) {
    // A 3 x 3 grid of quads: point j * 4 + i, polygon j * 3 + i = (a, a + 1, a + 5, a + 4) with
    // a = j * 4 + i. Point 5's polygons are 0, 1, 3 and 4.
    const KorrinItem grid = vhost::AddMesh(host, "grid", vhost::MakeGrid(3, 3, 3, 3));
    vhost::MeshData odd;
    odd.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 2, 0}, {5, 5, 0}};
    odd.polygons = {{0, 1, 2}, {2, 3, 0, 3, 1}, {4, 4, 2}};  // polygons listing a point twice
    const KorrinItem lists = vhost::AddMesh(host, "odd", odd);
    const KorrinItem triangle = vhost::AddMesh(host, "triangle", vhost::MakePolygon({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
    // Longer lists than most: point 0 is the hub of 20 triangles (0, i, i + 1), and polygon 20 runs
    // through all 20 rim points, so point 1's polygons are 0, 19 and 20.
    vhost::MeshData fan;
    fan.points.push_back({0, 0, 0});
    std::vector<int32_t> rim;
    for (int32_t i = 1; i <= 20; ++i) {
        fan.points.push_back({std::cos(0.1 * 3.141592653589793 * i), std::sin(0.1 * 3.141592653589793 * i), 0});
        fan.polygons.push_back({0, i, i % 20 + 1});
        rim.push_back(i);
    }
    fan.polygons.push_back(rim);
    const KorrinItem hub = vhost::AddMesh(host, "fan", fan);
    std::vector<int32_t> aroundHub, aroundRim = {0, 2, 20};
    for (int32_t i = 1; i <= 20; ++i) aroundHub.push_back(i);
    for (int32_t i = 3; i <= 19; ++i) aroundRim.push_back(i);
    const struct {
        KorrinItem mesh;
        int32_t point;
        std::vector<int32_t> expected;
        const char *what;
    } cases[] = {
        {grid, 5, {0, 1, 4, 2, 6, 9, 8, 10}, "inner point: edge neighbours and far corners"},
        {grid, 0, {1, 5, 4}, "grid corner"},
        {grid, 1, {0, 5, 4, 2, 6}, "grid border"},
        {triangle, 0, {1, 2}, "corner of a lone triangle"},
        {lists, 3, {2, 0, 1}, "a point its polygon lists twice"},
        {lists, 0, {1, 2, 3}, "a neighbour listed twice"},
        {lists, 4, {2}, "a polygon with a repeated corner of its own"},
        {hub, 0, aroundHub, "a point of 20 polygons"},
        {hub, 1, aroundRim, "a point of a polygon of 20 corners"},
    };
    for (const auto &c : cases) {
        bool written;
        EXPECT_EQ(Neighbours(neighbourPoints, c.mesh, c.point, &written), c.expected) << c.what;
        EXPECT_TRUE(written) << c.what;
    }
    // No polygons around the point, or no such point: null, count untouched.
    for (int32_t point : {5, 6, -1}) {
        bool written;
        EXPECT_TRUE(Neighbours(neighbourPoints, lists, point, &written).empty());
        EXPECT_FALSE(written) << point;
    }
}

// ---- effect targets ----

TEST_F(MeshQueries, EffectTargetCountMatchesTheTargets) {
    std::vector<KorrinItem> meshes;
    for (const char *name : {"m0", "m1", "m2"})
        meshes.push_back(vhost::AddMesh(host, name, vhost::MakePolygon({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})));
    EXPECT_EQ(effectTargetCount(vhost::AddEffect(host, "three", meshes)), 3);
    EXPECT_EQ(effectTargetCount(vhost::AddEffect(host, "one", {meshes[1]})), 1);
    EXPECT_EQ(effectTargetCount(vhost::AddEffect(host, "none", {})), 0);
    EXPECT_EQ(effectTargetCount(9999), 0);
}

// ---- closest point of a triangle ----

// a = (0, 0, 0), b = (4, 0, 0), c = (0, 4, 0): the plane's foot of p has weights (1 - x/4 - y/4, x/4, y/4).
TEST_F(MeshQueries, PointOnTriInEveryRegion) {
    const V3 a{0, 0, 0}, b{4, 0, 0}, c{0, 4, 0};
    const struct {
        V3 p, closest, weights;
        double distance;
        const char *what;
    } cases[] = {
        {{1, 1, 3}, {1, 1, 0}, {0.5, 0.25, 0.25}, 3, "above the interior: the height"},
        {{1, 1, -2}, {1, 1, 0}, {0.5, 0.25, 0.25}, 2, "below the interior"},
        {{2, 0, 1}, {2, 0, 0}, {0.5, 0.5, 0}, 1, "above an edge"},
        {{-1, -1, 2}, {0, 0, 0}, {1, 0, 0}, std::sqrt(6.0), "beyond corner a"},
        {{5, -1, 0}, {4, 0, 0}, {0, 1, 0}, std::sqrt(2.0), "beyond corner b"},
        {{-1, 5, 0}, {0, 4, 0}, {0, 0, 1}, std::sqrt(2.0), "beyond corner c"},
        {{3, 3, 1}, {2, 2, 0}, {0, 0.5, 0.5}, std::sqrt(3.0), "beside edge bc"},
        {{-1, 2, 0}, {0, 2, 0}, {0.5, 0, 0.5}, 1, "beside edge ca"},
        {{2, -1, 0}, {2, 0, 0}, {0.5, 0.5, 0}, 1, "beside edge ab"},
        // Only wa < 0, but the projection onto bc passes b: it is snapped to b.
        {{5, 0.5, 0}, {4, 0, 0}, {0, 1, 0}, std::sqrt(1.25), "beside bc, past its end"},
    };
    for (const auto &k : cases) {
        V3 closest{9, 9, 9}, weights{9, 9, 9};
        const double distance = pointOnTri(k.p.data(), a.data(), b.data(), c.data(), closest.data(), weights.data());
        EXPECT_NEAR(distance, k.distance, 1e-12) << k.what;
        ExpectNear(closest, k.closest, 1e-12, k.what);
        ExpectNear(weights, k.weights, 1e-12, k.what);
    }
}

}  // namespace
