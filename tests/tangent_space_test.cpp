// Tangent spaces: corner pairs, neighbours and probe axes; smoothing and frames on flat, plus-shaped
// and deformed meshes through the loaded module; the frame modes; degenerate points; attachment.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <tuple>
#include <vector>

#include "loading/plugin_host.h"
#include "model/mesh.h"
#include "geometry/mesh_queries.h"
#include "tangent/probe_triangle.h"
#include "tangent/tangent_topology.h"
#include "vanticAPI.h"

namespace {

using Matrix = std::array<double, 16>;
using Triple = std::array<double, 3>;
using Pairs = std::vector<uint32_t>;

constexpr uint32_t kDataId = 5;
constexpr Matrix kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

struct Kit {
    vhost::PluginHost loaded;
    vantic_CreateTangentSpace_t *create = loaded.function<vantic_CreateTangentSpace_t>("vantic_CreateTangentSpace");
    vantic_FetchTangentSpace_t *fetch = loaded.function<vantic_FetchTangentSpace_t>("vantic_FetchTangentSpace");
    vantic_DeleteTangentSpace_t *destroy = loaded.function<vantic_DeleteTangentSpace_t>("vantic_DeleteTangentSpace");
    vantic_TangentSpaceCalculate_t *calculate =
        loaded.function<vantic_TangentSpaceCalculate_t>("vantic_TangentSpaceCalculate");
    vantic_TangentGetMatrix_t *getMatrix = loaded.function<vantic_TangentGetMatrix_t>("vantic_TangentGetMatrix");

