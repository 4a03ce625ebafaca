#include "binding/effect_targets.h"

#include "binding/host_table.h"

namespace vantic {

namespace {

// The one walk both readers share: visit(target) for the first target and each successor in turn,
// until visit returns false.
template <class Visit>
void WalkEffectTargets(KorrinItem effect, Visit visit) {
    KorrinItem target = FX(fxEffectTargetFirst)(effect, 0);
    while (visit(target)) target = FX(fxEffectTargetNext)(effect, target, 0);
}

}  // namespace

int32_t CountEffectTargets(KorrinItem effect) {
    int32_t steps = 0;
    KorrinItem previous = 0;
    WalkEffectTargets(effect, [&](KorrinItem target) {
        if (steps == 0 && target == 0) return false;  // no first target: no walk at all
        if (steps > 0 && target == previous) return false;
        ++steps;
        previous = target;
        return true;
    });
    return steps > 0 ? steps - 1 : 0;
}

void ReadEffectTargets(KorrinItem effect, int32_t n, uint32_t *targets) {
    int32_t i = 0;
    WalkEffectTargets(effect, [&](KorrinItem target) {
        if (i >= n) return false;
        targets[i++] = target;
        return true;
    });
}

}  // namespace vantic
