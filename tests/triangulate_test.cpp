// The ear-cutting triangulator, linked from the module's objects.
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "address_space_limit.h"
#include "geometry/triangulation.h"
#include "linked_module.h"
#include "polygon_data.h"
#include "geometry/vector_primitives.h"
#include "loading/plugin_host.h"
#include "model/host.h"
#include "model/mesh.h"
#include "vanticAPI.h"

namespace {

using Corners = std::vector<std::array<int32_t, 3>>;

std::vector<double> Flat(const std::vector<Eigen::Vector3d> &points) {
    std::vector<double> flat;
    for (const auto &p : points) flat.insert(flat.end(), {p.x(), p.y(), p.z()});
    return flat;
}

// Runs the triangulator with the polygon's best-fit normal, as the mesh triangulation does.
Corners Cut(const std::vector<Eigen::Vector3d> &polygon) {
    const std::vector<double> points = Flat(polygon);
    const int32_t n = static_cast<int32_t>(polygon.size());
    double normal[3];
    vantic_ComputeBestFitNormal(points.data(), n, normal);
    std::vector<Triangle> out(static_cast<size_t>(n - 2));
    const int32_t count = vantic::Triangulate(n, points.data(), normal, out.data());
    Corners result;
    for (int32_t i = 0; i < count; ++i)
        result.push_back({out[i].corners[0], out[i].corners[1], out[i].corners[2]});
    return result;
}

std::vector<Eigen::Vector3d> InXy(std::initializer_list<std::array<double, 2>> corners) {
    std::vector<Eigen::Vector3d> points;
    for (const auto &c : corners) points.emplace_back(c[0], c[1], 0);
    return points;
}

struct Case {
    const char *name;
    std::vector<Eigen::Vector3d> polygon;
    Corners expected;
};

std::vector<Eigen::Vector3d> RegularPentagon() {
    std::vector<Eigen::Vector3d> points;
    for (int i = 0; i < 5; ++i) {
        const double angle = i * 72.0 * std::numbers::pi / 180.0;
        points.emplace_back(std::cos(angle), std::sin(angle), 0);
    }
    return points;
}

// Worked by hand from the window rules: which ears are convex and empty, and which angle each cut
// leaves, at every step.
TEST(Triangulate, KnownPolygons) {
    const Case cases[] = {
        {"triangle", InXy({{0, 0}, {1, 0}, {0, 1}}), {{0, 1, 2}}},
        // equal angles and no cut yet: the front ear goes first
        {"unit square", InXy({{0, 0}, {1, 0}, {1, 1}, {0, 1}}), {{3, 0, 1}, {1, 2, 3}}},
        // a tie after a front cut takes the back ear
        {"regular pentagon", RegularPentagon(), {{4, 0, 1}, {3, 4, 1}, {1, 2, 3}}},
        // corner 3 lies on the first front ear's edge and rejects it
        {"L hexagon", InXy({{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}}),
         {{4, 5, 0}, {3, 4, 0}, {3, 0, 1}, {1, 2, 3}}},
        // started at its reflex corner: the front ear is not convex, back ears are cut
        {"L hexagon from the reflex corner", InXy({{1, 1}, {1, 2}, {0, 2}, {0, 0}, {2, 0}, {2, 1}}),
         {{4, 5, 0}, {3, 4, 0}, {2, 3, 0}, {0, 1, 2}}},
        // corners 0 and 7 are reflex: the first window stalls and shifts by one
        {"U octagon", InXy({{1, 1}, {1, 3}, {0, 3}, {0, 0}, {3, 0}, {3, 3}, {2, 3}, {2, 1}}),
         {{0, 1, 2}, {0, 2, 3}, {7, 0, 3}, {7, 3, 4}, {7, 4, 5}, {5, 6, 7}}},
        // no finite best-fit normal: every window position stalls
        {"collinear quad", InXy({{0, 0}, {1, 0}, {2, 0}, {3, 0}}), {}},
        {"bow tie", InXy({{0, 0}, {2, 2}, {2, 0}, {0, 2}}), {}},
    };
    for (const Case &c : cases) EXPECT_EQ(Cut(c.polygon), c.expected) << c.name;
}

// A polygon star-shaped around the origin: corners at increasing angles (no two much closer than
// the average spacing allows) and radii between 0.4 and 1, so it is simple and in general position.
std::vector<Eigen::Vector2d> StarPolygon(std::mt19937 &rng, int n) {
    std::uniform_real_distribution<double> gap(0.5, 1.5), radius(0.4, 1.0), start(0, 2 * std::numbers::pi);
    std::vector<double> angles(static_cast<size_t>(n));
    double total = 0;
    for (double &a : angles) total += (a = gap(rng));
    std::vector<Eigen::Vector2d> points;
    double angle = start(rng);
    for (double a : angles) {
        const double r = radius(rng);
        points.emplace_back(r * std::cos(angle), r * std::sin(angle));
        angle += a / total * 2 * std::numbers::pi;
    }
    return points;
}

double Cross2(const Eigen::Vector2d &a, const Eigen::Vector2d &b) { return a.x() * b.y() - a.y() * b.x(); }

// Positive counter-clockwise.
double SignedArea(const std::vector<Eigen::Vector2d> &polygon) {
    double area = 0;
    for (size_t i = 0; i < polygon.size(); ++i) area += Cross2(polygon[i], polygon[(i + 1) % polygon.size()]) / 2;
    return area;
}

// n - 2 triangles, each wound like the polygon, using every corner, with areas that add up to the
// polygon's area.
void ExpectWholeCover(const std::vector<Eigen::Vector2d> &flat, const Corners &triangles, const std::string &what) {
    const int n = static_cast<int>(flat.size());
    const double area = SignedArea(flat);
    ASSERT_EQ(static_cast<int>(triangles.size()), n - 2) << what << ", " << n << " corners";
    double sum = 0;
    std::vector<int> used(static_cast<size_t>(n), 0);
    for (const auto &t : triangles) {
        for (int32_t k : t) {
            ASSERT_GE(k, 0) << what;
            ASSERT_LT(k, n) << what;
            used[static_cast<size_t>(k)] = 1;
        }
        const Eigen::Vector2d &a = flat[static_cast<size_t>(t[0])], &b = flat[static_cast<size_t>(t[1])],
                              &c = flat[static_cast<size_t>(t[2])];
        const double signedArea = Cross2(b - a, c - a) / 2;
        ASSERT_GT(signedArea * area, 0) << what << ": a triangle against the polygon's winding";
        sum += signedArea;
    }
    EXPECT_NEAR(sum, area, 1e-9 * std::fabs(area)) << what;
    EXPECT_EQ(std::count(used.begin(), used.end(), 1), n) << what;
}

// Simple polygons in a tilted plane, either winding, 5 to 200 corners, are cut whole.
TEST(Triangulate, StarShapedPolygonsSplitIntoNMinusTwoTrianglesCoveringTheArea) {
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> corners(5, 200);
    for (int trial = 0; trial < 300; ++trial) {
        const int n = corners(rng);
        std::vector<Eigen::Vector2d> flat = StarPolygon(rng, n);
        const bool clockwise = trial % 2 == 1;
        if (clockwise) std::reverse(flat.begin(), flat.end());

        const Eigen::Vector3d axis = Eigen::Vector3d(std::cos(trial), std::sin(trial), 0.5).normalized();
        const Eigen::Vector3d e1 = axis.unitOrthogonal(), e2 = axis.cross(e1), origin(trial, -2, 3);
        std::vector<Eigen::Vector3d> polygon;
        for (const auto &p : flat) polygon.push_back(origin + p.x() * e1 + p.y() * e2);

        ASSERT_EQ(SignedArea(flat) < 0, clockwise);
        ExpectWholeCover(flat, Cut(polygon), "trial " + std::to_string(trial));
    }
}

std::vector<Eigen::Vector2d> Regular(int n, double radius, double innerRadius) {
    std::vector<Eigen::Vector2d> points;
    for (int i = 0; i < n; ++i) {
        const double angle = 2 * std::numbers::pi * i / n, r = i % 2 == 1 ? innerRadius : radius;
        points.emplace_back(r * std::cos(angle), r * std::sin(angle));
    }
    return points;
}

std::vector<Eigen::Vector3d> Lifted(const std::vector<Eigen::Vector2d> &flat) {
    std::vector<Eigen::Vector3d> points;
    for (const auto &p : flat) points.emplace_back(p.x(), p.y(), 0);
    return points;
}

// Small or finely divided polygons, whose corners turn by less than the absolute tolerance, are cut
// whole; so are the same shapes at a size the absolute tolerance serves, with the same result.
TEST(Triangulate, SmallAndFinelyDividedPolygonsAreCutWhole) {
    const struct {
        const char *name;
        std::vector<Eigen::Vector2d> polygon;
    } cases[] = {
        {"regular 1024-gon of radius 1", Regular(1024, 1, 1)},
        {"regular 4096-gon of radius 1", Regular(4096, 1, 1)},
        {"4096-corner star of radius 1", Regular(4096, 1, 0.6)},
        {"64-gon of radius 0.01", Regular(64, 0.01, 0.01)},
        {"square of side 1e-5", {{0, 0}, {1e-5, 0}, {1e-5, 1e-5}, {0, 1e-5}}},
        {"clockwise 200-gon of radius 0.001", [] {
             auto p = Regular(200, 0.001, 0.001);
             std::reverse(p.begin(), p.end());
             return p;
         }()},
    };
    for (const auto &c : cases) ExpectWholeCover(c.polygon, Cut(Lifted(c.polygon)), c.name);
}

// A corner repeating the one before it (or the last repeating the first) can stall both passes
// beside it; the polygon is then cut as if the repeats were not there, in the same triangles.
TEST(Triangulate, RepeatedCornersThatStallAreCutAsWithoutThem) {
    const struct {
        const char *name;
        std::vector<Eigen::Vector2d> distinct;
        std::vector<int> repeats;  // how often each distinct corner is listed
        bool closed;               // the first corner listed once more at the end
    } cases[] = {
        {"triangle with every corner three times", {{0, 0}, {1, 0}, {0, 1}}, {3, 3, 3}, false},
        {"64-gon with three repeats", Regular(64, 5, 4), [] {
             std::vector<int> r(64, 1);
             r[0] = r[17] = 3;
             r[40] = 2;
             return r;
         }(), true},
    };
    for (const auto &c : cases) {
        std::vector<Eigen::Vector2d> listed;
        std::vector<int32_t> listedAt;  // the listed index of each distinct corner's first mention
        for (size_t i = 0; i < c.distinct.size(); ++i) {
            listedAt.push_back(static_cast<int32_t>(listed.size()));
            listed.insert(listed.end(), static_cast<size_t>(c.repeats[i]), c.distinct[i]);
        }
        if (c.closed) listed.push_back(c.distinct[0]);
        const Corners alone = Cut(Lifted(c.distinct));
        ExpectWholeCover(c.distinct, alone, c.name);
        Corners expected;
        for (const auto &t : alone) expected.push_back({listedAt[t[0]], listedAt[t[1]], listedAt[t[2]]});
        EXPECT_EQ(Cut(Lifted(listed)), expected) << c.name;
    }
}

// Host polygons through the registered functions, as a client triangulates them.
class MeshTriangulation : public ::testing::Test {
protected:
    // The polygon's triangles as mesh point indices, and the count reported (-7 when not written).
    Corners polygon(KorrinItem mesh, int32_t poly, int32_t selector, int32_t *countOut = nullptr, bool *null = nullptr) {
        int32_t count = -7;
        Triangle *triangles = triangulatePoly(mesh, poly, &count, selector);
        if (countOut) *countOut = count;
        if (null) *null = triangles == nullptr;
        Corners result;
        for (int32_t i = 0; triangles && i < count; ++i)
            result.push_back({triangles[i].corners[0], triangles[i].corners[1], triangles[i].corners[2]});
        freeTriangle(triangles);
        return result;
    }
    vhost::PluginHost loaded;
    vhost::Host &host = loaded.host;
    vantic_TriangulatePolyId_t *triangulatePoly = loaded.function<vantic_TriangulatePolyId_t>("vantic_TriangulatePolyId");
    vantic_TriangulateTarget_t *triangulateTarget =
        loaded.function<vantic_TriangulateTarget_t>("vantic_TriangulateTarget");
    vantic_FreeMesh_t *freeMesh = loaded.function<vantic_FreeMesh_t>("vantic_FreeMesh");
    vantic_FreeTriangle_t *freeTriangle = loaded.function<vantic_FreeTriangle_t>("vantic_FreeTriangle");
};

TEST_F(MeshTriangulation, PolygonsBecomeTrianglesOfMeshPointIndices) {
    vhost::MeshData data;
    // A square listed through scattered point indices; around it, the points of the other polygons.
    data.points = {{9, 9, 0}, {0, 1, 0}, {5, 5, 5}, {1, 0, 0}, {0, 0, 0}, {1, 1, 0}, {2, 0, 0}, {3, 0, 0}};
    data.polygons = {
        {4, 3, 5, 1},        // square: corner positions (3, 0, 1), (1, 2, 3)
        {4, 3, 6, 7},        // four points on a line
        {4, 5, 3, 1},        // bow tie
        {6, 3, 5},           // triangle: as listed
        {0, 2},              // two corners
        {},                  // none
    };
    const KorrinItem mesh = vhost::AddMesh(host, "mesh", data);
    const struct {
        int32_t poly;
        Corners expected;
        int32_t count;
        bool null;
        const char *what;
    } cases[] = {
        {0, {{1, 4, 3}, {3, 5, 1}}, 2, false, "square"},
        {1, {}, 0, false, "collinear: no triangles, still an array to free"},
        {2, {}, 0, false, "bow tie: no triangles, still an array to free"},
        {3, {{6, 3, 5}}, 1, false, "triangle"},
        {4, {}, 0, true, "two corners"},
        {5, {}, 0, true, "no corners"},
        {6, {}, -7, true, "one past the last polygon: count untouched"},
        {-1, {}, -7, true, "negative index: count untouched"},
    };
    for (const auto &c : cases) {
        int32_t count;
        bool null;
        EXPECT_EQ(polygon(mesh, c.poly, 0, &count, &null), c.expected) << c.what;
        EXPECT_EQ(count, c.count) << c.what;
        EXPECT_EQ(null, c.null) << c.what;
    }
}

// The selector picks the positions: base positions form a square, the current ones make corner 0
// reflex so that only the diagonal 0-2 is left; bent out of the plane, the current quad is flattened
// first and still cut along that diagonal.
TEST_F(MeshTriangulation, SelectorChoosesBaseOrCurrentPositions) {
    const KorrinItem mesh = vhost::AddMesh(host, "quad", vhost::MakePolygon({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}));
    vhost::Mesh *m = vhost::LiveMesh(host, mesh);
    m->current[0] = {0.9, 0.9, 0};
    EXPECT_EQ(polygon(mesh, 0, 0), (Corners{{3, 0, 1}, {1, 2, 3}}));
    EXPECT_EQ(polygon(mesh, 0, 1), (Corners{{2, 3, 0}, {0, 1, 2}}));
    m->current[0] = {0.9, 0.9, 0.3};
    m->current[2] = {1, 1, -0.2};
    EXPECT_EQ(polygon(mesh, 0, 1), (Corners{{2, 3, 0}, {0, 1, 2}}));
    EXPECT_EQ(m->current[0], (vhost::Vec3{0.9, 0.9, 0.3})) << "the host's points are not flattened";
}

TEST_F(MeshTriangulation, WholeMeshRecordAndItsRelease) {
    vhost::MeshData data;
    data.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0.5, 1.5, 0}};
    data.polygons = {{0, 1, 2}, {0, 1, 2, 3}, {0, 1, 2, 4, 3}, {3, 4}};
    const KorrinItem mesh = vhost::AddMesh(host, "mixed", data);
    TriangleMesh *record = triangulateTarget(mesh, 0);
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(record->polygonCount, 4);
    const int32_t counts[] = {1, 2, 3, 0};
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(record->polygons[i].triangleCount, counts[i]) << i;
        EXPECT_EQ(record->polygons[i].triangles == nullptr, counts[i] == 0) << i;
        int32_t count = 0;
        Triangle *alone = triangulatePoly(mesh, i, &count, 0);
        for (int32_t k = 0; k < count; ++k)
            for (int j = 0; j < 3; ++j)
                EXPECT_EQ(record->polygons[i].triangles[k].corners[j], alone[k].corners[j]) << i;
        freeTriangle(alone);
    }
    freeMesh(record);

    EXPECT_EQ(triangulateTarget(vhost::AddMesh(host, "points only", {{{0, 0, 0}}, {}}), 0), nullptr);
    EXPECT_EQ(triangulateTarget(12345, 0), nullptr);

    // Release is null-safe, and a record without a polygon array is released alone.
    freeMesh(nullptr);
    freeTriangle(nullptr);
    auto *bare = static_cast<TriangleMesh *>(std::calloc(1, sizeof(TriangleMesh)));
    bare->polygonCount = 3;
    freeMesh(bare);
}

