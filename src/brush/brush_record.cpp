// Creating a brush with its host items, finding it again from its action, and deleting it.
#include <cstdlib>

#include "brush/box_marks.h"
#include "brush/brush.h"
#include "brush/point_arrays.h"
#include "frame/host_table.h"
#include "geometry/triangulation.h"
#include "geometry/view_queries.h"

namespace {

constexpr const char *kAttachmentKey = "BrushPointerUsedToAttachData";
constexpr const char *kSource = "Brush.c";
// Keys and sets the tool object's channels as animated values the brush owns.
constexpr uint32_t kBrushChannel = 0x80000000u;

void SetToolChannel(KorrinItem tool, int32_t code, double value) {
    FX(fxKeyChannelsSet)(tool, 0, code, &value, kBrushChannel);
    FX(fxChannelsSet)(tool, code, &value, kBrushChannel);
}

// Frees the per-target arrays and meshes; the host selection of each target is cleared on the way.
void FreeTargets(Brush *brush) {
    const int32_t count = brush->targetCount > 0 ? brush->targetCount : 0;
    for (int32_t i = 0; i < count; ++i) {
        if (brush->selection) {
            FX(fxPointSelect_ClearAll)(brush->targetIds[i]);
            vantic::FreePointArray(brush->selection[i]);
        }
        if (brush->weights) vantic::FreePointArray(brush->weights[i]);
        if (brush->targetMeshes && brush->targetMeshes[i]) vantic_FreeMesh(brush->targetMeshes[i]);
    }
    std::free(brush->selection);
    std::free(brush->weights);
    std::free(brush->targetMeshes);
    // A brush deleted in the middle of a box drag still owns its marks.
    vantic::FreeBoxMarks(brush->boxSelection, brush->targetCount);
    std::free(brush->targetIds);
}

}  // namespace

BrushAttachment *BrushGetAttachment(KorrinItem action) {
    return static_cast<BrushAttachment *>(FX(fxDataGet)(action, kAttachmentKey, 0));
}

int32_t vantic_CreateBrush(const char *key, int32_t dataId) {
    auto *brush = static_cast<Brush *>(std::calloc(1, sizeof(Brush)));
    if (!brush) {
        FX(fxMessageSend)(0, kSource, 256, "Couldn't allocate FXbrush", "Error");
        return 0;
    }
    brush->armature = FX(fxArmatureCreate)("BrushSystem(antitrademark)", 0);
    brush->handle = FX(fxHandleCreate)("BrushHandle", brush->armature, brush->armature, 0);
    FX(fxHandleIconSet)(brush->handle, 0, "", 0);
    FX(fxHandleIconActiveSet)(brush->handle, 0, "", 0);
    FX(fxHandleSetPixelSize)(brush->handle, 0.1, 2560.0, 0);
    FX(fxHandlePosTypeSet)(brush->handle, 1, 0);
    FX(fxHandleHAlignSet)(brush->handle, 1, 0);
    FX(fxHandleVAlignSet)(brush->handle, 1, 0);
    const double origin[3] = {0.0, 0.0, 0.0};
    FX(fxHandlePosSet)(brush->handle, origin, 0);
    brush->viewType = GetCurrentViewType();
    brush->action = FX(fxActionCreate)(brush->handle, 2, 0, "vanticBrush", 0);
    FX(fxDataSet)(brush->action, key, static_cast<uint32_t>(dataId), brush);

    brush->mode = 1;
    brush->pickMode = 0;
    brush->weightMode = 0;
    brush->radius = 100.0;
    brush->falloff = 1.0;
    BrushCreateTool(brush);

    auto *attachment = static_cast<BrushAttachment *>(std::calloc(1, sizeof(BrushAttachment)));
    if (attachment) {
        FX(fxDataSet)(brush->action, kAttachmentKey, 0, attachment);
        attachment->key = reinterpret_cast<uint64_t>(key);
        attachment->dataId = dataId;
    } else {
        FX(fxMessageSend)(brush->action, kSource, 256, "Couldn't allocate Brush state data", "Error");
    }
    return static_cast<int32_t>(brush->action);
}

void BrushCreateTool(Brush *brush) {
    if (!brush) return;
    const KorrinItem tool = FX(fxToolCreate)("Procedural", "Brush", 0, 0);
    brush->toolObject = tool;

    // The tool object must not hang under whatever was current; put the current object back after.
    const KorrinItem current = FX(fxObjectCurrent)(0);
    FX(fxObjectDeselectAll)(0);
    FX(fxObjectSetCurrent)(tool, 0);
    int32_t unused = 0;
    FX(fxExpComputeInt)("unparentItems(0)", &unused);
    FX(fxObjectSetCurrent)(current, 0);

    FX(fxObjectDrawModeSet)(tool, "Edges", 0);
    for (int32_t code = 0; code < 20; ++code) {
        FX(fxChannelOptionsClear)(tool, code, 2);
        FX(fxChannelOptionsSet)(tool, code, 1);
    }
    static constexpr struct {
        int32_t code;
        double value;
    } kStart[] = {{12, 1.0}, {14, 1.0}, {16, 1.0}, {13, 0.0}, {15, 0.0}, {18, 0.0}, {17, 0.01}, {19, 0.25}};
    for (const auto &channel : kStart) SetToolChannel(tool, channel.code, channel.value);
    // Channel 15 carries the undo slot: start its key at slot 0.
    const double slot = 0.0;
    FX(fxKeyChannelsSet)(tool, 0, 15, &slot, kBrushChannel);
}

Brush *vantic_FetchBrush(KorrinItem action, const char *key, int32_t dataId) {
    return static_cast<Brush *>(FX(fxDataGet)(action, key, static_cast<uint32_t>(dataId)));
}

int32_t vantic_DeleteBrush(KorrinItem action, const char *key, int32_t dataId) {
    Brush *brush = vantic_FetchBrush(action, key, dataId);
    if (!brush) return 0;
    const KorrinItem tool = brush->toolObject;
    const KorrinItem armature = brush->armature;
    const KorrinItem brushAction = brush->action;

    FreeTargets(brush);
    FX(fxDataFree)(action, key, static_cast<uint32_t>(dataId));
    std::free(brush);

    BrushAttachment *attachment = BrushGetAttachment(action);
    FX(fxDataFree)(action, kAttachmentKey, 0);
    std::free(attachment);

    FX(fxObjectDeleteBegin)(brushAction, 0);
    FX(fxObjectDelete)(tool, 0);
    FX(fxObjectDeleteEnd)(brushAction, 0);
    FX(fxArmatureDelete)(armature, 0);
    return 1;
}
