// The box selection (tool mode VANTIC_MODE_BOX_SELECTION): a press sets the first corner, every drag
// marks the targets' points that project strictly inside the box between it and the mouse, and the
// release selects or deselects the marked points.
//
// The marks: brush->boxSelection holds one flag array per target, followed by a null entry, so a
// target added during the drag (targetCount grown past the marks) is never read. The flag arrays are
// plain calloc blocks, like the ones a client may set up itself before calling
// vantic_BrushDragBoxSelection: nothing is read in front of them, and free() releases either kind.
#pragma once

#include <cstdint>

#include "vanticAPI.h"

namespace vantic {

// Frees the entries of the first targetCount targets up to a null one, then the array; null is fine.
void FreeBoxMarks(int32_t **marks, int32_t targetCount);
// A target removed during a box drag (at position k) takes its marks with it; the null entry after
// the marked targets moves down with them.
void RemoveTargetBoxMarks(Brush *brush, int32_t k);

}  // namespace vantic
