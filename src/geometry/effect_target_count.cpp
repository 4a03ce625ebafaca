#include "binding/effect_targets.h"
#include "geometry/mesh_queries.h"

int32_t vantic_EffectTargetCount(KorrinItem effect) { return vantic::CountEffectTargets(effect); }
