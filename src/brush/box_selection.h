// The box selection (tool mode VANTIC_MODE_BOX_SELECTION): a press sets the first corner, every drag
// marks the targets' points that project strictly inside the box between it and the mouse, and the
// release selects or deselects the marked points.
//
// The marks: brush->boxSelection holds one flag array per target. The module records the marks it
// made (and their lengths) in its own arrays; a client may set up marks itself with plain calloc
// arrays, one entry per point, before calling vantic_BrushDragBoxSelection. The module frees only the
// marks it made; a target added during the drag has none and is never read.
#pragma once

#include <cstdint>

#include "brush/point_arrays.h"
#include "vanticAPI.h"

namespace vantic {

// A target removed during a box drag (at position k) takes its marks with it; the entries after it
// move down and the last one becomes null.
void RemoveTargetBoxMarks(Brush *brush, BrushArrays &own, int32_t k);

}  // namespace vantic
