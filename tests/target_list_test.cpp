// Target lists through the loaded module and a recording client: which element callbacks run, in
// which order, on which block, and what the list and the host hold afterwards.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "loading/plugin_host.h"
#include "model/mesh.h"
#include "vanticAPI.h"

// Lets the allocation-failure tests see calloc return null under AddressSanitizer too.
extern "C" const char *__asan_default_options() { return "allocator_may_return_null=1"; }

namespace {

using ::testing::ElementsAre;
using Ids = std::vector<uint32_t>;

constexpr uint32_t A = 101, B = 102, C = 103, D = 104, X = 199;
constexpr uint32_t kDataId = 7;

// The client's element: its target and something it owns, so that a missing or doubled free callback
// shows as a leak or a double free.
struct Element {
    uint32_t id;
    int32_t *owned;
};

// One callback as the client saw it. Blocks are named by the recorder: "old" is the list's block
// before the call, "new" any other block the list handed over, "scratch" the switch's one element.
struct Call {
    std::string kind;
    int32_t from;
    int32_t to;
    uint32_t id;
    const void *fromBlock;
    const void *toBlock;
};

struct Recorder {
    std::vector<Call> calls;
};

Element *At(void *block, int32_t index) { return static_cast<Element *>(block) + index; }

int32_t InitElement(void *block, int32_t index, uint32_t id, void *user) {
    static_cast<Recorder *>(user)->calls.push_back({"init", -1, index, id, nullptr, block});
    At(block, index)->id = id;
    At(block, index)->owned = static_cast<int32_t *>(std::malloc(sizeof(int32_t)));
    return 1;
}

int32_t FreeElement(void *block, int32_t index, uint32_t id, void *user) {
    static_cast<Recorder *>(user)->calls.push_back({"free", index, -1, id, block, nullptr});
    std::free(At(block, index)->owned);
    At(block, index)->owned = nullptr;
    return 1;
}

int32_t CopyElement(void *from, int32_t fromIndex, void *to, int32_t toIndex, void *user) {
    static_cast<Recorder *>(user)->calls.push_back({"copy", fromIndex, toIndex, 0, from, to});
    *At(to, toIndex) = *At(from, fromIndex);
    return 1;
}

struct Kit {
    vhost::PluginHost loaded;
    vantic_CreateTargetList_t *create = loaded.function<vantic_CreateTargetList_t>("vantic_CreateTargetList");
    vantic_DeleteTargetList_t *destroy = loaded.function<vantic_DeleteTargetList_t>("vantic_DeleteTargetList");
    vantic_FetchTargetList_t *fetch = loaded.function<vantic_FetchTargetList_t>("vantic_FetchTargetList");
    vantic_TargetListAddTarget_t *add = loaded.function<vantic_TargetListAddTarget_t>("vantic_TargetListAddTarget");
    vantic_TargetListRemoveTarget_t *remove =
        loaded.function<vantic_TargetListRemoveTarget_t>("vantic_TargetListRemoveTarget");
    vantic_TargetListReplaceTarget_t *replace =
        loaded.function<vantic_TargetListReplaceTarget_t>("vantic_TargetListReplaceTarget");
    vantic_TargetListSwitchTargetOrder_t *swap =
        loaded.function<vantic_TargetListSwitchTargetOrder_t>("vantic_TargetListSwitchTargetOrder");
    vantic_FindTargetOrder_t *find = loaded.function<vantic_FindTargetOrder_t>("vantic_FindTargetOrder");
    vantic_TargetListEffectUpdate_t *update =
        loaded.function<vantic_TargetListEffectUpdate_t>("vantic_TargetListEffectUpdate");

    Recorder recorder;
    KorrinItem effect = vhost::AddEffect(loaded.host, "Effect", {A, B, C});

    void setTargets(const Ids &targets) { loaded.host.scene.meshes.effects[effect].targets = targets; }
    TargetList *make(int32_t fill, uint64_t datasize = sizeof(Element)) {
        return create(effect, kDataId, fill, &InitElement, &FreeElement, &CopyElement, datasize, &recorder);
    }
    // A list A, B, C with the calls that made it forgotten.
    TargetList *abc() {
        TargetList *list = make(1);
        recorder.calls.clear();
        return list;
    }
    std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (const auto &m : loaded.host.messages.entries) texts.push_back(m.text);
        return texts;
    }
};