// Rings the ear cutter stalls on are finished, so their whole area is covered: a river whose
// corners lie a hair off long edges and run along one line and back.
// A corner that is not a number or infinite (a broken mesh) gives no triangle naming a corner outside
// the polygon, small or large, wherever it sits; the sanitizers check that nothing undefined happens
// on the way.
TEST(Triangulate, CornersThatAreNotFiniteAreSafe) {
    for (int n : {5, 8, 300})
        for (double bad : {NAN, INFINITY, -INFINITY})
            for (int where : {0, 1, n / 2}) {
                std::vector<std::array<double, 3>> polygon;
                for (int i = 0; i < n; ++i) {
                    const double a = 2 * std::numbers::pi * i / n;
                    polygon.push_back({std::cos(a), std::sin(a), 0.0});
                }
                polygon[static_cast<size_t>(where)][where % 2] = bad;
                const double normal[3] = {0, 0, 1};
                std::vector<Triangle> out(static_cast<size_t>(n - 2));
                const int32_t count = vantic::Triangulate(n, polygon.data()->data(), normal, out.data());
                ASSERT_GE(count, 0);
                ASSERT_LE(count, n - 2);
                for (int32_t t = 0; t < count; ++t)
                    for (int32_t c : out[static_cast<size_t>(t)].corners) ASSERT_TRUE(c >= 0 && c < n) << n << " " << bad;
            }
}

