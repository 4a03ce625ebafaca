// Brush weights: the falloff around the hit by straight distance, and the connected flood over the
// polygons of the hit target. The hit is set by hand, as a client may, at the world origin under the
// centre pixel of the axis view, so the world radius is what `radius` pixels span there.
#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <queue>
#include <random>
#include <set>
#include <vector>

#include "brush/brush.h"
#include "brush/ray_offsets.h"
#include "brush/ray_prefilter.h"
#include "brush/tool_modes.h"
#include "brush/weight_runs.h"
#include "brush/world_radius.h"
#include "geometry/vec3_ops.h"
#include "brush_scene.h"
#include "linked_module.h"
#include "services/find_service.h"

namespace {

using brushtest::BrushScene;
using brushtest::Distance;
using brushtest::Unproject;
using brushtest::Vec3;
using brushtest::ViewKind;
using vhost::MeshData;

constexpr double kReached = 1e-7;

// The falloff: 1 inside the inner fraction of R, then linear down to 0 at R.
double Falloff(double d, double R, double falloff) {
    const double inner = 1.0 - falloff;
    const double x = d / R - inner;
    return x < 0 ? 1.0 : 1.0 - x / falloff;
}

class Weights : public ::testing::Test {
protected:
    Weights() {
        b->mouseX = 320;
        b->mouseY = 240;
        b->viewType = -3;
        b->radius = 100.0;
        R = Distance(Unproject(scene.host, 320, 240), Unproject(scene.host, 320, 340));
    }

    // Puts the hit at the origin on polygon `polygon` of target.
    void hit(KorrinItem target, int32_t polygon) {
        b->hitTarget = target;
        b->hitPolygon = polygon;
        b->hitPosition[0] = b->hitPosition[1] = b->hitPosition[2] = 0.0;
    }

