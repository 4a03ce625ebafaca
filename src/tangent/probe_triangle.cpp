#include "tangent/probe_triangle.h"

#include <cmath>

#include "geometry/vec3_ops.h"

namespace vantic {

namespace {

using geo::Copy;
using geo::Dot;
using geo::Set;
using geo::Sub;

// vantic_BarycentricCoordinates(p, a, b, c, n, weights) with the triangle's part already worked out;
// the projection plane (u, v) is fixed per instance, so that its coordinates are plain loads.
// Inlined into every use: called out of line, its result waited on a call and a return per edge.
template <int u, int v>
[[gnu::always_inline]] inline int Weights(const ProbeTriangle &t, const double *p, double *weights) {
    Set(weights, 0, 0, 0);
    if (t.det == 0) return -1;
    const double *a = t.corners[0], *b = t.corners[1], *c = t.corners[2];
    const double wa = ((p[u] - c[u]) * (b[v] - c[v]) - (b[u] - c[u]) * (p[v] - c[v])) * t.inv;
    const double wb = ((a[u] - c[u]) * (p[v] - a[v]) - (p[u] - a[u]) * (a[v] - c[v])) * t.inv;
    const double wc = 1 - wa - wb;
    Set(weights, wa, wb, wc);
    const bool inside = wa >= 0 && wa <= 1 && wb >= 0 && wb <= 1 && wc >= 0 && wc <= 1;
    return inside ? 1 : 0;
}

double Corner(const ProbeTriangle &t, const double *p, int which, double *weights) {
    Set(weights, 0, 0, 0);
    weights[which] = 1;
    double d[3];
    Sub(p, t.corners[which], d);
    return Dot(d, d);
}

}  // namespace

void PrepareProbeTriangle(const double *a, const double *b, const double *c, ProbeTriangle *t) {
    t->corners[0] = a;
    t->corners[1] = b;
    t->corners[2] = c;
    double ab[3], ac[3];
    Sub(b, a, ab);
    Sub(c, a, ac);
    double *n = t->n;
    geo::Cross(ab, ac, n);
    const double s = 1 / std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    n[0] = n[0] * s;
    n[1] = n[1] * s;
    n[2] = n[2] * s;
    t->nn = Dot(n, n);
    const double ax = std::fabs(n[0]), ay = std::fabs(n[1]), az = std::fabs(n[2]);
    if (ax >= ay && ax >= az) {
        t->u = 2, t->v = 1;
    } else if (ay >= az) {
        t->u = 0, t->v = 2;
    } else {
        t->u = 1, t->v = 0;
    }
    const int u = t->u, v = t->v;
    t->det = (a[u] - c[u]) * (b[v] - c[v]) - (b[u] - c[u]) * (a[v] - c[v]);
    t->inv = t->det != 0 ? 1 / t->det : 0.0;
}

namespace {

template <int u, int v>
double Distance(const ProbeTriangle &t, const double *p, double *weights) {
    const double *const *corners = t.corners;
    // The foot on the plane and the height above it.
    double pq[3];
    Sub(p, corners[0], pq);
    const double s = Dot(t.n, pq) / t.nn;
    const double sn[3] = {s * t.n[0], s * t.n[1], s * t.n[2]};
    double x[3];
    Sub(p, sn, x);
    if (Weights<u, v>(t, x, weights) != 0) return Dot(sn, sn);
    if (weights[1] <= 0 && weights[2] <= 0) return Corner(t, p, 0, weights);
    if (weights[0] <= 0 && weights[2] <= 0) return Corner(t, p, 1, weights);
    if (weights[0] <= 0 && weights[1] <= 0) return Corner(t, p, 2, weights);
    // Beyond one or two edges: onto each offending edge line in turn, the weights re-read after each.
    double distance = 0;
    const int edgeEnds[3][2] = {{1, 2}, {0, 2}, {0, 1}};
    for (int w = 0; w < 3; ++w) {
        if (!(weights[w] < 0)) continue;
        geo::ProjectOnLine(corners[edgeEnds[w][0]], corners[edgeEnds[w][1]], x);
        Weights<u, v>(t, x, weights);
        double d[3];
        Sub(x, p, d);
        distance = Dot(d, d);
    }
    for (int w = 0; w < 3; ++w)
        if (weights[w] > 1) return Corner(t, p, w, weights);
    return distance;
}

}  // namespace

double ProbeSquaredDistance(const ProbeTriangle &t, const double *p, double *weights) {
    if (t.u == 2) return Distance<2, 1>(t, p, weights);
    if (t.u == 0) return Distance<0, 2>(t, p, weights);
    return Distance<1, 0>(t, p, weights);
}

}  // namespace vantic
