// The box marks of a box drag: brush->boxSelection holds one flag array per target, followed by a
// null entry, so a target added during the drag (targetCount grown past the marks) is never read.
// The flag arrays are plain calloc blocks, like the ones a client may set up itself before calling
// vantic_BrushDragBoxSelection: nothing is read in front of them, and free() releases either kind.
#pragma once

#include <cstdint>

#include "vanticAPI.h"

namespace vantic {

// Zero marks for every target, or null (and nothing left allocated) when an allocation fails.
int32_t **NewBoxMarks(const Brush &brush);
// Frees the entries of the first targetCount targets up to a null one, then the array; null is fine.
void FreeBoxMarks(int32_t **marks, int32_t targetCount);
// How many targets have marks: the leading non-null entries, at most targetCount.
int32_t BoxMarkTargets(const Brush &brush);
// How many marks of target t a loop may touch: the host's point count, bounded by the target's
// selection array. The marks the module makes are at least that long; a client's are as long as
// the host's count when it made them.
int32_t BoxMarkCount(const Brush &brush, int32_t t);

}  // namespace vantic
