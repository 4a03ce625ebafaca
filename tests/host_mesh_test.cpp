// The simulated host's meshes, effects and point selection, seen through the services a plug-in
// calls; the built-in generators and the OBJ loader that make the meshes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "korrin_host_services.h"
#include "loading/plugin_host.h"
#include "model/host.h"
#include "model/mesh.h"
#include "services/service_map.h"
#include "vanticAPI.h"
#include "host_service.h"

namespace {

using namespace vhost;

constexpr int32_t kUntouched = -7;
constexpr double kUntouchedValue = -7.5;

// A 2 x 2 grid of side 2: point (i, j) = 3j + i sits at (i - 1, j - 1, 0); quad (i, j) = 2j + i.
class GridMesh : public ::testing::Test {
protected:
    Host host;
    KorrinItem mesh = AddMesh(host, "grid", MakeGrid(2, 2, 2.0, 2.0));
};

TEST_F(GridMesh, ListsFillUpToCapacityAndAlwaysReportTheFullCount) {
    struct List {
        const char *what;
        std::vector<int32_t> expected;  // worked out by hand from the layout
        std::function<int32_t(int32_t *, int32_t, int32_t *)> read;
    };
    const std::vector<List> lists = {
        {"corners of the upper right quad", {4, 5, 8, 7},
         [&](int32_t *buffer, int32_t capacity, int32_t *count) {
             int32_t flags = 99;
             const int32_t result = FX(fxMeshPoly)(mesh, 3, buffer, capacity, count, &flags, 0);
             EXPECT_EQ(flags, 0);
             return result;
         }},
        {"polygons of the centre point", {0, 1, 2, 3},
         [&](int32_t *buffer, int32_t capacity, int32_t *count) {
             return FX(fxMeshPointPolys)(mesh, 4, buffer, capacity, count, 0);
         }},
    };
    for (const List &list : lists) {
        for (int32_t capacity : {-1, 0, 1, 3, 4, 9}) {
            SCOPED_TRACE(std::string(list.what) + ", capacity " + std::to_string(capacity));
            std::array<int32_t, 10> buffer;
            buffer.fill(kUntouched);
            int32_t count = kUntouched;
            EXPECT_EQ(list.read(buffer.data(), capacity, &count), 1);
            EXPECT_EQ(count, 4);
            const size_t filled = static_cast<size_t>(std::clamp(capacity, 0, 4));
            for (size_t i = 0; i < buffer.size(); ++i)
                EXPECT_EQ(buffer[i], i < filled ? list.expected[i] : kUntouched) << i;
        }
        SCOPED_TRACE(list.what);
        int32_t count = kUntouched;
        EXPECT_EQ(list.read(nullptr, 4, &count), 1);
        EXPECT_EQ(count, 4);
        std::array<int32_t, 4> buffer{};
        EXPECT_EQ(list.read(buffer.data(), 4, nullptr), 1);
        EXPECT_EQ(std::vector<int32_t>(buffer.begin(), buffer.end()), list.expected);
    }
    int32_t count = 0;
    EXPECT_EQ(FX(fxMeshNumPoints)(mesh, &count, 0), 1);
    EXPECT_EQ(count, 9);
    EXPECT_EQ(FX(fxMeshNumPolys)(mesh, &count, 0), 1);
    EXPECT_EQ(count, 4);
}

std::vector<int32_t> PointPolygons(KorrinItem mesh, int32_t point) {
    std::vector<int32_t> list(16, kUntouched);
    int32_t count = 0;
    FX(fxMeshPointPolys)(mesh, point, list.data(), static_cast<int32_t>(list.size()), &count, 0);
    list.resize(static_cast<size_t>(count));
    return list;
}

TEST(HostMesh, PointPolygonsAreAscendingAndListEachPolygonOnce) {
    Host host;
    MeshData data;
    data.points.assign(6, Vec3{});
    // Polygon 2 holds point 0 twice; point 5 is in no polygon.
    data.polygons = {{1, 2, 3}, {0, 1, 4}, {0, 4, 0, 2}};
    const KorrinItem mesh = AddMesh(host, "odd", data);
    const std::vector<std::vector<int32_t>> expected = {{1, 2}, {0, 1}, {0, 2}, {0}, {1, 2}, {}};
    for (int32_t point = 0; point < 6; ++point) EXPECT_EQ(PointPolygons(mesh, point), expected[point]) << point;

    // On a larger grid, against a brute-force scan of the corner lists.
    const KorrinItem grid = AddMesh(host, "grid", MakeGrid(4, 3, 4.0, 3.0));
    for (int32_t point = 0; point < 20; ++point) {
        std::vector<int32_t> scan;
        for (int32_t polygon = 0; polygon < 12; ++polygon) {
            std::array<int32_t, 4> corners{};
            int32_t count = 0;
            FX(fxMeshPoly)(grid, polygon, corners.data(), 4, &count, nullptr, 0);
            if (std::find(corners.begin(), corners.end(), point) != corners.end()) scan.push_back(polygon);
        }
        EXPECT_EQ(PointPolygons(grid, point), scan) << point;
    }
}

TEST_F(GridMesh, UnknownItemsAndIndicesOutOfRangeWriteNothingButZeroCounts) {
    const KorrinItem effect = AddEffect(host, "effect", {mesh});
    const KorrinItem deleted = AddMesh(host, "deleted", MakeGrid(1, 1, 1.0, 1.0));
    host.scene.items.remove(deleted);

    struct Case {
        const char *what;
        KorrinItem mesh;
        int32_t index;     // polygon and point index
        int32_t selector;  // of fxMeshPoint
    };
    const Case cases[] = {
        {"no item", 0, 0, 0},         {"unknown item", 999, 0, 0},    {"deleted mesh", deleted, 0, 0},
        {"an effect", effect, 0, 0},  {"negative index", mesh, -1, 0}, {"index past the end", mesh, 9, 1},
        {"selector -1", mesh, 0, -1}, {"selector 2", mesh, 0, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const bool badMesh = c.mesh != mesh;
        const bool badIndex = badMesh || c.index < 0 || c.index >= 4;  // 4 polygons, 9 points
        const bool badPoint = badMesh || c.index < 0 || c.index >= 9;

        int32_t count = kUntouched;
        EXPECT_EQ(FX(fxMeshNumPoints)(c.mesh, &count, 0), badMesh ? 0 : 1);
        EXPECT_EQ(count, badMesh ? 0 : 9);

        std::array<int32_t, 4> list;
        list.fill(kUntouched);
        count = kUntouched;
        int32_t flags = 99;
        EXPECT_EQ(FX(fxMeshPoly)(c.mesh, c.index, list.data(), 4, &count, &flags, 0), badIndex ? 0 : 1);
        EXPECT_EQ(count, badIndex ? 0 : 4);
        EXPECT_EQ(flags, 0);
        if (badIndex) {
            EXPECT_EQ(list[0], kUntouched);
        }

        count = kUntouched;
        list.fill(kUntouched);
        EXPECT_EQ(FX(fxMeshPointPolys)(c.mesh, c.index, list.data(), 4, &count, 0), badPoint ? 0 : 1);
        if (badPoint) {
            EXPECT_EQ(count, 0);
            EXPECT_EQ(list[0], kUntouched);
        }

        const bool badPosition = badPoint || (c.selector != 0 && c.selector != 1);
        double v[3] = {kUntouchedValue, kUntouchedValue, kUntouchedValue};
        EXPECT_EQ(FX(fxMeshPoint)(c.mesh, c.index, v, c.selector), badPosition ? 0 : 1);
        if (badPosition) {
            for (double x : v) EXPECT_EQ(x, kUntouchedValue);
        }
        double n[3] = {kUntouchedValue, kUntouchedValue, kUntouchedValue};
        EXPECT_EQ(FX(fxMeshPointNormal)(c.mesh, c.index, n, 0), badPoint ? 0 : 1);
        if (badPoint) {
            for (double x : n) EXPECT_EQ(x, kUntouchedValue);
        }

        EXPECT_EQ(FX(fxPointSelect_Set)(c.mesh, c.index), badPoint ? 0 : 1);
        EXPECT_EQ(FX(fxPointSelect_Clear)(c.mesh, c.index), badPoint ? 0 : 1);
        EXPECT_EQ(FX(fxPointSelect_ClearAll)(c.mesh), badMesh ? 0 : 1);
    }
    // Null outputs are refused without a crash.
    EXPECT_EQ(FX(fxMeshNumPoints)(mesh, nullptr, 0), 1);
    EXPECT_EQ(FX(fxMeshNumPolys)(mesh, nullptr, 0), 1);
    EXPECT_EQ(FX(fxMeshPoly)(mesh, 0, nullptr, 0, nullptr, nullptr, 0), 1);
    EXPECT_EQ(FX(fxMeshPoint)(mesh, 0, nullptr, 0), 0);
    EXPECT_EQ(FX(fxMeshPointNormal)(mesh, 0, nullptr, 0), 0);
}

TEST_F(GridMesh, SelectorZeroKeepsTheBasePositionsWhenTheMeshIsDeformed) {
    Mesh &m = *host.scene.meshes.find(mesh);
    m.current[5] = Vec3{1.0, 0.0, 0.25};
    double base[3], current[3];
    ASSERT_EQ(FX(fxMeshPoint)(mesh, 5, base, 0), 1);
    ASSERT_EQ(FX(fxMeshPoint)(mesh, 5, current, 1), 1);
    EXPECT_EQ(std::vector<double>(base, base + 3), (std::vector<double>{1.0, 0.0, 0.0}));
    EXPECT_EQ(std::vector<double>(current, current + 3), (std::vector<double>{1.0, 0.0, 0.25}));
    ASSERT_EQ(FX(fxMeshPoint)(mesh, 0, current, 1), 1);
    EXPECT_EQ(std::vector<double>(current, current + 3), (std::vector<double>{-1.0, -1.0, 0.0}));
}

Vec3 Normal(KorrinItem mesh, int32_t point) {
    Vec3 n{kUntouchedValue, kUntouchedValue, kUntouchedValue};
    EXPECT_EQ(FX(fxMeshPointNormal)(mesh, point, n.data(), 0), 1);
    return n;
}

void ExpectNear(const Vec3 &actual, const Vec3 &expected) {
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(actual[k], expected[k], 1e-15) << "component " << k;
}

TEST_F(GridMesh, NormalsOfAFlatGridFaceUp) {
    for (int32_t point = 0; point < 9; ++point) EXPECT_EQ(Normal(mesh, point), (Vec3{0.0, 0.0, 1.0})) << point;
}

TEST(HostMesh, NormalsWeighThePolygonsAroundAPointByArea) {
    Host host;
    // A unit square facing +z and, folded down along their shared edge 0-1, a 1 x 2 rectangle facing
    // -y; point 6 is in no polygon.
    MeshData data;
    data.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, -2}, {1, 0, -2}, {5, 5, 5}};
    data.polygons = {{0, 1, 2, 3}, {1, 0, 4, 5}};
    const KorrinItem mesh = AddMesh(host, "fold", data);
    const double s5 = std::sqrt(5.0);
    ExpectNear(Normal(mesh, 0), {0.0, -2.0 / s5, 1.0 / s5});  // 1·(0, 0, 1) + 2·(0, -1, 0)
    ExpectNear(Normal(mesh, 1), {0.0, -2.0 / s5, 1.0 / s5});
    ExpectNear(Normal(mesh, 2), {0.0, 0.0, 1.0});
    ExpectNear(Normal(mesh, 4), {0.0, -1.0, 0.0});
    EXPECT_EQ(Normal(mesh, 6), (Vec3{0.0, 0.0, 0.0}));