TEST(Triangulate, RingsTheEarCutterStallsOnAreFinished) {
    const auto rings = vantic::testdata::ReadRings(vantic::testdata::PolygonDataPath(VANTIC_SOURCE_DIR));
    for (const char *name : {"water2"}) {
        const auto ring = std::find_if(rings.begin(), rings.end(), [&](const auto &r) { return r.name == name; });
        ASSERT_NE(ring, rings.end()) << name;
        std::vector<Eigen::Vector2d> flat;
        for (const auto &p : ring->points) flat.emplace_back(p[0], p[1]);
        const Corners triangles = Cut(Lifted(flat));
        const double area = SignedArea(flat);
        double sum = 0;
        for (const auto &t : triangles) {
            const double signedArea = Cross2(flat[static_cast<size_t>(t[1])] - flat[static_cast<size_t>(t[0])],
                                             flat[static_cast<size_t>(t[2])] - flat[static_cast<size_t>(t[0])]) / 2;
            ASSERT_GE(signedArea * area, 0) << name << ": a triangle against the ring's winding";
            sum += signedArea;
        }
        EXPECT_NEAR(sum, area, 1e-9 * std::fabs(area)) << name;
    }
}

// ---- a polygon too large for memory: no triangles, and nothing thrown at the client ----
// Not on Windows: it caps the process's address space with setrlimit, which Windows lacks.
#if !defined(_WIN32)

