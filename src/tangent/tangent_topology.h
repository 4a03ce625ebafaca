// What a tangent space fixes at creation, per point: its corner pairs, its neighbours and the two
// reference triangles that carry its probe points.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "korrin_host_services.h"
#include "vanticAPI.h"

namespace vantic {

// Every polygon's corner points, read from the host once for all the points around it.
struct PolygonTable {
    std::vector<size_t> offsets;  // polygon q: corners[offsets[q]] ... corners[offsets[q + 1] - 1]
    std::vector<int32_t> corners;
};

// Throws std::bad_alloc when out of memory.
PolygonTable ReadPolygons(KorrinItem mesh);

// Corner pairs of point p: per polygon around it (host order), the point that follows and the point
// that precedes p. Corners outside the record's points leave their pair at (0, 0). False when out of
// memory. polygons is the caller's buffer for the host's list of the point's polygons.
bool BuildCorners(const TangentSpace *space, int32_t p, const PolygonTable &table, std::vector<int32_t> &polygons);

// The distinct points of the corner pairs, in order of first appearance. False when out of memory.
bool BuildNeighbours(TangentPoint *point);

// The world axis the probes of a point with host normal n are taken along.
void ProbeAxis(const double *n, double *axis);

// Every point's base position, 3 per point (0 where the host has none): one read of each serves all
// the triangles around it. Throws std::bad_alloc when out of memory.
std::vector<double> BasePositions(const TangentSpace *space);

// For point p, once its corner pairs are built: probe 1 and 2 lie on either side of the point's base
// position along the probe axis projected into the normal's plane; each takes the nearest triangle
// (point, following, preceding) and its barycentric coordinates on it. base is BasePositions' list.
void ChooseReferenceTriangles(const TangentSpace *space, int32_t p, const double *base);

}  // namespace vantic
