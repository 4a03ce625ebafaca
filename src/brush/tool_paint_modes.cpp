// The painting and dragging modes of the tool: weight brush (0), view-plane drag (1), surface drag
// (2) and selection by weights (7). Button 1 resizes the brush on drags in all four.
#include "brush/brush.h"
#include "brush/tool_steps.h"
#include "geometry/vec3_ops.h"

namespace vantic {

namespace {

bool ResizeDrag(Brush *brush, int64_t event) {
    if (event != kEventDrag || brush->mouseButton != kButtonResize) return false;
    Resize(brush);
    Redraw(brush);
    return true;
}

void ReleaseClearingHit(Brush *brush) {
    ReadMouse(brush);
    BrushClearHit(brush);
    Redraw(brush);
}

// The hit fields a surface drag keeps from its press while it picks anew on every event.
struct SurfaceHold {
    uint32_t target;
    uint32_t triangle[3];
    double barycentric[3];
    double position[3];
};

SurfaceHold Hold(const Brush &brush) {
    SurfaceHold h{};
    h.target = brush.hitTarget;
    for (int i = 0; i < 3; ++i) {
        h.triangle[i] = brush.hitTriangle[i];
        h.barycentric[i] = brush.hitBarycentric[i];
        h.position[i] = brush.hitPosition[i];
    }
    return h;
}

void Restore(Brush *brush, const SurfaceHold &h) {
    brush->hitTarget = h.target;
    for (int i = 0; i < 3; ++i) {
        brush->hitTriangle[i] = h.triangle[i];
        brush->hitBarycentric[i] = h.barycentric[i];
        brush->hitPosition[i] = h.position[i];
    }
}

}  // namespace

void WeightBrushEvent(Brush *brush, int64_t event) {
    if (event == kEventRelease) return ReleaseClearingHit(brush);
    if (event != kEventPress && event != kEventDrag) return;
    if (ResizeDrag(brush, event)) return;
    ReadMouse(brush);
    if (Pick(brush)) {
        geo::Copy(brush->hitPosition, brush->anchor);
        vantic_BrushCalculateWeights(brush);
    } else {
        BrushClearHit(brush);
    }
    Redraw(brush);
}

void ViewPlaneDragEvent(Brush *brush, int64_t event) {
    if (ResizeDrag(brush, event)) return;
    if (event == kEventPress) {
        ReadMouse(brush);
        if (Pick(brush)) Grab(brush);
        vantic_BrushCalculateWeights(brush);  // nothing without a hit
        Redraw(brush);
    } else if (event == kEventDrag) {
        // The plane runs through the press's hit; the drag does not pick again.
        ReadMouse(brush);
        MoveAnchorOnViewPlane(brush, brush->hitPosition);
        Redraw(brush);
    } else if (event == kEventRelease) {
        ReadMouse(brush);
        geo::Zero(brush->delta);
        geo::Zero(brush->anchor);
        BrushClearHit(brush);
        Redraw(brush);
    }
}

void SurfaceDragEvent(Brush *brush, int64_t event) {
    if (event == kEventRelease) return ReleaseClearingHit(brush);
    if (event == kEventPress) {
        ReadMouse(brush);
        if (!Pick(brush)) return;  // a press beside the targets does nothing more, not even redraw
        Grab(brush);
        vantic_BrushCalculateWeights(brush);
        Redraw(brush);
        return;
    }
    if (event != kEventDrag) return;
    const SurfaceHold held = Hold(*brush);
    ReadMouse(brush);
    if (!Pick(brush)) {
        // Off the targets the anchor slides on the view plane; the failed pick cleared hitTarget,
        // so the weights stay as they were.
        geo::Copy(brush->anchor, brush->hitPosition);
        geo::Zero(brush->delta);
        MoveAnchorOnViewPlane(brush, brush->hitPosition);
        vantic_BrushCalculateWeights(brush);
        Restore(brush, held);
    } else if (brush->mouseButton == kButtonResize) {
        Resize(brush);  // the new pick stays
    } else {
        Grab(brush);
        MoveAnchorOnViewPlane(brush, brush->hitPosition);
        vantic_BrushCalculateWeights(brush);
        Restore(brush, held);
    }
    Redraw(brush);
}

void SelectByWeightsEvent(Brush *brush, int64_t event) {
    if (event == kEventRelease) return ReleaseClearingHit(brush);
    if (event != kEventPress && event != kEventDrag) return;
    if (ResizeDrag(brush, event)) return;
    ReadMouse(brush);
    if (brush->mouseButton == kButtonResize) {
        BrushUpdateDisplay(brush);  // a press with button 1 only moves the drawn brush
        return;
    }
    if (Pick(brush)) {
        vantic_BrushCalculateWeights(brush);
        BrushSelectByWeights(brush);
        vantic_BrushUpdateSelection(brush);
    } else {
        BrushClearHit(brush);
    }
    Redraw(brush);
}

}  // namespace vantic
