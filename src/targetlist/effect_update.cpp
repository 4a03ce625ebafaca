// Keeping a target list in step with its effect: drop, append, then reorder.
#include <cstdlib>

#include "binding/effect_targets.h"
#include "targetlist/target_list.h"
#include "targetlist/target_list_arrays.h"

namespace {

// The effect's n targets in a scratch array, or null (after the message) when it cannot be had.
uint32_t *EffectTargets(const TargetList *list, int32_t n, const char *failure) {
    uint32_t *targets = n > 0 ? static_cast<uint32_t *>(std::malloc(static_cast<size_t>(n) * sizeof(uint32_t)))
                              : nullptr;
    if (!targets) {
        vantic::TargetListMessage(list->objectid, failure);
        return nullptr;
    }
    vantic::ReadEffectTargets(list->objectid, n, targets);
    return targets;
}

bool Contains(const uint32_t *ids, int32_t n, uint32_t id) {
    for (int32_t i = 0; i < n; ++i)
        if (ids[i] == id) return true;
    return false;
}

// Brings the list into the effect's order when it holds exactly as many targets as the effect.
// 1 done, 0 refused (with its message).
int32_t TargetListEffectOrder(TargetList *list) {
    // Contract: clients and logs know the failure by this text, the routine's historical name.
    const char *failure = "Couldn't fxTargetListEffectOrder()";
    const int32_t n = vantic::CountEffectTargets(list->objectid);
    if (n != list->numtargets || n == 0) {
        vantic::TargetListMessage(list->objectid, failure);
        return 0;
    }
    uint32_t *effect = EffectTargets(list, n, failure);
    if (!effect) return 0;
    // A selection pass: position i takes the effect's target i from where it sits further on.
    for (int32_t i = 0; i < n && i < list->numtargets; ++i) {
        if (list->targetid[i] == effect[i]) continue;
        for (int32_t j = i; j < list->numtargets; ++j) {
            if (list->targetid[j] == effect[i]) {
                vantic_TargetListSwitchTargetOrder(list, list->targetid[i], list->targetid[j]);
                break;
            }
        }
    }
    std::free(effect);
    return 1;
}

}  // namespace

int32_t vantic_TargetListEffectUpdate(TargetList *list) {
    if (!list) return 0;
    const int32_t n = vantic::CountEffectTargets(list->objectid);
    // Contract: the failure text clients see.
    uint32_t *effect = EffectTargets(list, n, "Couldn't fxTargetListEffectUpdate()");
    if (!effect) return 0;  // no targets: the list is left as it is, not emptied
    int32_t result = 1;
    for (int32_t i = 0; i < list->numtargets;) {
        if (Contains(effect, n, list->targetid[i])) {
            ++i;
        } else if (vantic::RemoveTarget(list, list->targetid[i]) != vantic::TargetEdit::Done) {
            result = 0;  // out of memory: the list stays as it is now
            break;
        }
    }
    for (int32_t k = 0; k < n && result; ++k)
        if (vantic_FindTargetOrder(list, effect[k]) < 0 &&
            vantic::AppendTarget(list, effect[k]) != vantic::TargetEdit::Done)
            result = 0;
    if (result) TargetListEffectOrder(list);
    std::free(effect);
    return result;
}
