// Which sides of a square around the mouse a projected point lies beyond, one bit per side, so that
// the screen-space pick can pass over a polygon whose corners all lie beyond one side with a few byte
// loads, instead of building the box around its corners.
#pragma once

#include <cstddef>
#include <cstdint>

#include "geometry/vector_width.h"

namespace vantic {

// codes[i] for the point (xs[i], ys[i]) and the square of half-width `half` centred on the mouse:
// 1 when mouse x - x > half, 2 when x - mouse x > half, 4 and 8 the same in y. The differences are
// those the box gap of a polygon takes, so a bit shared by every corner puts that gap above `half`.
void SideCodes(const double *xs, const double *ys, size_t n, const double *mouse, double half, uint8_t *codes);

// The same at a given width, for tests; false (nothing written) when the processor lacks it.
bool SideCodesWith(VectorWidth width, const double *xs, const double *ys, size_t n, const double *mouse, double half,
                   uint8_t *codes);

}  // namespace vantic
