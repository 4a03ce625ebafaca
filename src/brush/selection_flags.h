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
    // One look-up of the module's record serves both the search and the bound: selection calls run
    // once per point in box releases and selections by weight.
    const BrushArrays *own = OwnArrays(brush);
    const int32_t t = TargetOrder(brush, own, target);
    if (t < 0 || !brush->selection || !brush->selection[t]) return {};
    const int32_t points = MeshPointCount(target);
    return {brush->selection[t], BoundedPointCount(own->targets[t].length, points), points};
}

}  // namespace vantic
