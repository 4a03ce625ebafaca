// Host mesh lists of varying length, read the way the host expects: first with capacity 1 into a
// one-entry slot to learn the count, then into an array of exactly that many entries.
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
