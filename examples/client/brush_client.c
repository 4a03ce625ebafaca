#include "brush_client.h"

#include <stdlib.h>

#include "vanticAPI.h"

/* Looks a function up by its registered name as the function type of the same name. */
#define FIND(lookup, name) ((name##_t *)(lookup)(#name))

int32_t RunBrushClient(RegistryLookup lookup, uint32_t mesh, int32_t pointCount, int32_t point,
                       ClientOutcome *outcome) {
    vantic_Normalize_t *normalize = FIND(lookup, vantic_Normalize);
    vantic_CreateBrush_t *createBrush = FIND(lookup, vantic_CreateBrush);
    vantic_FetchBrush_t *fetchBrush = FIND(lookup, vantic_FetchBrush);
    vantic_BrushAddTarget_t *addTarget = FIND(lookup, vantic_BrushAddTarget);
    vantic_BrushFindTargetOrder_t *findOrder = FIND(lookup, vantic_BrushFindTargetOrder);
    vantic_BrushSelectPolygon_t *selectPolygon = FIND(lookup, vantic_BrushSelectPolygon);
    vantic_BrushSelectVertex_t *selectVertex = FIND(lookup, vantic_BrushSelectVertex);
    vantic_BrushGetSelection_t *getSelection = FIND(lookup, vantic_BrushGetSelection);
    vantic_BrushUpdateSelection_t *updateSelection = FIND(lookup, vantic_BrushUpdateSelection);
    vantic_DeleteBrush_t *deleteBrush = FIND(lookup, vantic_DeleteBrush);
    static const char key[] = "ExampleClientBrush";
    Brush *brush;
    int32_t *selection;
    int32_t i, count;
    double v[3] = {3.0, 0.0, 4.0};

    if (!normalize || !createBrush || !fetchBrush || !addTarget || !findOrder) return 1;
    if (!selectPolygon || !selectVertex || !getSelection || !updateSelection || !deleteBrush) return 2;

    normalize(v);
    for (i = 0; i < 3; ++i) outcome->normal[i] = v[i];

    outcome->brushAction = createBrush(key, 7);
    brush = fetchBrush((uint32_t)outcome->brushAction, key, 7);
    if (!brush) return 3;
    brush->mode = 3; /* point selection */
    addTarget(brush, mesh);
    outcome->targetOrder = findOrder(brush, mesh);

    selectPolygon(brush, mesh, 0);
    selectVertex(brush, mesh, point);
    updateSelection(brush); /* the host shows it */

    selection = getSelection(brush, mesh); /* the client owns this copy */
    count = 0;
    if (selection) {
        for (i = 0; i < pointCount; ++i) count += selection[i] != 0;
        free(selection);
    }
    outcome->selectedPoints = count;
    outcome->deleted = deleteBrush((uint32_t)outcome->brushAction, key, 7);
    return 0;
}
