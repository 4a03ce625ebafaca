// Per-event cost of the brush on square grids of about 10k, 100k and 1M points, each beside a
// baseline that only fetches the mesh through the host services once (every point, or every
// triangle corner of the brush's triangle mesh), in the same run:
//   - a mode-0 press through the host's mouse event (ray-cast pick + straight weights + drawn brush)
//     against corners + points;
//   - the ray-cast pick alone against corners; the straight weights alone against points;
//   - the connected weights with a small and a large brush, whose regions cover the same number of
//     grid cells at every mesh size (their cost should follow the region, not the mesh);
//   - the screen-space pick and a box drag against every point fetched and projected once.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "loading/plugin_host.h"
#include "model/host.h"
#include "model/mesh.h"
#include "model/tools.h"
#include "model/views.h"
#include "services/service_map.h"
#include "vanticAPI.h"

namespace {

constexpr int32_t kCentreX = 320, kCentreY = 240;
constexpr const char *kKey = "BrushBench";

// One brush on one grid of side x side quads, seen head-on from `side` units away in the perspective
// view: a grid cell spans about 568 / side pixels at the centre.
struct Scene {
    explicit Scene(int32_t side) : side(side) {
        vhost::Viewport &view = plugin.host.scene.views.currentView();
        view.dolly = side;
        pixelsPerCell = (view.height / 2.0) / std::tan(view.fieldOfView / 2.0) / side;
        action = static_cast<KorrinItem>(fn<vantic_CreateBrush_t>("vantic_CreateBrush")(kKey, 1));
        brush = fn<vantic_FetchBrush_t>("vantic_FetchBrush")(action, kKey, 1);
        mesh = vhost::AddMesh(plugin.host, "grid", vhost::MakeGrid(side, side, side, side));
        fn<vantic_BrushAddTarget_t>("vantic_BrushAddTarget")(brush, mesh);
        brush->mouseX = kCentreX;
        brush->mouseY = kCentreY;
        brush->viewType = 2;
    }
    ~Scene() { fn<vantic_DeleteBrush_t>("vantic_DeleteBrush")(action, kKey, 1); }

    template <class F>
    F *fn(const char *name) const {
        return plugin.function<F>(name);
    }
    int32_t points() const { return (side + 1) * (side + 1); }

