// The selection flags a per-target operation works on.
#pragma once

#include <cstdint>

#include "brush/brush.h"

namespace vantic {

// The target's selection flags, or null when the target is not on the brush (or there is no brush).
inline int32_t *TargetSelectionFlags(Brush *brush, KorrinItem target) {
    const int32_t t = vantic_BrushFindTargetOrder(brush, target);
    return t < 0 || !brush->selection ? nullptr : brush->selection[t];
}

}  // namespace vantic
