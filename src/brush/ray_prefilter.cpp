#include "brush/ray_prefilter.h"

#include <cmath>
#include <limits>

// Why the tolerance holds. Let V be the direction, k its largest axis (|V_k| = v), and n1 = V_k e_a -
// V_a e_k, n2 = V_k e_b - V_b e_k with (a, b, k) cyclic: both are exactly perpendicular to V and
// n1 x n2 = V_k V, so for any p, q the cross cr(p, q) = (n1.p)(n2.q) - (n2.p)(n1.q) = V_k V.(p x q).
// The exact test computes e1 = B - A, e2 = C - A, s = O - A, det = e1.(V x e2), u = s.(V x e2),
// w = V.(s x e1), each rounded. Take the real values of the same formulas on the rounded e1, e2, s:
// with A' = -s, B' = e1 - s, C' = e2 - s (the corners relative to O' = A + s), they are
// U = V.(A' x C'), W = V.(B' x A'), and det - U - W = V.(C' x B'). With M the largest component of
// e1, e2, s, each rounded product of the test is off by at most 30 u v M^2 (u = 2^-53: two-term
// crosses, three-term dots); a hit needs u >= 0, w >= 0 and u + w <= det, so U and W are >= -32 u v M^2
// and det - U - W >= -103 u v M^2. With r the largest |P - O| component over the corners, M <= 2r, so
// a hit needs sgn(V_k) cr(A', C'), sgn(V_k) cr(B', A') and sgn(V_k) cr(C', B') all >= -413 u v^2 r^2.
// The coordinates placed here (V_k d_a - V_a d_k and V_k d_b - V_b d_k of d = P - O, each within
// 6 u v r of n.(P - O), and P - O within 3 u r of the corner relative to O') are off by at most
// 12 u v r each, and a cross of them by at most 114 u v^2 r^2 from the exact cross. A computed cross
// below -(413 + 114) u v^2 r^2 therefore rules the hit out; the tolerance is 2^-42 v^2 r^2, about four
// times that, plus 2^-1000 (1 + v)^2 (1 + r)^2 for products that fall below the normal range. Points
// beyond 2^250 or not numbers switch the test off, so nothing here overflows.

namespace vantic {

RayPrefilter::RayPrefilter(const double *origin, const double *direction) : origin_(origin) {
    const double ax = std::fabs(direction[0]), ay = std::fabs(direction[1]), az = std::fabs(direction[2]);
    k_ = ax >= ay && ax >= az ? 0 : (ay >= az ? 1 : 2);
    a_ = (k_ + 1) % 3;
    b_ = (k_ + 2) % 3;
    sign_ = direction[k_] < 0 ? -1.0 : 1.0;
    vk_ = direction[k_];
    va_ = direction[a_];
    vb_ = direction[b_];
    usable_ = std::fabs(vk_) <= kLargest && std::fabs(va_) <= kLargest && std::fabs(vb_) <= kLargest;
    for (int i = 0; i < 3; ++i) usable_ = usable_ && std::fabs(origin[i]) <= kLargest;
}

double RayPrefilter::tolerance(double reach, bool failed) const {
    if (failed || !usable_) return std::numeric_limits<double>::infinity();
    const double v = std::fabs(vk_);
    return std::ldexp(v * v * reach * reach, -42) + std::ldexp((1 + v) * (1 + v) * (1 + reach) * (1 + reach), -1000);
}

}  // namespace vantic
