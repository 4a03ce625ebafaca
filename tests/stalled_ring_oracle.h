// The stalled-ring finisher as first written: the ring in a vector, the reflex corners listed anew
// after every cut, and every pair of corners tried as a diagonal against every edge. The finisher in
// the module must write exactly its triangles.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "geometry/corner_index.h"
#include "geometry/polygon_plane.h"
#include "geometry/vec3_ops.h"
#include "vanticAPI.h"

namespace vantic::plain {

namespace stalled {

// How often the rings finished so far were split along a diagonal, and how often the budget ran
// out: the tests check that their cases reach both.
inline int64_t diagonalSplits = 0, budgetsSpent = 0;

using geo::SamePoint;

// The corners still in the ring: those no triangle cut off, one per run of corners at one position,
// and none at the position of a cut corner of their run (a repeat the ear cutter dropped).
inline std::vector<int32_t> LeftCorners(int32_t n, const double *points, const Triangle *out, int32_t count) {
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
inline constexpr int64_t kCornerTests = int64_t{1} << 26;

// The box of some corners in plane coordinates.
inline Box BoxOf(std::initializer_list<const double *> corners) {
    Box b{INFINITY, -INFINITY, INFINITY, -INFINITY};
    for (const double *p : corners) {
        b.u0 = std::min(b.u0, p[0]);
        b.u1 = std::max(b.u1, p[0]);
        b.v0 = std::min(b.v0, p[1]);
        b.v1 = std::max(b.v1, p[1]);
    }
    return b;
}

inline bool Meet(const Box &a, const Box &b) { return a.u0 <= b.u1 && b.u0 <= a.u1 && a.v0 <= b.v1 && b.v0 <= a.v1; }

inline double Orientation(const double *a, const double *b, const double *c) {
    return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
}

// Clips, and where clipping stalls splits, the rings left of one polygon, writing triangles after
// the ear cutter's within the room of n - 2.
class RingFinisher {
public:
    RingFinisher(int32_t n, const double *points, const double *uv, Triangle *out, int32_t count)
        : n_(n), points_(points), uv_(uv), out_(out), count_(count) {}

    int32_t finish(std::vector<int32_t> ring) {
        std::vector<std::vector<int32_t>> pending;
        pending.push_back(std::move(ring));
        while (!pending.empty() && budget_ > 0 && count_ < n_ - 2) {
            std::vector<int32_t> next = std::move(pending.back());
            pending.pop_back();
            clip(next);
            if (next.size() == 3 && convex(next[0], next[1], next[2])) write(next[0], next[1], next[2]);
            if (next.size() <= 3) continue;
            // Stalled: cut the ring in two along a diagonal inside it, and finish both.
            size_t i = 0, j = 0;
            if (!findDiagonal(next, i, j)) continue;
            ++diagonalSplits;
            std::vector<int32_t> first(next.begin() + static_cast<std::ptrdiff_t>(i),
                                       next.begin() + static_cast<std::ptrdiff_t>(j) + 1);
            std::vector<int32_t> second(next.begin() + static_cast<std::ptrdiff_t>(j), next.end());
            second.insert(second.end(), next.begin(), next.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            pending.push_back(std::move(first));
            pending.push_back(std::move(second));
        }
        if (budget_ <= 0) ++budgetsSpent;
        return count_;
    }

private:
    const double *at(int32_t corner) const { return uv_ + 2 * static_cast<size_t>(corner); }
    bool same(int32_t p, int32_t q) const { return SamePoint(points_ + 3 * p, points_ + 3 * q); }
    double orientation(int32_t a, int32_t b, int32_t c) const { return Orientation(at(a), at(b), at(c)); }
    bool convex(int32_t a, int32_t b, int32_t c) const { return orientation(a, b, c) > 0; }
    // Inside or on the sides of the counterclockwise triangle a, b, c.
    bool within(int32_t a, int32_t b, int32_t c, int32_t p) const {
        return orientation(a, b, p) >= 0 && orientation(b, c, p) >= 0 && orientation(c, a, p) >= 0;
    }
    void write(int32_t a, int32_t b, int32_t c) {
        if (count_ >= n_ - 2) return;
        out_[count_].corners[0] = a;
        out_[count_].corners[1] = b;
        out_[count_].corners[2] = c;
        ++count_;
    }

    // Ear clipping with exact tests, an ear blocked only by a reflex corner inside it or on its
    // sides; leaves the ring as it stalls.
    void clip(std::vector<int32_t> &ring) {
        size_t i = 0, sinceCut = 0;
        std::vector<size_t> reflex;  // places of the corners that can block an ear, while the ring is as it is
        bool changed = true;
        while (ring.size() > 3 && count_ < n_ - 2 && sinceCut < ring.size() && budget_ > 0) {
            const size_t m = ring.size();
            if (changed) {
                reflex.clear();
                for (size_t k = 0; k < m; ++k)
                    if (!convex(ring[(k + m - 1) % m], ring[k], ring[(k + 1) % m])) reflex.push_back(k);
                budget_ -= static_cast<int64_t>(m);
                changed = false;
            }
            const int32_t a = ring[(i + m - 1) % m], b = ring[i % m], c = ring[(i + 1) % m];
            if (orientation(a, b, c) == 0) {
                // A corner on the line through its neighbours (or a spike back along it) bounds no area.
                ring.erase(ring.begin() + static_cast<std::ptrdiff_t>(i % m));
                i = i % ring.size();
                sinceCut = 0;
                changed = true;
                continue;
            }
            bool ear = convex(a, b, c);
            budget_ -= static_cast<int64_t>(reflex.size()) + 1;
            const Box box = BoxOf({at(a), at(b), at(c)});
            for (size_t k = 0; ear && k < reflex.size(); ++k) {
                const int32_t p = ring[reflex[k]];
                if (!box.holds(at(p)[0], at(p)[1]) || p == a || p == b || p == c || same(p, a) || same(p, b) || same(p, c))
                    continue;
                if (within(a, b, c, p)) ear = false;
            }
            if (!ear) {
                i = (i + 1) % m;
                ++sinceCut;
                continue;
            }
            write(a, b, c);
            ring.erase(ring.begin() + static_cast<std::ptrdiff_t>(i % m));
            i = i % ring.size();
            sinceCut = 0;
            changed = true;
        }
    }

    // Whether the segments p-q and r-s meet (touching counts).
    bool meet(int32_t p, int32_t q, int32_t r, int32_t s) const {
        const double o1 = orientation(p, q, r), o2 = orientation(p, q, s), o3 = orientation(r, s, p),
                     o4 = orientation(r, s, q);
        if (((o1 > 0 && o2 < 0) || (o1 < 0 && o2 > 0)) && ((o3 > 0 && o4 < 0) || (o3 < 0 && o4 > 0))) return true;
        auto onSegment = [&](int32_t a, int32_t x, int32_t b) {
            const double *pa = at(a), *px = at(x), *pb = at(b);
            return px[0] <= std::max(pa[0], pb[0]) && px[0] >= std::min(pa[0], pb[0]) &&
                   px[1] <= std::max(pa[1], pb[1]) && px[1] >= std::min(pa[1], pb[1]);
        };
        return (o1 == 0 && onSegment(p, r, q)) || (o2 == 0 && onSegment(p, s, q)) || (o3 == 0 && onSegment(r, p, s)) ||
               (o4 == 0 && onSegment(r, q, s));
    }

    // Whether the direction from ring[i] to b leaves ring[i] into the ring's inside.
    bool locallyInside(const std::vector<int32_t> &ring, size_t i, int32_t b) const {
        const size_t m = ring.size();
        const int32_t a = ring[i], before = ring[(i + m - 1) % m], after = ring[(i + 1) % m];
        if (convex(before, a, after)) return orientation(a, after, b) > 0 && orientation(a, b, before) > 0;
        return !(orientation(a, before, b) >= 0 && orientation(a, b, after) >= 0);
    }

    // A diagonal ring[i] - ring[j], i < j, not along the ring, that meets no edge but at its ends
    // and runs inside the ring; false when there is none (or the budget ran out looking).
    bool findDiagonal(const std::vector<int32_t> &ring, size_t &i, size_t &j) {
        const size_t m = ring.size();
        // A corner where the ring touches itself has two insides around it; no diagonal ends there.
        std::vector<size_t> byPosition(m);
        for (size_t k = 0; k < m; ++k) byPosition[k] = k;
        auto position = [&](size_t k) {
            const double *p = points_ + 3 * ring[k];
            return std::array<double, 3>{p[0], p[1], p[2]};
        };
        std::sort(byPosition.begin(), byPosition.end(), [&](size_t k, size_t l) { return position(k) < position(l); });
        std::vector<char> touching(m, 0);
        for (size_t k = 1; k < m; ++k)
            if (same(ring[byPosition[k - 1]], ring[byPosition[k]])) touching[byPosition[k - 1]] = touching[byPosition[k]] = 1;
        for (i = 0; i < m; ++i)
            for (j = i + 2; j < m; ++j) {
                if ((i == 0 && j == m - 1) || touching[i] || touching[j]) continue;
                const int32_t a = ring[i], b = ring[j];
                if (!locallyInside(ring, i, b) || !locallyInside(ring, j, a)) continue;
                budget_ -= static_cast<int64_t>(m);
                if (budget_ <= 0) return false;
                bool clear = true;
                const Box box = BoxOf({at(a), at(b)});
                for (size_t k = 0; clear && k < m; ++k) {
                    const int32_t e = ring[k], f = ring[(k + 1) % m];
                    if (!Meet(box, BoxOf({at(e), at(f)})) || e == a || e == b || f == a || f == b) continue;
                    clear = !meet(a, b, e, f);
                }
                if (clear && middleInside(ring, a, b)) return true;
            }
        return false;
    }

    // Whether the middle of a - b lies inside the ring (by crossings of a ray in +u from it).
    bool middleInside(const std::vector<int32_t> &ring, int32_t a, int32_t b) const {
        const double u = (at(a)[0] + at(b)[0]) / 2, v = (at(a)[1] + at(b)[1]) / 2;
        bool inside = false;
        for (size_t k = 0, m = ring.size(); k < m; ++k) {
            const double *p = at(ring[k]), *q = at(ring[(k + 1) % m]);
            if ((p[1] > v) != (q[1] > v) && u < (q[0] - p[0]) * (v - p[1]) / (q[1] - p[1]) + p[0]) inside = !inside;
        }
        return inside;
    }

    int32_t n_;
    const double *points_;
    const double *uv_;
    Triangle *out_;
    int32_t count_;
    // Each test reads a whole ring: a fixed budget keeps a huge stalled ring from taking minutes.
    int64_t budget_ = kCornerTests;
};

}  // namespace stalled

inline int32_t FinishStalledRing(int32_t n, const double *points, const double *normal, Triangle *out, int32_t count) {
    if (n < 4 || count >= n - 2) return count;
    std::vector<int32_t> ring = stalled::LeftCorners(n, points, out, count);
    PolygonPlane plane;
    plane.build(n, points, normal);
    if (ring.size() < 3 || !plane.usable()) return count;
    const double *uv = plane.coordinates();
    double area = 0;
    for (size_t i = 0; i < ring.size(); ++i) {
        const double *p = uv + 2 * static_cast<size_t>(ring[i]), *q = uv + 2 * static_cast<size_t>(ring[(i + 1) % ring.size()]);
        area += p[0] * q[1] - p[1] * q[0];
    }
    // The ear cutter's ears turn counterclockwise about the normal, as (u, v) do: a ring left turning
    // the other way (a crossing ring's other lobe) is not cut.
    if (!(area > 0)) return count;
    return stalled::RingFinisher(n, points, uv, out, count).finish(std::move(ring));
}

}  // namespace vantic::plain
