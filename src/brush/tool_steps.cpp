#include "brush/tool_steps.h"

#include "binding/host_table.h"
#include "brush/brush.h"
#include "brush/mouse_ray.h"
#include "brush/point_snapshot.h"
#include "geometry/vec3_ops.h"
#include "geometry/vector_primitives.h"

namespace vantic {

void ReadMouse(Brush *brush) { FX(fxHandleMouseCurPos)(brush->handle, &brush->mouseX, &brush->mouseY, 0); }

void Resize(Brush *brush) {
    int32_t px = 0, py = 0, cx = 0, cy = 0;
    FX(fxHandleMousePrevPos)(brush->handle, &px, &py, 0);
    FX(fxHandleMouseCurPos)(brush->handle, &cx, &cy, 0);
    // The difference in 64 bits: two extreme pixel positions must not overflow an int.
    brush->radius += static_cast<double>(static_cast<int64_t>(cx) - px) * 0.25;
}

void Redraw(Brush *brush) {
    BrushUpdateDisplay(brush);
    FX(fxInterfaceUpdate)(KORRIN_UPDATE_VIEWPORTS, 0);
}

void SelectionRedraw(Brush *brush) {
    vantic_BrushUpdateSelection(brush);
    FX(fxInterfaceUpdate)(KORRIN_UPDATE_SELECTION, 0);
}

bool Pick(Brush *brush) { return vantic_BrushRayCast(brush) != 0; }

bool Pick(Brush *brush, PointSnapshot &points) {
    if (brush->pickMode != VANTIC_PICK_RAY_CAST) {
        BrushScreenPick(brush, &points);
        return true;  // as vantic_BrushRayCast reports it
    }
    return BrushRayCastOn(brush, points) != 0;
}

void Weigh(Brush *brush, PointSnapshot &points) { BrushCalculateWeightsOn(brush, &points); }

void Grab(Brush *brush) {
    geo::Copy(brush->hitPosition, brush->anchor);
    geo::Zero(brush->delta);
}

void MoveAnchorOnViewPlane(Brush *brush, const double *q) {
    const PixelRay ray = RayThroughPixel(brush->viewType, brush->mouseX, brush->mouseY);
    double t = 0.0, p[3];
    if (!vantic_RayIntersectPlane(ray.origin, ray.direction, ray.view, q, &t, p, 0)) {
        geo::Zero(brush->delta);
        return;
    }
    geo::Sub(p, brush->anchor, brush->delta);
    geo::Copy(p, brush->anchor);
}

}  // namespace vantic
