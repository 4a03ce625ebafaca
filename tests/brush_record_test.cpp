// The brush record through the loaded module: creation with its host items, targets, deletion.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

#include "address_space_limit.h"
#include "brush/brush.h"
#include "entry/registration.h"
#include "korrin_host_services.h"
#include "linked_module.h"
#include "loading/plugin_host.h"
#include "model/host.h"
#include "model/mesh.h"
#include "model/tools.h"
#include "services/find_service.h"
#include "vanticAPI.h"

// The allocation-failure test runs out of address space on purpose: the sanitizer's allocator must
// then answer null, as the C runtime does, instead of stopping the process.
extern "C" const char *__asan_default_options() { return "allocator_may_return_null=1"; }

namespace {

using vhost::MakeGrid;

constexpr const char *kKey = "ClientBrushKey";
constexpr int32_t kDataId = 3;

class BrushRecord : public ::testing::Test {
protected:
    vhost::PluginHost plugin;
    vhost::Host &host = plugin.host;
    vantic_CreateBrush_t *createBrush = plugin.function<vantic_CreateBrush_t>("vantic_CreateBrush");
    vantic_FetchBrush_t *fetchBrush = plugin.function<vantic_FetchBrush_t>("vantic_FetchBrush");
    vantic_DeleteBrush_t *deleteBrush = plugin.function<vantic_DeleteBrush_t>("vantic_DeleteBrush");
    vantic_BrushAddTarget_t *addTarget = plugin.function<vantic_BrushAddTarget_t>("vantic_BrushAddTarget");
    vantic_BrushRemoveTarget_t *removeTarget = plugin.function<vantic_BrushRemoveTarget_t>("vantic_BrushRemoveTarget");
    vantic_BrushFindTargetOrder_t *findOrder =
        plugin.function<vantic_BrushFindTargetOrder_t>("vantic_BrushFindTargetOrder");

    Brush *NewBrush() {
        action = createBrush(kKey, kDataId);
        return fetchBrush(action, kKey, kDataId);
    }
    void TearDown() override {
        if (action) deleteBrush(action, kKey, kDataId);
    }
    KorrinItem Grid(int32_t columns, int32_t rows) {
        return vhost::AddMesh(host, "grid", MakeGrid(columns, rows, 1.0, 1.0));
    }
    std::vector<uint8_t> &HostSelection(KorrinItem mesh) { return host.scene.meshes.find(mesh)->selected; }

