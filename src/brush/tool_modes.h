// The brush tool's per-mode handlers, which brush_tool.cpp dispatches to by Brush.mode. Each takes an
// action event (KORRIN_EVENT_PRESS, _DRAG, _RELEASE) and ignores the events it has no step for.
#pragma once

#include <cstdint>

#include "vanticAPI.h"

namespace vantic {

void WeightBrushEvent(Brush *brush, int64_t event);      // VANTIC_MODE_WEIGHTS (tool_paint_modes.cpp)
void ViewPlaneDragEvent(Brush *brush, int64_t event);    // VANTIC_MODE_VIEW_PLANE_DRAG (tool_paint_modes.cpp)
void SurfaceDragEvent(Brush *brush, int64_t event);      // VANTIC_MODE_SURFACE_DRAG (tool_paint_modes.cpp)
void SelectByWeightsEvent(Brush *brush, int64_t event);  // VANTIC_MODE_SELECT_BY_WEIGHTS (tool_paint_modes.cpp)
void SelectionPaintEvent(Brush *brush, int64_t event);   // VANTIC_MODE_SELECT_POINTS to _POLYGONS (tool_select_modes.cpp)
void BoxSelectionEvent(Brush *brush, int64_t event);     // VANTIC_MODE_BOX_SELECTION (box_selection.cpp)

}  // namespace vantic