    BrushScene scene{ViewKind::Axis};
    Brush *b = scene.brush;
    double R = 0.0;
};

// A fan of triangles around the origin whose ring points lie on the axes at the given fractions of
// R, so their distances are exact multiples of R.
MeshData Fan(double R, const std::vector<double> &fractions) {
    MeshData m;
    m.points.push_back({0.0, 0.0, 0.0});
    const double axes[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    for (size_t i = 0; i < fractions.size(); ++i) {
        const double *a = axes[i % 4];
        m.points.push_back({a[0] * fractions[i] * R, a[1] * fractions[i] * R, 0.0});
        if (i > 0) m.polygons.push_back({0, static_cast<int32_t>(i), static_cast<int32_t>(i + 1)});
    }
    return m;
}

struct FalloffCase {
    double falloff;
    double fraction;  // d / R
    double straight;  // expected weight in straight mode
};

TEST_F(Weights, FalloffAlongTheRadius) {
    const std::vector<FalloffCase> cases = {
        {1.0, 0.25, 0.75}, {1.0, 0.5, 0.5}, {0.5, 0.25, 1.0}, {0.5, 0.5, 1.0}, {0.5, 0.75, 0.5},
        {0.0, 0.9, 1.0},   {1.0, 1.0, 0.0}, {0.5, 1.0, 0.0},  {1.0, 1.5, 0.0}};
    std::vector<double> fractions;
    for (const FalloffCase &c : cases) fractions.push_back(c.fraction);
    const KorrinItem fan = scene.addTarget("fan", Fan(R, fractions));
    for (int32_t mode : {0, 1}) {
        b->weightMode = mode;
        for (double falloff : {1.0, 0.5, 0.0}) {
            b->falloff = falloff;
            hit(fan, 0);
            scene.calculateWeights();
            const std::vector<double> w = scene.weights(0, fractions.size() + 1);
            EXPECT_EQ(w[0], 1.0) << "the hit point";
            for (size_t i = 0; i < cases.size(); ++i) {
                if (cases[i].falloff != falloff) continue;
                // Every ring point is reached through the centre, so connected mode differs only
                // outside R, where reached points carry the mark.
                const bool outside = cases[i].fraction >= 1.0;
                const double expected = outside && mode ? kReached : cases[i].straight;
                if (outside)
                    EXPECT_EQ(w[i + 1], expected) << "mode " << mode << " d/R " << cases[i].fraction;
                else
                    EXPECT_NEAR(w[i + 1], expected, 1e-12) << "mode " << mode << " d/R " << cases[i].fraction;
            }
        }
    }
}

TEST_F(Weights, WithoutAHitNothingChanges) {
    const KorrinItem fan = scene.addTarget("fan", Fan(R, {0.25, 0.5, 2.0}));
    for (int32_t mode : {0, 1}) {
        b->weightMode = mode;
        for (int32_t i = 0; i < 4; ++i) b->weights[0][i] = 0.3;
        hit(fan, 0);
        b->hitTarget = 0;
        scene.calculateWeights();
        for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(b->weights[0][i], 0.3) << mode << " " << i;
    }
}

TEST_F(Weights, StraightReachesEveryTargetConnectedOnlyTheHitOne) {
    const KorrinItem first = scene.addTarget("first", Fan(R, {0.5, 0.5, 0.5}));
    scene.addTarget("second", Fan(R, {0.25, 0.25, 0.25}));
    hit(first, 0);
    scene.calculateWeights();
    EXPECT_NEAR(scene.weights(1, 4)[1], 0.75, 1e-12);
    b->weightMode = 1;
    scene.calculateWeights();
    EXPECT_NEAR(scene.weights(0, 4)[1], 0.5, 1e-12);
    for (double w : scene.weights(1, 4)) EXPECT_EQ(w, 0.0);
}

// The connected walk over a U of quads (cells of R/2) whose arms leave the brush, with an island
// quad inside R that shares no point with it. Expected weights come from a plain breadth-first walk.
TEST_F(Weights, ConnectedFloodStopsOutsideTheBrush) {
    const int32_t columns = 8, rows = 4;  // x in [-2R, 2R], y in [-R, R]
    MeshData m = vhost::MakeGrid(columns, rows, 4.0 * R, 2.0 * R);
    std::vector<std::vector<int32_t>> kept;
    for (int32_t j = 0; j < rows; ++j)
        for (int32_t i = 0; i < columns; ++i)
            if (j == 0 || i == 0 || i == columns - 1 || (i == 3 && j == 2)) kept.push_back(m.polygons[j * columns + i]);
    m.polygons = kept;
    const KorrinItem u = scene.addTarget("u", m);
    const int32_t start = 4;  // bottom row, x in [0, R/2]

    std::vector<std::vector<int32_t>> around(m.points.size());
    for (size_t p = 0; p < m.polygons.size(); ++p)
        for (int32_t c : m.polygons[p]) around[static_cast<size_t>(c)].push_back(static_cast<int32_t>(p));
    const Vec3 origin{0, 0, 0};
    std::set<int32_t> walked{start}, reached;
    std::queue<int32_t> pending;
    pending.push(start);
    while (!pending.empty()) {
        const int32_t p = pending.front();
        pending.pop();
        for (int32_t c : m.polygons[static_cast<size_t>(p)]) {
            if (!reached.insert(c).second) continue;
            if (Distance(m.points[static_cast<size_t>(c)], origin) >= R) continue;
            for (int32_t q : around[static_cast<size_t>(c)])
                if (walked.insert(q).second) pending.push(q);
        }
    }

    b->weightMode = 1;
    hit(u, start);
    scene.calculateWeights();
    const std::vector<double> w = scene.weights(0, m.points.size());
    int32_t inside = 0, outside = 0, unreachedInside = 0;
    for (size_t i = 0; i < m.points.size(); ++i) {
        const double d = Distance(m.points[i], origin);
        if (!reached.count(static_cast<int32_t>(i))) {
            EXPECT_EQ(w[i], 0.0) << i;
            unreachedInside += d < R;
        } else if (d < R) {
            EXPECT_NEAR(w[i], Falloff(d, R, 1.0), 1e-12) << i;
            ++inside;
        } else {
            EXPECT_EQ(w[i], kReached) << i;
            ++outside;
        }
    }
    // The shape exercises every case.
    EXPECT_GT(inside, 0);
    EXPECT_GT(outside, 0);
    EXPECT_GT(unreachedInside, 3);
}

// The walk is depth first: from each corner inside R it follows that corner's polygons at once,
// before the next corner of the same polygon is measured. The module's own objects are bound through
// a find-function that records which points of the target are fetched, in order.
KorrinItem g_watchedMesh = 0;
std::vector<int32_t> g_fetchedPoints;
fxMeshPoint_fn *g_hostMeshPoint = nullptr;

int32_t RecordingMeshPoint(KorrinItem mesh, int32_t point, double *position, int32_t selector) {
    if (mesh == g_watchedMesh) g_fetchedPoints.push_back(point);
    return g_hostMeshPoint(mesh, point, position, selector);
}

void *FindServiceRecordingPoints(const char *name, uint32_t group) {
    void *service = vhost::FindService(name, group);
    if (std::strcmp(name, "fxMeshPoint") != 0) return service;
    g_hostMeshPoint = reinterpret_cast<fxMeshPoint_fn *>(service);
    return reinterpret_cast<void *>(&RecordingMeshPoint);
}

// A plain recursion over the mesh data: the points in the order the walk measures them.
void RecursiveWalk(const MeshData &m, const std::vector<std::vector<int32_t>> &around, double R, int32_t polygon,
                   std::vector<bool> &walked, std::vector<bool> &measured, std::vector<int32_t> &order) {
    if (walked[static_cast<size_t>(polygon)]) return;
    walked[static_cast<size_t>(polygon)] = true;
    for (int32_t q : m.polygons[static_cast<size_t>(polygon)]) {
        if (measured[static_cast<size_t>(q)]) continue;
        measured[static_cast<size_t>(q)] = true;
        order.push_back(q);
        if (Distance(m.points[static_cast<size_t>(q)], Vec3{0, 0, 0}) < R)
            for (int32_t next : around[static_cast<size_t>(q)]) RecursiveWalk(m, around, R, next, walked, measured, order);
    }
}

TEST_F(Weights, ConnectedWalkFollowsEachCornerBeforeTheNext) {
    char name[256] = {};
    ASSERT_EQ(korrinEntry(name, &FindServiceRecordingPoints, scene.host.version, scene.host.kind), 0);
    // Cells of R/2 with the origin in the middle of cell 17; no point lies at distance R.
    const MeshData m = vhost::MakeGrid(7, 5, 3.5 * R, 2.5 * R);
    const KorrinItem grid = scene.addTarget("grid", m);
    std::vector<std::vector<int32_t>> around(m.points.size());
    for (size_t p = 0; p < m.polygons.size(); ++p)
        for (int32_t c : m.polygons[p]) around[static_cast<size_t>(c)].push_back(static_cast<int32_t>(p));
    std::vector<bool> walked(m.polygons.size()), measured(m.points.size());
    std::vector<int32_t> expected;
    RecursiveWalk(m, around, R, 17, walked, measured, expected);
    ASSERT_GT(expected.size(), 8u);

    b->weightMode = 1;
    hit(grid, 17);
    g_watchedMesh = grid;
    g_fetchedPoints.clear();
    vantic_BrushCalculateWeights(b);  // the module's own copy, bound to the recording find-function
    g_watchedMesh = 0;
    EXPECT_EQ(g_fetchedPoints, expected);
}

// A drag of the weight brush picks (by ray or on screen) and weighs from one read of each point, taken
// after the press's client callbacks; between two drags the client moves the mesh, and the second drag
// sees where it is now. The tool's results equal those of the registered pick and weights called from
// the same state.
TEST_F(Weights, ToolDragReadsEachPointOnceAndSeesMovedPoints) {
    char name[256] = {};
    ASSERT_EQ(korrinEntry(name, &FindServiceRecordingPoints, scene.host.version, scene.host.kind), 0);
    const MeshData m = vhost::MakeGrid(12, 12, 6.0 * R, 6.0 * R);
    const KorrinItem grid = scene.addTarget("grid", m);
    scene.addTarget("other", Fan(R, {0.25, 0.5, 0.75}));
    b->mode = VANTIC_MODE_WEIGHTS;
    b->viewType = -3;
    ASSERT_EQ(scene.press(330, 250), 0);  // the host's handle now holds the mouse
    for (double shift : {0.0, 0.37 * R})
        for (int32_t pickMode : {VANTIC_PICK_RAY_CAST, VANTIC_PICK_SCREEN})
        for (int32_t weightMode : {0, 1}) {
            for (auto &p : scene.mesh(grid).current) p[0] += shift;
            b->pickMode = pickMode;
            b->weightMode = weightMode;
            const Brush before = *b;
            g_watchedMesh = grid;
            g_fetchedPoints.clear();
            vantic::WeightBrushEvent(b, KORRIN_EVENT_DRAG);  // the module's own copy, recording
            g_watchedMesh = 0;
            // The screen pick may take the other target's point, nearer on screen.
            ASSERT_EQ(b->hitTarget == grid || pickMode == VANTIC_PICK_SCREEN, true);
            ASSERT_NE(b->hitTarget, 0u);
            std::vector<int32_t> sorted = g_fetchedPoints;
            std::sort(sorted.begin(), sorted.end());
            std::vector<int32_t> once(m.points.size());
            for (size_t i = 0; i < once.size(); ++i) once[i] = static_cast<int32_t>(i);
            EXPECT_EQ(sorted, once) << "shift " << shift << ", pick " << pickMode << ", mode " << weightMode;

            const Brush tool = *b;
            const std::vector<double> toolWeights = scene.weights(0, m.points.size());
            *b = before;
            ASSERT_EQ(scene.rayCast(), 1);
            for (int i = 0; i < 3; ++i) b->anchor[i] = b->hitPosition[i];
            scene.calculateWeights();
            EXPECT_EQ(std::memcmp(b->hitPosition, tool.hitPosition, sizeof tool.hitPosition), 0);
            EXPECT_EQ(b->hitPolygon, tool.hitPolygon);
            EXPECT_EQ(std::memcmp(scene.weights(0, m.points.size()).data(), toolWeights.data(),
                                  toolWeights.size() * sizeof(double)),
                      0)
                << "shift " << shift << ", pick " << pickMode << ", mode " << weightMode;
        }
}

// A client's call reads the points from the host in batches: every weight, in batches whole and cut
// short, equals the point-by-point loop's, whatever the count.
TEST_F(Weights, StraightWeightsFromTheHostAsThePointByPointLoop) {
    char name[256] = {};  // the linked copy, for the world radius the module uses
    ASSERT_EQ(korrinEntry(name, &vhost::FindService, scene.host.version, scene.host.kind), 0);
    const std::vector<int32_t> sides = {2, 7, 8, 12, 15};  // 9, 64, 81, 169 and 256 points
    std::vector<MeshData> meshes;
    for (int32_t side : sides) {
        meshes.push_back(vhost::MakeGrid(side, side, 3.0 * R, 3.0 * R));
        scene.addTarget("grid", meshes.back());
    }
    b->falloff = 0.7;
    hit(b->targetIds[0], 0);
    const double centre[3] = {0.3 * R, -0.2 * R, 0.1 * R};
    std::copy(centre, centre + 3, b->hitPosition);
    for (size_t t = 0; t < meshes.size(); ++t) std::fill_n(b->weights[t], meshes[t].points.size(), -9.0);
    scene.calculateWeights();
    const double r = vantic::BrushWorldRadius(*b);
    const vantic::FalloffShape shape{r, 1.0 / r, 1.0 - b->falloff};
    for (size_t t = 0; t < meshes.size(); ++t) {
        const std::vector<vhost::Vec3> &points = meshes[t].points;
        const std::vector<double> got = scene.weights(static_cast<int32_t>(t), points.size());
        int32_t inside = 0;
        for (size_t i = 0; i < points.size(); ++i) {
            const double p[3] = {points[i][0], points[i][1], points[i][2]};
            const double d = vantic::geo::Distance(p, centre);
            const double expected = d < r ? shape.weight(d) : 0.0;
            inside += expected > 0.0;
            ASSERT_EQ(std::memcmp(&got[i], &expected, sizeof expected), 0) << "side " << sides[t] << " point " << i;
        }
        EXPECT_GT(inside, 0) << sides[t];
        EXPECT_LT(inside, static_cast<int32_t>(points.size())) << sides[t];
    }
}

TEST_F(Weights, HitPolygonOutsideTheTargetWalksNothing) {
    const KorrinItem fan = scene.addTarget("fan", Fan(R, {0.25, 0.5, 0.75}));
    b->weightMode = 1;
    for (int32_t polygon : {2, 1000000, -1}) {
        for (int32_t i = 0; i < 4; ++i) b->weights[0][i] = 0.3;
        hit(fan, polygon);
        scene.calculateWeights();
        for (double w : scene.weights(0, 4)) EXPECT_EQ(w, 0.0) << polygon;
    }
}

TEST_F(Weights, MeshGrownAfterTheTargetWasAdded) {
    const KorrinItem fan = scene.addTarget("fan", Fan(R, {0.25, 0.5, 0.75}));
    // The host mesh gains points inside the brush, joined to the brushed polygons.
    vhost::Mesh &mesh = scene.mesh(fan);
    for (double x : {0.1, 0.2, 0.3}) {
        mesh.base.push_back({x * R, -0.1 * R, 0.0});
        mesh.current.push_back(mesh.base.back());
    }
    mesh.polygons.push_back({0, 4, 5});
    mesh.polygons.push_back({1, 5, 6});
    mesh.rebuild();
    // Only the 4 weights made when the target was added are written.
    brushtest::ClientArray<double> weights(b->weights, 0, 4, -9.0);
    for (int32_t mode : {0, 1}) {
        b->weightMode = mode;
        hit(fan, 3);  // a grown polygon
        scene.calculateWeights();
        const std::vector<double> w = scene.weights(0, 4);
        EXPECT_EQ(w[0], 1.0) << mode;
        EXPECT_NEAR(w[1], 0.75, 1e-12) << mode;
        EXPECT_NEAR(w[3], 0.25, 1e-12) << mode;
        EXPECT_TRUE(weights.guardsKept()) << mode;
    }
}

// The flood along a strip of 30000 quads, all inside the brush, run on a thread with a small stack:
// a walk whose depth grew with the mesh would overflow it. Inside the brush the connected weights
// equal the straight ones.
void *ConnectedWeights(void *scene) {
    static_cast<BrushScene *>(scene)->calculateWeights();
    return nullptr;
}

TEST_F(Weights, FloodDepthDoesNotGrowWithTheMesh) {
    const int32_t columns = 30000;
    const KorrinItem strip = scene.addTarget("strip", vhost::MakeGrid(columns, 1, 1000.0, 1.0));
    b->radius = 1e6;
    hit(strip, 0);
    b->weightMode = 0;
    scene.calculateWeights();
    const size_t n = 2 * (columns + 1);
    const std::vector<double> straight = scene.weights(0, n);

    b->weightMode = 1;
    for (size_t i = 0; i < n; ++i) b->weights[0][i] = 0.0;
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 256 * 1024);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attr, &ConnectedWeights, &scene), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);

    const std::vector<double> connected = scene.weights(0, n);
    for (size_t i = 0; i < n; ++i) {
        ASSERT_GT(straight[i], 0.0) << i;
        ASSERT_EQ(connected[i], straight[i]) << i;
    }
}