    KorrinItem action = 0;
};

TEST_F(BrushRecord, NewBrushFieldsAndHostItems) {
    const KorrinItem mesh = Grid(1, 1);
    host.scene.items.current = mesh;
    host.scene.items.find(mesh)->selected = true;

    Brush *brush = NewBrush();
    ASSERT_NE(brush, nullptr);
    EXPECT_EQ(brush->action, action);
    EXPECT_EQ(brush->mode, 1);
    EXPECT_EQ(brush->pickMode, 0);
    EXPECT_EQ(brush->weightMode, 0);
    EXPECT_EQ(brush->radius, 100.0);
    EXPECT_EQ(brush->falloff, 1.0);
    EXPECT_EQ(brush->targetCount, 0);
    EXPECT_EQ(brush->targetIds, nullptr);
    EXPECT_EQ(brush->selection, nullptr);
    EXPECT_EQ(brush->weights, nullptr);
    EXPECT_EQ(brush->targetMeshes, nullptr);
    EXPECT_EQ(brush->boxSelection, nullptr);
    EXPECT_EQ(brush->hitTarget, 0u);
    EXPECT_EQ(brush->undoIndex, 0);
    EXPECT_EQ(brush->undoStore, nullptr);
    EXPECT_EQ(brush->undoLevels, 0);
    for (uint32_t word : brush->reserved) EXPECT_EQ(word, 0u);

    // The attachment remembers the client's key (the very pointer) and data id.
    auto *attachment = static_cast<vantic::BrushAttachment *>(host.data.get(action, "BrushPointerUsedToAttachData", 0));
    ASSERT_NE(attachment, nullptr);
    EXPECT_EQ(attachment->key, reinterpret_cast<uint64_t>(kKey));
    EXPECT_EQ(attachment->dataId, kDataId);
    EXPECT_EQ(host.data.get(action, kKey, kDataId), brush);

    // Armature, handle and action.
    const vhost::Item *armature = host.scene.items.find(brush->armature);
    ASSERT_NE(armature, nullptr);
    EXPECT_EQ(armature->name, "BrushSystem(antitrademark)");
    const vhost::Item *handleItem = host.scene.items.find(brush->handle);
    ASSERT_NE(handleItem, nullptr);
    EXPECT_EQ(handleItem->name, "BrushHandle");
    const vhost::Handle *handle = vhost::FindHandle(host, brush->handle);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(handle->armature, brush->armature);
    EXPECT_EQ(handle->parent, brush->armature);
    EXPECT_EQ(handle->icon, "");
    EXPECT_EQ(handle->activeIcon, "");
    EXPECT_EQ(handle->pixelLow, 0.1);
    EXPECT_EQ(handle->pixelHigh, 2560.0);
    EXPECT_EQ(handle->posType, 1);
    EXPECT_EQ(handle->hAlign, 1);
    EXPECT_EQ(handle->vAlign, 1);
    EXPECT_EQ(handle->position, (std::array<double, 3>{0.0, 0.0, 0.0}));
    const vhost::Action *hostAction = vhost::FindAction(host, action);
    ASSERT_NE(hostAction, nullptr);
    EXPECT_EQ(hostAction->handle, brush->handle);
    EXPECT_EQ(hostAction->moduleType, 2);
    EXPECT_EQ(hostAction->module, "vanticBrush");

    // The tool object: drawn as edges, unparented, the previous object current again, none selected.
    const vhost::Item *tool = host.scene.items.find(brush->toolObject);
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(tool->kind, vhost::ItemKind::Tool);
    EXPECT_EQ(host.scene.tools.toolTypes[brush->toolObject], "Procedural");
    EXPECT_EQ(tool->drawMode, "Edges");
    EXPECT_EQ(tool->parent, 0u);
    EXPECT_EQ(host.scene.items.current, mesh);
    EXPECT_FALSE(host.scene.items.find(mesh)->selected);

    const vhost::ObjectChannels &channels = host.scene.channels.objects[brush->toolObject];
    for (int32_t code = 0; code < 20; ++code) {
        auto option = channels.options.find(code);
        ASSERT_NE(option, channels.options.end()) << code;
        EXPECT_EQ(option->second, 1u) << code;
    }
    const struct {
        int32_t code;
        double value;
    } start[] = {{12, 1.0}, {14, 1.0}, {16, 1.0}, {13, 0.0}, {15, 0.0}, {18, 0.0}, {17, 0.01}, {19, 0.25}};
    for (const auto &c : start) {
        auto value = channels.values.find(c.code);
        auto key = channels.keys.find({0, c.code});
        ASSERT_NE(value, channels.values.end()) << c.code;
        ASSERT_NE(key, channels.keys.end()) << c.code;
        EXPECT_EQ(value->second[0], c.value) << c.code;
        EXPECT_EQ(key->second[0], c.value) << c.code;
    }

    // Every host call went to a service the host knows, with an expression it understands.
    for (const vhost::Message &m : host.messages.entries) ADD_FAILURE() << m.source << ": " << m.text;
}

TEST_F(BrushRecord, NewBrushTakesTheCurrentViewType) {
    std::vector<std::pair<std::string, int32_t>> views;
    for (const vhost::Viewport &view : host.scene.views.viewports) views.emplace_back(view.name, view.type);
    ASSERT_GE(views.size(), 3u);
    for (const auto &[name, type] : views) {
        host.scene.views.current = name;
        const KorrinItem made = createBrush(kKey, kDataId);
        Brush *brush = fetchBrush(made, kKey, kDataId);
        ASSERT_NE(brush, nullptr) << name;
        EXPECT_EQ(brush->viewType, type) << name;
        EXPECT_EQ(deleteBrush(made, kKey, kDataId), 1);
    }
}

TEST_F(BrushRecord, FindTargetOrderFollowsAdditionOrder) {
    Brush *brush = NewBrush();
    const KorrinItem first = Grid(1, 1), second = Grid(2, 1);
    EXPECT_EQ(findOrder(brush, first), -1);
    addTarget(brush, second);
    addTarget(brush, first);
    EXPECT_EQ(findOrder(brush, second), 0);
    EXPECT_EQ(findOrder(brush, first), 1);
    EXPECT_EQ(findOrder(brush, 999), -1);
    EXPECT_EQ(findOrder(nullptr, first), -1);
}

TEST_F(BrushRecord, AddTargetSizesArraysFromThePointCount) {
    Brush *brush = NewBrush();
    const KorrinItem grid = Grid(3, 2);  // 12 points, 6 quads
    addTarget(brush, grid);
    ASSERT_EQ(brush->targetCount, 1);
    EXPECT_EQ(brush->targetIds[0], grid);
    int32_t **selectionArray = brush->selection;
    int32_t *flags = brush->selection[0];
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(flags[i], 0);
        EXPECT_EQ(brush->weights[0][i], 0.0);
    }
    ASSERT_NE(brush->targetMeshes[0], nullptr);
    EXPECT_EQ(brush->targetMeshes[0]->polygonCount, 6);

