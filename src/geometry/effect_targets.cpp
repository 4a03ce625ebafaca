#include "frame/host_table.h"
#include "geometry/mesh_queries.h"

int32_t vantic_EffectTargetCount(KorrinItem effect) {
    KorrinItem target = FX(fxEffectTargetFirst)(effect, 0);
    if (target == 0) return 0;
    // The host answers 0 after the last target and again after 0, so the walk stops one step past
    // the end: one more step than there are targets.
    int32_t steps = 0;
    KorrinItem previous;
    do {
        ++steps;
        previous = target;
        target = FX(fxEffectTargetNext)(effect, previous, 0);
    } while (target != previous);
    return steps - 1;
}