// Weights of points in a row, at every vector width the processor runs, against the point-by-point
// loop: points on the rim, at the inner radius, at the centre, far away, not numbers; radii from tiny
// to huge; falloffs 0 to 1. Every seventh row has all its points within a few units in the last
// place of the rim, some round radii whose squares are below the normal range.
TEST(StraightWeightRuns, EveryWidthWeighsAsThePointByPointLoop) {
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> unit(-1.0, 1.0), fraction(0.0, 1.0);
    std::uniform_int_distribution<int> exponent(-40, 40), pick(0, 9), ulps(-3, 6);
    for (int n = 0; n < 2000; ++n) {
        const bool rim = n % 7 == 0;
        const double radius = std::ldexp(1.0 + fraction(random), rim && n % 2 ? -515 - n % 20 : exponent(random));
        const double falloff = n % 5 == 0 ? static_cast<double>(n % 2) : fraction(random);
        const vantic::FalloffShape shape{radius, 1.0 / radius, 1.0 - falloff};
        const double centre[3] = {unit(random) * radius, unit(random) * radius, unit(random) * (rim ? radius : 1.0)};
        const size_t count = static_cast<size_t>(rim ? 64 : n % 41);
        std::vector<double> xyz(3 * count), expected(count), got(count);
        for (size_t i = 0; i < count; ++i) {
            double direction[3] = {unit(random), unit(random), unit(random)};
            const double length = std::sqrt(vantic::geo::Dot(direction, direction));
            const int kind = pick(random);
            // On the rim, at the inner radius, at the centre, or anywhere near.
            const double at = rim         ? radius * (1.0 + ulps(random) * 0x1p-52)
                              : kind == 0 ? radius
                              : kind == 1 ? radius * (1.0 - falloff)
                              : kind == 2 ? 0.0
                                          : radius * 2.0 * fraction(random);
            for (int k = 0; k < 3; ++k) xyz[3 * i + k] = centre[k] + direction[k] / length * at;
            if (kind == 3 && n % 3 == 0) xyz[3 * i + 1] = NAN;
            const double d = vantic::geo::Distance(&xyz[3 * i], centre);
            expected[i] = d < shape.radius ? shape.weight(d) : 0.0;
        }
        for (auto kernel : {vantic::VectorWidth::kBaseline, vantic::VectorWidth::kAvx2,
                            vantic::VectorWidth::kAvx512}) {
            std::fill(got.begin(), got.end(), 7.0);
            if (!vantic::WeighStraightRunWith(kernel, shape, centre, xyz.data(), count, got.data())) continue;
            ASSERT_TRUE(count == 0 || std::memcmp(got.data(), expected.data(), count * sizeof(double)) == 0)
                << "case " << n << " kernel " << static_cast<int>(kernel);
        }
    }
}