Ids IdsOf(const TargetList *list) {
    return list->targetid ? Ids(list->targetid, list->targetid + list->numtargets) : Ids{};
}

// The list's elements still belong to the targets beside them, and each owns its allocation.
void ExpectElementsFollowTargets(const TargetList *list) {
    for (int32_t i = 0; i < list->numtargets; ++i) {
        EXPECT_EQ(At(list->targetdata, i)->id, list->targetid[i]) << i;
        EXPECT_NE(At(list->targetdata, i)->owned, nullptr) << i;
    }
}

// The calls in a compact form: "init 2 D", "copy 0->1", "free 1 B".
std::vector<std::string> Brief(const std::vector<Call> &calls) {
    std::vector<std::string> out;
    for (const Call &c : calls) {
        if (c.kind == "copy")
            out.push_back("copy " + std::to_string(c.from) + "->" + std::to_string(c.to));
        else
            out.push_back(c.kind + " " + std::to_string(c.kind == "init" ? c.to : c.from) + " " +
                          std::string(1, static_cast<char>('A' + (c.id - A))));
    }
    return out;
}

TEST(TargetList, CreateWithFillTakesTheEffectsTargetsInOrder) {
    Kit kit;
    TargetList *list = kit.make(1);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(IdsOf(list), (Ids{A, B, C}));
    EXPECT_THAT(Brief(kit.recorder.calls), ElementsAre("init 0 A", "init 1 B", "init 2 C"));
    for (const Call &c : kit.recorder.calls) EXPECT_EQ(c.toBlock, list->targetdata);
    ExpectElementsFollowTargets(list);
    EXPECT_EQ(list->objectid, kit.effect);
    EXPECT_EQ(list->dataid, kDataId);
    EXPECT_EQ(list->datasize, sizeof(Element));
    EXPECT_EQ(list->userdata, &kit.recorder);
    EXPECT_EQ(kit.fetch(kit.effect, kDataId), list);
    EXPECT_EQ(kit.destroy(list), 1);
}

TEST(TargetList, CreateWithoutFillStartsEmptyButAttached) {
    for (int32_t fill : {0, 2, -1}) {
        Kit kit;
        TargetList *list = kit.make(fill);
        ASSERT_NE(list, nullptr) << fill;
        EXPECT_EQ(list->numtargets, 0);
        EXPECT_EQ(list->targetid, nullptr);
        EXPECT_EQ(list->targetdata, nullptr);
        EXPECT_TRUE(kit.recorder.calls.empty());
        EXPECT_EQ(kit.fetch(kit.effect, kDataId), list);
        EXPECT_EQ(kit.find(list, A), -1);
        kit.destroy(list);
    }
}

TEST(TargetList, AddMovesEveryElementThenInitialisesTheNewOne) {
    Kit kit;
    TargetList *list = kit.make(0);
    EXPECT_EQ(kit.add(list, C), 1);
    EXPECT_THAT(Brief(kit.recorder.calls), ElementsAre("init 0 C"));
    kit.recorder.calls.clear();
    const void *oldBlock = list->targetdata;
    EXPECT_EQ(kit.add(list, A), 1);
    EXPECT_EQ(kit.add(list, A), 1);  // no look for it first: a second entry
    EXPECT_EQ(IdsOf(list), (Ids{C, A, A}));
    EXPECT_THAT(Brief(kit.recorder.calls),
                ElementsAre("copy 0->0", "init 1 A", "copy 0->0", "copy 1->1", "init 2 A"));
    EXPECT_EQ(kit.recorder.calls[0].fromBlock, oldBlock);
    EXPECT_NE(kit.recorder.calls[0].toBlock, oldBlock);
    EXPECT_EQ(kit.find(list, A), 1);
    ExpectElementsFollowTargets(list);
    kit.destroy(list);
}