    // Adding it again changes nothing.
    addTarget(brush, grid);
    EXPECT_EQ(brush->targetCount, 1);
    EXPECT_EQ(brush->selection, selectionArray);
    EXPECT_EQ(brush->selection[0], flags);
}

TEST_F(BrushRecord, FirstTargetKeepsTheHostSelectionLaterOnesAreCleared) {
    Brush *brush = NewBrush();
    const KorrinItem first = Grid(1, 1), second = Grid(1, 1);
    HostSelection(first)[2] = 1;
    HostSelection(second)[2] = 1;
    addTarget(brush, first);
    EXPECT_EQ(HostSelection(first)[2], 1);
    addTarget(brush, second);
    EXPECT_EQ(HostSelection(second)[2], 0);
    EXPECT_EQ(HostSelection(first)[2], 1);
}

TEST_F(BrushRecord, RemovingTheMiddleTargetKeepsTheOthersWithTheirArrays) {
    Brush *brush = NewBrush();
    const KorrinItem ids[3] = {Grid(1, 1), Grid(2, 1), Grid(3, 1)};
    for (KorrinItem id : ids) addTarget(brush, id);
    int32_t *flags[3];
    double *weights[3];
    TriangleMesh *meshes[3];
    for (int t = 0; t < 3; ++t) {
        flags[t] = brush->selection[t];
        weights[t] = brush->weights[t];
        meshes[t] = brush->targetMeshes[t];
        flags[t][1] = 10 + t;
        weights[t][1] = 0.5 + t;
    }

    removeTarget(brush, 12345);  // not a target: nothing changes
    EXPECT_EQ(brush->targetCount, 3);

    removeTarget(brush, ids[1]);
    ASSERT_EQ(brush->targetCount, 2);
    const int kept[2] = {0, 2};
    for (int i = 0; i < 2; ++i) {
        const int t = kept[i];
        EXPECT_EQ(brush->targetIds[i], ids[t]);
        EXPECT_EQ(brush->selection[i], flags[t]);
        EXPECT_EQ(brush->weights[i], weights[t]);
        EXPECT_EQ(brush->targetMeshes[i], meshes[t]);
        EXPECT_EQ(brush->selection[i][1], 10 + t);
        EXPECT_EQ(brush->weights[i][1], 0.5 + t);
        EXPECT_EQ(findOrder(brush, ids[t]), i);
    }
    EXPECT_EQ(findOrder(brush, ids[1]), -1);

    removeTarget(brush, ids[0]);
    removeTarget(brush, ids[2]);
    EXPECT_EQ(brush->targetCount, 0);
    EXPECT_EQ(brush->targetIds, nullptr);
    EXPECT_EQ(brush->selection, nullptr);
    EXPECT_EQ(brush->weights, nullptr);
    EXPECT_EQ(brush->targetMeshes, nullptr);

    // An emptied brush takes targets again.
    addTarget(brush, ids[1]);
    EXPECT_EQ(brush->targetCount, 1);
    EXPECT_EQ(findOrder(brush, ids[1]), 0);
}

