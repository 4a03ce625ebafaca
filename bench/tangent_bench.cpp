// Tangent-space evaluation (load, two smoothing passes, normals, frames) of a 100k-point mesh through
// the loaded module, and its creation for scale, beside their floor: one copy of the point records,
// which every evaluation reads and writes back at least once.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "loading/plugin_host.h"
#include "model/mesh.h"
#include "vanticAPI.h"

namespace {

// A 316 x 316 quad grid (100,489 points) bent into a wave, so that smoothing and frames have work.
KorrinItem WavyGrid(vhost::Host &host) {
    vhost::MeshData data = vhost::MakeGrid(316, 316, 10.0, 10.0);
    for (auto &p : data.points) p[2] = 0.3 * std::sin(p[0]) * std::cos(0.7 * p[1]);
    return vhost::AddMesh(host, "Wave", data);
}

void BM_TangentSpaceCalculate(benchmark::State &state) {
    vhost::PluginHost loaded;
    const KorrinItem mesh = WavyGrid(loaded.host);
    auto create = loaded.function<vantic_CreateTangentSpace_t>("vantic_CreateTangentSpace");
    auto calculate = loaded.function<vantic_TangentSpaceCalculate_t>("vantic_TangentSpaceCalculate");
    auto destroy = loaded.function<vantic_DeleteTangentSpace_t>("vantic_DeleteTangentSpace");
    TangentSpace *space = create(mesh, 1);
    for (auto _ : state) {
        calculate(space);
        benchmark::DoNotOptimize(space->points[0].matrix[0]);
    }
    state.counters["points"] = space->numPoints;
    state.SetItemsProcessed(state.iterations() * space->numPoints);
    destroy(mesh, 1, space);
}
BENCHMARK(BM_TangentSpaceCalculate)->Unit(benchmark::kMillisecond);

void BM_TangentSpaceCreate(benchmark::State &state) {
    vhost::PluginHost loaded;
    const KorrinItem mesh = WavyGrid(loaded.host);
    auto create = loaded.function<vantic_CreateTangentSpace_t>("vantic_CreateTangentSpace");
    auto destroy = loaded.function<vantic_DeleteTangentSpace_t>("vantic_DeleteTangentSpace");
    for (auto _ : state) {
        TangentSpace *space = create(mesh, 1);
        benchmark::DoNotOptimize(space);
        destroy(mesh, 1, space);
    }
}
BENCHMARK(BM_TangentSpaceCreate)->Unit(benchmark::kMillisecond);

void BM_RecordCopyFloor(benchmark::State &state) {
    vhost::PluginHost loaded;
    const KorrinItem mesh = WavyGrid(loaded.host);
    auto create = loaded.function<vantic_CreateTangentSpace_t>("vantic_CreateTangentSpace");
    auto destroy = loaded.function<vantic_DeleteTangentSpace_t>("vantic_DeleteTangentSpace");
    TangentSpace *space = create(mesh, 1);
    std::vector<TangentPoint> copy(static_cast<size_t>(space->numPoints));
    for (auto _ : state) {
        std::memcpy(copy.data(), space->points, copy.size() * sizeof(TangentPoint));
        benchmark::ClobberMemory();
    }
    destroy(mesh, 1, space);
}
BENCHMARK(BM_RecordCopyFloor)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
