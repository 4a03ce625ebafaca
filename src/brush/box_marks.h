// The box marks of a box drag: brush->boxSelection holds one flag array per target, followed by a
// null entry, so a target added during the drag (targetCount grown past the marks) is never read.
#pragma once

#include <cstdint>

#include "vanticAPI.h"

namespace vantic {

// Zero marks for every target, or null (and nothing left allocated) when an allocation fails.
int32_t **NewBoxMarks(const Brush &brush);
// Frees every entry up to the null one, then the array; null is fine.
void FreeBoxMarks(int32_t **marks);
// How many targets have marks: the leading non-null entries, at most targetCount.
int32_t BoxMarkTargets(const Brush &brush);

}  // namespace vantic
