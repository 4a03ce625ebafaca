// The module entry: handshake, name copy, host table binding and registration, seen from the host.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "loading/module_loader.h"
#include "loading/plugin_host.h"
#include "model/host.h"
#include "vanticAPI.h"

namespace {

using vhost::Host;
using vhost::LoadedModule;

TEST(Entry, InterfaceVersion) {
    LoadedModule module;
    EXPECT_EQ(module.api(), 0x103000);
}

// A private copy lives as long as its load, and a file that fails to load leaves no copy behind.
TEST(Entry, PrivateCopiesLeaveNothingBehind) {
    namespace fs = std::filesystem;
    const std::string prefix = "vantic-module-" + std::to_string(::getpid()) + "-";
    const auto copies = [&] {
        int n = 0;
        for (const fs::directory_entry &e : fs::directory_iterator(fs::temp_directory_path()))
            n += e.path().filename().string().rfind(prefix, 0) == 0;
        return n;
    };
    {
        LoadedModule module(true);
        EXPECT_EQ(module.api(), 0x103000);
        EXPECT_EQ(copies(), 1);
    }
    EXPECT_EQ(copies(), 0);
    const std::string notAModule = std::string(VANTIC_SOURCE_DIR) + "/examples/meshes/cube.obj";
    EXPECT_THROW(LoadedModule(true, notAModule), std::runtime_error);
    EXPECT_EQ(copies(), 0);
}

struct Refusal {
    int32_t version;
    uint64_t kind;
    int32_t expected;
};

void PrintTo(const Refusal &r, std::ostream *os) {
    *os << "version 0x" << std::hex << r.version << " kind 0x" << r.kind;
}

class Handshake : public ::testing::TestWithParam<Refusal> {};

TEST_P(Handshake, RefusesBeforeTouchingAnything) {
    Host host;
    host.version = GetParam().version;
    host.kind = GetParam().kind;
    LoadedModule module(true);
    std::memset(module.nameBuffer, 'x', sizeof module.nameBuffer);
    EXPECT_EQ(module.entry(host), GetParam().expected);
    for (char c : module.nameBuffer) ASSERT_EQ(c, 'x');
    EXPECT_TRUE(host.registry.functions.empty());
    EXPECT_TRUE(host.messages.entries.empty());
}

INSTANTIATE_TEST_SUITE_P(KindAndVersion, Handshake,
                         ::testing::Values(Refusal{0x103000, 3, VANTIC_ENTRY_WRONG_KIND},
                                           Refusal{0x103000, 0, VANTIC_ENTRY_WRONG_KIND},
                                           Refusal{0x0FFFFF, 2, VANTIC_ENTRY_OLD_VERSION},
                                           Refusal{0x1000000, 2, VANTIC_ENTRY_OLD_VERSION},
                                           // the kind is tested first
                                           Refusal{0x0FFFFF, 3, VANTIC_ENTRY_WRONG_KIND}));

TEST(Entry, AcceptsKindAndVersionVariants) {
    for (auto [version, kind] : {std::pair<int32_t, uint64_t>{0x100000, 2}, {0x103000, 0x12}, {0x1103000, 2}}) {
        Host host;
        host.version = version;
        host.kind = kind;
        LoadedModule module(true);
        std::memset(module.nameBuffer, 'x', sizeof module.nameBuffer);
        EXPECT_EQ(module.entry(host), VANTIC_ENTRY_LOADED) << std::hex << version << " " << kind;
        EXPECT_STREQ(module.nameBuffer, "vanticAPI");
        // a bounded copy of 255: the text, then zeros up to the 255th byte, the 256th untouched
        for (int i = 9; i < 255; ++i) ASSERT_EQ(module.nameBuffer[i], 0) << i;
        EXPECT_EQ(module.nameBuffer[255], 'x');
    }
}

// A service the host lacks stops the binding at that name: one message naming it, sent with the
// message service, and nothing registered.
struct Missing {
    const char *name;
    size_t lookups;  // names looked up, the missing one included
};

class MissingService : public ::testing::TestWithParam<Missing> {};

TEST_P(MissingService, StopsBindingWithOneMessage) {
    Host host;
    host.lack(GetParam().name);
    LoadedModule module(true);
    EXPECT_EQ(module.entry(host), VANTIC_ENTRY_BINDING_FAILED);
    EXPECT_EQ(host.lookups.size(), GetParam().lookups);
    ASSERT_EQ(host.messages.entries.size(), 1u);
    const auto &m = host.messages.entries[0];
    EXPECT_EQ(m.text, std::string(GetParam().name) + " could not be found!");
    EXPECT_EQ(m.code, 0x500);
    EXPECT_EQ(m.source, "vanticAPI");
    EXPECT_EQ(m.item, 0u);
    EXPECT_EQ(m.kind, "");
    EXPECT_TRUE(host.registry.functions.empty());
    EXPECT_TRUE(host.registry.modules.empty());
    EXPECT_EQ(host.stubCalls, 0);
}

INSTANTIATE_TEST_SUITE_P(Services, MissingService,
                         ::testing::Values(Missing{"fxMeshPointWeight", 2 + 61 + 8},  // 8th name of group 0x2
                                           Missing{"fxMessageProgress", 2},
                                           Missing{"fxActionOptionsClear", 700}),  // the very last
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Entry, MissingMessageServiceFailsSilently) {
    Host host;
    host.lack("fxMessageSend");
    LoadedModule module(true);
    EXPECT_EQ(module.entry(host), VANTIC_ENTRY_BINDING_FAILED);
    EXPECT_TRUE(host.messages.entries.empty());
    EXPECT_EQ(host.lookups, std::vector<std::string>{"fxMessageSend"});  // nothing else was bound
    EXPECT_TRUE(host.registry.functions.empty());
}

TEST(Entry, AttemptedGroupsAreNotRetried) {
    // Failing at fxMeshPointWeight, the 8th name of group 0x2: the message group (2 names), group
    // 0x1 (61) and the first 8 names of group 0x2 were looked up, nothing after.
    Host host;
    host.lack("fxMeshPointWeight");
    LoadedModule module(true);
    ASSERT_EQ(module.entry(host), VANTIC_ENTRY_BINDING_FAILED);
    ASSERT_EQ(host.lookups.size(), 2u + 61u + 8u);
    EXPECT_EQ(host.lookups.back(), "fxMeshPointWeight");
    // A second entry binds only the groups never attempted: it starts at group 0x4.
    Host second;
    EXPECT_EQ(module.entry(second), VANTIC_ENTRY_LOADED);
    ASSERT_EQ(second.lookups.size(), 700u - 2u - 61u - 18u);
    EXPECT_EQ(second.lookups.front(), "fxMotionNumKeys");
    EXPECT_TRUE(second.messages.entries.empty());
}

TEST(Entry, SecondBindingOfBoundGroupsDoesNothing) {
    Host host;
    LoadedModule module(true);
    ASSERT_EQ(module.entry(host), VANTIC_ENTRY_LOADED);
    EXPECT_EQ(host.lookups.size(), 700u);
    Host second;
    second.lack("fxMeshPoint");  // would fail if it were looked up again
    EXPECT_EQ(module.entry(second), VANTIC_ENTRY_LOADED);
    EXPECT_TRUE(second.lookups.empty());
    EXPECT_TRUE(second.messages.entries.empty());
    EXPECT_EQ(second.registry.functions.size(), host.registry.functions.size());
}

// What client plug-ins find after a successful entry: these functions, in this order, with these
// result-type codes, all under "General".
constexpr std::pair<const char *, int32_t> kRegistered[] = {
    {"vantic_Normalize", 14},
    {"vantic_GetViewOrigin", 14},
    {"vantic_GetViewDirection", 14},
    {"vantic_ComputeNormal", 14},
    {"vantic_BarycentricCoordinates", 9},
    {"vantic_BarycentricToWorld", 14},
    {"vantic_PointOnPlane", 2},
    {"vantic_RayIntersectPlane", 9},
    {"vantic_RayIntersectTriangle", 9},
    {"vantic_RayIntersectTriangle2", 9},
    {"vantic_RayIntersectPolygon", 9},
    {"vantic_RayIntersectTarget", 9},
    {"vantic_ComputeBestFitNormal", 14},
    {"vantic_GetNeighbourPoints", 14},
    {"vantic_EffectTargetCount", 9},
    {"vantic_PointOnTri", 2},
    {"vantic_TriangulatePolyId", 14},
    {"vantic_TriangulateTarget", 14},
    {"vantic_FreeTriangle", 14},
    {"vantic_FreeMesh", 14},
    {"vantic_CreateTangentSpace", 14},
    {"vantic_FetchTangentSpace", 14},
    {"vantic_DeleteTangentSpace", 14},
    {"vantic_TangentSpaceCalculate", 14},
    {"vantic_TangentGetMatrix", 14},
    {"vantic_CreateBrush", 9},
    {"vantic_FetchBrush", 14},
    {"vantic_DeleteBrush", 9},
    {"vantic_BrushAddTarget", 14},
    {"vantic_BrushRemoveTarget", 14},
    {"vantic_BrushFindTargetOrder", 9},
    {"vantic_BrushSelectVertex", 14},
    {"vantic_BrushDeselectVertex", 14},
    {"vantic_BrushSelectEdge", 14},
    {"vantic_BrushDeselectEdge", 14},
    {"vantic_BrushSelectPolygon", 14},
    {"vantic_BrushDeselectPolygon", 14},
    {"vantic_BrushSelectTarget", 14},
    {"vantic_BrushDeselectTarget", 14},
    {"vantic_BrushSelectAll", 14},
    {"vantic_BrushDeselectAll", 14},
    {"vantic_BrushInverSelection", 14},
    {"vantic_BrushSetSelection", 14},
    {"vantic_BrushGetSelection", 14},
    {"vantic_BrushUpdateSelection", 14},
    {"vantic_BrushRayCast", 9},
    {"vantic_BrushDragBoxSelection", 14},
    {"vantic_BrushCalculateWeights", 14},
    {"vantic_BrushCheckUndo", 14},
    {"vantic_CreateTargetList", 14},
    {"vantic_DeleteTargetList", 9},
    {"vantic_FetchTargetList", 9},
    {"vantic_TargetListAddTarget", 9},
    {"vantic_TargetListRemoveTarget", 9},
    {"vantic_TargetListReplaceTarget", 9},
    {"vantic_TargetListSwitchTargetOrder", 9},
    {"vantic_FindTargetOrder", 9},
    {"vantic_TargetListEffectUpdate", 9},
    {"vantic_SaveVectorList", 14},
    {"vantic_LoadVectorList", 14},
    {"vantic_DeleteVectorList", 14},
    {"vantic_CreateRbf", 14},
    {"vantic_DeleteRbf", 14},
    {"vantic_RbfSetDist", 14},
    {"vantic_RbfSolve", 14},
    {"vantic_RbfInterpolate", 2},
};

TEST(Entry, EntryRegistersEveryFunctionAndTheBrushModule) {
    vhost::PluginHost loaded;
    ASSERT_EQ(loaded.entryResult, VANTIC_ENTRY_LOADED);
    const auto &functions = loaded.host.registry.functions;
    ASSERT_EQ(functions.size(), std::size(kRegistered));
    for (size_t i = 0; i < functions.size(); ++i) {
        EXPECT_EQ(functions[i].name, kRegistered[i].first) << i;
        EXPECT_EQ(functions[i].resultType, kRegistered[i].second) << functions[i].name;
        EXPECT_EQ(functions[i].category, "General") << functions[i].name;
        EXPECT_EQ(functions[i].flags, 0) << functions[i].name;
        EXPECT_NE(functions[i].address, nullptr) << functions[i].name;
    }
    // One routine frees both triangle arrays and loaded vector lists.
    EXPECT_EQ(loaded.host.registry.function("vantic_FreeTriangle")->address,
              loaded.host.registry.function("vantic_DeleteVectorList")->address);

    ASSERT_EQ(loaded.host.registry.modules.size(), 1u);
    const vhost::RegisteredModule &brush = loaded.host.registry.modules[0];
    EXPECT_EQ(brush.name, "vanticBrush");
    EXPECT_EQ(brush.type, 14);
    EXPECT_EQ(brush.flags, 0x100000u);
    EXPECT_NE(brush.callback, nullptr);
    EXPECT_EQ(brush.description, "vanticBrush for other plugins like tessarine or morvalite");
    EXPECT_EQ(brush.accepted, (std::vector<std::pair<int32_t, int64_t>>{{26, -1}, {30, 256}}));
    EXPECT_EQ(brush.functionsBefore, 25u);  // after vantic_TangentGetMatrix, before vantic_CreateBrush

    EXPECT_TRUE(loaded.host.messages.entries.empty());
    EXPECT_EQ(loaded.host.stubCalls, 0);
    loaded.module.exit();
}

}  // namespace
