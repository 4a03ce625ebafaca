// Boxes round a snapshot's points, a fixed number of points each, made while the points are still in
// cache from their read, so that a weighting can pass over the points beyond the brush unread.
#pragma once

#include <cstddef>

#include "brush/vector_width.h"

namespace vantic {

// Points per box: point i is in box i / kBoxPoints.
constexpr size_t kBoxPoints = 64;

// The smallest and largest x, y and z of some points. Coordinates that are not numbers are left out (a
// point with one is never weighted); a box of no numbers has low above high.
struct PointBox {
    double low[3], high[3];
};

// The boxes of n points in a row (x, y, z each): boxes[b] holds points b * kBoxPoints on, up to n.
void BoxPoints(const double *xyz, size_t n, PointBox *boxes);

// The same at a given width, for tests; false (nothing made) when the processor lacks it.
bool BoxPointsWith(VectorWidth width, const double *xyz, size_t n, PointBox *boxes);

}  // namespace vantic
