// The selection flags a per-target operation works on.
#pragma once

#include <cstdint>

#include "binding/host_lists.h"
#include "brush/brush.h"
#include "brush/point_arrays.h"

namespace vantic {

// A target's flags and how many of them a loop may touch.
struct TargetFlags {
    int32_t *flags = nullptr;  // null when the target is not on the brush (or there is no brush)
    int32_t count = 0;         // the host's point count, bounded by the flags the module made
    int32_t points = 0;        // the host's point count
};

inline TargetFlags TargetSelectionFlags(Brush *brush, KorrinItem target) {
    const int32_t t = vantic_BrushFindTargetOrder(brush, target);
    const BrushArrays *own = OwnArrays(brush);
    if (t < 0 || !own || !brush->selection || !brush->selection[t]) return {};
    const int32_t points = MeshPointCount(target);
    const int32_t length = own->targets[t].length;
    return {brush->selection[t], points < length ? (points > 0 ? points : 0) : length, points};
}

}  // namespace vantic
