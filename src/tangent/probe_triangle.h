// The nearest point of a corner triangle to a probe, as vantic_PointOnTri finds it, for the reference
// triangles of a tangent space. Both probes of a point are measured against the same triangles, so the
// part that depends on the triangle alone (its unit normal, projection plane and determinant) is worked
// out once instead of twice; the rest repeats vantic_PointOnTri's operations in the same order, so
// distances and weights are the same bit for bit. A private copy rather than a change to the shared
// routine: it runs 4 times per polygon corner at creation, and the calls through the primitives' null
// checks and out-of-line normalising were a quarter of the creation time.
#pragma once

namespace vantic {

struct ProbeTriangle {
    const double *corners[3];  // a, b, c
    double n[3];               // unit normal of (b - a) x (c - a); not finite for a collapsed triangle
    double nn;                 // n . n
    int u, v;                  // the coordinate plane that drops the normal's largest axis
    double det;                // the projected determinant; 0 leaves every weight 0
    double inv;                // 1 / det
};

void PrepareProbeTriangle(const double *a, const double *b, const double *c, ProbeTriangle *t);

// vantic_PointOnTri(p, a, b, c, closest, weights) without the closest point: the weights it writes,
// and the square of the distance it returns (the distance is its square root, bit for bit). A search
// for the nearest triangle then takes a square root only for a square below the best so far.
double ProbeSquaredDistance(const ProbeTriangle &t, const double *p, double *weights);

}  // namespace vantic
