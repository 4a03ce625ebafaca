// The interactive brush tool: the "vanticBrush" module callback turns the host's action events
// into brush work according to the brush's mode.
#include <cstdint>

#include "brush/brush.h"
#include "brush/point_arrays.h"
#include "brush/tool_steps.h"
#include "frame/host_lists.h"
#include "frame/host_table.h"
#include "geometry/view_queries.h"

int32_t BrushModuleCallback(KorrinHandle context, KorrinItem action, int32_t message, int64_t parameter) {
    if (message == 26) return BrushActionEvent(context, action, parameter);
    if (message == 30 && parameter == 256) FX(fxInitAction)(1);
    return 0;
}

int32_t BrushActionEvent(KorrinHandle context, KorrinItem action, int64_t event) {
    const KorrinItem handle = FX(fxActionHandle)(action, 0);
    if (event == vantic::kEventDestroy) {
        // The brush record itself is left to the client's vantic_DeleteBrush.
        FX(fxArmatureDelete)(FX(fxHandleArmature)(handle, 0), 0);
        return 0;
    }
    const BrushAttachment *attachment = BrushGetAttachment(action);
    if (!attachment) return 1;
    const char *key = reinterpret_cast<const char *>(static_cast<uintptr_t>(attachment->key));
    Brush *brush = vantic_FetchBrush(action, key, attachment->dataId);
    if (!brush) return 1;
    if (event == vantic::kEventSave) {
        const KorrinHandle format = FX(fxFormatNew)(context, "BrushActionInfo", 0);
        FX(fxArgSaveInt)(format, "JumpingThroughHoops", 7175, 0);
        return 0;
    }
    brush->mouseButton = FX(fxHandleMouseButton)(0);
    if (event == vantic::kEventPress) {
        // Painting and dragging strokes start with an undo step; resizing is no stroke.
        if (brush->mouseButton != vantic::kButtonResize && brush->mode >= 0 && brush->mode < 3) BrushStoreUndo(brush);
        brush->viewType = GetCurrentViewType();
    }
    return BrushToolEvent(brush, event);
}

int32_t BrushToolEvent(Brush *brush, int64_t event) {
    switch (brush->mode) {
        case 0: vantic::WeightBrushEvent(brush, event); break;
        case 1: vantic::ViewPlaneDragEvent(brush, event); break;
        case 2: vantic::SurfaceDragEvent(brush, event); break;
        case 3:
        case 4:
        case 5:
        case 6: vantic::SelectionPaintEvent(brush, event); break;
        case 7: vantic::SelectByWeightsEvent(brush, event); break;
        case 8: vantic::BoxSelectionEvent(brush, event); break;
        default: break;  // any other mode does nothing
    }
    return 0;
}

void BrushClearHit(Brush *brush) {
    brush->hitTarget = 0;
    brush->hitPolygon = 0;
    brush->hitPoint = 0;
    brush->hitDistance = 0.0;
    for (int i = 0; i < 3; ++i) {
        brush->hitTriangle[i] = 0;
        brush->hitBarycentric[i] = 0.0;
        brush->hitPosition[i] = 0.0;
    }
    brush->hitEdge[0] = brush->hitEdge[1] = 0;
}

void BrushSelectByWeights(Brush *brush) {
    const int32_t t = vantic_BrushFindTargetOrder(brush, brush->hitTarget);
    if (t == -1) return;
    const int32_t button = brush->mouseButton;
    if (button != vantic::kButtonPaint && button != vantic::kButtonErase) return;
    const double *weights = brush->weights[t];
    const int32_t n = vantic::PointLoopCount(weights, vantic::MeshPointCount(brush->hitTarget));
    for (int32_t i = 0; i < n; ++i) {
        if (!(weights[i] > 1e-7)) continue;
        if (button == vantic::kButtonPaint)
            vantic_BrushSelectVertex(brush, brush->hitTarget, i);
        else
            vantic_BrushDeselectVertex(brush, brush->hitTarget, i);
    }
}
