// The interactive brush tool: the "vanticBrush" module callback turns the host's action events
// into brush work, dispatched by the brush's mode to the handlers of tool_modes.h.
#include <cstdint>

#include "binding/host_table.h"
#include "brush/brush.h"
#include "brush/tool_modes.h"
#include "geometry/view_queries.h"

namespace vantic {

namespace {

// Painting and dragging strokes start with an undo step.
bool IsStrokeMode(int32_t mode) {
    return mode == VANTIC_MODE_WEIGHTS || mode == VANTIC_MODE_VIEW_PLANE_DRAG || mode == VANTIC_MODE_SURFACE_DRAG;
}

}  // namespace

int32_t BrushModuleCallback(KorrinHandle context, KorrinItem action, int32_t message, int64_t parameter) {
    if (message == KORRIN_MODULE_MESSAGE_ACTION_EVENT) return BrushActionEvent(context, action, parameter);
    if (message == KORRIN_MODULE_MESSAGE_ACTION_INIT && parameter == KORRIN_ACTION_INIT_SUBCODE) FX(fxInitAction)(1);
    return 0;
}

int32_t BrushActionEvent(KorrinHandle context, KorrinItem action, int64_t event) {
    const KorrinItem handle = FX(fxActionHandle)(action, 0);
    if (event == KORRIN_EVENT_DESTROY) {
        // The brush record itself is left to the client's vantic_DeleteBrush.
        FX(fxArmatureDelete)(FX(fxHandleArmature)(handle, 0), 0);
        return 0;
    }
    const BrushAttachment *attachment = BrushGetAttachment(action);
    if (!attachment) return 1;
    const char *key = reinterpret_cast<const char *>(static_cast<uintptr_t>(attachment->key));
    Brush *brush = vantic_FetchBrush(action, key, attachment->dataId);
    if (!brush) return 1;
    if (event == KORRIN_EVENT_SAVE) {
        // Contract: saved scenes hold this block, key and value.
        const KorrinHandle format = FX(fxFormatNew)(context, "BrushActionInfo", 0);
        FX(fxArgSaveInt)(format, "JumpingThroughHoops", 7175, 0);
        return 0;
    }
    brush->mouseButton = FX(fxHandleMouseButton)(0);
    if (event == KORRIN_EVENT_PRESS) {
        // Resizing is no stroke.
        if (brush->mouseButton != VANTIC_BUTTON_RESIZE && IsStrokeMode(brush->mode)) BrushStoreUndo(brush);
        brush->viewType = GetCurrentViewType();
    }
    return BrushToolEvent(brush, event);
}

int32_t BrushToolEvent(Brush *brush, int64_t event) {
    switch (brush->mode) {
        case VANTIC_MODE_WEIGHTS: WeightBrushEvent(brush, event); break;
        case VANTIC_MODE_VIEW_PLANE_DRAG: ViewPlaneDragEvent(brush, event); break;
        case VANTIC_MODE_SURFACE_DRAG: SurfaceDragEvent(brush, event); break;
        case VANTIC_MODE_SELECT_POINTS:
        case VANTIC_MODE_SELECT_EDGES:
        case VANTIC_MODE_SELECT_EDGE_LOOPS:
        case VANTIC_MODE_SELECT_POLYGONS: SelectionPaintEvent(brush, event); break;
        case VANTIC_MODE_SELECT_BY_WEIGHTS: SelectByWeightsEvent(brush, event); break;
        case VANTIC_MODE_BOX_SELECTION: BoxSelectionEvent(brush, event); break;
        default: break;  // any other mode does nothing
    }
    return 0;
}

}  // namespace vantic
