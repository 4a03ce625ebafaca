// A polygon's corners in coordinates of its plane, and where there the ear tests' tolerance cannot
// reach; the ear cutter searches its corners through these coordinates.
#pragma once

#include <cstdint>
#include <vector>

#include "geometry/corner_index.h"

namespace vantic {

class PolygonPlane {
public:
    // n corner positions and the plane's normal, as the ear cutter gets them. A rebuild for the next
    // polygon reuses the coordinates' array.
    void build(int32_t n, const double *points, const double *normal);

    // False when the normal is not close to unit length or a coordinate is not finite: the bounds
    // below do not hold and every ear is tested against every corner.
    bool usable() const { return usable_; }
    const double *coordinates() const { return uv_.data(); }

    // For each edge of the ear (first, tip, last) a wedge in which every corner fails that edge's
    // test, so that the search for corners inside the ear may skip it; false when not usable.
    bool earWedges(int32_t first, int32_t tip, int32_t last, Wedge (&skip)[3]) const;

    // Whether the corners in their order are proven a strictly convex polygon that winds once; then
    // so is every ring of them that cutting ears leaves.
    bool convex() const { return convex_; }

    // For a convex polygon: whether every corner of the ring but the ear's lies in the wedge of the
    // ear's closing edge (last -> first), `before` and `after` being the ring's corners before
    // first and after last; if so, no corner lies in the ear.
    bool farSideClear(int32_t first, int32_t last, int32_t before, int32_t after) const;

    // A box holding every point outside the ear's wedges (from earWedges) and the ear's own
    // corners; false when that region is not bounded (a sliver, a polygon off its plane).
    bool earBox(const Wedge (&skip)[3], int32_t first, int32_t tip, int32_t last, Box &box) const;

    // A box holding every point outside the wedges earWedges would give the ear, found without
    // them from the ear's edges and the tolerance; wider than earBox's but cheaper. False when it
    // cannot tell that region is bounded (thin or off-plane ears, lengths out of range).
    bool quickEarBox(int32_t first, int32_t tip, int32_t last, Box &box) const;

private:
    Wedge edgeWedge(int32_t from, int32_t to) const;

    bool usable_ = false;
    bool convex_ = false;
    double largestU_ = 0, largestV_ = 0;  // of the coordinates' magnitudes
    std::vector<double> uv_;
    double sine_ = 0, cosine_ = 1;  // of the tests' tolerance as an angle in the plane, rounded up
    double thickness_ = 0;          // how far the corners spread along the normal
    double margin_ = 0;
};

}  // namespace vantic
