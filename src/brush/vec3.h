// Small double[3] arithmetic shared by the brush's picking, weights, display and tool. The sums run
// x, y, z in that order, so results are the same bits wherever they are used.
#pragma once

#include <cmath>

namespace vantic {

inline void Sub3(const double *a, const double *b, double *out) {
    out[0] = a[0] - b[0];
    out[1] = a[1] - b[1];
    out[2] = a[2] - b[2];
}

inline void Copy3(const double *from, double *to) {
    to[0] = from[0];
    to[1] = from[1];
    to[2] = from[2];
}

inline void Zero3(double *v) { v[0] = v[1] = v[2] = 0.0; }

inline double Dot3(const double *a, const double *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

inline double Length3(const double *v) { return std::sqrt(Dot3(v, v)); }

// |a - b|
inline double Distance3(const double *a, const double *b) {
    double d[3];
    Sub3(a, b, d);
    return Length3(d);
}

}  // namespace vantic
