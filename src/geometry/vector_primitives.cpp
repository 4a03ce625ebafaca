#include "geometry/vector_primitives.h"

#include <cmath>

#include "geometry/vec3_ops.h"

using namespace vantic::geo;

namespace {

// Below this the Möller-Trumbore determinant counts as a ray parallel to the triangle.
constexpr double kDeterminantTolerance = 1e-6;

// The ray parameter where o + s·d meets the plane through q with normal n: false, with nothing
// written, for a parallel ray or, with cull set, one travelling along the normal.
bool PlaneParameter(const double *o, const double *d, const double *n, const double *q, int32_t cull, double *s) {
    const double den = Dot(n, d);
    if (den == 0) return false;
    if (cull != 0 && den > 0) return false;
    double qo[3];
    Sub(q, o, qo);
    *s = Dot(n, qo) / den;
    return true;
}

// The determinant tolerance scaled to the ray and the triangle: for a short ray or a triangle much
// smaller than unit size the determinant is small even head-on, so the absolute tolerance shrinks with
// |d| |e1 x e2| below 1. Only asked for when |det| is already under the absolute tolerance.
double DeterminantFloor(const double *d, const double *e1, const double *e2) {
    double n[3];
    Cross(e1, e2, n);
    const double s = std::sqrt(Dot(d, d)) * std::sqrt(Dot(n, n));
    return s < 1.0 ? kDeterminantTolerance * s : kDeterminantTolerance;
}

}  // namespace

void vantic_Normalize(double *v) {
    if (!v) return;
    const double s = 1 / std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    v[0] = v[0] * s;
    v[1] = v[1] * s;
    v[2] = v[2] * s;
}

void vantic_ComputeNormal(const double *p0, const double *p1, const double *p2, double *normal) {
    if (!p0 || !p1 || !p2 || !normal) return;
    double e1[3], e2[3];
    Sub(p1, p0, e1);
    Sub(p2, p1, e2);
    Cross(e1, e2, normal);
    vantic_Normalize(normal);
}

void vantic_ComputeBestFitNormal(const double *points, int32_t count, double *normal) {
    if (!points || !normal) return;
    double n[3] = {0, 0, 0};
    const double *prev = points + 3 * (count - 1);
    for (int32_t i = 0; i < count; ++i) {
        const double *cur = points + 3 * i;
        n[0] += (prev[1] - cur[1]) * (prev[2] + cur[2]);
        n[1] += (prev[2] - cur[2]) * (prev[0] + cur[0]);
        n[2] += (prev[0] - cur[0]) * (prev[1] + cur[1]);
        prev = cur;
    }
    vantic_Normalize(n);
    Copy(n, normal);
}

int32_t vantic_BarycentricCoordinates(const double *p, const double *a, const double *b, const double *c,
                                      const double *n, double *weights) {
    if (!p || !a || !b || !c || !n || !weights) return -1;
    Set(weights, 0, 0, 0);
    // Project onto the coordinate plane that drops the normal's largest axis (ties: x, then y).
    const double ax = std::fabs(n[0]), ay = std::fabs(n[1]), az = std::fabs(n[2]);
    int u, v;
    if (ax >= ay && ax >= az) {
        u = 2, v = 1;
    } else if (ay >= az) {
        u = 0, v = 2;
    } else {
        u = 1, v = 0;
    }
    const double det = (a[u] - c[u]) * (b[v] - c[v]) - (b[u] - c[u]) * (a[v] - c[v]);
    if (det == 0) return -1;
    const double inv = 1 / det;
    const double wa = ((p[u] - c[u]) * (b[v] - c[v]) - (b[u] - c[u]) * (p[v] - c[v])) * inv;
    const double wb = ((a[u] - c[u]) * (p[v] - a[v]) - (p[u] - a[u]) * (a[v] - c[v])) * inv;
    const double wc = 1 - wa - wb;
    Set(weights, wa, wb, wc);
    const bool inside = wa >= 0 && wa <= 1 && wb >= 0 && wb <= 1 && wc >= 0 && wc <= 1;
    return inside ? 1 : 0;
}

double *vantic_BarycentricToWorld(const double *weights, const double *a, const double *b, const double *c,
                                  double *out) {
    if (!weights || !a || !b || !c || !out) return nullptr;
    for (int i = 0; i < 3; ++i) out[i] = weights[0] * a[i] + weights[1] * b[i] + weights[2] * c[i];
    return out;
}

double vantic_PointOnPlane(const double *p, const double *n, const double *q, double *out) {
    if (!p || !n || !q || !out) return 0.0;
    double pq[3];
    Sub(p, q, pq);
    const double s = Dot(n, pq) / Dot(n, n);
    const double sn[3] = {s * n[0], s * n[1], s * n[2]};
    Sub(p, sn, out);  // out may be p: each component is read before it is written
    return Length(sn);
}

int32_t vantic_RayIntersectPlane(const double *o, const double *d, const double *n, const double *q, double *t,
                                 double *hit, int32_t cull) {
    if (!o || !d || !n || !q || !t || !hit) return 0;
    double s;
    if (!PlaneParameter(o, d, n, q, cull, &s)) return 0;
    *t = s;
    for (int i = 0; i < 3; ++i) hit[i] = o[i] + s * d[i];
    return 1;
}

int32_t vantic_RayIntersectTriangle(const double *o, const double *d, const double *a, const double *b,
                                    const double *c, double *t, double *weights, int32_t cull) {
    if (!o || !d || !a || !b || !c || !t || !weights) return 0;
    double n[3];
    vantic_ComputeNormal(a, b, c, n);
    double s;
    if (!PlaneParameter(o, d, n, a, cull, &s)) return 0;
    *t = s;
    if (!(s > 0)) return 0;  // also rejects a NaN from a degenerate triangle
    double hit[3], w[3];
    for (int i = 0; i < 3; ++i) hit[i] = o[i] + s * d[i];
    if (vantic_BarycentricCoordinates(hit, a, b, c, n, w) == 0) return 0;
    Copy(w, weights);
    return 1;
}

int32_t vantic_RayIntersectTriangle2(const double *o, const double *d, const double *a, const double *b,
                                     const double *c, double *t, double *weights, int32_t cull) {
    if (!o || !d || !a || !b || !c || !t || !weights) return 0;
    double e1[3], e2[3], pv[3], tv[3], qv[3];
    Sub(b, a, e1);
    Sub(c, a, e2);
    Cross(d, e2, pv);
    const double det = Dot(e1, pv);
    Sub(o, a, tv);
    double u, v, s;
    if (cull != 0) {
        if (det < kDeterminantTolerance && (det <= 0 || det < DeterminantFloor(d, e1, e2))) return 0;
        const double uu = Dot(tv, pv);
        if (uu < 0 || uu > det) return 0;
        Cross(tv, e1, qv);
        const double vv = Dot(d, qv);
        if (vv < 0 || uu + vv > det) return 0;
        const double inv = 1 / det;
        s = Dot(e2, qv) * inv;
        u = uu * inv;
        v = vv * inv;
    } else {
        if (det > -kDeterminantTolerance && det < kDeterminantTolerance &&
            (det == 0 || std::fabs(det) < DeterminantFloor(d, e1, e2)))
            return 0;
        const double inv = 1 / det;
        u = Dot(tv, pv) * inv;
        if (u < 0 || u > 1) return 0;
        Cross(tv, e1, qv);
        v = Dot(d, qv) * inv;
        if (v < 0 || u + v > 1) return 0;
        s = Dot(e2, qv) * inv;
    }
    *t = s;
    Set(weights, 1 - u - v, u, v);
    return 1;
}
