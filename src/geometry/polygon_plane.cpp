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

}  // namespace

PolygonPlane::PolygonPlane(int32_t n, const double *points, const double *normal) : uv_(2 * static_cast<size_t>(n)) {
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
    // Edge normals are N x (unit edge), so the tests compare in-plane distances against eps / |N|.
    epsilon_ = kEpsilon / normalLength * (1 + 1e-9);
    slack_ = 1e-12 * (magnitude + extent);
    usable_ = true;
}

// An accepted corner p lies at most eps' |p - s| outside each edge line (s the edge's start, eps'
// the tolerance in the plane). With delta its largest such distance, p lies in the triangle pushed
// out by delta, whose diameter is at most D + 2 delta / sin(smallest angle / 2); so
// delta <= eps' (D + thickness) / (1 - 2 eps' / sigma), sigma = area / (product of the two longest
// edges) being a lower bound of that sine.
bool PolygonPlane::earRegion(int32_t first, int32_t tip, int32_t last, HalfPlane (&region)[3]) const {
    const int32_t corners[3] = {first, tip, last};
    double du[3], dv[3], squared[3];
    for (int i = 0; i < 3; ++i) {
        const int32_t from = corners[i], to = corners[(i + 1) % 3];
        du[i] = uv_[2 * static_cast<size_t>(to)] - uv_[2 * static_cast<size_t>(from)];
        dv[i] = uv_[2 * static_cast<size_t>(to) + 1] - uv_[2 * static_cast<size_t>(from) + 1];
        squared[i] = du[i] * du[i] + dv[i] * dv[i];
    }
    const double twiceArea = du[0] * dv[1] - dv[0] * du[1];
    const double shortest = std::min({squared[0], squared[1], squared[2]});
    const double longest = std::max({squared[0], squared[1], squared[2]});
    const double middle = squared[0] + squared[1] + squared[2] - shortest - longest;
    if (!(twiceArea > 0) || !(shortest > 0)) return false;
    // Corners off the plane by more than a hair of the shortest edge tilt the edge normals.
    if (thickness_ > 1e-6 * std::sqrt(shortest)) return false;
    const double sigma = 0.5 * twiceArea / std::sqrt(longest * middle) * (1 - 1e-9);
    if (!(sigma >= 3 * epsilon_)) return false;
    const double delta = epsilon_ * (std::sqrt(longest) + thickness_) / (1 - 2 * epsilon_ / sigma);
    const double offset = 1.5 * delta + slack_;
    for (int i = 0; i < 3; ++i) {
        const double su = uv_[2 * static_cast<size_t>(corners[i])], sv = uv_[2 * static_cast<size_t>(corners[i]) + 1];
        const double length = std::sqrt(squared[i]);
        region[i] = HalfPlane{-dv[i], du[i], dv[i] * su - du[i] * sv + offset * length};
    }
    return true;
}

}  // namespace vantic
