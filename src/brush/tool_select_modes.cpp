// The selection modes of the tool: painting points (3), edges (4), edge loops (5) and polygons (6)
// under the mouse, and the box selection (8).
#include <cstdio>

#include "brush/box_marks.h"
#include "brush/brush.h"
#include "brush/point_arrays.h"
#include "brush/tool_steps.h"
#include "frame/host_lists.h"
#include "frame/host_table.h"

namespace vantic {

namespace {

// Applies the mode's select (button 0) or deselect (button 2) to the picked element of hitTarget.
void ApplyToPick(Brush *brush, bool select) {
    const KorrinItem target = brush->hitTarget;
    const int32_t edge[2] = {static_cast<int32_t>(brush->hitEdge[0]), static_cast<int32_t>(brush->hitEdge[1])};
    switch (brush->mode) {
        case 3: {
            const int32_t point = static_cast<int32_t>(brush->hitPoint);
            (select ? vantic_BrushSelectVertex : vantic_BrushDeselectVertex)(brush, target, point);
            break;
        }
        case 4: (select ? vantic_BrushSelectEdge : vantic_BrushDeselectEdge)(brush, target, edge); break;
        case 5: (select ? BrushSelectEdgeLoop : BrushDeselectEdgeLoop)(brush, target, edge); break;
        case 6: (select ? vantic_BrushSelectPolygon : vantic_BrushDeselectPolygon)(brush, target, brush->hitPolygon); break;
        default: break;
    }
}

// "ProceduralTypeSet(<tool object name>, on)": the tool object draws the box while it is dragged.
void SetBoxDrawing(const Brush &brush, int on) {
    char name[64] = {};
    FX(fxObjectGetName)(brush.toolObject, name, 64, 0);
    name[63] = '\0';
    char text[64 + 32];
    std::snprintf(text, sizeof text, on ? "ProceduralTypeSet(%s, 1)" : "ProceduralTypeSet(%s, 0)", name);
    FX(fxExpressionCompute)(text, 0);
}

// Calls visit(target index, point) for every marked point.
template <class Visit>
void ForEachMarked(const Brush &brush, Visit visit) {
    const int32_t targets = BoxMarkTargets(brush);
    for (int32_t t = 0; t < targets; ++t) {
        const int32_t *marks = brush.boxSelection[t];
        const int32_t n = BoxMarkCount(brush, t);
        for (int32_t p = 0; p < n; ++p)
            if (marks[p] != 0) visit(t, p);
    }
}

void BoxPress(Brush *brush) {
    ReadMouse(brush);
    brush->anchor[0] = brush->mouseX;
    brush->anchor[1] = brush->mouseY;
    brush->anchor[2] = 0.0;
    // A second press without a release starts the box again instead of losing the old marks.
    FreeBoxMarks(brush->boxSelection, brush->targetCount);
    brush->boxSelection = NewBoxMarks(*brush);
    if (!brush->boxSelection) return;  // out of memory: no box, so its drags and release do nothing
    SetBoxDrawing(*brush, 1);
    FX(fxInterfaceUpdate)(34, 0);
}

// Marks the points in the box and previews them in the host only, over the brush's own selection.
void BoxDrag(Brush *brush) {
    ReadMouse(brush);
    vantic_BrushDragBoxSelection(brush);
    vantic_BrushUpdateSelection(brush);
    const int32_t button = brush->mouseButton;
    ForEachMarked(*brush, [&](int32_t t, int32_t p) {
        if (button == kButtonPaint)
            FX(fxPointSelect_Set)(brush->targetIds[t], p);
        else if (button == kButtonResize || button == kButtonErase)
            FX(fxPointSelect_Clear)(brush->targetIds[t], p);
    });
    FX(fxInterfaceUpdate)(34, 0);
}

// Applies the marks of the last drag to the brush selection; the box is not measured again.
void BoxRelease(Brush *brush) {
    ReadMouse(brush);
    const int32_t button = brush->mouseButton;
    ForEachMarked(*brush, [&](int32_t t, int32_t p) {
        if (button == kButtonPaint)
            vantic_BrushSelectVertex(brush, brush->targetIds[t], p);
        else if (button == kButtonResize || button == kButtonErase)
            vantic_BrushDeselectVertex(brush, brush->targetIds[t], p);
    });
    vantic_BrushUpdateSelection(brush);
    FreeBoxMarks(brush->boxSelection, brush->targetCount);
    brush->boxSelection = nullptr;
    SetBoxDrawing(*brush, 0);
    FX(fxInterfaceUpdate)(34, 0);
}

}  // namespace

void SelectionPaintEvent(Brush *brush, int64_t event) {
    if (event != kEventPress && event != kEventDrag) return;
    ReadMouse(brush);
    if (brush->mouseButton != kButtonPaint && brush->mouseButton != kButtonErase) return;
    if (Pick(brush)) ApplyToPick(brush, brush->mouseButton == kButtonPaint);
    SelectionRedraw(brush);
}

void BoxSelectionEvent(Brush *brush, int64_t event) {
    if (event == kEventPress) return BoxPress(brush);
    // A drag or release without a press has no box: nothing changes.
    if (!brush->boxSelection) return;
    if (event == kEventDrag) BoxDrag(brush);
    else if (event == kEventRelease) BoxRelease(brush);
}

}  // namespace vantic
