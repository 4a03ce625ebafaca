// The registration table: every function the module offers, in registration order, with its
// result-type code (9: 32-bit int, 2: double, 14: pointer or nothing).
#include <vector>

#include "brush/brush.h"
#include "geometry/mesh_queries.h"
#include "geometry/triangulation.h"
#include "geometry/vector_primitives.h"
#include "geometry/view_queries.h"
#include "rbf/rbf.h"
#include "registration.h"
#include "tangent/tangent_space.h"
#include "targetlist/target_list.h"
#include "vanticAPI.h"
#include "vectorlist/vector_list.h"

namespace vantic {

const RegistrationRow *RegistrationTable(int32_t *rowCount) {
    static const std::vector<RegistrationRow> rows = {
        // geometry, view queries, mesh queries, triangulation
        VANTIC_ROW(vantic_Normalize, 14),
        VANTIC_ROW(vantic_GetViewOrigin, 14),
        VANTIC_ROW(vantic_GetViewDirection, 14),
        VANTIC_ROW(vantic_ComputeNormal, 14),
        VANTIC_ROW(vantic_BarycentricCoordinates, 9),
        VANTIC_ROW(vantic_BarycentricToWorld, 14),
        VANTIC_ROW(vantic_PointOnPlane, 2),
        VANTIC_ROW(vantic_RayIntersectPlane, 9),
        VANTIC_ROW(vantic_RayIntersectTriangle, 9),
        VANTIC_ROW(vantic_RayIntersectTriangle2, 9),
        VANTIC_ROW(vantic_RayIntersectPolygon, 9),
        VANTIC_ROW(vantic_RayIntersectTarget, 9),
        VANTIC_ROW(vantic_ComputeBestFitNormal, 14),
        VANTIC_ROW(vantic_GetNeighbourPoints, 14),
        VANTIC_ROW(vantic_EffectTargetCount, 9),
        VANTIC_ROW(vantic_PointOnTri, 2),
        VANTIC_ROW(vantic_TriangulatePolyId, 14),
        VANTIC_ROW(vantic_TriangulateTarget, 14),
        VANTIC_ROW(vantic_FreeTriangle, 14),
        VANTIC_ROW(vantic_FreeMesh, 14),

        // tangent spaces
        VANTIC_ROW(vantic_CreateTangentSpace, 14),
        VANTIC_ROW(vantic_FetchTangentSpace, 14),
        VANTIC_ROW(vantic_DeleteTangentSpace, 14),
        VANTIC_ROW(vantic_TangentSpaceCalculate, 14),
        VANTIC_ROW(vantic_TangentGetMatrix, 14),

        // the brush module steps, then the brush
        VANTIC_MODULE_STEPS(BrushModuleCallback),
        VANTIC_ROW(vantic_CreateBrush, 9),
        VANTIC_ROW(vantic_FetchBrush, 14),
        VANTIC_ROW(vantic_DeleteBrush, 9),
        VANTIC_ROW(vantic_BrushAddTarget, 14),
        VANTIC_ROW(vantic_BrushRemoveTarget, 14),
        VANTIC_ROW(vantic_BrushFindTargetOrder, 9),
        VANTIC_ROW(vantic_BrushSelectVertex, 14),
        VANTIC_ROW(vantic_BrushDeselectVertex, 14),
        VANTIC_ROW(vantic_BrushSelectEdge, 14),
        VANTIC_ROW(vantic_BrushDeselectEdge, 14),
        VANTIC_ROW(vantic_BrushSelectPolygon, 14),
        VANTIC_ROW(vantic_BrushDeselectPolygon, 14),
        VANTIC_ROW(vantic_BrushSelectTarget, 14),
        VANTIC_ROW(vantic_BrushDeselectTarget, 14),
        VANTIC_ROW(vantic_BrushSelectAll, 14),
        VANTIC_ROW(vantic_BrushDeselectAll, 14),
        VANTIC_ROW(vantic_BrushInverSelection, 14),
        VANTIC_ROW(vantic_BrushSetSelection, 14),
        VANTIC_ROW(vantic_BrushGetSelection, 14),
        VANTIC_ROW(vantic_BrushUpdateSelection, 14),
        // picking and weights
        VANTIC_ROW(vantic_BrushRayCast, 9),
        VANTIC_ROW(vantic_BrushDragBoxSelection, 14),
        VANTIC_ROW(vantic_BrushCalculateWeights, 14),
        VANTIC_ROW(vantic_BrushCheckUndo, 14),

        // target lists
        VANTIC_ROW(vantic_CreateTargetList, 14),
        VANTIC_ROW(vantic_DeleteTargetList, 9),
        VANTIC_ROW(vantic_FetchTargetList, 9),
        VANTIC_ROW(vantic_TargetListAddTarget, 9),
        VANTIC_ROW(vantic_TargetListRemoveTarget, 9),
        VANTIC_ROW(vantic_TargetListReplaceTarget, 9),
        VANTIC_ROW(vantic_TargetListSwitchTargetOrder, 9),
        VANTIC_ROW(vantic_FindTargetOrder, 9),
        VANTIC_ROW(vantic_TargetListEffectUpdate, 9),

        // vector lists
        VANTIC_ROW(vantic_SaveVectorList, 14),
        VANTIC_ROW(vantic_LoadVectorList, 14),
        VANTIC_ROW_AS(vantic_DeleteVectorList, 14, vantic_FreeTriangle),

        // RBF interpolation
        VANTIC_ROW(vantic_CreateRbf, 14),
        VANTIC_ROW(vantic_DeleteRbf, 14),
        VANTIC_ROW(vantic_RbfSetDist, 14),
        VANTIC_ROW(vantic_RbfSolve, 14),
        VANTIC_ROW(vantic_RbfInterpolate, 2),
    };
    *rowCount = static_cast<int32_t>(rows.size());
    return rows.data();
}

}  // namespace vantic
