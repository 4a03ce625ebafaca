// The edge-loop walk and the loop selection, through the module's own objects.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "brush/brush.h"
#include "korrin_host_services.h"
#include "linked_module.h"
#include "model/host.h"
#include "model/mesh.h"
#include "services/find_service.h"

namespace {

using vhost::MakeGrid;

// ---- a ring of quads a million around, computed on demand instead of stored in the host ----
// Three rows of kRingSegments points, point (row, s) = row * kRingSegments + s; band b holds the quads
// between rows b and b + 1, polygon (b, s) = b * kRingSegments + s. Only the middle row has points
// with four quads, so the loop along it is kRingSegments steps long.
constexpr KorrinItem kRing = 0x7FFFFF00u;
constexpr int32_t kRingSegments = 1'000'000;

fxMeshPoly_fn *g_hostPoly = nullptr;
fxMeshPointPolys_fn *g_hostPointPolys = nullptr;

int32_t RingPoly(KorrinItem mesh, int32_t polygon, int32_t *corners, int32_t capacity, int32_t *count,
                 int32_t *flagsOut, int32_t flags) {
    if (mesh != kRing) return g_hostPoly(mesh, polygon, corners, capacity, count, flagsOut, flags);
    const int32_t band = polygon / kRingSegments, s = polygon % kRingSegments, next = (s + 1) % kRingSegments;
    const int32_t list[4] = {band * kRingSegments + s, band * kRingSegments + next,
                             (band + 1) * kRingSegments + next, (band + 1) * kRingSegments + s};
    for (int32_t i = 0; i < std::min(capacity, 4); ++i) corners[i] = list[i];
    *count = 4;
    if (flagsOut) *flagsOut = 0;
    return 1;
}

int32_t RingPointPolys(KorrinItem mesh, int32_t point, int32_t *polygons, int32_t capacity, int32_t *count,
                       int32_t flags) {
    if (mesh != kRing) return g_hostPointPolys(mesh, point, polygons, capacity, count, flags);
    const int32_t row = point / kRingSegments, s = point % kRingSegments;
    const int32_t previous = (s + kRingSegments - 1) % kRingSegments;
    int32_t list[4];
    int32_t n = 0;
    for (int32_t band : {row - 1, row})
        if (band >= 0 && band < 2) {
            // ascending, as the host lists them: the wrapped neighbour of point 0 comes second
            list[n++] = band * kRingSegments + std::min(previous, s);
            list[n++] = band * kRingSegments + std::max(previous, s);
        }
    for (int32_t i = 0; i < std::min(capacity, n); ++i) polygons[i] = list[i];
    *count = n;
    return 1;
}

void *FindServiceWithRing(const char *name, uint32_t group) {
    void *service = vhost::FindService(name, group);
    if (std::strcmp(name, "fxMeshPoly") == 0) {
        g_hostPoly = reinterpret_cast<fxMeshPoly_fn *>(service);
        return reinterpret_cast<void *>(&RingPoly);
    }
    if (std::strcmp(name, "fxMeshPointPolys") == 0) {
        g_hostPointPolys = reinterpret_cast<fxMeshPointPolys_fn *>(service);
        return reinterpret_cast<void *>(&RingPointPolys);
    }
    return service;
}

class EdgeLoop : public ::testing::Test {
protected:
    void SetUp() override {
        char name[256] = {};
        ASSERT_EQ(korrinEntry(name, &FindServiceWithRing, host.version, host.kind), 0);
    }

    // The points MarkEdgeLoop marks from the edge (a, b) on a fresh set of marks.
    std::set<int32_t> Loop(KorrinItem mesh, int32_t a, int32_t b, int32_t count) {
        std::vector<int32_t> marks(static_cast<size_t>(count), -1);
        const int32_t edge[2] = {a, b};
        vantic::MarkEdgeLoop(mesh, edge, marks.data(), count);
        std::set<int32_t> loop;
        for (int32_t i = 0; i < count; ++i) {
            if (marks[static_cast<size_t>(i)] == 1) loop.insert(i);
            else EXPECT_EQ(marks[static_cast<size_t>(i)], -1) << i;
        }
        return loop;
    }

