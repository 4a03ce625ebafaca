// The brush: its record and targets, selection, picking, weights, undo and the interactive tool.
// Registered functions carry their registered names; the rest are the module's own routines.
#pragma once

#include <cstdint>

#include "brush/point_arrays.h"
#include "korrin_host_services.h"
#include "vanticAPI.h"

// ---- registered: record and targets (brush_record.cpp, brush_targets.cpp) ----
int32_t vantic_CreateBrush(const char *key, int32_t dataId);
Brush *vantic_FetchBrush(KorrinItem action, const char *key, int32_t dataId);
int32_t vantic_DeleteBrush(KorrinItem action, const char *key, int32_t dataId);
void vantic_BrushAddTarget(Brush *brush, KorrinItem targetId);
void vantic_BrushRemoveTarget(Brush *brush, KorrinItem targetId);
int32_t vantic_BrushFindTargetOrder(Brush *brush, KorrinItem targetId);

// ---- registered: selection (brush_selection.cpp) ----
void vantic_BrushSelectVertex(Brush *brush, KorrinItem target, int32_t point);
void vantic_BrushDeselectVertex(Brush *brush, KorrinItem target, int32_t point);
void vantic_BrushSelectEdge(Brush *brush, KorrinItem target, const int32_t *edge);
void vantic_BrushDeselectEdge(Brush *brush, KorrinItem target, const int32_t *edge);
void vantic_BrushSelectPolygon(Brush *brush, KorrinItem target, int32_t polygon);
void vantic_BrushDeselectPolygon(Brush *brush, KorrinItem target, int32_t polygon);
void vantic_BrushSelectTarget(Brush *brush, KorrinItem target);
void vantic_BrushDeselectTarget(Brush *brush, KorrinItem target);
void vantic_BrushSelectAll(Brush *brush);
void vantic_BrushDeselectAll(Brush *brush);
void vantic_BrushInverSelection(Brush *brush);
void vantic_BrushSetSelection(Brush *brush, KorrinItem target, const int32_t *values);
int32_t *vantic_BrushGetSelection(Brush *brush, KorrinItem target);
void vantic_BrushUpdateSelection(Brush *brush);

// ---- registered: picking, weights, undo (brush_pick.cpp, box_selection.cpp, brush_weights.cpp,
// brush_undo.cpp) ----
int32_t vantic_BrushRayCast(Brush *brush);
void vantic_BrushDragBoxSelection(Brush *brush);
void vantic_BrushCalculateWeights(Brush *brush);
void vantic_BrushCheckUndo(Brush *brush);

namespace vantic {

// What the brush hangs on its action under kBrushAttachmentKey, data id 0, so the tool can find the
// client's brush from the action, and where the module keeps the arrays it made for the brush.
struct BrushAttachment {
    uint64_t key;        // the client's data key (a pointer to its text)
    int32_t dataId;      // the client's data id
    const Brush *brush;  // the record this attachment belongs to
    BrushArrays arrays;
};

// ---- record (brush_record.cpp) and its tool object (tool_object.cpp) ----
BrushAttachment *BrushGetAttachment(KorrinItem action);
void BrushCreateTool(Brush *brush);

// ---- edge loops (edge_loop.cpp) ----
void BrushSelectEdgeLoop(Brush *brush, KorrinItem target, const int32_t *edge);
void BrushDeselectEdgeLoop(Brush *brush, KorrinItem target, const int32_t *edge);
// marks has one entry per point of the target (-1 not visited, 1 on the loop); markCount bounds it.
void MarkEdgeLoop(KorrinItem target, const int32_t *edge, int32_t *marks, int32_t markCount);

// ---- the hit (brush_hit.cpp), the screen pick (screen_pick.cpp), the drawn brush (brush_display.cpp) ----
// Zeroes every hit field: target, polygon, triangle, edge, point, barycentric, position, distance.
void BrushClearHit(Brush *brush);
void BrushUpdateDisplay(Brush *brush);

// ---- the pick and the weights on a snapshot of the points (brush_pick.cpp, brush_weights.cpp): a tool
// event shares one between them; the registered calls take their own ----
class PointSnapshot;
int32_t BrushRayCastOn(Brush *brush, PointSnapshot &points);
// The screen-space pick; with a snapshot (may be null) when a tool event picks.
void BrushScreenPick(Brush *brush, PointSnapshot *points);
void BrushCalculateWeightsOn(Brush *brush, PointSnapshot *points);

// ---- weights and undo (brush_weights.cpp, brush_undo.cpp) ----
void BrushCalculateConnectedWeights(Brush *brush);
void BrushStoreUndo(Brush *brush);

// ---- the interactive tool (brush_tool.cpp) ----
int32_t BrushModuleCallback(KorrinHandle context, KorrinItem action, int32_t message, int64_t parameter);
int32_t BrushActionEvent(KorrinHandle context, KorrinItem action, int64_t event);
int32_t BrushToolEvent(Brush *brush, int64_t event);

}  // namespace vantic
