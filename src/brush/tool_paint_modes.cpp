// The painting and dragging modes of the tool: weight brush, view-plane drag, surface drag and
// selection by weights. VANTIC_BUTTON_RESIZE resizes the brush on drags in all four.
#include "binding/host_lists.h"
#include "brush/brush.h"
#include "brush/point_arrays.h"
#include "brush/point_snapshot.h"
#include "brush/tool_modes.h"
#include "brush/tool_steps.h"
#include "geometry/vec3_ops.h"

namespace vantic {

namespace {

bool ResizeDrag(Brush *brush, int64_t event) {
    if (event != KORRIN_EVENT_DRAG || brush->mouseButton != VANTIC_BUTTON_RESIZE) return false;
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

// Selects (VANTIC_BUTTON_PAINT) or deselects (VANTIC_BUTTON_ERASE) every point of the hit target
// whose weight is above the tool's coverage threshold.
void BrushSelectByWeights(Brush *brush) {
    const int32_t t = vantic_BrushFindTargetOrder(brush, brush->hitTarget);
    if (t == -1) return;
    const int32_t button = brush->mouseButton;
    if (button != VANTIC_BUTTON_PAINT && button != VANTIC_BUTTON_ERASE) return;
    const BrushArrays *own = OwnArrays(brush);
    const double *weights = brush->weights ? brush->weights[t] : nullptr;
    if (!own || !weights) return;
    const int32_t n = TargetPointCount(*own, t, brush->hitTarget);
    for (int32_t i = 0; i < n; ++i) {
        if (!(weights[i] > 1e-7)) continue;
        if (button == VANTIC_BUTTON_PAINT)
            vantic_BrushSelectVertex(brush, brush->hitTarget, i);
        else
            vantic_BrushDeselectVertex(brush, brush->hitTarget, i);
    }
}

}  // namespace

void WeightBrushEvent(Brush *brush, int64_t event) {
    if (event == KORRIN_EVENT_RELEASE) return ReleaseClearingHit(brush);
    if (event != KORRIN_EVENT_PRESS && event != KORRIN_EVENT_DRAG) return;
    if (ResizeDrag(brush, event)) return;
    ReadMouse(brush);
    PointSnapshot points(brush, true);
    if (Pick(brush, points)) {
        geo::Copy(brush->hitPosition, brush->anchor);
        Weigh(brush, points);
    } else {
        BrushClearHit(brush);
    }
    Redraw(brush);
}

void ViewPlaneDragEvent(Brush *brush, int64_t event) {
    if (ResizeDrag(brush, event)) return;
    if (event == KORRIN_EVENT_PRESS) {
        ReadMouse(brush);
        PointSnapshot points(brush, true);
        if (Pick(brush, points)) Grab(brush);
        Weigh(brush, points);  // nothing without a hit
        Redraw(brush);
    } else if (event == KORRIN_EVENT_DRAG) {
        // The plane runs through the press's hit; the drag does not pick again.
        ReadMouse(brush);
        MoveAnchorOnViewPlane(brush, brush->hitPosition);
        Redraw(brush);
    } else if (event == KORRIN_EVENT_RELEASE) {
        ReadMouse(brush);
        geo::Zero(brush->delta);
        geo::Zero(brush->anchor);
        BrushClearHit(brush);
        Redraw(brush);
    }
}

void SurfaceDragEvent(Brush *brush, int64_t event) {
    if (event == KORRIN_EVENT_RELEASE) return ReleaseClearingHit(brush);
    if (event == KORRIN_EVENT_PRESS) {
        ReadMouse(brush);
        PointSnapshot points(brush, true);
        if (!Pick(brush, points)) return;  // a press beside the targets does nothing more, not even redraw
        Grab(brush);
        Weigh(brush, points);
        Redraw(brush);
        return;
    }
    if (event != KORRIN_EVENT_DRAG) return;
    const SurfaceHold held = Hold(*brush);
    ReadMouse(brush);
    PointSnapshot points(brush, true);
    if (!Pick(brush, points)) {
        // Off the targets the anchor slides on the view plane; the failed pick cleared hitTarget,
        // so the weights stay as they were.
        geo::Copy(brush->anchor, brush->hitPosition);
        geo::Zero(brush->delta);
        MoveAnchorOnViewPlane(brush, brush->hitPosition);
        Weigh(brush, points);
        Restore(brush, held);
    } else if (brush->mouseButton == VANTIC_BUTTON_RESIZE) {
        Resize(brush);  // the new pick stays
    } else {
        Grab(brush);
        MoveAnchorOnViewPlane(brush, brush->hitPosition);
        Weigh(brush, points);
        Restore(brush, held);
    }
    Redraw(brush);
}

void SelectByWeightsEvent(Brush *brush, int64_t event) {
    if (event == KORRIN_EVENT_RELEASE) return ReleaseClearingHit(brush);
    if (event != KORRIN_EVENT_PRESS && event != KORRIN_EVENT_DRAG) return;
    if (ResizeDrag(brush, event)) return;
    ReadMouse(brush);
    if (brush->mouseButton == VANTIC_BUTTON_RESIZE) {
        BrushUpdateDisplay(brush);  // a press with the resize button only moves the drawn brush
        return;
    }
    PointSnapshot points(brush, true);
    if (Pick(brush, points)) {
        Weigh(brush, points);
        BrushSelectByWeights(brush);
        vantic_BrushUpdateSelection(brush);
    } else {
        BrushClearHit(brush);
    }
    Redraw(brush);
}

}  // namespace vantic
