// The registration table: every function the module offers, in registration order, with its
// result-type code (9: 32-bit int, 2: double, 14: pointer or nothing).
#include <vector>

#include "geometry/mesh_queries.h"
#include "geometry/triangulation.h"
#include "geometry/vector_primitives.h"
#include "geometry/view_queries.h"
#include "registration.h"
#include "vanticAPI.h"

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

        // the brush module steps, then the brush

        // target lists

        // vector lists

        // RBF interpolation
    };
    *rowCount = static_cast<int32_t>(rows.size());
    return rows.data();
}

}  // namespace vantic
