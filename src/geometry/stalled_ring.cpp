// Real-world rings (rivers, coastlines) have corners a hair off long edges: the ear cutter's tolerant
// tests count them as inside and stall with part of the polygon left. What is left is cut as an
// exact ear clipper would, so the polygon is covered while every triangle already written stays.
#include "geometry/stalled_ring.h"

#include <vector>

#include "geometry/polygon_plane.h"

namespace vantic {

namespace {

bool SamePoint(const double *p, const double *q) { return p[0] == q[0] && p[1] == q[1] && p[2] == q[2]; }

// The corners still in the ring: those no triangle cut off, one per run of corners at one position,
// and none at the position of a cut corner of their run (a repeat the ear cutter dropped).
std::vector<int32_t> LeftCorners(int32_t n, const double *points, const Triangle *out, int32_t count) {
    std::vector<char> cut(static_cast<size_t>(n), 0);
    for (int32_t t = 0; t < count; ++t) {
        const int32_t tip = out[t].corners[1];
        if (tip >= 0 && tip < n) cut[static_cast<size_t>(tip)] = 1;
    }
    auto same = [&](int32_t i, int32_t j) { return SamePoint(points + 3 * i, points + 3 * j); };
    // Start where a run starts, so that no run wraps around the end.
    int32_t start = 0;
    while (start < n && same(start, (start + n - 1) % n)) ++start;
    if (start == n) return {};
    std::vector<int32_t> left;
    for (int32_t k = 0; k < n;) {
        const int32_t first = (start + k) % n;
        int32_t length = 1;
        bool anyCut = cut[static_cast<size_t>(first)] != 0;
        while (k + length < n && same((start + k + length) % n, first)) {
            anyCut = anyCut || cut[static_cast<size_t>((start + k + length) % n)] != 0;
            ++length;
        }
        if (!anyCut) left.push_back(first);
        k += length;
    }
    return left;
}

// How many corners all ear tests of one ring may read together.
constexpr int64_t kCornerTests = int64_t{1} << 26;

double Orientation(const double *a, const double *b, const double *c) {
    return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
}

}  // namespace

int32_t FinishStalledRing(int32_t n, const double *points, const double *normal, Triangle *out, int32_t count) {
    if (n < 4 || count >= n - 2) return count;
    std::vector<int32_t> ring = LeftCorners(n, points, out, count);
    PolygonPlane plane;
    plane.build(n, points, normal);
    if (ring.size() < 3 || !plane.usable()) return count;
    const double *uv = plane.coordinates();
    auto at = [&](int32_t corner) { return uv + 2 * static_cast<size_t>(corner); };
    double area = 0;
    for (size_t i = 0; i < ring.size(); ++i) {
        const double *p = at(ring[i]), *q = at(ring[(i + 1) % ring.size()]);
        area += p[0] * q[1] - p[1] * q[0];
    }
    // The ear cutter's ears turn counterclockwise about the normal, as (u, v) do: a ring left turning
    // the other way (a crossing ring's other lobe) is not cut.
    if (!(area > 0)) return count;
    auto convex = [&](int32_t a, int32_t b, int32_t c) { return Orientation(at(a), at(b), at(c)) > 0; };
    // Inside or on the sides of the counterclockwise triangle a, b, c.
    auto within = [&](int32_t a, int32_t b, int32_t c, int32_t p) {
        return Orientation(at(a), at(b), at(p)) >= 0 && Orientation(at(b), at(c), at(p)) >= 0 &&
               Orientation(at(c), at(a), at(p)) >= 0;
    };
    // Each ear test reads the whole ring: a fixed budget keeps a huge stalled ring from taking minutes.
    int64_t budget = kCornerTests;
    size_t i = 0, sinceCut = 0;
    while (ring.size() > 3 && count < n - 2 && sinceCut < ring.size() && budget > 0) {
        const size_t m = ring.size();
        const int32_t a = ring[(i + m - 1) % m], b = ring[i % m], c = ring[(i + 1) % m];
        if (Orientation(at(a), at(b), at(c)) == 0) {
            // A corner on the line through its neighbours (or a spike back along it) bounds no area.
            ring.erase(ring.begin() + static_cast<std::ptrdiff_t>(i % m));
            i = i % ring.size();
            sinceCut = 0;
            continue;
        }
        bool ear = convex(a, b, c);
        budget -= static_cast<int64_t>(m);
        for (size_t k = 0; ear && k < m; ++k) {
            const int32_t p = ring[k];
            if (p == a || p == b || p == c || SamePoint(points + 3 * p, points + 3 * a) ||
                SamePoint(points + 3 * p, points + 3 * b) || SamePoint(points + 3 * p, points + 3 * c))
                continue;
            const bool reflex = !convex(ring[(k + m - 1) % m], p, ring[(k + 1) % m]);
            if (reflex && within(a, b, c, p)) ear = false;
        }
        if (!ear) {
            i = (i + 1) % m;
            ++sinceCut;
            continue;
        }
        out[count].corners[0] = a;
        out[count].corners[1] = b;
        out[count].corners[2] = c;
        ++count;
        ring.erase(ring.begin() + static_cast<std::ptrdiff_t>(i % m));
        i = i % ring.size();
        sinceCut = 0;
    }
    if (ring.size() == 3 && count < n - 2 && convex(ring[0], ring[1], ring[2])) {
        out[count].corners[0] = ring[0];
        out[count].corners[1] = ring[1];
        out[count].corners[2] = ring[2];
        ++count;
    }
    return count;
}

}  // namespace vantic
