// The targets of a host effect, in host order.
#pragma once

#include <cstdint>

#include "korrin_host_services.h"

namespace vantic {

// The first n targets: fxEffectTargetFirst, then fxEffectTargetNext from each one in turn.
void ReadEffectTargets(KorrinItem effect, int32_t n, uint32_t *targets);

}  // namespace vantic