TEST(TargetList, RemoveMovesTheOthersThenFreesTheTargetInTheOldBlock) {
    Kit kit;
    TargetList *list = kit.abc();
    const void *oldBlock = list->targetdata;
    EXPECT_EQ(kit.remove(list, B), 1);
    EXPECT_EQ(IdsOf(list), (Ids{A, C}));
    EXPECT_THAT(Brief(kit.recorder.calls), ElementsAre("copy 0->0", "copy 2->1", "free 1 B"));
    EXPECT_EQ(kit.recorder.calls[2].fromBlock, oldBlock);
    ExpectElementsFollowTargets(list);

    kit.recorder.calls.clear();
    EXPECT_EQ(kit.remove(list, X), 0);
    EXPECT_EQ(IdsOf(list), (Ids{A, C}));
    EXPECT_TRUE(kit.recorder.calls.empty());

    EXPECT_EQ(kit.remove(list, A), 1);
    EXPECT_EQ(kit.remove(list, C), 1);
    EXPECT_EQ(list->numtargets, 0);
    EXPECT_EQ(kit.remove(list, C), 0);
    EXPECT_EQ(kit.find(list, C), -1);
    EXPECT_TRUE(kit.messages().empty());
    kit.destroy(list);
}

TEST(TargetList, ReplaceAppendsTheNewTargetAndRemovesTheOld) {
    Kit kit;
    TargetList *list = kit.abc();
    EXPECT_EQ(kit.replace(list, D, A), 1);
    EXPECT_EQ(IdsOf(list), (Ids{B, C, D}));
    EXPECT_THAT(Brief(kit.recorder.calls), ElementsAre("copy 0->0", "copy 1->1", "copy 2->2", "init 3 D",
                                                       "copy 1->0", "copy 2->1", "copy 3->2", "free 0 A"));
    EXPECT_EQ(kit.replace(list, A, X), 1);  // whatever the removal gives
    EXPECT_EQ(IdsOf(list), (Ids{B, C, D, A}));
    ExpectElementsFollowTargets(list);
    kit.destroy(list);
}

TEST(TargetList, SwitchSwapsThroughOneScratchElement) {
    Kit kit;
    TargetList *list = kit.abc();
    const void *block = list->targetdata;
    EXPECT_EQ(kit.swap(list, A, C), 1);
    EXPECT_EQ(IdsOf(list), (Ids{C, B, A}));
    ASSERT_THAT(Brief(kit.recorder.calls), ElementsAre("copy 0->0", "copy 2->0", "copy 0->2"));
    const void *scratch = kit.recorder.calls[0].toBlock;
    EXPECT_NE(scratch, block);
    EXPECT_EQ(kit.recorder.calls[0].fromBlock, block);
    EXPECT_EQ(kit.recorder.calls[1].fromBlock, block);
    EXPECT_EQ(kit.recorder.calls[1].toBlock, block);
    EXPECT_EQ(kit.recorder.calls[2].fromBlock, scratch);
    EXPECT_EQ(kit.recorder.calls[2].toBlock, block);
    EXPECT_EQ(list->targetdata, block);
    ExpectElementsFollowTargets(list);

    kit.recorder.calls.clear();
    EXPECT_EQ(kit.swap(list, A, A), 0);
    EXPECT_EQ(kit.swap(list, A, X), 0);
    EXPECT_EQ(kit.swap(list, X, A), 0);
    EXPECT_EQ(IdsOf(list), (Ids{C, B, A}));
    EXPECT_TRUE(kit.recorder.calls.empty());
    EXPECT_EQ(kit.messages(), std::vector<std::string>(3, "Couldn't switch TargetList order"));
    for (const auto &m : kit.loaded.host.messages.entries) {
        EXPECT_EQ(m.item, kit.effect);
        EXPECT_EQ(m.source, "TargetList.c");
        EXPECT_EQ(m.code, 256);
        EXPECT_EQ(m.kind, "Error");
    }
    kit.destroy(list);
}

