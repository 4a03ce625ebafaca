// The hit fields of the brush record: what the last pick found.
#pragma once

#include "vanticAPI.h"

namespace vantic {

// Zeroes the fields that name a hit (target, polygon, triangle, edge, point, position, distance) and
// keeps hitBarycentric, as a ray cast that misses does. BrushClearHit clears the weights too.
void ClearHitNames(Brush *brush);

}  // namespace vantic
