// Vector-list save and load of 1M vectors, in MB/s of stored text: through the loaded module and the
// simulated host's scene-file stream, and through the module's own code with a hashed in-memory stream
// (the module's share of the work), then the text codec alone, beside a plain snprintf("%f/") / atof
// round trip.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "binding/host_table.h"
#include "loading/plugin_host.h"
#include "model/host.h"
#include "model/scene_file.h"
#include "services/find_service.h"
#include "vanticAPI.h"
#include "vectorlist/vector_list.h"
#include "vectorlist/vector_list_text.h"

extern "C" int32_t korrinEntry(char *nameBuffer, KorrinFindFunction findFunction, int32_t hostVersion,
                               uint64_t hostKind);

namespace {

constexpr int32_t kVectors = 1000000;

std::vector<double> Vectors() {
    std::mt19937_64 random(1);
    std::uniform_real_distribution<double> coordinate(-100.0, 100.0);
    std::vector<double> v(3 * static_cast<size_t>(kVectors));
    for (double &c : v) c = coordinate(random);
    return v;
}

// ---- through the simulated host ----

double StoredLength(vhost::Host &host, const char *key) {
    for (const auto &value : host.scene.sceneFile.blocks.front().values)
        if (value.key == key) return value.number;
    return 0.0;
}

void BM_SaveThroughSceneFile(benchmark::State &state) {
    const std::vector<double> v = Vectors();
    vhost::PluginHost loaded;
    auto save = loaded.function<vantic_SaveVectorList_t>("vantic_SaveVectorList");
    double bytes = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        const KorrinHandle stream = vhost::BeginSave(loaded.host, "unused.scene");
        state.ResumeTiming();
        save("Points", v.data(), kVectors, stream);
        state.PauseTiming();
        bytes += StoredLength(loaded.host, "Points_0");
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_SaveThroughSceneFile)->Unit(benchmark::kMillisecond);

void BM_LoadThroughSceneFile(benchmark::State &state) {
    const std::vector<double> v = Vectors();
    vhost::PluginHost loaded;
    auto save = loaded.function<vantic_SaveVectorList_t>("vantic_SaveVectorList");
    auto load = loaded.function<vantic_LoadVectorList_t>("vantic_LoadVectorList");
    auto release = loaded.function<vantic_DeleteVectorList_t>("vantic_DeleteVectorList");
    // The load reads the save's stream as the host holds it; no file is involved.
    const KorrinHandle stream = vhost::BeginSave(loaded.host, "unused.scene");
    save("Points", v.data(), kVectors, stream);
    const double bytes = StoredLength(loaded.host, "Points_0");
    for (auto _ : state) {
        int32_t count = 0;
        double *list = load("Points", &count, stream);
        benchmark::DoNotOptimize(list);
        release(list);
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes * static_cast<double>(state.iterations())));
}
BENCHMARK(BM_LoadThroughSceneFile)->Unit(benchmark::kMillisecond);

// ---- the module's own code: the linked copy with its four stream services on a hash map ----

std::unordered_map<std::string, int32_t> g_ints;
std::unordered_map<std::string, std::string> g_strings;

int32_t SaveInt(KorrinHandle, const char *key, int32_t value, uint32_t) { return g_ints[key] = value, 1; }
int32_t SaveString(KorrinHandle, const char *key, const char *value, uint32_t) {
    g_strings[key] = value;
    return 1;
}
int32_t LoadInt(KorrinHandle, const char *key, int32_t *value) {
    auto it = g_ints.find(key);
    *value = it == g_ints.end() ? 0 : it->second;
    return it != g_ints.end();
}
int32_t LoadString(KorrinHandle, const char *key, char *buffer, int32_t maxLength) {
    auto it = g_strings.find(key);
    const size_t n = it == g_strings.end() ? 0 : std::min(it->second.size(), static_cast<size_t>(maxLength - 1));
    if (n) std::memcpy(buffer, it->second.data(), n);
    buffer[n] = 0;
    return it != g_strings.end();
}

struct HashedStream {
    vhost::Host host;
    HashedStream() {
        char name[256] = {};
        korrinEntry(name, &vhost::FindService, host.version, host.kind);
        vantic::g_hostSlots[vantic::HostSlot_fxArgSaveInt] = reinterpret_cast<void *>(&SaveInt);
        vantic::g_hostSlots[vantic::HostSlot_fxArgSaveString] = reinterpret_cast<void *>(&SaveString);
        vantic::g_hostSlots[vantic::HostSlot_fxArgLoadInt] = reinterpret_cast<void *>(&LoadInt);
        vantic::g_hostSlots[vantic::HostSlot_fxArgLoadString] = reinterpret_cast<void *>(&LoadString);
    }
};

void BM_SaveModuleOnly(benchmark::State &state) {
    const std::vector<double> v = Vectors();
    HashedStream hashed;
    for (auto _ : state) vantic_SaveVectorList("Points", v.data(), kVectors, 1);
    state.SetBytesProcessed(static_cast<int64_t>(g_ints["Points_0"]) * state.iterations());
}
BENCHMARK(BM_SaveModuleOnly)->Unit(benchmark::kMillisecond);

void BM_LoadModuleOnly(benchmark::State &state) {
    const std::vector<double> v = Vectors();
    HashedStream hashed;
    vantic_SaveVectorList("Points", v.data(), kVectors, 1);
    for (auto _ : state) {
        int32_t count = 0;
        double *list = vantic_LoadVectorList("Points", &count, 1);
        benchmark::DoNotOptimize(list);
        std::free(list);
    }
    state.SetBytesProcessed(static_cast<int64_t>(g_ints["Points_0"]) * state.iterations());
}
BENCHMARK(BM_LoadModuleOnly)->Unit(benchmark::kMillisecond);

// ---- the text codec alone, into a string and an array that are reused: no fresh memory per run ----

// Argument 0: write the text of the vectors; 1: count and read it back.
void BM_TextCodecOnly(benchmark::State &state) {
    const bool read = state.range(0) == 1;
    const std::vector<double> v = Vectors();
    std::string text;
    vantic::AppendVectorListText(text, v.data(), kVectors);
    std::vector<double> back(v.size());
    for (auto _ : state) {
        if (read) {
            vantic::ParseVectorListText(text, back.data(), vantic::VectorListTextCount(text));
            benchmark::DoNotOptimize(back.data());
        } else {
            text.clear();
            vantic::AppendVectorListText(text, v.data(), kVectors);
            benchmark::DoNotOptimize(text.data());
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(text.size()) * state.iterations());
    state.SetLabel(read ? "read" : "write");
}
BENCHMARK(BM_TextCodecOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// ---- baseline: every component through snprintf("%f/") into one string, then back with atof ----

void BM_PrintfAtofBaseline(benchmark::State &state) {
    const std::vector<double> v = Vectors();
    double bytes = 0.0;
    for (auto _ : state) {
        std::string text;
        char buffer[400];
        for (double c : v) text.append(buffer, static_cast<size_t>(std::snprintf(buffer, sizeof buffer, "%f/", c)));
        std::vector<double> back(v.size());
        size_t k = 0, start = 0;
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == '/') {
                text[i] = 0;
                back[k++] = std::atof(text.c_str() + start);
                start = i + 1;
            }
        benchmark::DoNotOptimize(back.data());
        bytes += static_cast<double>(text.size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    state.SetLabel("write and read, per byte of text");
}
BENCHMARK(BM_PrintfAtofBaseline)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
