// Per-event cost of the brush on square grids of about 10k, 100k and 1M points, each as a ratio to
// the pass over the data it cannot do without, measured in the same run (the summary at the end
// prints the ratios, from CPU time, as the machine may be shared):
//   - BaselinePoints: every point fetched once through the host. The floor of the ray-cast pick, the
//     weights (straight, and connected with a small and a large brush, whose regions cover the same
//     number of grid cells at every mesh size) and a mode-0 press through the host's mouse event
//     (pick + straight weights + drawn brush);
//   - BaselineScreen: every point fetched and projected once, and every polygon's corners read once.
//     The floor of the screen-space pick, of a mode-0 press that picks on screen (screen pick +
//     straight weights + drawn brush) and of a box drag.
// The kernels run at the widest vector width the processor runs (printed above the summary);
// VANTIC_VECTOR_WIDTH=avx2 or baseline times what a processor without the wider registers runs.
// On a machine whose speed wanders, run repetitions interleaved at random, so that a drift touches the
// floors and the events alike (the summary takes each one's median repetition):
//   brush_bench --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true --benchmark_min_time=0.1
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "geometry/vector_width.h"
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

// ---- floors: the data fetched once through the host ----

void FetchPoints(benchmark::State &state, Scene &s) {
    auto *meshPoint = vhost::ServiceAs<fxMeshPoint_fn>("fxMeshPoint");
    for (auto _ : state) {
        double p[3];
        for (int32_t i = 0; i < s.points(); ++i) {
            meshPoint(s.mesh, i, p, 1);
            benchmark::DoNotOptimize(p);
        }
    }
}

void FetchProjectedPointsAndPolygons(benchmark::State &state, Scene &s) {
    auto *meshPoint = vhost::ServiceAs<fxMeshPoint_fn>("fxMeshPoint");
    auto *toScreen = vhost::ServiceAs<fxWorldScreenConversion_fn>("fxWorldScreenConversion");
    auto *meshPoly = vhost::ServiceAs<fxMeshPoly_fn>("fxMeshPoly");
    const int32_t polygons = s.side * s.side;
    for (auto _ : state) {
        double p[3], screen[3];
        for (int32_t i = 0; i < s.points(); ++i) {
            meshPoint(s.mesh, i, p, 1);
            toScreen(p, screen, 0);
            benchmark::DoNotOptimize(screen);
        }
        int32_t corners[16], count = 0, flags = 0;
        for (int32_t j = 0; j < polygons; ++j) {
            meshPoly(s.mesh, j, corners, 16, &count, &flags, 0);
            benchmark::DoNotOptimize(corners);
        }
    }
}

// ---- the brush ----

void Press(benchmark::State &state, Scene &s, int32_t pickMode) {
    s.brush->mode = 0;
    s.brush->weightMode = 0;
    s.brush->pickMode = pickMode;
    for (auto _ : state) {
        vhost::Press(s.plugin.host, s.action, kCentreX, kCentreY, 0);
        if (s.brush->hitTarget != s.mesh) {
            state.SkipWithError("the press missed the grid");
            break;
        }
    }
    s.brush->pickMode = 0;
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

// Which floor each benchmark is measured against, by name without the size.
std::map<std::string, std::string> &FloorOf() {
    static std::map<std::string, std::string> floors;
    return floors;
}

// Every benchmark's full name, in the order registered: the summary's order.
std::vector<std::string> &Registered() {
    static std::vector<std::string> names;
    return names;
}

void Register(const std::string &name, const char *label, int32_t side, const std::string &floor, Body body) {
    const std::string full = name + "/" + label;
    Registered().push_back(full);
    if (!floor.empty()) FloorOf()[full] = floor + "/" + label;
    benchmark::RegisterBenchmark(full.c_str(), [side, body](benchmark::State &state) { body(state, SceneOf(side)); })
        ->Unit(benchmark::kMillisecond);
}

// The console table as usual, then each benchmark's CPU time as a ratio to its floor's in this run:
// with repetitions, the median of each one's repetitions.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            times_[run.benchmark_name()].push_back(run.GetAdjustedCPUTime());
        }
    }
    void summary() const {
        // The module's copy linked here chooses as the loaded one does, on the same processor.
        std::printf("\nvector width: %s\n", vantic::VectorWidthName(vantic::WidestWidth()));
        std::printf("%-32s %12s  %-28s %8s\n", "event", "CPU ms", "floor", "ratio");
        for (const std::string &name : Registered()) {
            auto floor = FloorOf().find(name);
            if (floor == FloorOf().end() || !times_.count(name)) continue;
            const double time = median(name);
            const double base = median(floor->second);
            if (!(base > 0.0))
                std::printf("%-32s %12.3f  %-28s %8s\n", name.c_str(), time, floor->second.c_str(), "(not run)");
            else
                std::printf("%-32s %12.3f  %-28s %7.2fx\n", name.c_str(), time, floor->second.c_str(), time / base);
        }
    }

private:
    // The median of a benchmark's repetitions (the upper one of an even count); 0 when it did not run.
    double median(const std::string &name) const {
        auto found = times_.find(name);
        if (found == times_.end()) return 0.0;
        std::vector<double> sorted = found->second;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }

    std::map<std::string, std::vector<double>> times_;
};

}  // namespace

int main(int argc, char **argv) {
    // 101², 317² and 1001² points. Each floor runs before the events measured against it.
    for (auto [side, label] : {std::pair{100, "10k"}, {316, "100k"}, {1000, "1M"}}) {
        const std::string points = "BaselinePoints", screen = "BaselineScreen";
        Register(points, label, side, "", &FetchPoints);
        Register(screen, label, side, "", &FetchProjectedPointsAndPolygons);
        Register("PressMode0", label, side, points, [](benchmark::State &st, Scene &s) { Press(st, s, 0); });
        Register("RayCastPick", label, side, points, &RayCast);
        Register("StraightWeights", label, side, points,
                 [](benchmark::State &st, Scene &s) { Weights(st, s, 0, 0); });
        Register("ConnectedWeights5Cells", label, side, points,
                 [](benchmark::State &st, Scene &s) { Weights(st, s, 1, 5); });
        Register("ConnectedWeights50Cells", label, side, points,
                 [](benchmark::State &st, Scene &s) { Weights(st, s, 1, 50); });
        Register("ScreenPick", label, side, screen, &ScreenPick);
        Register("PressMode0ScreenPick", label, side, screen, [](benchmark::State &st, Scene &s) { Press(st, s, 1); });
        Register("BoxDrag", label, side, screen, &BoxDrag);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.summary();
    benchmark::Shutdown();
    return 0;
}
