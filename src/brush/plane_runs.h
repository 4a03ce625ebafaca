// Plane coordinates for points in a row, the bulk of a pick's placing, at the widest vector width
// the processor runs. Every width gives the bits RayPrefilter::place gives point by point: each lane
// does the same subtractions and products, and the reach is a maximum, which no order changes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "brush/ray_prefilter.h"
#include "geometry/vector_width.h"

namespace vantic {

// Places n points in a row (x, y, z each) into rows xs[j], ys[j], as filter.place would one by
// one, and returns what RayPrefilter::RunReach takes: the bits of their largest |P - O| component.
uint64_t PlacePlaneRun(const RayPrefilter &filter, const double *xyz, double *xs, double *ys, size_t n);

// The same at a given width, for tests; false (nothing placed) when the processor lacks it.
bool PlacePlaneRunWith(VectorWidth width, const RayPrefilter &filter, const double *xyz, double *xs, double *ys,
                       size_t n, uint64_t &top);

}  // namespace vantic
