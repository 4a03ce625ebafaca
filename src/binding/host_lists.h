// Host mesh lists of varying length. The host fills a list up to the capacity it is given and always
// reports the full count, so a list is read with room for most lists at once, and read again with
// exactly its count only when it is longer.
#pragma once

#include <cstdint>
#include <vector>

#include "korrin_host_services.h"

namespace vantic {

int32_t MeshPointCount(KorrinItem mesh);
int32_t MeshPolygonCount(KorrinItem mesh);
// The polygon's corner point indices in polygon order.
std::vector<int32_t> PolygonCorners(KorrinItem mesh, int32_t polygon);
// The polygons that use the point, in the host's order.
std::vector<int32_t> PointPolygons(KorrinItem mesh, int32_t point);
// The same into a list the caller keeps, so that walks over every polygon or point reuse one buffer.
// Throws std::bad_alloc when out of memory.
void ReadPolygonCorners(KorrinItem mesh, int32_t polygon, std::vector<int32_t> &corners);
void ReadPointPolygons(KorrinItem mesh, int32_t point, std::vector<int32_t> &polygons);

}  // namespace vantic