    KorrinItem mesh = 0;
    KorrinItem add(const vhost::MeshData &data) { return mesh = vhost::AddMesh(loaded.host, "Mesh", data); }
    vhost::Mesh &hostMesh() { return loaded.host.scene.meshes.meshes[mesh]; }
    Matrix matrix(const TangentSpace *space, int32_t point) {
        Matrix m{};
        getMatrix(space, point, m.data());
        return m;
    }
};

Pairs CornersOf(const TangentPoint &p) { return Pairs(p.corners, p.corners + 2 * p.numPolys); }
Pairs NeighboursOf(const TangentPoint &p) { return Pairs(p.neighbours, p.neighbours + p.numNeighbours); }
Triple Row(const Matrix &m, int r) { return {m[4 * r], m[4 * r + 1], m[4 * r + 2]}; }
double Dot(const Triple &a, const Triple &b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Triple Cross(const Triple &a, const Triple &b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

TEST(TangentTopology, NeighboursAreTheDistinctCornersInOrder) {
    const struct {
        Pairs corners;
        Pairs neighbours;
    } cases[] = {
        {{1, 3, 3, 5, 5, 1}, {1, 3, 5}},
        {{7, 2, 2, 9, 4, 7}, {7, 2, 9, 4}},
        {{6, 6}, {6, 6}},  // one look for both before either is added
        {{}, {}},
    };
    for (const auto &c : cases) {
        TangentPoint point{};
        Pairs corners = c.corners;
        point.corners = corners.data();
        point.numPolys = static_cast<int32_t>(corners.size() / 2);
        ASSERT_TRUE(vantic::BuildNeighbours(&point));
        EXPECT_EQ(NeighboursOf(point), c.neighbours);
        std::free(point.neighbours);
    }
}

TEST(TangentTopology, ProbeAxisIsTheAxisOfTheSmallestNormalComponent) {
    const struct {
        Triple normal, axis;
    } cases[] = {
        {{0, 0, 1}, {0, 1, 0}}, {{0, 1, 0}, {0, 0, 1}},   {{1, 0, 0}, {0, 0, 1}},
        {{0.2, 0.9, 0.3}, {1, 0, 0}}, {{-0.9, 0.1, 0.3}, {0, 1, 0}}, {{0.5, -0.5, 0.1}, {0, 0, 1}},
        {{1, 1, 1}, {0, 0, 1}},  // ties go to Z
    };
    for (const auto &c : cases) {
        Triple axis{};
        vantic::ProbeAxis(c.normal.data(), axis.data());
        EXPECT_EQ(axis, c.axis) << c.normal[0] << " " << c.normal[1] << " " << c.normal[2];
    }
}

// Equal bits, or both not a number: which of two not-a-number operands an operation passes on (and so
// the sign it shows) is the processor's choice by operand position, which the compiler may swap.
bool SameBits(double a, double b) { return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0; }

// The reference-triangle search measures both probes against a triangle prepared once: distances and
// weights are vantic_PointOnTri's, bit for bit, on collapsed, needle, huge and tiny triangles and on
// probes inside, on edges and corners, beyond them, and not finite.
TEST(TangentTopology, ProbeDistanceIsPointOnTriBitForBit) {
    const double nan = std::nan("");
    const double big = 1e200, tiny = 1e-200;
    const std::vector<std::array<Triple, 3>> triangles = {
        {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}},
        {{{0.3, -0.2, 1}, {-1, 2, 0.5}, {2, 1.5, -0.7}}},
        {{{0, 0, 0}, {0, 0, 1}, {0, 1, 0}}},            // normal along x
        {{{0, 0, 0}, {1, 1, 1}, {1, 1, 1}}},            // two corners on one
        {{{0, 0, 0}, {1, 1, 1}, {2, 2, 2}}},            // on a line
        {{{5, 5, 5}, {5, 5, 5}, {5, 5, 5}}},            // a point
        {{{0, 0, 0}, {1, 0, 0}, {0.5, 1e-17, 0}}},      // needle
        {{{0, 0, 0}, {big, 0, 0}, {0, big, big}}},      // cross product overflows
        {{{0, 0, 0}, {tiny, 0, 0}, {0, tiny, 0}}},      // cross product underflows
        {{{1, 1, 1}, {1 + 1e-15, 1, 1}, {1, 1 + 1e-15, 1}}},
    };
    std::vector<Triple> probes = {{0.25, 0.25, 0},  {0.25, 0.25, 3}, {-1, -1, 1},  {2, -1, 0},   {-1, 2, -2},
                                  {0.5, 0.5, 0},    {0, 0, 0},       {1, 0, 0},    {3, 3, 3},    {0.5, -0.5, 0},
                                  {-0.5, 0.5, 0.5}, {nan, 0, 0},     {1e300, 1, 1}, {tiny, tiny, 0}, {big, big, 0}};
    std::mt19937_64 random(17);
    std::uniform_real_distribution<double> around(-3, 3);
    for (int i = 0; i < 40; ++i) probes.push_back({around(random), around(random), around(random)});
    for (size_t t = 0; t < triangles.size(); ++t) {
        const auto &[a, b, c] = triangles[t];
        vantic::ProbeTriangle prepared;
        vantic::PrepareProbeTriangle(a.data(), b.data(), c.data(), &prepared);
        for (const Triple &p : probes) {
            double closest[3], want[3], got[3] = {7, 7, 7};
            const double wantDistance = vantic_PointOnTri(p.data(), a.data(), b.data(), c.data(), closest, want);
            const double gotDistance = std::sqrt(vantic::ProbeSquaredDistance(prepared, p.data(), got));
            EXPECT_TRUE(SameBits(gotDistance, wantDistance))
                << t << ": " << p[0] << " " << p[1] << " " << p[2] << " " << gotDistance << " vs " << wantDistance;
            for (int k = 0; k < 3; ++k)
                EXPECT_TRUE(SameBits(got[k], want[k])) << t << ": " << p[0] << " " << p[1] << " " << p[2] << " " << k;
        }
    }
}

TEST(TangentSpace, CornerPairsFollowThePolygonsWinding) {
    Kit kit;
    kit.add(vhost::MakePolygon({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}));  // A, B, C, D
    TangentSpace *space = kit.create(kit.mesh, kDataId);
    ASSERT_NE(space, nullptr);
    EXPECT_EQ(space->objectId, kit.mesh);
    EXPECT_EQ(space->passes, 2);
    ASSERT_EQ(space->numPoints, 4);
    EXPECT_EQ(CornersOf(space->points[0]), (Pairs{1, 3}));  // at A: (B, D)
    EXPECT_EQ(CornersOf(space->points[3]), (Pairs{0, 2}));  // at D: (A, C)
    EXPECT_EQ(NeighboursOf(space->points[0]), (Pairs{1, 3}));
    // Each point's reference triangles are its own corner triangle.
    for (uint32_t p = 0; p < 4; ++p) {
        const TangentPoint &point = space->points[p];
        EXPECT_EQ(point.refTri1[0], p);
        EXPECT_EQ(point.refTri1[1], point.corners[0]);
        EXPECT_EQ(point.refTri1[2], point.corners[1]);
    }
    kit.destroy(kit.mesh, kDataId, space);
}

// A flat regular grid in the XY plane whose host normals are +Z: probes along Y, so the tangent is Y,
// the second axis Y x Z = X and the normal Z, at every point. On a 2 x 2 grid the only smoothed point
// is the centre, at the origin, so the frames are exact; on larger grids the interior points drift by
// the single-precision factor (1 + 1.5e-8), and so do the frames.
TEST(TangentSpace, FlatGridFramesAreTheAxes) {
    const Matrix expected = {0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (auto [columns, rows, tolerance] : {std::tuple{2, 2, 0.0}, {4, 3, 1e-7}, {7, 5, 1e-7}}) {
        SCOPED_TRACE(columns);
        Kit kit;
        kit.add(vhost::MakeGrid(columns, rows, columns, rows));
        TangentSpace *space = kit.create(kit.mesh, kDataId);
        const vhost::Mesh &mesh = kit.hostMesh();
        for (int32_t p = 0; p < space->numPoints; ++p) {
            const Matrix m = kit.matrix(space, p);
            for (int k = 0; k < 16; ++k) EXPECT_NEAR(m[k], expected[k], tolerance) << p << " " << k;
            const TangentPoint &point = space->points[p];
            EXPECT_EQ(point.position[2], 0.0);
            // Fewer than four neighbours (the border): the loaded position survives both passes.
            for (int k = 0; k < 2; ++k)
                EXPECT_NEAR(point.position[k], mesh.current[static_cast<size_t>(p)][k],
                            point.numNeighbours < 4 ? 0.0 : tolerance);
        }
        if (columns == 4) {
            // Interior point 6 (stride 5): probe 1 lies on the point above, in the corner triangles of
            // both upper quads at distance 0, and the earlier polygon keeps it; probe 2 likewise below.
            const TangentPoint &point = space->points[6];
            EXPECT_EQ((std::array<uint32_t, 3>{point.refTri1[0], point.refTri1[1], point.refTri1[2]}),
                      (std::array<uint32_t, 3>{6, 11, 5}));
            EXPECT_EQ((std::array<uint32_t, 3>{point.refTri2[0], point.refTri2[1], point.refTri2[2]}),
                      (std::array<uint32_t, 3>{6, 5, 1}));
            const double w1[3] = {0, 1, 0}, w2[3] = {0, 0, 1};
            for (int k = 0; k < 3; ++k) {
                EXPECT_NEAR(point.refWeights1[k], w1[k], 1e-15);
                EXPECT_NEAR(point.refWeights2[k], w2[k], 1e-15);
            }
        }
        kit.destroy(kit.mesh, kDataId, space);
    }
}

// The centre of a 2 x 2 grid is the only point with four neighbours, and they do not move: each pass
// multiplies the centre's sum by 1.0f / 5 widened to double, 0.20000000298023224, not 0.2.
TEST(TangentSpace, SmoothingTakesTwoPassesWithTheSinglePrecisionFactor) {
    Kit kit;
    kit.add(vhost::MakeGrid(2, 2, 2.0, 2.0));
    kit.hostMesh().current[4] = {1.0, 2.0, 4.0};  // deformed: the evaluation loads current positions
    TangentSpace *space = kit.create(kit.mesh, kDataId);
    const double f = 0.20000000298023224;
    const double *centre = space->points[4].position;
    EXPECT_EQ(space->points[4].numNeighbours, 4);
    EXPECT_EQ(centre[0], 1.0 * f * f);
    EXPECT_EQ(centre[1], 2.0 * f * f);
    EXPECT_EQ(centre[2], 4.0 * f * f);

    kit.hostMesh().current[4] = {5.0, 0.0, 0.0};
    kit.calculate(space);  // loads once more, then smooths twice again
    EXPECT_EQ(centre[0], 5.0 * f * f);
    kit.destroy(kit.mesh, kDataId, space);
}

// On a deformed sphere every frame is orthonormal and right-handed (second axis = T x N), and the
// normal points outwards.
TEST(TangentSpace, FramesOnADeformedSphereAreOrthonormal) {
    Kit kit;
    kit.add(vhost::MakeSphere(1.0, 24, 12));
    std::mt19937_64 random(9);
    std::uniform_real_distribution<double> noise(-0.02, 0.02);
    for (auto &p : kit.hostMesh().current) p = {1.2 * p[0] + noise(random), 0.7 * p[1] + noise(random), p[2]};
    TangentSpace *space = kit.create(kit.mesh, kDataId);
    kit.calculate(space);
    for (int32_t p = 0; p < space->numPoints; ++p) {
        SCOPED_TRACE(p);
        const Matrix m = kit.matrix(space, p);
        const Triple t = Row(m, 0), s = Row(m, 1), n = Row(m, 2);
        EXPECT_NEAR(Dot(t, t), 1.0, 1e-12);
        EXPECT_NEAR(Dot(s, s), 1.0, 1e-12);
        EXPECT_NEAR(Dot(n, n), 1.0, 1e-12);
        EXPECT_NEAR(Dot(t, n), 0.0, 1e-12);
        EXPECT_NEAR(Dot(t, s), 0.0, 1e-12);
        const Triple txn = Cross(t, n);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(s[k], txn[k]);
        const double *position = space->points[p].position;
        EXPECT_GT(Dot(n, {position[0], position[1], position[2]}), 0.0);
        EXPECT_EQ((std::array<double, 4>{m[3], m[7], m[11], m[15]}), (std::array<double, 4>{0, 0, 0, 1}));
        EXPECT_EQ((std::array<double, 3>{m[12], m[13], m[14]}), (std::array<double, 3>{0, 0, 0}));
    }
    kit.destroy(kit.mesh, kDataId, space);
}

// The evaluation written plainly on a copy of the point records, positions read from the host model:
// the reference the module's evaluation must match bit for bit.
std::vector<TangentPoint> PlainEvaluate(const TangentSpace &space, const vhost::Mesh &mesh) {
    std::vector<TangentPoint> points(space.points, space.points + space.numPoints);
    auto position = [&points](uint32_t q) { return points[q].position; };
    auto normalise = [](double *v) {
        const double s = 1 / std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        for (int i = 0; i < 3; ++i) v[i] = v[i] * s;
    };
    for (size_t p = 0; p < points.size(); ++p)
        for (int i = 0; i < 3; ++i) points[p].position[i] = mesh.current[p][i];
    for (int32_t pass = 0; pass < space.passes; ++pass) {
        std::vector<Triple> next(points.size());
        for (size_t p = 0; p < points.size(); ++p) {
            const TangentPoint &point = points[p];
            Triple sum = {point.position[0], point.position[1], point.position[2]};
            if (point.numNeighbours >= 4) {
                for (int32_t k = 0; k < point.numNeighbours; ++k)
                    for (int i = 0; i < 3; ++i) sum[i] = sum[i] + position(point.neighbours[k])[i];
                const double f = static_cast<double>(1.0f / static_cast<float>(point.numNeighbours + 1));
                for (int i = 0; i < 3; ++i) sum[i] = sum[i] * f;
            }
            next[p] = sum;
        }
        for (size_t p = 0; p < points.size(); ++p)
            for (int i = 0; i < 3; ++i) points[p].position[i] = next[p][i];
    }
    for (TangentPoint &point : points) {
        double sum[3] = {0, 0, 0};
        for (int32_t j = 0; j < point.numPolys; ++j) {
            const double *a = position(point.corners[2 * j]), *b = position(point.corners[2 * j + 1]);
            const Triple u = {a[0] - point.position[0], a[1] - point.position[1], a[2] - point.position[2]};
            const Triple v = {b[0] - point.position[0], b[1] - point.position[1], b[2] - point.position[2]};
            const Triple c = Cross(u, v);
            for (int i = 0; i < 3; ++i) sum[i] = sum[i] + c[i];
        }
        if (sum[0] == 0.0 && sum[1] == 0.0 && sum[2] == 0.0) continue;
        normalise(sum);
        std::memcpy(point.normal, sum, sizeof sum);
        if (space.passes <= 0) continue;
        double d[3];
        for (int i = 0; i < 3; ++i) {
            const uint32_t *t1 = point.refTri1, *t2 = point.refTri2;
            const double *w1 = point.refWeights1, *w2 = point.refWeights2;
            const double q1 = w1[0] * position(t1[0])[i] + w1[1] * position(t1[1])[i] + w1[2] * position(t1[2])[i];
            const double q2 = w2[0] * position(t2[0])[i] + w2[1] * position(t2[1])[i] + w2[2] * position(t2[2])[i];
            d[i] = q1 - q2;
        }
        const double *n = point.normal;
        const double s = (d[0] * n[0] + d[1] * n[1] + d[2] * n[2]) / (n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        for (int i = 0; i < 3; ++i) d[i] = d[i] - s * n[i];
        if (d[0] * d[0] + d[1] * d[1] + d[2] * d[2] == 0.0) continue;
        normalise(d);
        const Triple b = Cross({d[0], d[1], d[2]}, {n[0], n[1], n[2]});
        const Matrix m = {d[0], d[1], d[2], 0, b[0], b[1], b[2], 0, n[0], n[1], n[2], 0, 0, 0, 0, 1};
        std::memcpy(point.matrix, m.data(), sizeof point.matrix);
    }
    return points;
}

// The reference triangles chosen plainly, point by point, from the host model's base positions and
// normals: the nearest (point, following, preceding) triangle to each probe, the earlier on a tie.
void ExpectPlainReferenceTriangles(const TangentSpace &space, const vhost::Mesh &mesh) {
    for (int32_t p = 0; p < space.numPoints; ++p) {
        const TangentPoint &point = space.points[p];
        const Triple &n = mesh.normals[static_cast<size_t>(p)], &at = mesh.base[static_cast<size_t>(p)];
        Triple axis;
        vantic::ProbeAxis(n.data(), axis.data());
        const double s = Dot(axis, n) / Dot(n, n);
        Triple probe[2];
        for (int i = 0; i < 3; ++i) {
            probe[0][i] = at[i] + (axis[i] - s * n[i]);
            probe[1][i] = at[i] - (axis[i] - s * n[i]);
        }
        for (int k = 0; k < 2; ++k) {
            uint32_t tri[3] = {static_cast<uint32_t>(p), 0, 0};
            double weights[3] = {0, 0, 0}, best = 0.0;
            for (int32_t j = 0; j < point.numPolys; ++j) {
                const uint32_t a = point.corners[2 * j], b = point.corners[2 * j + 1];
                double closest[3], w[3];
                const double d = vantic_PointOnTri(probe[k].data(), at.data(), mesh.base[a].data(), mesh.base[b].data(),
                                                   closest, w);
                if (j == 0 || d < best) {
                    best = d;
                    tri[1] = a;
                    tri[2] = b;
                    std::memcpy(weights, w, sizeof w);
                }
            }
            EXPECT_EQ(std::memcmp(tri, k == 0 ? point.refTri1 : point.refTri2, sizeof tri), 0) << p;
            EXPECT_EQ(std::memcmp(weights, k == 0 ? point.refWeights1 : point.refWeights2, sizeof weights), 0) << p;
        }
    }
}

// Evaluates the space through the module: positions, normals and frames are the plain evaluation's,
// bit for bit.
void ExpectPlainEvaluation(Kit &kit, TangentSpace *space) {
    const std::vector<TangentPoint> expected = PlainEvaluate(*space, kit.hostMesh());
    kit.calculate(space);
    for (int32_t p = 0; p < space->numPoints; ++p) {
        const TangentPoint &got = space->points[p], &want = expected[static_cast<size_t>(p)];
        EXPECT_EQ(std::memcmp(got.position, want.position, sizeof got.position), 0) << p;
        EXPECT_EQ(std::memcmp(got.normal, want.normal, sizeof got.normal), 0) << p;
        EXPECT_EQ(std::memcmp(got.matrix, want.matrix, sizeof got.matrix), 0) << p;
    }
}

// An irregular mesh (a noisy sphere with its poles' fans, a point in no polygon and a collapsed
// quad) evaluated with every smoothing count: positions, normals and frames match the plain
// evaluation bit for bit.
TEST(TangentSpace, EvaluationMatchesThePlainEvaluationBitForBit) {
    Kit kit;
    vhost::MeshData data = vhost::MakeSphere(1.0, 17, 9);
    data.points.push_back({3, 3, 3});  // in no polygon
    const int32_t first = static_cast<int32_t>(data.points.size());
    for (int i = 0; i < 4; ++i) data.points.push_back({2, 2, 2});
    data.polygons.push_back({first, first + 1, first + 2, first + 3});
    kit.add(data);
    TangentSpace *space = kit.create(kit.mesh, kDataId);
    ExpectPlainReferenceTriangles(*space, kit.hostMesh());
    std::mt19937_64 random(21);
    std::uniform_real_distribution<double> noise(-0.05, 0.05);
    for (int32_t passes : {2, 1, 3, 0}) {
        SCOPED_TRACE(passes);
        for (auto &p : kit.hostMesh().current)
            if (p[0] != 2.0) p = {p[0] + noise(random), 1.3 * p[1] + noise(random), p[2] - noise(random)};
        space->passes = passes;
        ExpectPlainEvaluation(kit, space);
    }
    kit.destroy(kit.mesh, kDataId, space);
}

// Meshes at the edges of the arithmetic: scaled far down and far up, with host normals of zero length
// (probes of not-a-number), with collapsed and needle polygons. Reference triangles and evaluation
// match the plain routines bit for bit.
TEST(TangentSpace, ExtremeMeshesMatchThePlainRoutinesBitForBit) {
    for (double scale : {1.0, 1e-150, 1e150}) {
        SCOPED_TRACE(scale);
        Kit kit;
        vhost::MeshData data = vhost::MakeGrid(5, 4, 5.0, 4.0);
        data.points[7] = data.points[8];  // a collapsed edge
        data.points[13][2] = 1e-14;        // a needle
        data.points[3][2] = 2.0;
        for (auto &p : data.points)
            for (double &x : p) x = x * scale;
        kit.add(data);
        vhost::Mesh &mesh = kit.hostMesh();
        for (size_t p = 0; p < mesh.normals.size(); p += 3) mesh.normals[p] = {0, 0, 0};
        mesh.normals[1] = {1e-300, 0, 1e-300};
        TangentSpace *space = kit.create(kit.mesh, kDataId);
        ExpectPlainReferenceTriangles(*space, mesh);
        for (auto &p : mesh.current) p = {p[0] * 1.5, p[1] - 0.5 * scale, p[2] + p[0] * p[0] / scale};
        ExpectPlainEvaluation(kit, space);
        kit.destroy(kit.mesh, kDataId, space);
    }
}

TEST(TangentSpace, PassesZeroKeepsFramesAndNegativeFetchesThemFromTheHost) {
    Kit kit;
    kit.add(vhost::MakeGrid(2, 2, 2.0, 2.0));
    TangentSpace *space = kit.create(kit.mesh, kDataId);
    const Matrix before = kit.matrix(space, 4);

    // 0: positions loaded (not smoothed), normals recomputed, frames left as they are.
    space->passes = 0;
    kit.hostMesh().current[4] = {0.5, 0.0, 1.0};
    kit.calculate(space);
    EXPECT_EQ(space->points[4].position[0], 0.5);
    EXPECT_EQ(space->points[4].position[2], 1.0);
    EXPECT_LT(space->points[1].normal[1], 0.0);  // the raised centre tilts its neighbours' normals
    EXPECT_EQ(kit.matrix(space, 4), before);

    // Negative: positions not loaded; the matrix is the host's, code 50 of item |passes|.
    const Matrix hosts = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 1, 1, 1, 1};
    kit.loaded.host.scene.channels.matrices[{3, 50}] = hosts;
    space->passes = -3;
    kit.hostMesh().current[4] = {9.0, 9.0, 9.0};
    kit.calculate(space);
    EXPECT_EQ(space->points[4].position[0], 0.5);
    for (int32_t p = 0; p < space->numPoints; ++p) EXPECT_EQ(kit.matrix(space, p), hosts) << p;
    kit.destroy(kit.mesh, kDataId, space);
}

// A point whose normal sum is zero (no polygon, or a collapsed one) or whose probes coincide keeps
// its previous normal and frame instead of taking non-finite values.
TEST(TangentSpace, DegeneratePointsKeepTheirPreviousFrame) {
    Kit kit;
    vhost::MeshData data = vhost::MakePolygon({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    data.points.push_back({5, 5, 5});  // used by no polygon
    kit.add(data);
    // Host normals across the triangle's plane: the probes lie straight above and below each corner,
    // both nearest to the corner itself, so their difference is zero.
    for (auto &n : kit.hostMesh().normals) n = {1, 0, 0};
    TangentSpace *space = kit.create(kit.mesh, kDataId);
    for (int32_t p = 0; p < 4; ++p) EXPECT_EQ(kit.matrix(space, p), kIdentity) << p;
    const double zero[3] = {0, 0, 0};
    EXPECT_EQ(std::memcmp(space->points[3].normal, zero, sizeof zero), 0);
    EXPECT_EQ(space->points[0].normal[2], 1.0);

    // Collapse the triangle: its normal sum is zero, so the normals stay.
    for (auto &p : kit.hostMesh().current) p = {2, 2, 2};
    kit.calculate(space);
    for (int32_t p = 0; p < 3; ++p) EXPECT_EQ(space->points[p].normal[2], 1.0) << p;
    for (int32_t p = 0; p < 4; ++p) EXPECT_EQ(kit.matrix(space, p), kIdentity) << p;
    kit.destroy(kit.mesh, kDataId, space);
}

TEST(TangentSpace, GetMatrixOutsideThePointsWritesNothing) {
    Kit kit;
    kit.add(vhost::MakeGrid(1, 1, 1.0, 1.0));
    TangentSpace *space = kit.create(kit.mesh, kDataId);
    Matrix sevens;
    sevens.fill(7.0);
    for (int32_t p : {-1, 4, 1000}) {
        Matrix m = sevens;
        kit.getMatrix(space, p, m.data());
        EXPECT_EQ(m, sevens) << p;
    }
    Matrix m = sevens;
    kit.getMatrix(nullptr, 0, m.data());
    EXPECT_EQ(m, sevens);
    kit.destroy(kit.mesh, kDataId, space);
}

TEST(TangentSpace, FetchAndDeleteGoThroughTheAttachment) {
    Kit kit;
    kit.add(vhost::MakeGrid(1, 1, 1.0, 1.0));
    TangentSpace *first = kit.create(kit.mesh, kDataId);
    EXPECT_EQ(kit.fetch(kit.mesh, kDataId), first);
    EXPECT_EQ(kit.fetch(kit.mesh, kDataId + 1), nullptr);
    // Delete without a record releases the attached one.
    kit.destroy(kit.mesh, kDataId, nullptr);
    EXPECT_EQ(kit.fetch(kit.mesh, kDataId), nullptr);

    // An explicit record is released even when another hangs there; that one is only detached.
    TangentSpace *loose = kit.create(kit.mesh, kDataId);
    TangentSpace *attached = kit.create(kit.mesh, kDataId);
    ASSERT_EQ(kit.fetch(kit.mesh, kDataId), attached);
    kit.destroy(kit.mesh, kDataId, loose);
    EXPECT_EQ(kit.fetch(kit.mesh, kDataId), nullptr);
    EXPECT_EQ(attached->numPoints, 4);  // still whole
    kit.destroy(kit.mesh, kDataId, attached);
    kit.destroy(kit.mesh, kDataId, nullptr);  // nothing attached, nothing given
    EXPECT_TRUE(kit.loaded.host.messages.entries.empty());
}

}  // namespace