// The least square sum of each run at every vector width, against the loop written out point by
// point: stretches that start and stop anywhere in a run, a run entered midway keeping what it held,
// signed zeros, infinities, squares above and below the double range.
TEST(RunOffsets, EveryWidthLowersAsThePointByPointLoop) {
    std::mt19937_64 random(29);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-600, 600), pick(0, 19), length(0, 300);
    const size_t run = static_cast<size_t>(vantic::kOffsetRun);
    for (int n = 0; n < 300; ++n) {
        const size_t count = static_cast<size_t>(length(random)), first = static_cast<size_t>(length(random));
        std::vector<double> xs(count), ys(count);
        for (size_t j = 0; j < count; ++j)
            for (double *v : {&xs[j], &ys[j]}) {
                const int kind = pick(random);
                *v = kind == 0 ? 0.0 : kind == 1 ? -0.0 : kind == 2 ? -HUGE_VAL : std::ldexp(unit(random), exponent(random));
            }
        const size_t runs = (first + count) / run + 1;
        std::vector<double> held(runs);
        for (double &v : held) v = std::ldexp(std::fabs(unit(random)), exponent(random));
        std::vector<double> expected = held;
        for (size_t j = 0; j < count; ++j) {
            const size_t i = first + j, r = i / run;
            const double m = xs[j] * xs[j] + ys[j] * ys[j];
            expected[r] = i % run == 0 || j == 0 ? (i % run == 0 ? m : std::min(held[r], m)) : std::min(expected[r], m);
        }
        for (auto width : {vantic::VectorWidth::kBaseline, vantic::VectorWidth::kAvx2, vantic::VectorWidth::kAvx512}) {
            std::vector<double> got = held;
            if (!vantic::LowerRunOffsetsWith(width, static_cast<int32_t>(first), xs.data(), ys.data(), count,
                                             got.data()))
                continue;
            ASSERT_EQ(std::memcmp(got.data(), expected.data(), runs * sizeof(double)), 0)
                << "case " << n << " width " << static_cast<int>(width);
        }
    }
}

