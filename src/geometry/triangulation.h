// Polygon triangulation of host meshes into Triangle records.
#pragma once

#include <cstdint>

#include "korrin_host_services.h"
#include "vanticAPI.h"

namespace vantic {

// Ear cutting of n coplanar points (corner positions, in order) with their plane's unit normal;
// writes up to n - 2 triangles of corner positions to out and returns how many.
int32_t Triangulate(int32_t n, const double *points, const double *normal, Triangle *out);

}  // namespace vantic

Triangle *vantic_TriangulatePolyId(KorrinItem mesh, int32_t poly, int32_t *count, int32_t selector);
TriangleMesh *vantic_TriangulateTarget(KorrinItem mesh, int32_t selector);
void vantic_FreeMesh(TriangleMesh *mesh);
// A null-safe free; also registered as vantic_DeleteVectorList.
void vantic_FreeTriangle(void *block);
