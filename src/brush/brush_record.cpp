// Creating a brush with its host items, finding it again from its action, and deleting it.
#include <cstdlib>

#include "binding/data_keys.h"
#include "binding/host_table.h"
#include "brush/box_selection.h"
#include "brush/brush.h"
#include "brush/point_arrays.h"
#include "geometry/view_queries.h"

namespace {

using vantic::BrushAttachment;
using vantic::kBrushAttachmentKey;

// Contract: the sender, code, kind and texts of the brush's messages are what clients read in the
// host's message log; the host items' names are what the user sees in the scene.
constexpr const char *kSource = "Brush.c";

// Clears the host selection of each target the module can reach, then frees everything the module
// made for the brush; arrays a client put into the record are the client's.
void FreeTargets(Brush *brush, BrushAttachment *attachment) {
    if (!attachment) return;
    const int32_t count = vantic::ReachableTargets(brush, &attachment->arrays);
    if (brush->targetIds)
        for (int32_t i = 0; i < count; ++i) FX(fxPointSelect_ClearAll)(brush->targetIds[i]);
    vantic::FreeBrushArrays(attachment->arrays);
}

}  // namespace

BrushAttachment *vantic::BrushGetAttachment(KorrinItem action) {
    return static_cast<BrushAttachment *>(FX(fxDataGet)(action, kBrushAttachmentKey, 0));
}

int32_t vantic_CreateBrush(const char *key, int32_t dataId) {
    if (!key) return 0;
    auto *brush = static_cast<Brush *>(std::calloc(1, sizeof(Brush)));
    if (!brush) {
        FX(fxMessageSend)(0, kSource, KORRIN_MESSAGE_ERROR, "Couldn't allocate FXbrush", "Error");
        return 0;
    }
    brush->armature = FX(fxArmatureCreate)("BrushSystem(antitrademark)", 0);
    brush->handle = FX(fxHandleCreate)("BrushHandle", brush->armature, brush->armature, 0);
    // Contract: the handle settings (no icons, the pixel-size pair, position type and alignments 1) are
    // the host's values for a tool handle; their meaning is the host's.
    FX(fxHandleIconSet)(brush->handle, 0, "", 0);
    FX(fxHandleIconActiveSet)(brush->handle, 0, "", 0);
    FX(fxHandleSetPixelSize)(brush->handle, 0.1, 2560.0, 0);
    FX(fxHandlePosTypeSet)(brush->handle, 1, 0);
    FX(fxHandleHAlignSet)(brush->handle, 1, 0);
    FX(fxHandleVAlignSet)(brush->handle, 1, 0);
    const double origin[3] = {0.0, 0.0, 0.0};
    FX(fxHandlePosSet)(brush->handle, origin, 0);
    brush->viewType = vantic::GetCurrentViewType();
    brush->action = FX(fxActionCreate)(brush->handle, KORRIN_ACTION_MODULE_TYPE, 0, "vanticBrush", 0);
    FX(fxDataSet)(brush->action, key, static_cast<uint32_t>(dataId), brush);

    brush->mode = VANTIC_MODE_VIEW_PLANE_DRAG;
    brush->pickMode = VANTIC_PICK_RAY_CAST;
    brush->weightMode = VANTIC_WEIGHTS_DISTANCE;
    brush->radius = 100.0;
    brush->falloff = 1.0;
    vantic::BrushCreateTool(brush);

    auto *attachment = static_cast<BrushAttachment *>(std::calloc(1, sizeof(BrushAttachment)));
    if (attachment) {
        FX(fxDataSet)(brush->action, kBrushAttachmentKey, 0, attachment);
        attachment->key = reinterpret_cast<uint64_t>(key);
        attachment->dataId = dataId;
        attachment->brush = brush;
    } else {
        FX(fxMessageSend)(brush->action, kSource, KORRIN_MESSAGE_ERROR, "Couldn't allocate Brush state data", "Error");
    }
    return static_cast<int32_t>(brush->action);
}

Brush *vantic_FetchBrush(KorrinItem action, const char *key, int32_t dataId) {
    if (!key) return nullptr;
    return static_cast<Brush *>(FX(fxDataGet)(action, key, static_cast<uint32_t>(dataId)));
}

int32_t vantic_DeleteBrush(KorrinItem action, const char *key, int32_t dataId) {
    Brush *brush = vantic_FetchBrush(action, key, dataId);
    if (!brush) return 0;
    const KorrinItem tool = brush->toolObject;
    const KorrinItem armature = brush->armature;
    const KorrinItem brushAction = brush->action;

    BrushAttachment *attachment = vantic::BrushGetAttachment(action);
    FreeTargets(brush, attachment && attachment->brush == brush ? attachment : nullptr);
    FX(fxDataFree)(action, key, static_cast<uint32_t>(dataId));
    std::free(brush);

    FX(fxDataFree)(action, kBrushAttachmentKey, 0);
    std::free(attachment);

    FX(fxObjectDeleteBegin)(brushAction, 0);
    FX(fxObjectDelete)(tool, 0);
    FX(fxObjectDeleteEnd)(brushAction, 0);
    FX(fxArmatureDelete)(armature, 0);
    return 1;
}