    int32_t side;
    vhost::PluginHost plugin;
    double pixelsPerCell = 1.0;
    KorrinItem action = 0, mesh = 0;
    Brush *brush = nullptr;
};

// Only one host may be alive (the services act on the newest), so the scene of one size is kept
// while the benchmarks of that size run, which are registered together.
Scene &SceneOf(int32_t side) {
    static std::unique_ptr<Scene> scene;
    if (!scene || scene->side != side) {
        scene.reset();
        scene = std::make_unique<Scene>(side);
    }
    return *scene;
}

// ---- baselines: the mesh fetched once through the host ----

// One pass over every point, and over every triangle corner, through the host.
void FetchEveryPoint(Scene &s) {
    static auto *meshPoint = vhost::ServiceAs<fxMeshPoint_fn>("fxMeshPoint");
    double p[3];
    for (int32_t i = 0; i < s.points(); ++i) {
        meshPoint(s.mesh, i, p, 1);
        benchmark::DoNotOptimize(p);
    }
}

void FetchEveryCorner(Scene &s) {
    static auto *meshPoint = vhost::ServiceAs<fxMeshPoint_fn>("fxMeshPoint");
    const TriangleMesh *mesh = s.brush->targetMeshes[0];
    double p[3];
    for (int32_t j = 0; j < mesh->polygonCount; ++j)
        for (int32_t k = 0; k < mesh->polygons[j].triangleCount; ++k)
            for (int32_t c : mesh->polygons[j].triangles[k].corners) {
                meshPoint(s.mesh, c, p, 1);
                benchmark::DoNotOptimize(p);
            }
}

void FetchPoints(benchmark::State &state, Scene &s) {
    for (auto _ : state) FetchEveryPoint(s);
}

// What the screen-space measures cannot do without: every point fetched and projected once.
void ProjectPoints(benchmark::State &state, Scene &s) {
    auto *meshPoint = vhost::ServiceAs<fxMeshPoint_fn>("fxMeshPoint");
    auto *toScreen = vhost::ServiceAs<fxWorldScreenConversion_fn>("fxWorldScreenConversion");
    for (auto _ : state) {
        double p[3], screen[3];
        for (int32_t i = 0; i < s.points(); ++i) {
            meshPoint(s.mesh, i, p, 1);
            toScreen(p, screen, 0);
            benchmark::DoNotOptimize(screen);
        }
    }
}

void FetchCorners(benchmark::State &state, Scene &s) {
    for (auto _ : state) FetchEveryCorner(s);
}

void FetchCornersAndPoints(benchmark::State &state, Scene &s) {
    for (auto _ : state) {
        FetchEveryCorner(s);
        FetchEveryPoint(s);
    }
}

// ---- the brush ----

void Press(benchmark::State &state, Scene &s) {
    s.brush->mode = 0;
    s.brush->weightMode = 0;
    for (auto _ : state) {
        vhost::Press(s.plugin.host, s.action, kCentreX, kCentreY, 0);
        if (s.brush->hitTarget != s.mesh) {
            state.SkipWithError("the press missed the grid");
            break;
        }
    }
}

void RayCast(benchmark::State &state, Scene &s) {
    s.brush->pickMode = 0;
    auto *cast = s.fn<vantic_BrushRayCast_t>("vantic_BrushRayCast");
    for (auto _ : state)
        if (!cast(s.brush)) {
            state.SkipWithError("the pick missed the grid");
            break;
        }
}

void Weights(benchmark::State &state, Scene &s, int32_t weightMode, double cells) {
    s.brush->pickMode = 0;
    s.brush->weightMode = weightMode;
    s.brush->radius = cells > 0 ? cells * s.pixelsPerCell : 100.0;
    s.fn<vantic_BrushRayCast_t>("vantic_BrushRayCast")(s.brush);
    auto *weights = s.fn<vantic_BrushCalculateWeights_t>("vantic_BrushCalculateWeights");
    for (auto _ : state) weights(s.brush);
    int32_t covered = 0;
    for (int32_t i = 0; i < s.points(); ++i) covered += s.brush->weights[0][i] > 1e-7;
    state.counters["covered"] = covered;
    s.brush->radius = 100.0;
}

void ScreenPick(benchmark::State &state, Scene &s) {
    s.brush->pickMode = 1;
    auto *cast = s.fn<vantic_BrushRayCast_t>("vantic_BrushRayCast");
    for (auto _ : state) cast(s.brush);
    s.brush->pickMode = 0;
}

void BoxDrag(benchmark::State &state, Scene &s) {
    s.brush->mode = 8;
    vhost::Host &host = s.plugin.host;
    vhost::Press(host, s.action, kCentreX - 100, kCentreY - 100, 0);
    for (auto _ : state) vhost::Drag(host, s.action, kCentreX + 100, kCentreY + 100, 0);
    vhost::Release(host, s.action, kCentreX + 100, kCentreY + 100, 0);
    s.brush->mode = 0;
}

using Body = void (*)(benchmark::State &, Scene &);

void Register(const std::string &name, int32_t side, Body body) {
    benchmark::RegisterBenchmark(name.c_str(), [side, body](benchmark::State &state) { body(state, SceneOf(side)); })
        ->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char **argv) {
    // 101², 317² and 1001² points.
    for (auto [side, label] : {std::pair{100, "10k"}, {316, "100k"}, {1000, "1M"}}) {
        const std::string at = std::string("/") + label;
        Register("BaselinePoints" + at, side, &FetchPoints);
        Register("BaselineCorners" + at, side, &FetchCorners);
        Register("BaselineCornersAndPoints" + at, side, &FetchCornersAndPoints);
        Register("BaselineProjectedPoints" + at, side, &ProjectPoints);
        Register("PressMode0" + at, side, &Press);
        Register("RayCastPick" + at, side, &RayCast);
        Register("StraightWeights" + at, side, [](benchmark::State &st, Scene &s) { Weights(st, s, 0, 0); });
        Register("ConnectedWeights5Cells" + at, side, [](benchmark::State &st, Scene &s) { Weights(st, s, 1, 5); });
        Register("ConnectedWeights50Cells" + at, side, [](benchmark::State &st, Scene &s) { Weights(st, s, 1, 50); });
        Register("ScreenPick" + at, side, &ScreenPick);
        Register("BoxDrag" + at, side, &BoxDrag);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
