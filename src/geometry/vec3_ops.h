// Small inline helpers on double[3] shared by the module's sources. Every sum runs x, y, z in that
// order and every product is written as the formulas read, so results are the same bit for bit
// wherever the helpers are used.
#pragma once

#include <cmath>

namespace vantic::geo {

inline void Sub(const double *a, const double *b, double *out) {
    out[0] = a[0] - b[0];
    out[1] = a[1] - b[1];
    out[2] = a[2] - b[2];
}

inline double Dot(const double *a, const double *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

inline void Cross(const double *a, const double *b, double *out) {
    const double x = a[1] * b[2] - a[2] * b[1];
    const double y = a[2] * b[0] - a[0] * b[2];
    const double z = a[0] * b[1] - a[1] * b[0];
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

inline double Length(const double *v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

// |a - b|
inline double Distance(const double *a, const double *b) {
    double d[3];
    Sub(a, b, d);
    return Length(d);
}

inline void Copy(const double *from, double *to) {
    to[0] = from[0];
    to[1] = from[1];
    to[2] = from[2];
}

// x moved onto the line through from and to: from + u (to - from), u = ((x - from) . (to - from)) /
// |to - from|^2, unclamped.
inline void ProjectOnLine(const double *from, const double *to, double *x) {
    double edge[3], rel[3];
    Sub(to, from, edge);
    Sub(x, from, rel);
    const double u = Dot(rel, edge) / Dot(edge, edge);
    for (int i = 0; i < 3; ++i) x[i] = from[i] + u * edge[i];
}

inline void Zero(double *v) { v[0] = v[1] = v[2] = 0.0; }

inline void Set(double *v, double x, double y, double z) {
    v[0] = x;
    v[1] = y;
    v[2] = z;
}

// Whether two positions are the same point, coordinate for coordinate.
inline bool SamePoint(const double *p, const double *q) { return p[0] == q[0] && p[1] == q[1] && p[2] == q[2]; }

}  // namespace vantic::geo
