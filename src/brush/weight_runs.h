// Straight weights for points in a row, the bulk of a weighting from a snapshot, at the widest vector
// width the processor runs. Every width gives the bits of the point-by-point loop: each lane computes
// the same distance and falloff in the same order.
#pragma once

#include <cstddef>
#include <cstdint>

#include "geometry/vector_width.h"

namespace vantic {

// A linear falloff: weight 1 up to inner * radius, falling to 0 at radius; 0 from radius on.
struct FalloffShape {
    double radius;   // R, the world radius
    double inverse;  // 1.0 / R
    double inner;    // 1.0 - falloff: the fraction of R at full weight

    // Weight of a point at distance d < R, in this exact form.
    double weight(double d) const {
        const double x = d * inverse - inner;
        return x < 0 ? 1.0 : 1.0 - x / (1.0 - inner);
    }
};

// weights[i] = the falloff of |P_i - centre| (0 at or beyond R) for n points P_i in a row (x, y, z each).
void WeighStraightRun(const FalloffShape &falloff, const double *centre, const double *xyz, size_t n, double *weights);

// The same at a given width, for tests; false (nothing written) when the processor lacks it.
bool WeighStraightRunWith(VectorWidth width, const FalloffShape &falloff, const double *centre,
                          const double *xyz, size_t n, double *weights);

}  // namespace vantic
