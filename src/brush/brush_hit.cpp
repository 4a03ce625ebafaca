#include "brush/brush_hit.h"

#include "brush/brush.h"
#include "geometry/vec3_ops.h"

namespace vantic {

void ClearHitNames(Brush *brush) {
    brush->hitTarget = 0;
    brush->hitPolygon = 0;
    brush->hitTriangle[0] = brush->hitTriangle[1] = brush->hitTriangle[2] = 0;
    brush->hitEdge[0] = brush->hitEdge[1] = 0;
    brush->hitPoint = 0;
    geo::Zero(brush->hitPosition);
    brush->hitDistance = 0.0;
}

void BrushClearHit(Brush *brush) {
    ClearHitNames(brush);
    geo::Zero(brush->hitBarycentric);
}

}  // namespace vantic
