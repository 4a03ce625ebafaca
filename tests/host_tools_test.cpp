// The simulated host's objects, armatures, handles and actions, and the driver that sends mouse and
// module events to an action's module. A small recording module stands in for a plug-in.
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "korrin_host_services.h"
#include "model/host.h"
#include "model/scene_file.h"
#include "model/tools.h"
#include "services/service_map.h"
#include "host_service.h"

namespace {

using namespace vhost;

// What the recording module saw in one callback, read through the services during the call.
struct Call {
    KorrinHandle context;
    KorrinItem action;
    int32_t message;
    int64_t parameter;
    int32_t button, curX, curY, prevX, prevY;
};

std::vector<Call> g_calls;
int32_t g_result = 0;

int32_t RecordingCallback(KorrinHandle context, KorrinItem action, int32_t message, int64_t parameter) {
    Call call{context, action, message, parameter, -1, -1, -1, -1, -1};
    const KorrinItem handle = FX(fxActionHandle)(action, 0);
    call.button = FX(fxHandleMouseButton)(0);
    FX(fxHandleMouseCurPos)(handle, &call.curX, &call.curY, 0);
    FX(fxHandleMousePrevPos)(handle, &call.prevX, &call.prevY, 0);
    if (parameter == KORRIN_EVENT_SAVE) {
        // Leaves a trace in the scene file: a block named after the action holding its id.
        const std::string block = "Probe" + std::to_string(action);
        const KorrinHandle format = FX(fxFormatNew)(context, block.c_str(), 0);
        FX(fxArgSaveInt)(format, "action", static_cast<int32_t>(action), 0);
    }
    g_calls.push_back(call);
    return g_result;
}

const char *const kModule = "recorder";

// A host with an armature, a handle and an action bound to the recording module, made the way
// a plug-in makes them.
class HostTools : public ::testing::Test {
protected:
    void SetUp() override {
        g_calls.clear();
        g_result = 0;
        armature = FX(fxArmatureCreate)("Rig", 0);
        handle = FX(fxHandleCreate)("Grip", armature, armature, 0);
        action = FX(fxActionCreate)(handle, 2, 0, kModule, 0);
        // Registered after the action: the module is looked up when an event is sent.
        host.registry.modules.push_back(RegisteredModule{14, kModule, &RecordingCallback, 0, "", {}});
    }

    size_t HostMessages() const { return host.messages.entries.size(); }

