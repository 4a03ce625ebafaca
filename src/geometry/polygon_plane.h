// A polygon's corners in coordinates of its plane, and how far the ear tests' tolerance can carry a
// corner off an edge there; the ear cutter searches its corners through these coordinates.
#pragma once

#include <cstdint>
#include <vector>

#include "geometry/corner_index.h"

namespace vantic {

class PolygonPlane {
public:
    // n corner positions and the plane's normal, as the ear cutter gets them.
    PolygonPlane(int32_t n, const double *points, const double *normal);

    // False when the normal is not close to unit length or a coordinate is not finite: the bounds
    // below do not hold and every ear is tested against every corner.
    bool usable() const { return usable_; }
    const double *coordinates() const { return uv_.data(); }

    // Half-planes holding every corner that the ear (first, tip, last), counter-clockwise in the
    // plane, could find inside by the tolerant test of its edges; false when that region is not
    // bounded tightly enough to be worth searching (slivers, or corners off the plane).
    bool earRegion(int32_t first, int32_t tip, int32_t last, HalfPlane (&region)[3]) const;

private:
    bool usable_ = false;
    std::vector<double> uv_;
    double epsilon_ = 0;    // the tests' tolerance as a sine in the plane, rounded up
    double thickness_ = 0;  // how far the corners spread along the normal
    double slack_ = 0;      // rounding of the coordinates
};

}  // namespace vantic
