// The registration table: every function the module offers, in registration order, with its
// result-type code. Contract: clients look the functions up by these names; the order and codes are
// what the host's registry lists.
#include <vector>

#include "brush/brush.h"
#include "entry/registration.h"
#include "geometry/mesh_queries.h"
#include "geometry/triangulation.h"
#include "geometry/vector_primitives.h"
#include "geometry/view_queries.h"
#include "rbf/rbf.h"
#include "tangent/tangent_space.h"
#include "targetlist/target_list.h"
#include "vanticAPI.h"
#include "vectorlist/vector_list.h"

namespace vantic {

const RegistrationRow *RegistrationTable(int32_t *rowCount) {
    static const std::vector<RegistrationRow> rows = {
        // geometry, view queries, mesh queries, triangulation
        VANTIC_ROW_NOTHROW(vantic_Normalize, POINTER),
        VANTIC_ROW_NOTHROW(vantic_GetViewOrigin, POINTER),
        VANTIC_ROW_NOTHROW(vantic_GetViewDirection, POINTER),
        VANTIC_ROW_NOTHROW(vantic_ComputeNormal, POINTER),
        VANTIC_ROW_NOTHROW(vantic_BarycentricCoordinates, INT),
        VANTIC_ROW_NOTHROW(vantic_BarycentricToWorld, POINTER),
        VANTIC_ROW_NOTHROW(vantic_PointOnPlane, DOUBLE),
        VANTIC_ROW_NOTHROW(vantic_RayIntersectPlane, INT),
        VANTIC_ROW_NOTHROW(vantic_RayIntersectTriangle, INT),
        VANTIC_ROW_NOTHROW(vantic_RayIntersectTriangle2, INT),
        VANTIC_ROW(vantic_RayIntersectPolygon, INT),
        VANTIC_ROW(vantic_RayIntersectTarget, INT),
        VANTIC_ROW_NOTHROW(vantic_ComputeBestFitNormal, POINTER),
        VANTIC_ROW(vantic_GetNeighbourPoints, POINTER),
        VANTIC_ROW(vantic_EffectTargetCount, INT),
        VANTIC_ROW_NOTHROW(vantic_PointOnTri, DOUBLE),
        VANTIC_ROW(vantic_TriangulatePolyId, POINTER),
        VANTIC_ROW(vantic_TriangulateTarget, POINTER),
        VANTIC_ROW(vantic_FreeTriangle, POINTER),
        VANTIC_ROW(vantic_FreeMesh, POINTER),

        // tangent spaces
        VANTIC_ROW(vantic_CreateTangentSpace, POINTER),
        VANTIC_ROW(vantic_FetchTangentSpace, POINTER),
        VANTIC_ROW(vantic_DeleteTangentSpace, POINTER),
        VANTIC_ROW(vantic_TangentSpaceCalculate, POINTER),
        VANTIC_ROW(vantic_TangentGetMatrix, POINTER),

        // the brush module steps, then the brush
        VANTIC_MODULE_STEPS(vantic::BrushModuleCallback),
        VANTIC_ROW(vantic_CreateBrush, INT),
        VANTIC_ROW(vantic_FetchBrush, POINTER),
        VANTIC_ROW(vantic_DeleteBrush, INT),
        VANTIC_ROW(vantic_BrushAddTarget, POINTER),
        VANTIC_ROW(vantic_BrushRemoveTarget, POINTER),
        VANTIC_ROW(vantic_BrushFindTargetOrder, INT),
        VANTIC_ROW(vantic_BrushSelectVertex, POINTER),
        VANTIC_ROW(vantic_BrushDeselectVertex, POINTER),
        VANTIC_ROW(vantic_BrushSelectEdge, POINTER),
        VANTIC_ROW(vantic_BrushDeselectEdge, POINTER),
        VANTIC_ROW(vantic_BrushSelectPolygon, POINTER),
        VANTIC_ROW(vantic_BrushDeselectPolygon, POINTER),
        VANTIC_ROW(vantic_BrushSelectTarget, POINTER),
        VANTIC_ROW(vantic_BrushDeselectTarget, POINTER),
        VANTIC_ROW(vantic_BrushSelectAll, POINTER),
        VANTIC_ROW(vantic_BrushDeselectAll, POINTER),
        VANTIC_ROW(vantic_BrushInverSelection, POINTER),
        VANTIC_ROW(vantic_BrushSetSelection, POINTER),
        VANTIC_ROW(vantic_BrushGetSelection, POINTER),
        VANTIC_ROW(vantic_BrushUpdateSelection, POINTER),
        // picking and weights
        VANTIC_ROW(vantic_BrushRayCast, INT),
        VANTIC_ROW(vantic_BrushDragBoxSelection, POINTER),
        VANTIC_ROW(vantic_BrushCalculateWeights, POINTER),
        VANTIC_ROW(vantic_BrushCheckUndo, POINTER),

        // target lists
        VANTIC_ROW(vantic_CreateTargetList, POINTER),
        VANTIC_ROW(vantic_DeleteTargetList, INT),
        VANTIC_ROW(vantic_FetchTargetList, INT),
        VANTIC_ROW(vantic_TargetListAddTarget, INT),
        VANTIC_ROW(vantic_TargetListRemoveTarget, INT),
        VANTIC_ROW(vantic_TargetListReplaceTarget, INT),
        VANTIC_ROW(vantic_TargetListSwitchTargetOrder, INT),
        VANTIC_ROW(vantic_FindTargetOrder, INT),
        VANTIC_ROW(vantic_TargetListEffectUpdate, INT),

        // vector lists
        VANTIC_ROW(vantic_SaveVectorList, POINTER),
        VANTIC_ROW(vantic_LoadVectorList, POINTER),
        VANTIC_ROW_AS(vantic_DeleteVectorList, POINTER, vantic_FreeTriangle),

        // RBF interpolation
        VANTIC_ROW(vantic_CreateRbf, POINTER),
        VANTIC_ROW(vantic_DeleteRbf, POINTER),
        VANTIC_ROW(vantic_RbfSetDist, POINTER),
        VANTIC_ROW(vantic_RbfSolve, POINTER),
        VANTIC_ROW(vantic_RbfInterpolate, DOUBLE),
    };
    *rowCount = static_cast<int32_t>(rows.size());
    return rows.data();
}

}  // namespace vantic