    // A cube's corners point away from its centre.
    const KorrinItem cube = AddMesh(host, "cube", MakeCube(2.0));
    const double third = 1.0 / std::sqrt(3.0);
    for (int32_t point = 0; point < 8; ++point) {
        const Vec3 &p = host.scene.meshes.find(cube)->base[static_cast<size_t>(point)];
        ExpectNear(Normal(cube, point), {p[0] * third, p[1] * third, p[2] * third});
    }
}

TEST_F(GridMesh, PointSelectionServicesChangeTheHostSelection) {
    const std::vector<uint8_t> &selected = host.scene.meshes.find(mesh)->selected;
    ASSERT_EQ(selected.size(), 9u);
    EXPECT_EQ(FX(fxPointSelect_Set)(mesh, 2), 1);
    EXPECT_EQ(FX(fxPointSelect_Set)(mesh, 5), 1);
    EXPECT_EQ(FX(fxPointSelect_Set)(mesh, 5), 1);
    EXPECT_EQ(selected, (std::vector<uint8_t>{0, 0, 1, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(FX(fxPointSelect_Clear)(mesh, 2), 1);
    EXPECT_EQ(FX(fxPointSelect_Clear)(mesh, 3), 1);
    EXPECT_EQ(selected, (std::vector<uint8_t>{0, 0, 0, 0, 0, 1, 0, 0, 0}));
    FX(fxPointSelect_Set)(mesh, 8);
    EXPECT_EQ(FX(fxPointSelect_ClearAll)(mesh), 1);
    EXPECT_EQ(selected, std::vector<uint8_t>(9, 0));
}

// The targets a walk with First and Next visits, stopping at 0 (or after too many steps).
std::vector<KorrinItem> Walk(KorrinItem effect) {
    std::vector<KorrinItem> seen;
    for (KorrinItem t = FX(fxEffectTargetFirst)(effect, 0); t != 0 && seen.size() < 20;
         t = FX(fxEffectTargetNext)(effect, t, 0))
        seen.push_back(t);
    return seen;
}

TEST(HostEffect, TargetsWalkInHostOrderAndTheSuccessorOfTheLastAndOfZeroIsZero) {
    PluginHost loaded;
    Host &host = loaded.host;
    const KorrinItem a = AddMesh(host, "a", MakeGrid(1, 1, 1.0, 1.0));
    const KorrinItem b = AddMesh(host, "b", MakeGrid(1, 1, 1.0, 1.0));
    const KorrinItem c = AddMesh(host, "c", MakeGrid(1, 1, 1.0, 1.0));
    const KorrinItem effect = AddEffect(host, "effect", {c, a, b});
    const KorrinItem empty = AddEffect(host, "empty", {});

    EXPECT_EQ(Walk(effect), (std::vector<KorrinItem>{c, a, b}));
    // The module's count below only ends on these two answers.
    ASSERT_EQ(FX(fxEffectTargetNext)(effect, b, 0), 0u);
    ASSERT_EQ(FX(fxEffectTargetNext)(effect, 0, 0), 0u);
    EXPECT_EQ(FX(fxEffectTargetNext)(effect, 999, 0), 0u);
    EXPECT_EQ(FX(fxEffectTargetFirst)(empty, 0), 0u);
    EXPECT_EQ(FX(fxEffectTargetNext)(empty, 0, 0), 0u);
    EXPECT_EQ(FX(fxEffectTargetFirst)(999, 0), 0u);
    EXPECT_EQ(FX(fxEffectTargetFirst)(a, 0), 0u);  // a mesh is no effect

    auto count = loaded.function<vantic_EffectTargetCount_t>("vantic_EffectTargetCount");
    EXPECT_EQ(count(effect), 3);
    EXPECT_EQ(count(empty), 0);

    // A list edited by hand into repeats and zeros still walks to an end, each target once.
    host.scene.meshes.findEffect(effect)->targets = {a, 0, b, a, c, b};
    ASSERT_EQ(Walk(effect), (std::vector<KorrinItem>{a, b, c}));
    EXPECT_EQ(count(effect), 3);

    host.scene.items.remove(effect);
    EXPECT_EQ(FX(fxEffectTargetFirst)(effect, 0), 0u);
}

TEST(HostEffect, AddEffectRefusesTargetsAWalkCouldNotTell) {
    Host host;
    const KorrinItem a = AddMesh(host, "a", MakeGrid(1, 1, 1.0, 1.0));
    EXPECT_THROW(AddEffect(host, "zero", {a, 0}), std::invalid_argument);
    EXPECT_THROW(AddEffect(host, "twice", {a, a}), std::invalid_argument);
}

TEST(HostMesh, AddMeshRefusesCornersThatAreNoPoints) {
    Host host;
    for (int32_t corner : {-1, 3}) {
        MeshData data;
        data.points.assign(3, Vec3{});
        data.polygons = {{0, 1, corner}};
        EXPECT_THROW(AddMesh(host, "bad", data), std::invalid_argument) << corner;
    }
}

Vec3 AreaNormal(const MeshData &mesh, const std::vector<int32_t> &corners) {
    // Sum of the fan's cross products from the first corner: twice the area along the facing direction.
    Vec3 n{};
    const Vec3 &o = mesh.points[static_cast<size_t>(corners[0])];
    for (size_t i = 1; i + 1 < corners.size(); ++i) {
        const Vec3 &p = mesh.points[static_cast<size_t>(corners[i])];
        const Vec3 &q = mesh.points[static_cast<size_t>(corners[i + 1])];
        const Vec3 u{p[0] - o[0], p[1] - o[1], p[2] - o[2]}, v{q[0] - o[0], q[1] - o[1], q[2] - o[2]};
        n[0] += u[1] * v[2] - u[2] * v[1];
        n[1] += u[2] * v[0] - u[0] * v[2];
        n[2] += u[0] * v[1] - u[1] * v[0];
    }
    return n;
}

struct Generated {
    const char *name;
    std::function<MeshData()> make;
    size_t points, polygons;
    size_t openEdges;                        // edges used by one polygon only
    std::function<Vec3(const Vec3 &)> out;   // the outward direction at a polygon's centre
    std::function<double(const Vec3 &)> onSurface;  // 0 for a point where it should be
};

void PrintTo(const Generated &g, std::ostream *os) { *os << g.name; }

class Generator : public ::testing::TestWithParam<Generated> {};

TEST_P(Generator, CountsSurfaceAndOutwardConsistentWinding) {
    const Generated &g = GetParam();
    const MeshData mesh = g.make();
    ASSERT_EQ(mesh.points.size(), g.points);
    ASSERT_EQ(mesh.polygons.size(), g.polygons);
    for (const Vec3 &p : mesh.points) EXPECT_NEAR(g.onSurface(p), 0.0, 1e-12);

    std::set<std::pair<int32_t, int32_t>> edges;
    std::vector<int> uses(mesh.points.size(), 0);
    for (const std::vector<int32_t> &polygon : mesh.polygons) {
        Vec3 centre{};
        for (int32_t c : polygon) {
            ASSERT_TRUE(c >= 0 && static_cast<size_t>(c) < mesh.points.size());
            ++uses[static_cast<size_t>(c)];
            for (int k = 0; k < 3; ++k) centre[k] += mesh.points[static_cast<size_t>(c)][k] / polygon.size();
        }
        const Vec3 n = AreaNormal(mesh, polygon), out = g.out(centre);
        EXPECT_GT(n[0] * out[0] + n[1] * out[1] + n[2] * out[2], 0.0);
        for (size_t i = 0; i < polygon.size(); ++i)  // each directed edge once: a consistent winding
            EXPECT_TRUE(edges.insert({polygon[i], polygon[(i + 1) % polygon.size()]}).second);
    }
    size_t open = 0;
    for (const auto &[from, to] : edges) open += edges.count({to, from}) ? 0 : 1;
    EXPECT_EQ(open, g.openEdges);
    EXPECT_EQ(std::count(uses.begin(), uses.end(), 0), 0);
}

const Vec3 kUp{0.0, 0.0, 1.0};

INSTANTIATE_TEST_SUITE_P(
    BuiltIn, Generator,
    ::testing::Values(
        Generated{"grid", [] { return MakeGrid(3, 2, 3.0, 1.0); }, 12, 6, 10, [](const Vec3 &) { return kUp; },
                  [](const Vec3 &p) {
                      return std::abs(p[2]) + (std::abs(p[0]) <= 1.5 ? 0 : 1) + (std::abs(p[1]) <= 0.5 ? 0 : 1);
                  }},
        Generated{"cube", [] { return MakeCube(3.0); }, 8, 6, 0, [](const Vec3 &c) { return c; },
                  [](const Vec3 &p) {
                      return std::abs(std::abs(p[0]) - 1.5) + std::abs(std::abs(p[1]) - 1.5) +
                             std::abs(std::abs(p[2]) - 1.5);
                  }},
        // 2 poles + 3 circles of 6; 6 + 6 top and bottom triangles and 2 bands of 6 quads
        Generated{"sphere", [] { return MakeSphere(2.0, 6, 4); }, 20, 24, 0, [](const Vec3 &c) { return c; },
                  [](const Vec3 &p) { return std::hypot(p[0], p[1], p[2]) - 2.0; }},
        // 4 circles of 5 points, 3 bands of 5 quads, two open rims of 5 edges
        Generated{"tube", [] { return MakeTube(0.5, 3.0, 5, 3); }, 20, 15, 10,
                  [](const Vec3 &c) { return Vec3{c[0], 0.0, c[2]}; },
                  [](const Vec3 &p) { return std::hypot(p[0], p[2]) - 0.5 + (std::abs(p[1]) <= 1.5 ? 0 : 1); }}));

TEST(HostMesh, GeneratorsRefuseSizesBelowTheirMinimum) {
    EXPECT_THROW(MakeGrid(0, 1, 1.0, 1.0), std::invalid_argument);
    EXPECT_THROW(MakeGrid(1, 0, 1.0, 1.0), std::invalid_argument);
    EXPECT_THROW(MakeSphere(1.0, 2, 4), std::invalid_argument);
    EXPECT_THROW(MakeSphere(1.0, 3, 1), std::invalid_argument);
    EXPECT_THROW(MakeTube(1.0, 1.0, 2, 1), std::invalid_argument);
    EXPECT_THROW(MakeTube(1.0, 1.0, 3, 0), std::invalid_argument);
}

std::string Example(const std::string &name) { return std::string(VANTIC_SOURCE_DIR) + "/examples/meshes/" + name; }

TEST(ObjMesh, LoadsTheExamplesAsTheirPolygonsWithoutTriangulating) {
    struct Case {
        const char *file;
        MeshData same;  // the generator that makes the same mesh
        double tolerance;
    };
    const Case cases[] = {
        {"cube.obj", MakeCube(2.0), 0.0},
        {"grid.obj", MakeGrid(3, 2, 3.0, 2.0), 0.0},
        {"tube.obj", MakeTube(1.0, 2.0, 8, 2), 1e-6},  // six decimals in the file
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        const MeshData loaded = LoadObj(Example(c.file));
        EXPECT_EQ(loaded.polygons, c.same.polygons);
        ASSERT_EQ(loaded.points.size(), c.same.points.size());
        for (size_t i = 0; i < loaded.points.size(); ++i)
            for (int k = 0; k < 3; ++k) EXPECT_NEAR(loaded.points[i][k], c.same.points[i][k], c.tolerance) << i;
    }
}

class ObjErrors : public ::testing::Test {
protected:
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("vantic_obj_" + std::to_string(::getpid()));
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string write(const std::string &name, const std::string &text) {
        const std::string path = (dir / name).string();
        std::ofstream(path) << text;
        return path;
    }
};

// The message of the std::runtime_error LoadObj throws, or "" when it loads.
std::string LoadError(const std::string &path) {
    try {
        LoadObj(path);
    } catch (const std::runtime_error &e) {
        return e.what();
    }
    return "";
}

TEST_F(ObjErrors, NameTheFileAndTheLineWhereKnown) {
    const std::string malformed = std::string(VANTIC_SOURCE_DIR) + "/tests/data/malformed.obj";
    const std::string missing = (dir / "missing.obj").string();
    const std::string outside = write("outside.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nf 1 2 4\n");
    const std::string negative = write("negative.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf -1 -2 -4\n");
    const std::string empty = write("empty.obj", "# nothing\n");
    const std::pair<std::string, std::string> cases[] = {
        {malformed, malformed + ":8: "},
        {missing, missing + ": "},
        {dir.string(), dir.string() + ": "},
        {outside, outside + ":5: face 2 uses vertex 4"},
        {negative, negative + ":4: face 1 uses vertex -4"},
        {empty, empty + ": no vertices"},
    };
    for (const auto &[path, start] : cases) {
        const std::string error = LoadError(path);
        EXPECT_EQ(error.substr(0, start.size()), start) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

// Problems read from the text itself, each placed on its line: indices that would wrap or point
// outside, numbers that are not finite or absurdly large, vertices and faces too short.
TEST_F(ObjErrors, BadNumbersAndIndicesAreRefusedOnTheirLine) {
    const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    const std::pair<std::string, std::string> cases[] = {
        {triangle + "f 1 2 4294967297\n", ":4: face 1 uses vertex 4294967297 but the file has 3 vertices"},
        {triangle + "f 1 2 99999999999999999999\n", ":4: face 1: '99999999999999999999' is not a vertex index"},
        {triangle + "f -5 1 2\n", ":4: face 1 uses vertex -5"},
        {triangle + "f 1 2 0\n", ":4: face 1 uses vertex 0"},
        {triangle + "f 1 2 +\n", ":4: face 1: '+' is not a vertex index"},
        {triangle + "f 1 2\n", ":4: face 1 has fewer than 3 corners"},
        {triangle + "f 1 2 3\nf 3\n", ":5: face 2 has fewer than 3 corners"},
        {"v 0 0 0\nv nan 0 0\n", ":2: coordinate 'nan'"},
        {"v 0 0 0\nv 1 inf 0\n", ":2: coordinate 'inf'"},
        {"v 0 0 1e308\n", ":1: coordinate '1e308'"},
        {"v 0 0 1e400\n", ":1: coordinate '1e400'"},
        {"v 0 0 0x10\n", ":1: coordinate '0x10'"},
        {"v 1 1\n", ":1: a vertex needs 3 coordinates"},
    };
    for (const auto &[text, problem] : cases) {
        const std::string path = write("bad.obj", text);
        const std::string error = LoadError(path);
        EXPECT_EQ(error.substr(0, path.size() + problem.size()), path + problem) << text;
    }
}

// Statements a mesh does not use never reach the loader: a weight of 1e300 on a "vw" line, normals,
// texture coordinates and materials are dropped, and the faces keep only their vertex indices.
TEST_F(ObjErrors, StatementsWeDoNotUseAreDropped) {
    const std::string path = write("extras.obj",
                                   "mtllib nowhere.mtl\nvw 1 1e300 0.5\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0.5 1e300\n"
                                   "vn 0 0 1e300\ng part\nusemtl gone\nf 1/1/1 2/1/1 -1//1\nl 1 2\n");
    ASSERT_EQ(LoadError(path), "");
    const MeshData mesh = LoadObj(path);
    EXPECT_EQ(mesh.points.size(), 3u);
    ASSERT_EQ(mesh.polygons.size(), 1u);
    EXPECT_EQ(mesh.polygons[0], (std::vector<int32_t>{0, 1, 2}));
}

}  // namespace
