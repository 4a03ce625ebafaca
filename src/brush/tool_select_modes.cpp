// The selection modes of the tool: painting points, edges, edge loops and polygons under the mouse.
#include "brush/brush.h"
#include "brush/tool_modes.h"
#include "brush/tool_steps.h"

namespace vantic {

namespace {

// Applies the mode's select (VANTIC_BUTTON_PAINT) or deselect (VANTIC_BUTTON_ERASE) to the picked
// element of hitTarget.
void ApplyToPick(Brush *brush, bool select) {
    const KorrinItem target = brush->hitTarget;
    const int32_t edge[2] = {static_cast<int32_t>(brush->hitEdge[0]), static_cast<int32_t>(brush->hitEdge[1])};
    switch (brush->mode) {
        case VANTIC_MODE_SELECT_POINTS: {
            const int32_t point = static_cast<int32_t>(brush->hitPoint);
            (select ? vantic_BrushSelectVertex : vantic_BrushDeselectVertex)(brush, target, point);
            break;
        }
        case VANTIC_MODE_SELECT_EDGES:
            (select ? vantic_BrushSelectEdge : vantic_BrushDeselectEdge)(brush, target, edge);
            break;
        case VANTIC_MODE_SELECT_EDGE_LOOPS:
            (select ? BrushSelectEdgeLoop : BrushDeselectEdgeLoop)(brush, target, edge);
            break;
        case VANTIC_MODE_SELECT_POLYGONS:
            (select ? vantic_BrushSelectPolygon : vantic_BrushDeselectPolygon)(brush, target, brush->hitPolygon);
            break;
        default: break;
    }
}

}  // namespace

void SelectionPaintEvent(Brush *brush, int64_t event) {
    if (event != KORRIN_EVENT_PRESS && event != KORRIN_EVENT_DRAG) return;
    ReadMouse(brush);
    if (brush->mouseButton != VANTIC_BUTTON_PAINT && brush->mouseButton != VANTIC_BUTTON_ERASE) return;
    if (Pick(brush)) ApplyToPick(brush, brush->mouseButton == VANTIC_BUTTON_PAINT);
    SelectionRedraw(brush);
}

}  // namespace vantic