    vhost::Host host;
};

struct LoopCase {
    std::string name;
    vhost::MeshData mesh;
    int32_t a, b;
    std::set<int32_t> expected;
};

// Points of a grid with `columns` columns that satisfy keep(i, j), i the column and j the row.
template <class Keep>
std::set<int32_t> GridPoints(int32_t columns, int32_t rows, Keep keep) {
    std::set<int32_t> points;
    for (int32_t j = 0; j <= rows; ++j)
        for (int32_t i = 0; i <= columns; ++i)
            if (keep(i, j)) points.insert(j * (columns + 1) + i);
    return points;
}

// The points of a sphere on the meridians s (and s2, when not -1), poles included. Ring k of
// `segments` points starts at 1 + (k - 1) * segments; the poles are 0 and the last point.
std::set<int32_t> Meridians(int32_t segments, int32_t rings, int32_t s, int32_t s2) {
    std::set<int32_t> points = {0, 1 + (rings - 1) * segments};
    for (int32_t k = 1; k < rings; ++k) {
        points.insert(1 + (k - 1) * segments + s);
        if (s2 >= 0) points.insert(1 + (k - 1) * segments + s2);
    }
    return points;
}

TEST_F(EdgeLoop, WalksStraightThroughPointsWithFourPolygons) {
    const std::vector<LoopCase> cases = {
        // 4 x 3 grid: point (i, j) = 5 j + i.
        {"grid row, border to border", MakeGrid(4, 3, 4.0, 3.0), 6, 7,
         GridPoints(4, 3, [](int32_t, int32_t j) { return j == 1; })},
        {"grid row, entered backwards", MakeGrid(4, 3, 4.0, 3.0), 13, 12,
         GridPoints(4, 3, [](int32_t, int32_t j) { return j == 2; })},
        {"grid column", MakeGrid(4, 3, 4.0, 3.0), 7, 12,
         GridPoints(4, 3, [](int32_t i, int32_t) { return i == 2; })},
        {"grid border edge", MakeGrid(4, 3, 4.0, 3.0), 0, 1, {0, 1}},
        // Tube of 8 segments, 2 bands: ring k is points 8 k .. 8 k + 7; only ring 1 has four quads.
        {"around a tube", vhost::MakeTube(1.0, 2.0, 8, 2), 8, 9, {8, 9, 10, 11, 12, 13, 14, 15}},
        {"across a tube", vhost::MakeTube(1.0, 2.0, 8, 2), 11, 19, {3, 11, 19}},
        // Spheres of 4 rings; a pole meets `segments` triangles. The walk up and down meridian 0 stops
        // at poles of 3 or 5 polygons and goes over poles of 4, down the opposite meridian.
        {"pole of three", vhost::MakeSphere(1.0, 3, 4), 1, 4, Meridians(3, 4, 0, -1)},
        {"pole of five", vhost::MakeSphere(1.0, 5, 4), 1, 6, Meridians(5, 4, 0, -1)},
        {"over poles of four", vhost::MakeSphere(1.0, 4, 4), 1, 5, Meridians(4, 4, 0, 2)},
    };
    for (const LoopCase &c : cases) {
        const KorrinItem mesh = vhost::AddMesh(host, c.name, c.mesh);
        EXPECT_EQ(Loop(mesh, c.a, c.b, static_cast<int32_t>(c.mesh.points.size())), c.expected) << c.name;
    }
}

TEST_F(EdgeLoop, EdgeOffTheMeshMarksNothing) {
    const KorrinItem grid = vhost::AddMesh(host, "grid", MakeGrid(2, 2, 1.0, 1.0));
    for (auto [a, b] : {std::pair{4, 9}, {9, 4}, {-1, 4}, {4, -1}})
        EXPECT_EQ(Loop(grid, a, b, 9), std::set<int32_t>{}) << a << " " << b;
}

// A recursive walk would need a million nested calls here.
TEST_F(EdgeLoop, MillionStepLoopRunsOnTheHeap) {
    const int32_t count = 3 * kRingSegments;
    std::vector<int32_t> marks(static_cast<size_t>(count), -1);
    const int32_t edge[2] = {kRingSegments + 7, kRingSegments + 8};
    vantic::MarkEdgeLoop(kRing, edge, marks.data(), count);
    int32_t wrong = 0;
    for (int32_t i = 0; i < count; ++i) {
        const bool middle = i >= kRingSegments && i < 2 * kRingSegments;
        wrong += marks[static_cast<size_t>(i)] != (middle ? 1 : -1);
    }
    EXPECT_EQ(wrong, 0);
}

class EdgeLoopSelection : public EdgeLoop {
protected:
    void SetUp() override {
        EdgeLoop::SetUp();
        action = vantic_CreateBrush("LoopKey", 0);
        brush = vantic_FetchBrush(action, "LoopKey", 0);
        grid = vhost::AddMesh(host, "grid", MakeGrid(2, 2, 1.0, 1.0));  // point (i, j) = 3 j + i
        vantic_BrushAddTarget(brush, grid);
    }
    void TearDown() override { vantic_DeleteBrush(action, "LoopKey", 0); }
    std::vector<int32_t> Flags() const { return std::vector<int32_t>(brush->selection[0], brush->selection[0] + 9); }

