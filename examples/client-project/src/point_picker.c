#include "point_picker.h"

#include <vanticAPI.h>

#define FIND(lookup, name) ((name##_t *)(lookup)(#name))

/* The brush hangs on its action under this key and data id. */
static const char kKey[] = "PointPickerClient";
enum { kDataId = 1 };

uint32_t StartPointPicker(ClientLookup lookup, uint32_t mesh) {
    vantic_CreateBrush_t *create = FIND(lookup, vantic_CreateBrush);
    vantic_FetchBrush_t *fetch = FIND(lookup, vantic_FetchBrush);
    vantic_BrushAddTarget_t *addTarget = FIND(lookup, vantic_BrushAddTarget);
    int32_t action;
    Brush *brush;
    if (!create || !fetch || !addTarget) return 0;
    action = create(kKey, kDataId);
    if (action <= 0) return 0;
    brush = fetch((uint32_t)action, kKey, kDataId);
    if (!brush) return 0;
    brush->mode = VANTIC_MODE_SELECT_POINTS;
    brush->pickMode = VANTIC_PICK_RAY_CAST;
    addTarget(brush, mesh);
    return (uint32_t)action;
}

int32_t StopPointPicker(ClientLookup lookup, uint32_t action) {
    vantic_DeleteBrush_t *destroy = FIND(lookup, vantic_DeleteBrush);
    return destroy ? destroy(action, kKey, kDataId) : 0;
}

int32_t CountTriangles(ClientLookup lookup, uint32_t mesh) {
    vantic_TriangulateTarget_t *triangulate = FIND(lookup, vantic_TriangulateTarget);
    vantic_FreeMesh_t *freeMesh = FIND(lookup, vantic_FreeMesh);
    TriangleMesh *triangles;
    int32_t p, count = 0;
    if (!triangulate || !freeMesh) return -1;
    triangles = triangulate(mesh, 0);
    if (!triangles) return -1;
    for (p = 0; p < triangles->polygonCount; ++p) count += triangles->polygons[p].triangleCount;
    freeMesh(triangles);
    return count;
}
