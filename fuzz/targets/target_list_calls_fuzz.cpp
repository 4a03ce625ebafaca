// Target lists driven by a byte stream: targets added, removed, replaced, swapped, found, and the
// host effect's own targets changed under the list before updates. Every element owns a block, so a
// lost or doubled free callback shows as a leak or a double free.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "fuzz_support.h"
#include "fuzz_targets.h"
#include "model/mesh.h"
#include "targetlist/target_list.h"

namespace vfuzz {

namespace {

struct Element {
    uint32_t id;
    int32_t *owned;
};

Element *At(void *block, int32_t index) { return static_cast<Element *>(block) + index; }

int32_t Init(void *block, int32_t index, uint32_t id, void *) {
    At(block, index)->id = id;
    At(block, index)->owned = static_cast<int32_t *>(std::malloc(sizeof(int32_t)));
    return 1;
}

int32_t Free(void *block, int32_t index, uint32_t, void *) {
    std::free(At(block, index)->owned);
    At(block, index)->owned = nullptr;
    return 1;
}

int32_t Copy(void *from, int32_t fromIndex, void *to, int32_t toIndex, void *) {
    *At(to, toIndex) = *At(from, fromIndex);
    return 1;
}

constexpr int kPool = 8;

}  // namespace

int TargetListCalls(const uint8_t *data, size_t size) {
    static std::vector<KorrinItem> pool;
    static KorrinItem effect = 0;
    vhost::Host &host = LinkedHost();
    if (!effect) {
        for (int i = 0; i < kPool; ++i) pool.push_back(vhost::AddMesh(host, "m", vhost::MakeGrid(1, 1, 1.0, 1.0)));
        effect = vhost::AddEffect(host, "effect", {});
    }
    std::vector<KorrinItem> &effectTargets = host.scene.meshes.effects[effect].targets;
    Bytes in(data, size);
    // Ids from the pool, and now and then one the host does not know.
    auto id = [&]() -> KorrinItem {
        const uint8_t b = in.byte();
        return b % (kPool + 1) == kPool ? 0xdead0000u + b : pool[b % (kPool + 1)];
    };
    auto setEffectTargets = [&] {
        effectTargets.clear();
        const uint8_t mask = in.byte();
        for (int i = 0; i < kPool; ++i)
            if (mask & (1u << i)) effectTargets.push_back(pool[static_cast<size_t>((i + in.byte()) % kPool)]);
        // the host never lists a target twice
        std::vector<KorrinItem> distinct;
        for (KorrinItem t : effectTargets)
            if (std::find(distinct.begin(), distinct.end(), t) == distinct.end()) distinct.push_back(t);
        effectTargets = distinct;
    };
    setEffectTargets();
    const bool callbacks = in.byte() & 1;
    TargetList *list = vantic_CreateTargetList(effect, 5, in.byte() & 1, callbacks ? Init : nullptr,
                                               callbacks ? Free : nullptr, callbacks ? Copy : nullptr,
                                               sizeof(Element), nullptr);
    if (!list) return 0;
    while (!in.empty()) {
        switch (in.byte() % 7) {
            case 0: vantic_TargetListAddTarget(list, id()); break;
            case 1: vantic_TargetListRemoveTarget(list, id()); break;
            case 2: {
                const KorrinItem a = id(), b = id();
                vantic_TargetListReplaceTarget(list, a, b);
                break;
            }
            case 3: {
                const KorrinItem a = id(), b = id();
                vantic_TargetListSwitchTargetOrder(list, a, b);
                break;
            }
            case 4: {
                const KorrinItem a = id();
                const int32_t at = vantic_FindTargetOrder(list, a);
                if (at >= list->numtargets || (at >= 0 && list->targetid[at] != a)) Broken("found where it is not");
                break;
            }
            case 5: setEffectTargets(); break;
            default: vantic_TargetListEffectUpdate(list); break;
        }
        if (list->numtargets < 0 || (list->numtargets > 0 && !list->targetid)) Broken("a count without ids");
        if (callbacks)
            for (int32_t i = 0; i < list->numtargets; ++i)
                if (At(list->targetdata, i)->id != list->targetid[i]) Broken("an element moved away from its id");
    }
    vantic_DeleteTargetList(list);
    host.messages.entries.clear();
    return 0;
}

}  // namespace vfuzz
