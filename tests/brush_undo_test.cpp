// Brush undo: the ring of client slots and the slot key on channel 15 of the tool object. The brush
// comes from the loaded module; storing a step is the tool's own routine, reached through the
// module's objects.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "brush/brush.h"
#include "linked_module.h"
#include "loading/plugin_host.h"
#include "model/host.h"
#include "vanticAPI.h"

namespace {

constexpr const char *kKey = "UndoKey";

struct HookCall {
    char hook;  // 's' store, 'r' restore
    Brush *brush;
    int32_t slot;
    bool operator==(const HookCall &) const = default;
};

struct Recorder {
    std::vector<HookCall> calls;
};

void RecordStore(Brush *brush, uint64_t userData, int32_t slot) {
    reinterpret_cast<Recorder *>(userData)->calls.push_back({'s', brush, slot});
}

void RecordRestore(Brush *brush, uint64_t userData, int32_t slot) {
    reinterpret_cast<Recorder *>(userData)->calls.push_back({'r', brush, slot});
}

class BrushUndo : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(BindLinkedModule(host), 0);
        brush->undoUserData = reinterpret_cast<uint64_t>(&recorder);
        brush->undoStore = &RecordStore;
        brush->undoRestore = &RecordRestore;
        brush->undoLevels = 3;
    }
    void TearDown() override { plugin.function<vantic_DeleteBrush_t>("vantic_DeleteBrush")(action, kKey, 0); }

    double Key() { return host.scene.channels.objects[brush->toolObject].keys[{0, 15}][0]; }
    void SetKey(double value) { host.scene.channels.objects[brush->toolObject].keys[{0, 15}] = {value, 0.0, 0.0}; }
    size_t KeyEdits() const { return host.scene.channels.keyEdits.size(); }

    vhost::PluginHost plugin;
    vhost::Host &host = plugin.host;
    KorrinItem action = plugin.function<vantic_CreateBrush_t>("vantic_CreateBrush")(kKey, 0);
    Brush *brush = plugin.function<vantic_FetchBrush_t>("vantic_FetchBrush")(action, kKey, 0);
    vantic_BrushCheckUndo_t *checkUndo = plugin.function<vantic_BrushCheckUndo_t>("vantic_BrushCheckUndo");
    Recorder recorder;
};

TEST_F(BrushUndo, StrokesStoreIntoTheRingAndKeyTheNextSlot) {
    ASSERT_EQ(Key(), 0.0);
    const std::vector<std::pair<KorrinItem, KorrinItem>> before = host.scene.channels.keyEdits;
    for (int32_t stroke = 0; stroke < 3; ++stroke) {
        vantic::BrushStoreUndo(brush);
        const int32_t next = (stroke + 1) % 3;
        EXPECT_EQ(brush->undoIndex, next);
        EXPECT_EQ(Key(), static_cast<double>(next));
    }
    EXPECT_EQ(recorder.calls, (std::vector<HookCall>{{'s', brush, 0}, {'s', brush, 1}, {'s', brush, 2}}));
    // Each key write sits between two opening brackets on the brush's action and tool object.
    ASSERT_EQ(KeyEdits(), before.size() + 6);
    for (size_t i = before.size(); i < KeyEdits(); ++i)
        EXPECT_EQ(host.scene.channels.keyEdits[i], std::make_pair(action, brush->toolObject));
}

TEST_F(BrushUndo, WithoutAStoreHookNothingIsStored) {
    brush->undoStore = nullptr;
    const size_t edits = KeyEdits();
    vantic::BrushStoreUndo(brush);
    EXPECT_EQ(brush->undoIndex, 0);
    EXPECT_EQ(KeyEdits(), edits);
    EXPECT_TRUE(recorder.calls.empty());
}

struct CheckCase {
    std::string name;
    int32_t index;
    double key;
    bool restoreHook;
    int32_t expectedIndex;
    double expectedKey;
    std::vector<int32_t> restoredSlots;
};

TEST_F(BrushUndo, CheckStepsBackOneSlotPerChangedKey) {
    const std::vector<CheckCase> cases = {
        {"key equals the slot", 1, 1.0, true, 1, 1.0, {}},
        {"slot 0 wraps to the last", 0, 5.0, true, 2, 2.0, {2}},
        {"key moved two slots: one step only", 2, 0.0, true, 1, 1.0, {1}},
        {"no restore hook", 0, 5.0, false, 0, 5.0, {}},
    };
    for (const CheckCase &c : cases) {
        brush->undoIndex = c.index;
        brush->undoRestore = c.restoreHook ? &RecordRestore : nullptr;
        SetKey(c.key);
        recorder.calls.clear();
        const size_t edits = KeyEdits();

        checkUndo(brush);
        EXPECT_EQ(brush->undoIndex, c.expectedIndex) << c.name;
        EXPECT_EQ(Key(), c.expectedKey) << c.name;
        std::vector<HookCall> expected;
        for (int32_t slot : c.restoredSlots) expected.push_back({'r', brush, slot});
        EXPECT_EQ(recorder.calls, expected) << c.name;
        EXPECT_EQ(KeyEdits(), edits + 2 * c.restoredSlots.size()) << c.name;

        // The key now agrees with the slot (or nothing can restore): a second check does nothing.
        checkUndo(brush);
        EXPECT_EQ(brush->undoIndex, c.expectedIndex) << c.name;
        EXPECT_EQ(recorder.calls, expected) << c.name;
    }
}

}  // namespace
