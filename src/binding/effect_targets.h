// The targets of a host effect, in host order: fxEffectTargetFirst, then fxEffectTargetNext from each
// target in turn.
#pragma once

#include <cstdint>

#include "korrin_host_services.h"

namespace vantic {

// How many targets the effect has. The host answers 0 after the last target and again after 0, so the
// walk stops one step past the end: one more step than there are targets.
int32_t CountEffectTargets(KorrinItem effect);

// The first n targets.
void ReadEffectTargets(KorrinItem effect, int32_t n, uint32_t *targets);

}  // namespace vantic