    Host host;
    KorrinItem armature = 0, handle = 0, action = 0;
};

// ---- objects ----

TEST_F(HostTools, ToolObjectsGetUniqueNamesAndBoundedNameReads) {
    const KorrinItem a = FX(fxToolCreate)("Procedural", "Brush", 0, 0);
    const KorrinItem b = FX(fxToolCreate)("Procedural", "Brush", 0, 0);
    const KorrinItem c = FX(fxToolCreate)("Procedural", "Brush", 0, 0);
    ASSERT_NE(a, 0u);
    EXPECT_EQ(host.scene.items.find(a)->kind, ItemKind::Tool);
    EXPECT_EQ(host.scene.tools.toolTypes[a], "Procedural");

    struct Read {
        KorrinItem object;
        int32_t size;
        int32_t result;
        const char *text;
    };
    const Read reads[] = {
        {a, 64, 1, "Brush"},      {b, 64, 1, "Brush (2)"}, {c, 64, 1, "Brush (3)"},
        {b, 10, 1, "Brush (2)"},  // exactly fits with its terminator
        {b, 9, 1, "Brush (2"},    {b, 1, 1, ""},
        {999, 64, 0, ""},  // unknown object: the empty name
    };
    for (const Read &r : reads) {
        char buffer[80];
        std::fill(std::begin(buffer), std::end(buffer), '#');
        EXPECT_EQ(FX(fxObjectGetName)(r.object, buffer, r.size, 0), r.result) << r.object << " " << r.size;
        EXPECT_STREQ(buffer, r.text) << r.object << " " << r.size;
        EXPECT_EQ(buffer[r.size], '#') << "wrote past the given size " << r.size;
    }
    char untouched[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(FX(fxObjectGetName)(a, untouched, 0, 0), 0);
    EXPECT_EQ(untouched[0], '#');
    EXPECT_EQ(FX(fxObjectGetName)(a, nullptr, 64, 0), 0);
}

TEST_F(HostTools, CurrentObjectSelectionAndDrawMode) {
    const KorrinItem mesh = host.scene.items.add(ItemKind::Mesh, "Ball");
    const KorrinItem tool = FX(fxToolCreate)("Procedural", "Brush", 0, 0);
    EXPECT_EQ(FX(fxObjectCurrent)(0), 0u);

    EXPECT_EQ(FX(fxObjectSetCurrent)(mesh, 0), 1);
    EXPECT_EQ(FX(fxObjectCurrent)(0), mesh);
    // Armatures, handles, actions and unknown ids are no objects: the current object stays.
    for (KorrinItem notObject : {armature, handle, action, KorrinItem{999}}) {
        EXPECT_EQ(FX(fxObjectSetCurrent)(notObject, 0), 0) << notObject;
        EXPECT_EQ(FX(fxObjectCurrent)(0), mesh);
    }
    // Restoring "no current object" works, as a plug-in does after remembering 0.
    EXPECT_EQ(FX(fxObjectSetCurrent)(0, 0), 1);
    EXPECT_EQ(FX(fxObjectCurrent)(0), 0u);

    host.scene.items.find(mesh)->selected = true;
    host.scene.items.find(tool)->selected = true;
    EXPECT_EQ(FX(fxObjectDeselectAll)(0), 1);
    EXPECT_FALSE(host.scene.items.find(mesh)->selected);
    EXPECT_FALSE(host.scene.items.find(tool)->selected);

    EXPECT_EQ(FX(fxObjectDrawModeSet)(tool, "Edges", 0), 1);
    EXPECT_EQ(host.scene.items.find(tool)->drawMode, "Edges");
    EXPECT_EQ(FX(fxObjectDrawModeSet)(tool, nullptr, 0), 0);
    EXPECT_EQ(FX(fxObjectDrawModeSet)(999, "Edges", 0), 0);
    EXPECT_EQ(host.scene.items.find(tool)->drawMode, "Edges");
}

TEST_F(HostTools, DeletionInsideBracketsIsQuietAndRecorded) {
    const KorrinItem tool = FX(fxToolCreate)("Procedural", "Brush", 0, 0);
    FX(fxObjectSetCurrent)(tool, 0);
    EXPECT_EQ(FX(fxObjectDeleteBegin)(action, 0), 1);
    EXPECT_EQ(FX(fxObjectDelete)(tool, 0), 1);
    EXPECT_EQ(FX(fxObjectDeleteEnd)(action, 0), 1);

    EXPECT_EQ(HostMessages(), 0u);
    EXPECT_FALSE(host.scene.items.exists(tool));
    EXPECT_EQ(host.scene.tools.toolTypes.count(tool), 0u);
    EXPECT_EQ(FX(fxObjectCurrent)(0), 0u);
    EXPECT_EQ(host.scene.tools.deleted, std::vector<KorrinItem>{tool});
    EXPECT_EQ(host.scene.tools.deleteBrackets, 0);
}

TEST_F(HostTools, DeletionOutsideBracketsStillDeletesButIsLogged) {
    const KorrinItem mesh = host.scene.items.add(ItemKind::Mesh, "Ball");
    const KorrinItem other = host.scene.items.add(ItemKind::Mesh, "Cup");
    host.scene.meshes.meshes[mesh] = Mesh{};
    const KorrinItem effect = host.scene.items.add(ItemKind::Effect, "Blend");
    host.scene.meshes.effects[effect].targets = {mesh, other, mesh};

    EXPECT_EQ(FX(fxObjectDelete)(mesh, 0), 1);
    EXPECT_EQ(HostMessages(), 1u);
    EXPECT_FALSE(host.scene.items.exists(mesh));
    EXPECT_EQ(host.scene.meshes.meshes.count(mesh), 0u);
    // The effect no longer names the deleted mesh as a target.
    EXPECT_EQ(host.scene.meshes.effects[effect].targets, std::vector<KorrinItem>{other});
    EXPECT_EQ(host.scene.tools.deleted, std::vector<KorrinItem>{mesh});

    // An end without a begin is refused and logged.
    EXPECT_EQ(FX(fxObjectDeleteEnd)(action, 0), 0);
    EXPECT_EQ(HostMessages(), 2u);
    EXPECT_EQ(host.scene.tools.deleteBrackets, 0);
}

TEST_F(HostTools, OnlyObjectsCanBeDeletedAsObjects) {
    FX(fxObjectDeleteBegin)(action, 0);
    for (KorrinItem notObject : {armature, handle, action, KorrinItem{999}, KorrinItem{0}})
        EXPECT_EQ(FX(fxObjectDelete)(notObject, 0), 0) << notObject;
    FX(fxObjectDeleteEnd)(action, 0);
    EXPECT_TRUE(host.scene.items.exists(armature));
    EXPECT_TRUE(host.scene.items.exists(handle));
    EXPECT_TRUE(host.scene.items.exists(action));
    EXPECT_TRUE(host.scene.tools.deleted.empty());
}

// ---- armatures, handles, actions ----

TEST_F(HostTools, HandleStoresWhatItIsGiven) {
    EXPECT_EQ(FX(fxHandleArmature)(handle, 0), armature);
    EXPECT_EQ(host.scene.items.find(handle)->name, "Grip");
    EXPECT_EQ(FX(fxHandleIconSet)(handle, 0, "dot", 0), 1);
    EXPECT_EQ(FX(fxHandleIconActiveSet)(handle, 0, "ring", 0), 1);
    EXPECT_EQ(FX(fxHandleSetPixelSize)(handle, 0.1, 2560.0, 0), 1);
    EXPECT_EQ(FX(fxHandlePosTypeSet)(handle, 1, 0), 1);
    EXPECT_EQ(FX(fxHandleHAlignSet)(handle, 2, 0), 1);
    EXPECT_EQ(FX(fxHandleVAlignSet)(handle, 3, 0), 1);
    const double position[3] = {1.5, -2.0, 3.25};
    EXPECT_EQ(FX(fxHandlePosSet)(handle, position, 0), 1);

    const Handle &h = host.scene.tools.handles.at(handle);
    EXPECT_EQ(h.armature, armature);
    EXPECT_EQ(h.parent, armature);
    EXPECT_EQ(h.icon, "dot");
    EXPECT_EQ(h.activeIcon, "ring");
    EXPECT_EQ(h.pixelLow, 0.1);
    EXPECT_EQ(h.pixelHigh, 2560.0);
    EXPECT_EQ(h.posType, 1);
    EXPECT_EQ(h.hAlign, 2);
    EXPECT_EQ(h.vAlign, 3);
    EXPECT_EQ(h.position, (std::array<double, 3>{1.5, -2.0, 3.25}));
}

TEST_F(HostTools, HandleAndActionServicesRefuseUnknownIdsAndNulls) {
    const double position[3] = {0, 0, 0};
    int32_t x = 7, y = 8;
    for (KorrinItem notHandle : {KorrinItem{0}, KorrinItem{999}, armature, action}) {
        SCOPED_TRACE(notHandle);
        EXPECT_EQ(FX(fxHandleArmature)(notHandle, 0), 0u);
        EXPECT_EQ(FX(fxHandleIconSet)(notHandle, 0, "", 0), 0);
        EXPECT_EQ(FX(fxHandleIconActiveSet)(notHandle, 0, "", 0), 0);
        EXPECT_EQ(FX(fxHandleSetPixelSize)(notHandle, 0.1, 2560.0, 0), 0);
        EXPECT_EQ(FX(fxHandlePosTypeSet)(notHandle, 1, 0), 0);
        EXPECT_EQ(FX(fxHandleHAlignSet)(notHandle, 1, 0), 0);
        EXPECT_EQ(FX(fxHandleVAlignSet)(notHandle, 1, 0), 0);
        EXPECT_EQ(FX(fxHandlePosSet)(notHandle, position, 0), 0);
        EXPECT_EQ(FX(fxHandleMouseCurPos)(notHandle, &x, &y, 0), 0);
        EXPECT_EQ(FX(fxHandleMousePrevPos)(notHandle, &x, &y, 0), 0);
        EXPECT_EQ(FX(fxActionCreate)(notHandle, 2, 0, kModule, 0), 0u);
    }
    for (KorrinItem notArmature : {KorrinItem{0}, KorrinItem{999}, handle, action})
        EXPECT_EQ(FX(fxHandleCreate)("Grip", notArmature, armature, 0), 0u) << notArmature;
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 8);
    EXPECT_EQ(FX(fxActionHandle)(999, 0), 0u);
    EXPECT_EQ(FX(fxHandlePosSet)(handle, nullptr, 0), 0);
    EXPECT_EQ(FX(fxHandleMouseCurPos)(handle, nullptr, nullptr, 0), 1);
    // Null texts are empty texts.
    EXPECT_EQ(FX(fxHandleIconSet)(handle, 0, nullptr, 0), 1);
    EXPECT_NE(FX(fxArmatureCreate)(nullptr, 0), 0u);
    EXPECT_NE(FX(fxActionCreate)(handle, 2, 0, nullptr, 0), 0u);
    EXPECT_NE(FX(fxToolCreate)(nullptr, nullptr, 0, 0), 0u);
}

TEST_F(HostTools, DeletingAnArmatureRemovesItsHandlesOnly) {
    const KorrinItem child = FX(fxHandleCreate)("Tip", armature, handle, 0);
    const KorrinItem otherArmature = FX(fxArmatureCreate)("Other", 0);
    const KorrinItem otherHandle = FX(fxHandleCreate)("Grip", otherArmature, otherArmature, 0);
    ASSERT_NE(child, 0u);
    EXPECT_EQ(FX(fxActionHandle)(action, 0), handle);

    EXPECT_EQ(FX(fxArmatureDelete)(armature, 0), 1);
    for (KorrinItem gone : {armature, handle, child}) {
        EXPECT_FALSE(host.scene.items.exists(gone)) << gone;
        EXPECT_EQ(FX(fxHandleArmature)(gone, 0), 0u) << gone;
    }
    EXPECT_EQ(FX(fxHandleArmature)(otherHandle, 0), otherArmature);
    // The action outlives its handle but no longer answers with it.
    EXPECT_EQ(FX(fxActionHandle)(action, 0), 0u);
    EXPECT_EQ(FX(fxArmatureDelete)(armature, 0), 0);
    EXPECT_EQ(FX(fxArmatureDelete)(handle, 0), 0);
}

TEST_F(HostTools, InitActionAndInterfaceUpdatesAreCounted) {
    FX(fxInitAction)(1);
    FX(fxInitAction)(1);
    for (int32_t flags : {34, 2, 34}) FX(fxInterfaceUpdate)(flags, 0);
    EXPECT_EQ(host.scene.tools.initActionCalls, 2);
    EXPECT_EQ(host.scene.tools.interfaceUpdates, (std::map<int32_t, int32_t>{{2, 1}, {34, 2}}));
}

// ---- the driver ----

TEST_F(HostTools, MouseEventsReachTheModuleWithTheirMouseState) {
    struct Step {
        int32_t (*send)(Host &, KorrinItem, int32_t, int32_t, int32_t);
        int64_t event;
        int32_t x, y, button;
        int32_t prevX, prevY;  // the position of the step before
    };
    const Step steps[] = {
        {&Press, 512, 10, 20, 0, 0, 0},    {&Drag, 256, 50, 25, 1, 10, 20},
        {&Drag, 256, -5, 30, 2, 50, 25},   {&Release, 1024, -4, 31, 2, -5, 30},
        {&Press, 512, 100, 200, 0, -4, 31},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        const Step &s = steps[i];
        g_result = static_cast<int32_t>(i) + 3;
        EXPECT_EQ(s.send(host, action, s.x, s.y, s.button), g_result);
        ASSERT_EQ(g_calls.size(), i + 1);
        const Call &c = g_calls.back();
        SCOPED_TRACE(i);
        EXPECT_EQ(c.context, 0u);
        EXPECT_EQ(c.action, action);
        EXPECT_EQ(c.message, 26);
        EXPECT_EQ(c.parameter, s.event);
        EXPECT_EQ(c.button, s.button);
        EXPECT_EQ(c.curX, s.x);
        EXPECT_EQ(c.curY, s.y);
        EXPECT_EQ(c.prevX, s.prevX);
        EXPECT_EQ(c.prevY, s.prevY);
    }
    // Outside an event no button is held.
    EXPECT_EQ(FX(fxHandleMouseButton)(0), 0);
    EXPECT_EQ(HostMessages(), 0u);
}

TEST_F(HostTools, EventsWithoutAReceiverAreLoggedNotDelivered) {
    const KorrinItem orphan = FX(fxActionCreate)(handle, 2, 0, "nobody", 0);
    g_result = 9;
    EXPECT_EQ(Press(host, orphan, 1, 2, 0), 0);
    EXPECT_EQ(DestroyAction(host, orphan), 0);
    EXPECT_EQ(Press(host, 999, 1, 2, 0), 0);            // unknown action
    EXPECT_EQ(Drag(host, handle, 1, 2, 0), 0);          // a handle is no action
    EXPECT_EQ(DestroyAction(host, 999), 0);
    FX(fxArmatureDelete)(armature, 0);
    EXPECT_EQ(Release(host, action, 1, 2, 0), 0);       // the action's handle is gone
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(HostMessages(), 6u);
    EXPECT_EQ(host.stubCalls, 0);
}

TEST_F(HostTools, OtherModuleMessagesPassThrough) {
    g_result = 4;
    EXPECT_EQ(SendModuleMessage(host, action, 30, 256), 4);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].message, 30);
    EXPECT_EQ(g_calls[0].parameter, 256);
}