    KorrinItem action = 0, grid = 0;
    Brush *brush = nullptr;
};

TEST_F(EdgeLoopSelection, SelectsAndDeselectsOnlyTheLoop) {
    vantic_BrushSelectVertex(brush, grid, 0);
    const int32_t middleRow[2] = {4, 5}, middleColumn[2] = {4, 7};
    vantic::BrushSelectEdgeLoop(brush, grid, middleRow);
    EXPECT_EQ(Flags(), (std::vector<int32_t>{1, 0, 0, 1, 1, 1, 0, 0, 0}));
    vantic::BrushSelectEdgeLoop(brush, grid + 1, middleColumn);  // not a target
    EXPECT_EQ(Flags(), (std::vector<int32_t>{1, 0, 0, 1, 1, 1, 0, 0, 0}));
    vantic::BrushDeselectEdgeLoop(brush, grid, middleColumn);
    EXPECT_EQ(Flags(), (std::vector<int32_t>{1, 0, 0, 1, 0, 1, 0, 0, 0}));
}

TEST_F(EdgeLoopSelection, EdgeWithAPointOffTheMeshLeavesTheSelection) {
    vantic_BrushSelectTarget(brush, grid);
    const std::vector<int32_t> all(9, 1);
    for (auto [a, b] : {std::pair{4, 9}, {9, 4}, {-1, 4}}) {
        const int32_t edge[2] = {a, b};
        vantic::BrushDeselectEdgeLoop(brush, grid, edge);
        EXPECT_EQ(Flags(), all) << a << " " << b;
    }
    vantic::BrushDeselectEdgeLoop(brush, grid, nullptr);
    EXPECT_EQ(Flags(), all);
}

TEST_F(EdgeLoopSelection, MeshGrownAfterItWasAddedKeepsTheLoopInsideTheFlags) {
    vhost::Mesh &mesh = *host.scene.meshes.find(grid);
    const vhost::MeshData grown = MakeGrid(2, 3, 1.0, 1.0);  // the same 9 points, then 3 more on top
    mesh.base = grown.points;
    mesh.polygons = grown.polygons;
    mesh.rebuild();
    const int32_t column[2] = {1, 4};  // walks 1, 4, 7 and on to the new point 10
    vantic::BrushSelectEdgeLoop(brush, grid, column);
    EXPECT_EQ(Flags(), (std::vector<int32_t>{0, 1, 0, 0, 1, 0, 0, 1, 0}));
    const int32_t newEdge[2] = {7, 10};
    vantic::BrushDeselectEdgeLoop(brush, grid, newEdge);
    EXPECT_EQ(Flags(), (std::vector<int32_t>{0, 1, 0, 0, 1, 0, 0, 1, 0}));
}

}  // namespace
