// Building blocks of the interactive brush tool and its per-mode event handlers.
#pragma once

#include <cstdint>

#include "vanticAPI.h"

namespace vantic {

// Action event codes the host sends with module message 26.
enum ToolEvent : int64_t { kEventSave = 32, kEventDestroy = 64, kEventDrag = 256, kEventPress = 512, kEventRelease = 1024 };
// Mouse-button codes: 0 selects or paints, 1 resizes, 2 deselects.
enum ToolButton : int32_t { kButtonPaint = 0, kButtonResize = 1, kButtonErase = 2 };

// mouseX, mouseY = the handle's current mouse position.
void ReadMouse(Brush *brush);
// radius += a quarter of the horizontal mouse movement since the previous event; not clamped.
void Resize(Brush *brush);
// Moves the drawn brush under the mouse and asks the views to redraw.
void Redraw(Brush *brush);
// Pushes the brush selection into the host and asks for a selection redraw.
void SelectionRedraw(Brush *brush);
bool Pick(Brush *brush);
// anchor = hitPosition, delta = 0.
void Grab(Brush *brush);
// Moves the anchor to where the ray through the mouse meets the plane through q facing the view;
// delta takes the step. Without an intersection the anchor stays and delta is 0.
void MoveAnchorOnViewPlane(Brush *brush, const double *q);

// Per-mode handlers; each ignores the events it has no step for.
void WeightBrushEvent(Brush *brush, int64_t event);      // mode 0
void ViewPlaneDragEvent(Brush *brush, int64_t event);    // mode 1
void SurfaceDragEvent(Brush *brush, int64_t event);      // mode 2
void SelectionPaintEvent(Brush *brush, int64_t event);   // modes 3 to 6
void SelectByWeightsEvent(Brush *brush, int64_t event);  // mode 7
void BoxSelectionEvent(Brush *brush, int64_t event);     // mode 8

}  // namespace vantic