TEST(TargetList, UpdateDropsAppendsAndTakesTheEffectsOrder) {
    Kit kit;
    TargetList *list = kit.abc();
    kit.setTargets({C, D, A});
    EXPECT_EQ(kit.update(list), 1);
    EXPECT_EQ(IdsOf(list), (Ids{C, D, A}));
    int frees = 0, inits = 0;
    for (const Call &c : kit.recorder.calls) {
        frees += c.kind == "free";
        inits += c.kind == "init";
        EXPECT_EQ(c.id, c.kind == "free" ? B : c.kind == "init" ? D : 0u);
    }
    EXPECT_EQ(frees, 1);
    EXPECT_EQ(inits, 1);
    ExpectElementsFollowTargets(list);
    EXPECT_TRUE(kit.messages().empty());

    // An effect without targets: refused, the list is not emptied.
    kit.recorder.calls.clear();
    kit.setTargets({});
    EXPECT_EQ(kit.update(list), 0);
    EXPECT_EQ(IdsOf(list), (Ids{C, D, A}));
    EXPECT_TRUE(kit.recorder.calls.empty());
    EXPECT_THAT(kit.messages(), ElementsAre("Couldn't fxTargetListEffectUpdate()"));
    kit.destroy(list);
}

TEST(TargetList, UpdateWithADuplicateLeavesTheOrderButSucceeds) {
    Kit kit;
    TargetList *list = kit.abc();
    kit.add(list, A);
    kit.setTargets({B, A});
    EXPECT_EQ(kit.update(list), 1);
    EXPECT_EQ(IdsOf(list), (Ids{A, B, A}));  // C dropped; the counts differ, so no reordering
    EXPECT_THAT(kit.messages(), ElementsAre("Couldn't fxTargetListEffectOrder()"));
    ExpectElementsFollowTargets(list);
    kit.destroy(list);
}

// Any change of the effect's targets followed by an update gives the effect's order, each element
// still with its own target; the allocations owned by elements show any lost or doubled free.
TEST(TargetList, UpdatesFollowRandomEffectChanges) {
    Kit kit;
    TargetList *list = kit.make(1);
    std::mt19937 random(3);
    for (int round = 0; round < 200; ++round) {
        Ids targets;
        for (uint32_t id = A; id < A + 12; ++id)
            if (random() % 3 != 0) targets.push_back(id);
        std::shuffle(targets.begin(), targets.end(), random);
        if (targets.empty()) continue;
        kit.setTargets(targets);
        ASSERT_EQ(kit.update(list), 1);
        ASSERT_EQ(IdsOf(list), targets) << round;
        ExpectElementsFollowTargets(list);
    }
    EXPECT_TRUE(kit.messages().empty());
    kit.destroy(list);
}

TEST(TargetList, DeleteFreesEveryElementInOrderAndDetaches) {
    Kit kit;
    TargetList *list = kit.abc();
    EXPECT_EQ(kit.destroy(list), 1);
    EXPECT_THAT(Brief(kit.recorder.calls), ElementsAre("free 0 A", "free 1 B", "free 2 C"));
    EXPECT_EQ(kit.fetch(kit.effect, kDataId), nullptr);
    ASSERT_EQ(kit.loaded.host.messages.entries.size(), 1u);
    EXPECT_EQ(kit.loaded.host.messages.entries[0].text, "Couldn't fetch TargetList data!");
    EXPECT_EQ(kit.loaded.host.messages.entries[0].item, kit.effect);
}

// An element size no allocator can serve: every growth fails, is reported, and leaves the list as it
// was instead of half-rebuilt.
TEST(TargetList, FailedAllocationsLeaveTheListAsItWas) {
    constexpr uint64_t kHuge = uint64_t{1} << 62;
    Kit kit;
    EXPECT_EQ(kit.make(1, kHuge), nullptr);
    EXPECT_THAT(kit.messages(), ElementsAre("Couldn't allocate TargetList->targetdata"));
    EXPECT_EQ(kit.fetch(kit.effect, kDataId), nullptr);
    EXPECT_TRUE(kit.recorder.calls.empty());

    kit.loaded.host.messages.entries.clear();
    TargetList *list = kit.make(0, kHuge);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(kit.add(list, A), 0);
    EXPECT_EQ(kit.replace(list, A, B), 0);
    EXPECT_EQ(kit.update(list), 0);
    EXPECT_EQ(list->numtargets, 0);
    EXPECT_EQ(list->targetid, nullptr);
    EXPECT_EQ(list->targetdata, nullptr);
    EXPECT_TRUE(kit.recorder.calls.empty());
    EXPECT_EQ(kit.messages(), std::vector<std::string>(3, "Couldn't allocate TargetList->targetdata"));
    EXPECT_EQ(kit.destroy(list), 1);
}

}  // namespace