TEST_F(HostTools, DestroySendsEventAndRemovesTheAction) {
    g_result = 5;
    EXPECT_EQ(DestroyAction(host, action), 5);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].context, 0u);
    EXPECT_EQ(g_calls[0].message, 26);
    EXPECT_EQ(g_calls[0].parameter, 64);
    EXPECT_FALSE(host.scene.items.exists(action));
    EXPECT_EQ(FindAction(host, action), nullptr);
    // Its handle stays: removing it is the module's business.
    EXPECT_NE(FindHandle(host, handle), nullptr);
}

TEST_F(HostTools, SaveReachesEveryActionWithTheSaveContext) {
    const KorrinItem second = FX(fxActionCreate)(handle, 2, 0, kModule, 0);
    FX(fxActionCreate)(handle, 2, 0, "nobody", 0);
    const std::string path =
        (std::filesystem::temp_directory_path() / ("host_tools_save_" + std::to_string(::getpid()) + ".scene"))
            .string();
    SaveScene(host, path);

    ASSERT_EQ(g_calls.size(), 2u);
    for (const Call &c : g_calls) {
        EXPECT_EQ(c.message, 26);
        EXPECT_EQ(c.parameter, 32);
    }
    EXPECT_EQ(g_calls[0].action, action);
    EXPECT_EQ(g_calls[1].action, second);
    EXPECT_EQ(HostMessages(), 1u) << "the action bound to no module";

    // What each action wrote through its context is in the file, read back by a fresh host.
    Host reader;
    for (KorrinItem a : {action, second}) {
        const KorrinHandle stream = BeginLoad(reader, path, "Probe" + std::to_string(a));
        int32_t value = 0;
        EXPECT_EQ(FX(fxArgLoadInt)(stream, "action", &value), 1) << a;
        EXPECT_EQ(value, static_cast<int32_t>(a));
        EndLoad(reader);
    }
    std::remove(path.c_str());
}

}  // namespace
