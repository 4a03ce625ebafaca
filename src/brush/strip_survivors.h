// The prefilter's walk over a strip: units of two triangles (a, b, c) and (c, x, a) whose corners
// each lie one slot after the unit before's, as a row of a grid's quads is cut. Their plane
// coordinates (a row of x and a row of y) are then read many units at a time, at the widest
// vector width the processor runs. Every width decides as RayPrefilter::MissesWith does: each lane
// computes the same rounded products and differences.
#pragma once

#include <cstddef>
#include <cstdint>

#include "geometry/vector_width.h"

namespace vantic {

// The first i in [0, count) for which unit i of a strip may hold a triangle the prefilter cannot
// rule out, or count: unit i's corners a, b, c, x have their plane coordinates at xs[a + i], ys[a + i],
// and so on.
int32_t StripSurvivor(const double *xs, const double *ys, size_t a, size_t b, size_t c, size_t x, int32_t count,
                      double tolerance);

// The same at a given width, for tests; false (nothing done) when the processor lacks it.
bool StripSurvivorWith(VectorWidth width, const double *xs, const double *ys, size_t a, size_t b, size_t c, size_t x,
                       int32_t count, double tolerance, int32_t &found);

}  // namespace vantic