// A client may put its own calloc'd arrays into the record: the module fills them, moves them on a
// removal like its own, and never frees them; its own arrays it frees however the record was changed.
TEST_F(BrushRecord, ClientArraysAreUsedButNeverFreed) {
    Brush *brush = NewBrush();
    const KorrinItem ids[3] = {Grid(1, 1), Grid(1, 1), Grid(1, 1)};  // 4 points each
    for (KorrinItem id : ids) addTarget(brush, id);
    auto *flags = static_cast<int32_t *>(std::calloc(4, sizeof(int32_t)));
    auto *weights = static_cast<double *>(std::calloc(4, sizeof(double)));
    brush->selection[1] = flags;
    brush->weights[2] = weights;
    brush->selection[2][3] = 1;

    plugin.function<vantic_BrushSelectAll_t>("vantic_BrushSelectAll")(brush);
    EXPECT_EQ(flags[3], 1);
    int32_t *copy = plugin.function<vantic_BrushGetSelection_t>("vantic_BrushGetSelection")(brush, ids[1]);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy[3], 1);
    std::free(copy);

    removeTarget(brush, ids[1]);  // takes the client's flags out of the record, does not free them
    ASSERT_EQ(brush->targetCount, 2);
    EXPECT_EQ(brush->weights[1], weights);
    addTarget(brush, ids[1]);
    EXPECT_EQ(brush->weights[1], weights);
    EXPECT_EQ(deleteBrush(action, kKey, kDataId), 1);
    action = 0;
    // Both arrays are still the client's: writing and freeing them is fine (the sanitizers check).
    flags[0] = 1;
    weights[0] = 1.0;
    std::free(flags);
    std::free(weights);
}

// A targetCount above the targets the module added reaches no further than they do; one below them
// hides the rest without leaking them.
TEST_F(BrushRecord, ChangedTargetCountReachesOnlyTheModulesTargets) {
    Brush *brush = NewBrush();
    const KorrinItem ids[3] = {Grid(1, 1), Grid(2, 1), Grid(1, 1)};
    addTarget(brush, ids[0]);
    addTarget(brush, ids[1]);
    brush->targetCount = 1000;
    auto call = [&](const char *name) { plugin.function<void(Brush *)>(name)(brush); };
    for (const char *name : {"vantic_BrushSelectAll", "vantic_BrushInverSelection", "vantic_BrushUpdateSelection",
                             "vantic_BrushDeselectAll", "vantic_BrushCalculateWeights"})
        call(name);
    brush->hitTarget = ids[1];
    brush->weightMode = 1;
    call("vantic_BrushCalculateWeights");
    EXPECT_EQ(plugin.function<vantic_BrushRayCast_t>("vantic_BrushRayCast")(brush), 0);
    EXPECT_EQ(findOrder(brush, ids[2]), -1);

    // Adding takes the module's count, not the client's.
    addTarget(brush, ids[2]);
    ASSERT_EQ(brush->targetCount, 3);
    EXPECT_EQ(brush->targetIds[2], ids[2]);
    EXPECT_EQ(findOrder(brush, ids[2]), 2);

    brush->targetCount = 1;
    EXPECT_EQ(findOrder(brush, ids[1]), -1);
    addTarget(brush, ids[1]);  // the hidden targets' arrays are freed, not lost
    ASSERT_EQ(brush->targetCount, 2);
    EXPECT_EQ(brush->targetIds[1], ids[1]);
    brush->targetCount = 0;
    // TearDown deletes the brush: every array the module made is freed (the leak check sees it).
}

TEST_F(BrushRecord, TargetWithoutPolygonsHasNoTriangleMesh) {
    Brush *brush = NewBrush();
    vhost::MeshData cloud;
    cloud.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const KorrinItem points = vhost::AddMesh(host, "cloud", cloud);
    const KorrinItem grid = Grid(1, 1);
    addTarget(brush, grid);
    addTarget(brush, points);
    ASSERT_EQ(brush->targetCount, 2);
    EXPECT_EQ(brush->targetMeshes[1], nullptr);
    removeTarget(brush, points);
    addTarget(brush, points);
    EXPECT_EQ(brush->targetCount, 2);
    // Deleting the brush (in TearDown) frees the null entry too.
}