fxMeshPoly_fn *g_hostPoly = nullptr;

// Polygon 0 claims 100 million corners; the corner list alone would take 400 MB.
int32_t EnormousPolygon(KorrinItem mesh, int32_t polygon, int32_t *corners, int32_t capacity, int32_t *count,
                        int32_t *flagsOut, int32_t flags) {
    if (polygon != 0) return g_hostPoly(mesh, polygon, corners, capacity, count, flagsOut, flags);
    for (int32_t i = 0; i < capacity; ++i) corners[i] = 0;
    *count = 100'000'000;
    return 1;
}

void *FindServiceWithEnormousPolygon(const char *name, uint32_t group) {
    void *service = vhost::FindService(name, group);
    if (std::strcmp(name, "fxMeshPoly") != 0) return service;
    g_hostPoly = reinterpret_cast<fxMeshPoly_fn *>(service);
    return reinterpret_cast<void *>(&EnormousPolygon);
}

TEST(TriangulateAllocation, PolygonTooLargeForMemoryGivesNoTriangles) {
    SKIP_WHERE_NEW_CANNOT_THROW();
    vhost::Host host;
    char name[256] = {};
    ASSERT_EQ(korrinEntry(name, &FindServiceWithEnormousPolygon, host.version, host.kind), 0);
    vhost::MeshData data;
    data.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    data.polygons = {{0, 1, 2, 3}};
    const KorrinItem mesh = vhost::AddMesh(host, "mesh", data);
    EXPECT_EXIT(
        {
            LimitAddressSpace(300u << 20);
            int32_t count = -7;
            Triangle *triangles = vantic_TriangulatePolyId(mesh, 0, &count, 0);
            TriangleMesh *record = vantic_TriangulateTarget(mesh, 0);
            const bool none = triangles == nullptr && record && record->polygons[0].triangles == nullptr;
            vantic_FreeMesh(record);
            std::_Exit(none ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

#endif
}  // namespace
