// The point of a triangle nearest to a point: the foot on the plane when it falls inside, else a
// corner or the projection onto the edges that the weights say the foot lies beyond.
#include "geometry/mesh_queries.h"
#include "geometry/vec3_ops.h"
#include "geometry/vector_primitives.h"

using namespace vantic::geo;

namespace {

// Makes corner `which` of (a, b, c) the answer: closest, unit weights, distance from p.
double Corner(const double *p, const double *const corners[3], int which, double *closest, double *weights) {
    Copy(corners[which], closest);
    Set(weights, 0, 0, 0);
    weights[which] = 1;
    return Distance(p, closest);
}

}  // namespace

double vantic_PointOnTri(const double *p, const double *a, const double *b, const double *c, double *closest,
                         double *weights) {
    if (!p || !a || !b || !c || !closest || !weights) return 0.0;
    const double *const corners[3] = {a, b, c};
    double ab[3], ac[3], n[3];
    Sub(b, a, ab);
    Sub(c, a, ac);
    Cross(ab, ac, n);
    vantic_Normalize(n);
    double x[3];
    const double height = vantic_PointOnPlane(p, n, a, x);
    if (vantic_BarycentricCoordinates(x, a, b, c, n, weights) != 0) {
        Copy(x, closest);
        return height;
    }
    if (weights[1] <= 0 && weights[2] <= 0) return Corner(p, corners, 0, closest, weights);
    if (weights[0] <= 0 && weights[2] <= 0) return Corner(p, corners, 1, closest, weights);
    if (weights[0] <= 0 && weights[1] <= 0) return Corner(p, corners, 2, closest, weights);
    // Beyond one or two edges: project onto each offending edge line in turn (the edge opposite the
    // corner whose weight is negative), re-reading the weights after each projection.
    double distance = 0;
    const int edgeEnds[3][2] = {{1, 2}, {0, 2}, {0, 1}};
    for (int w = 0; w < 3; ++w) {
        if (!(weights[w] < 0)) continue;
        ProjectOnLine(corners[edgeEnds[w][0]], corners[edgeEnds[w][1]], x);
        vantic_BarycentricCoordinates(x, a, b, c, n, weights);
        Copy(x, closest);
        distance = Distance(x, p);
    }
    // An unclamped projection can pass the edge's end: snap to that corner.
    for (int w = 0; w < 3; ++w)
        if (weights[w] > 1) return Corner(p, corners, w, closest, weights);
    return distance;
}
