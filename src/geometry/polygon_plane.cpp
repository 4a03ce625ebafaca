// Plane coordinates of a polygon's corners, and the region an ear's emptiness test can reach.
#include "geometry/polygon_plane.h"

#include <algorithm>
#include <cmath>

#include "geometry/vec3_ops.h"

using namespace vantic::geo;

namespace vantic {

namespace {

// The single-precision value of 0.0001, the ear tests' tolerance.
constexpr double kEpsilon = 9.999999747378752e-5;

// Unit vectors u, v with u x v along the unit normal n.
void PlaneAxes(const double *n, double *u, double *v) {
    const double ax = std::fabs(n[0]), ay = std::fabs(n[1]), az = std::fabs(n[2]);
    double other[3] = {0, 0, 0};
    other[ax <= ay && ax <= az ? 0 : (ay <= az ? 1 : 2)] = 1;
    Cross(other, n, u);
    const double length = Length(u);
    for (int i = 0; i < 3; ++i) u[i] /= length;
    Cross(n, u, v);
}

// Below this sine between two wedge sides their crossing is too far off, or too loosely placed, to bound a search.
constexpr double kLeastSine = 1e-9;

// The box around three points (u[j], v[j]), each widened by its own half-widths; false when not finite.
bool BoxAround(const double *u, const double *v, const double *halfU, const double *halfV, Box &box) {
    double u0 = INFINITY, u1 = -INFINITY, v0 = INFINITY, v1 = -INFINITY;
    for (int j = 0; j < 3; ++j) {
        u0 = std::min(u0, u[j] - halfU[j]);
        u1 = std::max(u1, u[j] + halfU[j]);
        v0 = std::min(v0, v[j] - halfV[j]);
        v1 = std::max(v1, v[j] + halfV[j]);
    }
    box = Box{u0, u1, v0, v1};
    return std::isfinite(box.u0) && std::isfinite(box.u1) && std::isfinite(box.v0) && std::isfinite(box.v1);
}

// Whether the turn a -> b -> c is proven to have a sign, and which: the orientation's two products
// and their difference are each rounded, within 2^-50 of their sum (or below the normal range).
int TurnSign(const double *a, const double *b, const double *c) {
    const double left = (a[0] - c[0]) * (b[1] - c[1]), right = (a[1] - c[1]) * (b[0] - c[0]);
    const double turn = left - right, bound = 0x1p-50 * (std::fabs(left) + std::fabs(right)) + 0x1p-1000;
    return turn > bound ? 1 : (turn < -bound ? -1 : 0);
}

// Whether the direction from a to b points into the upper half-plane (or along +u): exact, as the
// sign of a rounded difference is the exact one.
bool PointsUp(const double *a, const double *b) { return b[1] > a[1] || (b[1] == a[1] && b[0] > a[0]); }

// Every turn proven to share one sign makes the edge's direction turn one way by less than a half
// turn at each corner; it then enters and leaves the upper half-plane once per winding.
bool StrictlyConvex(int32_t n, const double *uv) {
    if (n < 3) return false;
    int sign = 0;
    int32_t crossings = 0;
    for (int32_t i = 0; i < n; ++i) {
        const double *a = uv + 2 * i, *b = uv + 2 * ((i + 1) % n), *c = uv + 2 * ((i + 2) % n);
        const int turn = TurnSign(a, b, c);
        if (turn == 0 || (sign != 0 && turn != sign)) return false;
        sign = turn;
        crossings += PointsUp(a, b) != PointsUp(b, c);
    }
    return crossings == 2;
}

}  // namespace

void PolygonPlane::build(int32_t n, const double *points, const double *normal) {
    usable_ = false;
    convex_ = false;
    largestU_ = 0;
    largestV_ = 0;
    sine_ = 0;
    cosine_ = 1;
    thickness_ = 0;
    margin_ = 0;
    uv_.resize(2 * static_cast<size_t>(n));
    const double normalLength = Length(normal);
    if (!(normalLength >= 0.5 && normalLength <= 2)) return;
    const double unit[3] = {normal[0] / normalLength, normal[1] / normalLength, normal[2] / normalLength};
    double u[3], v[3];
    PlaneAxes(unit, u, v);
    double lowest = INFINITY, highest = -INFINITY, extent = 0, magnitude = 0;
    for (int32_t i = 0; i < n; ++i) {
        const double *p = points + 3 * i;
        double d[3];
        Sub(p, points, d);
        uv_[2 * static_cast<size_t>(i)] = Dot(u, d);
        uv_[2 * static_cast<size_t>(i) + 1] = Dot(v, d);
        const double height = Dot(unit, d);
        lowest = std::min(lowest, height);
        highest = std::max(highest, height);
        extent = std::max({extent, std::fabs(d[0]), std::fabs(d[1]), std::fabs(d[2])});
        magnitude = std::max({magnitude, std::fabs(p[0]), std::fabs(p[1]), std::fabs(p[2])});
    }
    thickness_ = highest - lowest;
    if (!std::isfinite(thickness_) || !std::isfinite(extent) || !std::isfinite(magnitude)) return;
    // Edge normals are N x (unit edge), so the tests compare in-plane sines against eps / |N|.
    sine_ = kEpsilon / normalLength * (1 + 1e-9) * (1 + 1e-6);
    cosine_ = std::sqrt(1 - sine_ * sine_);
    // A corner's distance from the wedge's sides bounds how far inside the test's limit it lies,
    // to within a factor of three; the margin covers the spread off the plane and rounding.
    margin_ = 4 * (sine_ * thickness_ + 1e-12 * (magnitude + extent));
    usable_ = true;
    for (int32_t i = 0; i < n; ++i) {
        largestU_ = std::max(largestU_, std::fabs(uv_[2 * static_cast<size_t>(i)]));
        largestV_ = std::max(largestV_, std::fabs(uv_[2 * static_cast<size_t>(i) + 1]));
    }
    convex_ = StrictlyConvex(n, uv_.data());
}

// A corner p passes the test of an edge from s with unit direction e unless p - s turns away from
// e, to the right, by more than the angle whose sine is eps' (the tolerance in the plane): the
// test fails inside the wedge at s between the directions e turned by -theta and by pi + theta,
// sin(theta) a hair above eps'. Drawn in by a margin for the corners' spread off the plane and for
// rounding, that wedge can be skipped.
Wedge PolygonPlane::edgeWedge(int32_t from, int32_t to) const {
    const size_t f = static_cast<size_t>(from), t = static_cast<size_t>(to);
    const double su = uv_[2 * f], sv = uv_[2 * f + 1];
    const double du = uv_[2 * t] - su, dv = uv_[2 * t + 1] - sv;
    const double length = std::sqrt(du * du + dv * dv);
    // A short edge of a polygon off its plane tilts its normal out of the plane: skip nothing.
    if (!(length > 0) || thickness_ > 1e-6 * length) return Wedge{{0, 0, -1}, {0, 0, -1}};
    const double eu = du / length, ev = dv / length;
    // e turned by -theta, and by pi + theta
    const double r1u = eu * cosine_ + ev * sine_, r1v = -eu * sine_ + ev * cosine_;
    const double r2u = -(eu * cosine_ - ev * sine_), r2v = -(eu * sine_ + ev * cosine_);
    // Inside: cross(r1, p - s) < -margin and cross(r2, p - s) > margin.
    return Wedge{{r1v, -r1u, r1u * sv - r1v * su - margin_}, {-r2v, r2u, r2v * su - r2u * sv - margin_}};
}

bool PolygonPlane::earWedges(int32_t first, int32_t tip, int32_t last, Wedge (&skip)[3]) const {
    if (!usable_) return false;
    skip[0] = edgeWedge(first, tip);
    skip[1] = edgeWedge(tip, last);
    skip[2] = edgeWedge(last, first);
    return true;
}

// A linear form's values at the corners of a strictly convex polygon, taken in ring order, rise to
// one maximum and fall to one minimum. If the form is higher at `before` than at first and at
// `after` than at last, that minimum is not between them, so over the ring's other corners the form
// is least at `before` or `after`. Each value is computed within `slack` of the form's exact value,
// which the thresholds cover; the wedge holds a corner where both its forms are computed positive.
bool PolygonPlane::farSideClear(int32_t first, int32_t last, int32_t before, int32_t after) const {
    if (!convex_ || before == last) return false;
    const Wedge wedge = edgeWedge(last, first);
    for (const Linear &form : {wedge.f, wedge.g}) {
        auto at = [&](int32_t corner) {
            return form.at(uv_[2 * static_cast<size_t>(corner)], uv_[2 * static_cast<size_t>(corner) + 1]);
        };
        const double slack =
            0x1p-50 * (std::fabs(form.a) * largestU_ + std::fabs(form.b) * largestV_ + std::fabs(form.c)) + 0x1p-1000;
        const double atBefore = at(before), atAfter = at(after);
        if (!(atBefore > 2 * slack && atAfter > 2 * slack && atBefore - at(first) > 3 * slack &&
              atAfter - at(last) > 3 * slack))
            return false;
    }
    return true;
}

// A corner the search may not skip lies, for every edge i, where one of the wedge's forms f_i, g_i
// is not positive: in one of the eight regions {x_0 <= 0, x_1 <= 0, x_2 <= 0}, x_i one of f_i, g_i.
// Such a region is bounded when the three forms' gradients surround the origin, as they do when
// every gradient of one edge turns the same way to every gradient of the next; it is then a
// triangle (or empty) with corners where a side of one edge crosses a side of the next. Those two
// edges meet at an ear corner t, and solving x(t + d) = y(t + d) = 0 gives
// d = -(y_b x(t) - x_b y(t), x_a y(t) - y_a x(t)) / det, det being x_a y_b - x_b y_a, which bounds
// each crossing near t by the largest values of the forms and their coefficients there. So a box
// around each ear corner as wide as those bounds holds every crossing, at one division per corner.
// The pad and the widening cover rounding.
bool PolygonPlane::earBox(const Wedge (&skip)[3], int32_t first, int32_t tip, int32_t last, Box &box) const {
    // Edge i runs from corners[i] to corners[i + 1], so edges i and i + 1 meet at corners[i + 1].
    const int32_t corners[3] = {first, tip, last};
    double largestOffset = 0, largestCoordinate = 0, leastSine = INFINITY;
    double u[3], v[3], reachU[3], reachV[3];
    int turns = 0;
    bool finite = true;
    for (int i = 0; i < 3; ++i) {
        const int j = i == 2 ? 0 : i + 1;
        const Linear *x[2] = {&skip[i].f, &skip[i].g}, *y[2] = {&skip[j].f, &skip[j].g};
        const double tu = uv_[2 * static_cast<size_t>(corners[j])], tv = uv_[2 * static_cast<size_t>(corners[j]) + 1];
        double cornerSine = INFINITY;
        for (const Linear *p : x)
            for (const Linear *q : y) {
                const double det = p->a * q->b - p->b * q->a;
                turns += det > 0 ? 1 : -1;
                cornerSine = std::min(cornerSine, std::fabs(det));
            }
        const double xt = std::max(std::fabs(x[0]->at(tu, tv)), std::fabs(x[1]->at(tu, tv)));
        const double yt = std::max(std::fabs(y[0]->at(tu, tv)), std::fabs(y[1]->at(tu, tv)));
        const double xa = std::max(std::fabs(x[0]->a), std::fabs(x[1]->a)), xb = std::max(std::fabs(x[0]->b), std::fabs(x[1]->b));
        const double ya = std::max(std::fabs(y[0]->a), std::fabs(y[1]->a)), yb = std::max(std::fabs(y[0]->b), std::fabs(y[1]->b));
        const double reciprocal = 1 / cornerSine;
        u[j] = tu;
        v[j] = tv;
        reachU[j] = (yb * xt + xb * yt) * reciprocal;
        reachV[j] = (xa * yt + ya * xt) * reciprocal;
        finite = finite && std::isfinite(reachU[j]) && std::isfinite(reachV[j]);
        leastSine = std::min(leastSine, cornerSine);
        largestOffset = std::max({largestOffset, std::fabs(skip[i].f.c), std::fabs(skip[i].g.c)});
        largestCoordinate = std::max({largestCoordinate, std::fabs(tu), std::fabs(tv)});
    }
    // Also refuses a wedge that skips nothing (both gradients zero).
    if (!finite || !(leastSine >= kLeastSine) || (turns != 12 && turns != -12)) return false;
    const double pad = 1e-14 * (2 * largestOffset + 2 * largestCoordinate) / leastSine;
    const double widen = 1 + 1e-14 / leastSine;
    for (int j = 0; j < 3; ++j) {
        reachU[j] = reachU[j] * widen + pad;
        reachV[j] = reachV[j] * widen + pad;
    }
    return BoxAround(u, v, reachU, reachV, box);
}

// The same region bounded from the ear alone. The gradients of the wedges' sides of edge e are e
// turned a quarter and then by -theta or +theta, so at the ear corner where edge a arrives and edge
// b leaves every det above is the sine of the corner's turn phi, or of phi -+ 2 theta: when
// |a x b| / (|a| |b|), bounded below through |a| <= |a_u| + |a_v|, exceeds 2 sin(theta) by a clear
// margin, all twelve share the sign of a x b, which is one for the whole triangle, and are at least
// that bound less 2 sin(theta). The sides of edge a reach |a| sin(theta) + margin at the corner and
// those of b their margin, which with bounds on the coefficients bound the reach as earBox does.
// The edges' lengths are kept where earWedges computes them without underflow or overflow and its
// wedges skip something.
bool PolygonPlane::quickEarBox(int32_t first, int32_t tip, int32_t last, Box &box) const {
    if (!usable_) return false;
    const int32_t corners[3] = {first, tip, last};
    double du[3], dv[3], span[3], largestCoordinate = 0;
    for (int i = 0; i < 3; ++i) {
        const size_t from = static_cast<size_t>(corners[i]), to = static_cast<size_t>(corners[i == 2 ? 0 : i + 1]);
        du[i] = uv_[2 * to] - uv_[2 * from];
        dv[i] = uv_[2 * to + 1] - uv_[2 * from + 1];
        span[i] = std::fabs(du[i]) + std::fabs(dv[i]);  // between the length and 1.5 times it
        if (!(span[i] >= 1e-150 && span[i] <= 1e150 && 1.5 * thickness_ <= 1e-6 * span[i])) return false;
        largestCoordinate = std::max({largestCoordinate, std::fabs(uv_[2 * from]), std::fabs(uv_[2 * from + 1])});
    }
    // Bounds on the size of each coefficient: a side's gradient is its edge's unit direction turned
    // a quarter and by theta, whose parts are at most those of the direction plus sin(theta).
    double alongU[3], alongV[3];
    for (int i = 0; i < 3; ++i) {
        const double longest = 1 / std::max(std::fabs(du[i]), std::fabs(dv[i]));
        alongU[i] = std::fabs(du[i]) * longest + sine_;
        alongV[i] = std::fabs(dv[i]) * longest + sine_;
    }
    double reachU[3], reachV[3], leastSine = INFINITY;
    int positive = 0;
    for (int i = 0; i < 3; ++i) {
        const int j = i == 2 ? 0 : i + 1;  // edge i arrives at corner j, edge j leaves it
        const double turn = du[i] * dv[j] - dv[i] * du[j];
        positive += turn > 0;
        const double sine = std::fabs(turn) / (span[i] * span[j]) - 2e-15 - 2.001 * sine_ - 1e-14;
        const double arriving = span[i] * sine_ + margin_, scale = (1 + 1e-12) / sine;
        reachU[j] = (alongU[j] * arriving + alongU[i] * margin_) * scale;
        reachV[j] = (alongV[j] * arriving + alongV[i] * margin_) * scale;
        leastSine = std::min(leastSine, sine);
    }
    if (!(leastSine >= kLeastSine) || (positive != 0 && positive != 3)) return false;
    const double pad = 1e-14 * (4 * largestCoordinate + 2 * margin_) / leastSine;
    double u[3], v[3];
    for (int j = 0; j < 3; ++j) {
        u[j] = uv_[2 * static_cast<size_t>(corners[j])];
        v[j] = uv_[2 * static_cast<size_t>(corners[j]) + 1];
        reachU[j] += pad;
        reachV[j] += pad;
    }
    return BoxAround(u, v, reachU, reachV, box);
}

}  // namespace vantic
