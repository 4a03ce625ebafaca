#include "targetlist/effect_targets.h"

#include "frame/host_table.h"

namespace vantic {

void ReadEffectTargets(KorrinItem effect, int32_t n, uint32_t *targets) {
    KorrinItem target = FX(fxEffectTargetFirst)(effect, 0);
    for (int32_t i = 0; i < n; ++i) {
        targets[i] = target;
        target = FX(fxEffectTargetNext)(effect, target, 0);
    }
}

}  // namespace vantic