// Every run a pick's offsets pass over weighs 0 by the weighting's own distance. Rays of many scales,
// slants and lengths, centres on the ray's line and beside it, radii across the range; runs crowded
// within units in the last place of the rim, runs just inside the brush on the centre's side of the
// line (nearer the centre than the line's distance says), runs within 2 R, and runs well beyond,
// which must all be passed over.
TEST(RayOffsets, RunsPassedOverWeighZero) {
    std::mt19937_64 random(17);
    std::uniform_real_distribution<double> unit(-1.0, 1.0), fraction(0.0, 1.0);
    std::uniform_int_distribution<int> exponent(-30, 30), slant(-10, 10), ulps(-3, 3), stretch(1, 300);
    const int32_t run = vantic::kOffsetRun;
    int farRuns = 0, farPassed = 0;
    for (int n = 0; n < 200; ++n) {
        const double scale = std::ldexp(1.0, exponent(random));
        double origin[3], direction[3], side[3], across[3];
        for (int k = 0; k < 3; ++k) {
            origin[k] = unit(random) * scale * 10.0;
            direction[k] = n % 4 == 0 ? (k == n % 3 ? 1.0 : 0.0) : unit(random);
        }
        const double stretchBy = std::ldexp(1.0, slant(random));
        for (double &c : direction) c *= stretchBy;
        // Two directions across the line, for the centre's offset and the points around it.
        const double any[3] = {unit(random), unit(random), unit(random)};
        vantic::geo::Cross(direction, any, side);
        vantic::geo::Cross(direction, side, across);
        for (double *w : {side, across}) {
            const double length = std::sqrt(vantic::geo::Dot(w, w));
            for (int k = 0; k < 3; ++k) w[k] /= length;
        }
        const double R = scale * (0.1 + fraction(random));
        const double offLine = n % 3 == 0 ? 0.0 : 0.1 * R * fraction(random);
        const double along = fraction(random) * 10.0 * scale / stretchBy;
        double foot[3], centre[3];
        for (int k = 0; k < 3; ++k) {
            foot[k] = origin[k] + along * direction[k];
            centre[k] = foot[k] + offLine * side[k];
        }
        const int32_t count = 6 * run + n % 100;
        std::vector<double> xyz(3 * static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i) {
            const int kind = (i / run + n) % 4;
            const double angle = 6.283185307179586 * fraction(random);
            double w[3], at;
            for (int k = 0; k < 3; ++k) w[k] = std::cos(angle) * side[k] + std::sin(angle) * across[k];
            if (kind == 0) {
                at = (R + offLine) * (1.0 + ulps(random) * 0x1p-52);  // on the rim seen from the line
            } else if (kind == 1) {
                for (int k = 0; k < 3; ++k) w[k] = side[k];  // towards the centre: nearer it than the line says
                at = R + offLine * 0.5;
            } else {
                at = kind == 2 ? R * (4.0 + fraction(random)) : 2.0 * R * fraction(random);
            }
            const double shift = kind == 3 ? unit(random) * R : unit(random) * R * 0x1p-30;
            for (int k = 0; k < 3; ++k)
                xyz[3 * static_cast<size_t>(i) + k] = foot[k] + at * w[k] + shift * direction[k] / stretchBy;
        }

        // Placed as the pick places them, in stretches of any length.
        const vantic::RayPrefilter filter(origin, direction);
        std::vector<double> xs(static_cast<size_t>(count)), ys(static_cast<size_t>(count));
        double reach = 0.0;
        bool failed = false;
        for (int32_t i = 0; i < count; ++i) {
            double xy[2];
            const double r = filter.place(&xyz[3 * static_cast<size_t>(i)], xy);
            xs[static_cast<size_t>(i)] = xy[0];
            ys[static_cast<size_t>(i)] = xy[1];
            reach = std::max(reach, r);
            failed = failed || r < 0;
        }
        vantic::RayOffsets offsets(origin, direction, count);
        ASSERT_TRUE(offsets.ready());
        for (int32_t i = 0; i < count;) {
            const int32_t m = std::min(count - i, stretch(random));
            offsets.add(i, &xs[static_cast<size_t>(i)], &ys[static_cast<size_t>(i)], static_cast<size_t>(m));
            i += m;
        }
        offsets.finish(reach, failed);
        ASSERT_EQ(offsets.runsPlaced(), (count + run - 1) / run);
        const double beyond = offsets.beyond(centre, R);
        for (int32_t r = 0; r < offsets.runsPlaced(); ++r) {
            const bool passed = offsets.least()[r] > beyond;
            if ((r + n) % 4 == 2 && (r + 1) * run <= count) {
                ++farRuns;
                farPassed += passed ? 1 : 0;
            }
            if (!passed) continue;
            for (int32_t i = r * run; i < std::min(count, (r + 1) * run); ++i)
                ASSERT_FALSE(vantic::geo::Distance(&xyz[3 * static_cast<size_t>(i)], centre) < R)
                    << "case " << n << " run " << r << " point " << i;
        }
    }
    EXPECT_EQ(farPassed, farRuns);
}

}  // namespace