TEST_F(BrushRecord, DeleteClearsHostSelectionsAndRemovesItsHostItems) {
    Brush *brush = NewBrush();
    const KorrinItem first = Grid(1, 1), second = Grid(1, 1), other = Grid(1, 1);
    addTarget(brush, first);
    addTarget(brush, second);
    HostSelection(first)[0] = 1;
    HostSelection(second)[3] = 1;
    HostSelection(other)[1] = 1;
    const KorrinItem tool = brush->toolObject, armature = brush->armature, handle = brush->handle;

    EXPECT_EQ(deleteBrush(action, "SomeOtherKey", kDataId), 0);
    EXPECT_EQ(deleteBrush(action, kKey, kDataId + 1), 0);
    EXPECT_TRUE(host.scene.items.exists(tool));

    EXPECT_EQ(deleteBrush(action, kKey, kDataId), 1);
    EXPECT_EQ(HostSelection(first), std::vector<uint8_t>(4, 0));
    EXPECT_EQ(HostSelection(second), std::vector<uint8_t>(4, 0));
    EXPECT_EQ(HostSelection(other)[1], 1);
    EXPECT_EQ(host.scene.tools.deleted, std::vector<KorrinItem>{tool});
    EXPECT_EQ(host.scene.tools.deleteBrackets, 0);
    EXPECT_FALSE(host.scene.items.exists(tool));
    EXPECT_FALSE(host.scene.items.exists(armature));
    EXPECT_FALSE(host.scene.items.exists(handle));
    EXPECT_EQ(host.data.get(action, kKey, kDataId), nullptr);
    EXPECT_EQ(host.data.get(action, "BrushPointerUsedToAttachData", 0), nullptr);
    EXPECT_EQ(host.data.size(), 0u);

    EXPECT_EQ(deleteBrush(action, kKey, kDataId), 0);
    action = 0;
}

// The marks of a box drag are per target too: a target removed mid-drag takes its marks along, one
// added mid-drag has none, and a brush deleted mid-drag frees them.
TEST_F(BrushRecord, TargetsChangedDuringABoxDrag) {
    Brush *brush = NewBrush();
    brush->mode = 8;
    const KorrinItem ids[4] = {Grid(1, 1), Grid(2, 1), Grid(3, 1), Grid(1, 2)};
    for (int t = 0; t < 3; ++t) addTarget(brush, ids[t]);
    vhost::Press(host, action, 10, 10, 0);
    ASSERT_NE(brush->boxSelection, nullptr);
    int32_t *marks[3];
    for (int t = 0; t < 3; ++t) ASSERT_NE(marks[t] = brush->boxSelection[t], nullptr);

    removeTarget(brush, ids[1]);
    EXPECT_EQ(brush->boxSelection[0], marks[0]);
    EXPECT_EQ(brush->boxSelection[1], marks[2]);
    EXPECT_EQ(brush->boxSelection[2], nullptr);
    addTarget(brush, ids[3]);
    EXPECT_EQ(brush->boxSelection[2], nullptr);

    vhost::Drag(host, action, 600, 400, 0);
    vhost::Release(host, action, 600, 400, 0);
    EXPECT_EQ(brush->boxSelection, nullptr);

    vhost::Press(host, action, 10, 10, 0);
    ASSERT_NE(brush->boxSelection, nullptr);
    removeTarget(brush, ids[0]);
    removeTarget(brush, ids[2]);
    removeTarget(brush, ids[3]);
    EXPECT_EQ(brush->boxSelection[0], nullptr);
    addTarget(brush, ids[1]);
    vhost::Drag(host, action, 600, 400, 0);
    // TearDown deletes the brush in the middle of this drag.
}

// ---- allocation failure, through the module's own objects bound to a host with an enormous mesh ----
// Not on Windows: it caps the process's address space with setrlimit, which Windows lacks.
#if !defined(_WIN32)

constexpr KorrinItem kHugeMesh = 0x7FFFFF00u;
constexpr int32_t kHugePoints = 50'000'000;  // 200 MB of flags, 400 MB of weights
fxMeshNumPoints_fn *g_hostNumPoints = nullptr;

int32_t HugeMeshNumPoints(KorrinItem mesh, int32_t *count, int32_t flags) {
    if (mesh != kHugeMesh) return g_hostNumPoints(mesh, count, flags);
    *count = kHugePoints;
    return 1;
}

