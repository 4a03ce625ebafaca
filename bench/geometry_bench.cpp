// Triangulation of large polygons, and the brute-force mesh ray cast beside a baseline that tests
// the same triangles straight from memory (no host calls, no triangulation).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "geometry/triangulation.h"
#include "geometry/vector_primitives.h"
#include "loading/plugin_host.h"
#include "model/host.h"
#include "model/mesh.h"
#include "vanticAPI.h"

namespace {

// The triangulator's tolerances are absolute (1e-4), so the polygons are drawn large enough that
// neighbouring corners of a 4096-gon still make a convex corner by more than that.
constexpr double kRadius = 1000.0;

// n corners on a circle (convex), or alternating between the circle and 0.6 of it (star-shaped
// around the centre, every second corner reflex).
std::vector<double> Polygon(int n, bool star) {
    std::vector<double> points;
    for (int i = 0; i < n; ++i) {
        const double angle = 2 * M_PI * i / n;
        const double r = (star && i % 2 == 1) ? 0.6 * kRadius : kRadius;
        points.insert(points.end(), {r * std::cos(angle), r * std::sin(angle), 0.0});
    }
    return points;
}

void Triangulation(benchmark::State &state, bool star) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> points = Polygon(n, star);
    const double normal[3] = {0, 0, 1};
    std::vector<Triangle> out(static_cast<size_t>(n - 2));
    for (auto _ : state) {
        const int32_t count = vantic::Triangulate(n, points.data(), normal, out.data());
        if (count != n - 2) {
            state.SkipWithError("the polygon was not fully triangulated");
            break;
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetComplexityN(n);
}

void BM_TriangulateConvex(benchmark::State &state) { Triangulation(state, false); }
void BM_TriangulateStar(benchmark::State &state) { Triangulation(state, true); }
BENCHMARK(BM_TriangulateConvex)->RangeMultiplier(4)->Range(16, 4096)->Complexity(benchmark::oNSquared)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TriangulateStar)->RangeMultiplier(4)->Range(16, 4096)->Complexity(benchmark::oNSquared)->Unit(benchmark::kMicrosecond);

// 100,000 triangles on a 250 x 200 grid: either 50,000 quads the cast triangulates on every call
// (range 4) or the same surface as 100,000 triangle polygons (range 3).
vhost::MeshData HundredThousandTriangles(bool quads) {
    vhost::MeshData grid = vhost::MakeGrid(250, 200, 250, 200);
    if (quads) return grid;
    std::vector<std::vector<int32_t>> triangles;
    for (const auto &q : grid.polygons) {
        triangles.push_back({q[0], q[1], q[2]});
        triangles.push_back({q[2], q[3], q[0]});
    }
    grid.polygons = std::move(triangles);
    return grid;
}

const double kOrigin[3] = {10.3, -20.7, 10}, kDown[3] = {0, 0, -1};

void BM_RayIntersectTarget(benchmark::State &state) {
    vhost::PluginHost loaded;
    const KorrinItem mesh = vhost::AddMesh(loaded.host, "grid", HundredThousandTriangles(state.range(0) == 4));
    auto *cast = loaded.function<vantic_RayIntersectTarget_t>("vantic_RayIntersectTarget");
    for (auto _ : state) {
        double t, weights[3];
        int32_t poly, points[3];
        if (!cast(kOrigin, kDown, mesh, &t, &poly, points, weights, 0)) {
            state.SkipWithError("the ray missed the grid");
            break;
        }
        benchmark::DoNotOptimize(t);
    }
    state.counters["triangles"] = 100000;
}
BENCHMARK(BM_RayIntersectTarget)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);

// The baseline: the same 100,000 triangles already in one array, each tested once with the same
// triangle test, keeping the nearest hit.
void BM_RayBaselineFlatTriangles(benchmark::State &state) {
    const vhost::MeshData grid = HundredThousandTriangles(false);
    std::vector<double> corners;
    for (const auto &t : grid.polygons)
        for (int32_t p : t) corners.insert(corners.end(), grid.points[static_cast<size_t>(p)].begin(),
                                           grid.points[static_cast<size_t>(p)].end());
    const size_t count = grid.polygons.size();
    for (auto _ : state) {
        double best = -1.0;
        for (size_t i = 0; i < count; ++i) {
            const double *c = &corners[9 * i];
            double t, weights[3];
            if (vantic_RayIntersectTriangle(kOrigin, kDown, c, c + 3, c + 6, &t, weights, 0) &&
                (best == -1.0 || (0 < t && t < best)))
                best = t;
        }
        if (best == -1.0) {
            state.SkipWithError("the ray missed the grid");
            break;
        }
        benchmark::DoNotOptimize(best);
    }
}
BENCHMARK(BM_RayBaselineFlatTriangles)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
