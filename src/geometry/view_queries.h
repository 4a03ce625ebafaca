// Where the eye of the current viewport is and where it looks, read through host expressions.
#pragma once

#include <cstdint>

void vantic_GetViewOrigin(double *origin);
void vantic_GetViewDirection(double *direction);

namespace vantic {

// The current viewport's view-type code; KORRIN_VIEW_PERSPECTIVE when the host writes nothing.
int32_t GetCurrentViewType();
// The eye origin and viewing direction for a view type; for a type it does not act on, the origin is
// (0, 0, 0) and direction keeps what the caller had in it.
void GetCurrentViewRay(int32_t viewType, double *origin, double *direction);

}  // namespace vantic