void *FindServiceWithHugeMesh(const char *name, uint32_t group) {
    void *service = vhost::FindService(name, group);
    if (std::strcmp(name, "fxMeshNumPoints") != 0) return service;
    g_hostNumPoints = reinterpret_cast<fxMeshNumPoints_fn *>(service);
    return reinterpret_cast<void *>(&HugeMeshNumPoints);
}

TEST(BrushRecordAllocation, FailedTargetAllocationLeavesTheBrushAsItWas) {
    vhost::Host host;
    char name[256] = {};
    ASSERT_EQ(korrinEntry(name, &FindServiceWithHugeMesh, host.version, host.kind), 0);
    const KorrinItem grid = vhost::AddMesh(host, "grid", MakeGrid(1, 1, 1.0, 1.0));
    const KorrinItem action = vantic_CreateBrush(kKey, kDataId);
    Brush *brush = vantic_FetchBrush(action, kKey, kDataId);
    ASSERT_NE(brush, nullptr);
    vantic_BrushAddTarget(brush, grid);
    const Brush before = *brush;
    int32_t *flags = brush->selection[0];
    host.scene.meshes.find(grid)->selected[1] = 1;

    // The flags fit in what is left, the weights do not.
    EXPECT_EXIT(
        {
            LimitAddressSpace(300u << 20);
            vantic_BrushAddTarget(brush, kHugeMesh);
            const bool unchanged = brush->targetCount == 1 && brush->targetIds == before.targetIds &&
                                   brush->selection == before.selection && brush->weights == before.weights &&
                                   brush->targetMeshes == before.targetMeshes && brush->selection[0] == flags &&
                                   brush->targetIds[0] == grid;
            std::_Exit(unchanged ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(vantic_DeleteBrush(action, kKey, kDataId), 1);
}

// What a registered function throws ends at the guard it is entered through, as its failure result:
// a C caller has no way to catch it.
int32_t RunsOutOfMemory(int32_t) { throw std::bad_alloc(); }
double *ThrowsAnything(const double *) { throw std::runtime_error("deep inside"); }
int32_t Answers(int32_t x) { return x + 1; }

TEST(BrushRecordAllocation, GuardTurnsAnEscapingExceptionIntoTheFailureResult) {
    EXPECT_EQ(vantic::Guarded<&RunsOutOfMemory>::call(3), 0);
    EXPECT_EQ(vantic::Guarded<&ThrowsAnything>::call(nullptr), nullptr);
    EXPECT_EQ(vantic::Guarded<&Answers>::call(3), 4);
}

// The registered functions run out of memory as C clients need them to, never throwing into the
// caller: the screen-space pick over a mesh whose projected points do not fit still answers, projecting
// each polygon's corners where it needs them.
TEST(BrushRecordAllocation, RegisteredFunctionsEndWithoutThrowingWhenMemoryRunsOut) {
    SKIP_WHERE_NEW_CANNOT_THROW();
    vhost::Host host;
    char name[256] = {};
    ASSERT_EQ(korrinEntry(name, &FindServiceWithHugeMesh, host.version, host.kind), 0);
    auto *createBrush = host.function<vantic_CreateBrush_t>("vantic_CreateBrush");
    auto *fetchBrush = host.function<vantic_FetchBrush_t>("vantic_FetchBrush");
    auto *addTarget = host.function<vantic_BrushAddTarget_t>("vantic_BrushAddTarget");
    auto *rayCast = host.function<vantic_BrushRayCast_t>("vantic_BrushRayCast");
    ASSERT_TRUE(createBrush && fetchBrush && addTarget && rayCast);
    const KorrinItem action = createBrush(kKey, kDataId);
    Brush *brush = fetchBrush(action, kKey, kDataId);
    ASSERT_NE(brush, nullptr);
    addTarget(brush, kHugeMesh);
    ASSERT_EQ(brush->targetCount, 1);
    brush->pickMode = VANTIC_PICK_SCREEN;
    EXPECT_EXIT(
        {
            LimitAddressSpace(300u << 20);  // the projected points alone would take 800 MB
            std::_Exit(rayCast(brush) == 1 && brush->hitTarget == kHugeMesh && brush->hitPoint == 0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(vantic_DeleteBrush(action, kKey, kDataId), 1);
}

#endif
}  // namespace
