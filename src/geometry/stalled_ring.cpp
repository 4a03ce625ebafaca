// Real-world rings (rivers, coastlines) have corners a hair off long edges: the ear cutter's tolerant
// tests count them as inside and stall with part of the polygon left; rings that touch or cross
// themselves stall too. What is left is cut as an exact ear clipper would, split where that stalls,
// so the polygon is covered while every triangle already written stays.
#include "geometry/stalled_ring.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <vector>

#include "geometry/corner_index.h"
#include "geometry/polygon_plane.h"
#include "geometry/ring_grid.h"
#include "geometry/vec3_ops.h"

namespace vantic {

namespace {

using geo::SamePoint;

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

// The box of some corners in plane coordinates.
Box BoxOf(std::initializer_list<const double *> corners) {
    Box b{INFINITY, -INFINITY, INFINITY, -INFINITY};
    for (const double *p : corners) {
        b.u0 = std::min(b.u0, p[0]);
        b.u1 = std::max(b.u1, p[0]);
        b.v0 = std::min(b.v0, p[1]);
        b.v1 = std::max(b.v1, p[1]);
    }
    return b;
}

bool Meet(const Box &a, const Box &b) { return a.u0 <= b.u1 && b.u0 <= a.u1 && a.v0 <= b.v1 && b.v0 <= a.v1; }

double Orientation(const double *a, const double *b, const double *c) {
    return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
}

// Clips, and where clipping stalls splits, the rings left of one polygon, writing triangles after
// the ear cutter's within the room of n - 2. The ring being clipped is linked in both directions, its
// reflex corners are kept up to date as corners leave and found through a grid, and a diagonal's
// tests look only at the edges in the grid cells around it: every decision is the one a scan of the
// whole ring would make, and the budget is counted as such a scan would spend it.
class RingFinisher {
public:
    RingFinisher(int32_t n, const double *points, const double *uv, Triangle *out, int32_t count)
        : n_(n), points_(points), uv_(uv), out_(out), count_(count) {}

    int32_t finish(std::vector<int32_t> ring) {
        classify(ring);
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
            std::vector<int32_t> first(next.begin() + static_cast<std::ptrdiff_t>(i),
                                       next.begin() + static_cast<std::ptrdiff_t>(j) + 1);
            std::vector<int32_t> second(next.begin() + static_cast<std::ptrdiff_t>(j), next.end());
            second.insert(second.end(), next.begin(), next.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            pending.push_back(std::move(first));
            pending.push_back(std::move(second));
        }
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

    // Numbers the positions of the ring's corners, equal positions alike, so that a ring split from
    // it can tell where it touches itself without sorting again. A position with a coordinate that
    // is not a number equals none.
    void classify(const std::vector<int32_t> &ring) {
        std::vector<int32_t> order(ring);
        auto unordered = [&](int32_t k) {
            const double *p = points_ + 3 * k;
            return std::isnan(p[0]) || std::isnan(p[1]) || std::isnan(p[2]);
        };
        std::sort(order.begin(), order.end(), [&](int32_t k, int32_t l) {
            const bool kUnordered = unordered(k), lUnordered = unordered(l);
            if (kUnordered || lUnordered) return kUnordered == lUnordered ? k < l : lUnordered;
            const double *p = points_ + 3 * k, *q = points_ + 3 * l;
            return std::array<double, 3>{p[0], p[1], p[2]} < std::array<double, 3>{q[0], q[1], q[2]};
        });
        positionClass_.assign(static_cast<size_t>(n_), -1);
        placeOf_.assign(static_cast<size_t>(n_), -1);
        blocker_.assign(static_cast<size_t>(n_), -1);
        int32_t classes = 0;
        for (size_t k = 0; k < order.size(); ++k) {
            if (k == 0 || !same(order[k - 1], order[k])) ++classes;
            positionClass_[static_cast<size_t>(order[k])] = classes - 1;
        }
        classCount_.assign(static_cast<size_t>(classes), 0);
    }

    // The box of the ring's corners.
    Box boundsOf(const std::vector<int32_t> &ring) const {
        Box bounds{INFINITY, -INFINITY, INFINITY, -INFINITY};
        for (int32_t corner : ring) {
            const double *p = at(corner);
            bounds.u0 = std::min(bounds.u0, p[0]);
            bounds.u1 = std::max(bounds.u1, p[0]);
            bounds.v0 = std::min(bounds.v0, p[1]);
            bounds.v1 = std::max(bounds.v1, p[1]);
        }
        return bounds;
    }

    // Whether the corner at place k turns the wrong way or not at all: it can block an ear.
    bool reflexAt(const std::vector<int32_t> &ring, int32_t k) const {
        return !convex(ring[static_cast<size_t>(previous_[static_cast<size_t>(k)])], ring[static_cast<size_t>(k)],
                       ring[static_cast<size_t>(next_[static_cast<size_t>(k)])]);
    }
    void updateReflex(const std::vector<int32_t> &ring, int32_t k) {
        const bool now = reflexAt(ring, k);
        char &was = reflex_[static_cast<size_t>(k)];
        if (now == (was != 0)) return;
        was = now ? 1 : 0;
        if (now) {
            const double *p = at(ring[static_cast<size_t>(k)]);
            reflexGrid_.add(k, p[0], p[1]);
            ++reflexCount_;
        } else {
            reflexGrid_.remove(k);
            --reflexCount_;
        }
    }
    // Unlinks the corner at place k; only its neighbours' turns change.
    void unlink(const std::vector<int32_t> &ring, int32_t k) {
        const int32_t before = previous_[static_cast<size_t>(k)], after = next_[static_cast<size_t>(k)];
        next_[static_cast<size_t>(before)] = after;
        previous_[static_cast<size_t>(after)] = before;
        gone_[static_cast<size_t>(k)] = 1;
        if (reflex_[static_cast<size_t>(k)]) {
            reflex_[static_cast<size_t>(k)] = 0;
            reflexGrid_.remove(k);
            --reflexCount_;
        }
        updateReflex(ring, before);
        updateReflex(ring, after);
    }

    // Whether the reflex corner at place k, other than a, b, c and not at their positions, lies inside
    // the ear a, b, c (of box `box`) or on its sides.
    bool blocks(const std::vector<int32_t> &ring, const Box &box, int32_t a, int32_t b, int32_t c, int32_t k) const {
        const int32_t p = ring[static_cast<size_t>(k)];
        if (!box.holds(at(p)[0], at(p)[1]) || p == a || p == b || p == c || same(p, a) || same(p, b) || same(p, c))
            return false;
        return within(a, b, c, p);
    }

    // Whether a reflex corner blocks the ear a, b, c. The corner that last blocked an ear at b is
    // tried first: an ear missed once is mostly missed again for the same reason.
    bool blocked(const std::vector<int32_t> &ring, int32_t a, int32_t b, int32_t c) {
        const Box box = BoxOf({at(a), at(b), at(c)});
        const int32_t last = blocker_[static_cast<size_t>(b)];
        if (last >= 0) {
            const int32_t k = placeOf_[static_cast<size_t>(last)];
            if (static_cast<size_t>(k) < ring.size() && ring[static_cast<size_t>(k)] == last &&
                reflex_[static_cast<size_t>(k)] && blocks(ring, box, a, b, c, k))
                return true;
        }
        const GridFrame &frame = reflexGrid_.frame();
        const int32_t c0 = frame.column(box.u0), c1 = frame.column(box.u1), r0 = frame.row(box.v0), r1 = frame.row(box.v1);
        // A large ear among few reflex corners: reading them all is cheaper than its cells.
        if (static_cast<size_t>(c1 - c0 + 1) * static_cast<size_t>(r1 - r0 + 1) > reflexCount_) {
            for (int32_t k : reflexGrid_.all())
                if (blocks(ring, box, a, b, c, k)) {
                    blocker_[static_cast<size_t>(b)] = ring[static_cast<size_t>(k)];
                    return true;
                }
            return false;
        }
        for (int32_t row = r0; row <= r1; ++row)
            for (int32_t column = c0; column <= c1; ++column)
                for (int32_t k : reflexGrid_.cell(column, row))
                    if (blocks(ring, box, a, b, c, k)) {
                        blocker_[static_cast<size_t>(b)] = ring[static_cast<size_t>(k)];
                        return true;
                    }
        return false;
    }

    // Ear clipping with exact tests, an ear blocked only by a reflex corner inside it or on its
    // sides; leaves the ring as it stalls. The cursor moves on to the next corner after a miss and
    // stays on the corner after one cut off, and the clipping stops once it went round without a cut.
    void clip(std::vector<int32_t> &ring) {
        const size_t m = ring.size();
        if (m <= 3 || count_ >= n_ - 2 || budget_ <= 0) return;
        next_.resize(m);
        previous_.resize(m);
        for (size_t k = 0; k < m; ++k) {
            next_[k] = static_cast<int32_t>(k + 1 == m ? 0 : k + 1);
            previous_[k] = static_cast<int32_t>(k == 0 ? m - 1 : k - 1);
        }
        gone_.assign(m, 0);
        reflex_.assign(m, 0);
        for (size_t k = 0; k < m; ++k) placeOf_[static_cast<size_t>(ring[k])] = static_cast<int32_t>(k);
        reflexCount_ = 0;
        GridFrame frame;
        frame.fit(boundsOf(ring), m);
        reflexGrid_.reset(frame, m);
        for (size_t k = 0; k < m; ++k) updateReflex(ring, static_cast<int32_t>(k));
        size_t size = m, sinceCut = 0;
        int32_t cursor = 0;
        bool changed = true;
        while (size > 3 && count_ < n_ - 2 && sinceCut < size && budget_ > 0) {
            // Charged as listing the reflex corners anew after every change.
            if (changed) budget_ -= static_cast<int64_t>(size);
            changed = false;
            const int32_t a = ring[static_cast<size_t>(previous_[static_cast<size_t>(cursor)])];
            const int32_t b = ring[static_cast<size_t>(cursor)];
            const int32_t c = ring[static_cast<size_t>(next_[static_cast<size_t>(cursor)])];
            const int32_t after = next_[static_cast<size_t>(cursor)];
            if (orientation(a, b, c) == 0) {
                // A corner on the line through its neighbours (or a spike back along it) bounds no area.
                unlink(ring, cursor);
                --size;
                cursor = after;
                sinceCut = 0;
                changed = true;
                continue;
            }
            budget_ -= static_cast<int64_t>(reflexCount_) + 1;
            if (!convex(a, b, c) || blocked(ring, a, b, c)) {
                cursor = after;
                ++sinceCut;
                continue;
            }
            write(a, b, c);
            unlink(ring, cursor);
            --size;
            cursor = after;
            sinceCut = 0;
            changed = true;
        }
        size_t kept = 0;
        for (size_t k = 0; k < m; ++k)
            if (!gone_[k]) ring[kept++] = ring[k];
        ring.resize(kept);
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
    // and runs inside the ring; false when there is none (or the budget ran out looking). The pairs
    // are tried in the order of i, then j.
    bool findDiagonal(const std::vector<int32_t> &ring, size_t &i, size_t &j) {
        const size_t m = ring.size();
        // A corner where the ring touches itself has two insides around it; no diagonal ends there.
        for (int32_t corner : ring) ++classCount_[static_cast<size_t>(positionClass_[static_cast<size_t>(corner)])];
        touching_.resize(m);
        for (size_t k = 0; k < m; ++k)
            touching_[k] = classCount_[static_cast<size_t>(positionClass_[static_cast<size_t>(ring[k])])] > 1;
        for (int32_t corner : ring) classCount_[static_cast<size_t>(positionClass_[static_cast<size_t>(corner)])] = 0;
        edgeBoxes_.resize(m);
        for (size_t k = 0; k < m; ++k) edgeBoxes_[k] = BoxOf({at(ring[k]), at(ring[(k + 1) % m])});
        edges_.build(boundsOf(ring), edgeBoxes_);
        visited_.assign(m, 0);
        visit_ = 0;
        for (i = 0; i < m; ++i)
            for (j = i + 2; j < m; ++j) {
                if ((i == 0 && j == m - 1) || touching_[i] || touching_[j]) continue;
                const int32_t a = ring[i], b = ring[j];
                if (!locallyInside(ring, i, b) || !locallyInside(ring, j, a)) continue;
                budget_ -= static_cast<int64_t>(m);
                if (budget_ <= 0) return false;
                if (!meetsEdge(ring, a, b) && middleInside(ring, a, b)) return true;
            }
        return false;
    }

    // Whether a - b meets an edge of the ring that does not end at a or b. An edge it meets is met
    // soonest in the cells along it, walked from a; only when none is there is the rest of its box
    // searched. Each edge is tested once.
    bool meetsEdge(const std::vector<int32_t> &ring, int32_t a, int32_t b) {
        const size_t m = ring.size();
        const Box box = BoxOf({at(a), at(b)});
        const GridFrame &frame = edges_.frame();
        const std::vector<int32_t> &items = edges_.items();
        ++visit_;
        auto meetsIn = [&](int32_t column, int32_t row) {
            for (int32_t slot = edges_.begin(column, row), end = edges_.end(column, row); slot < end; ++slot) {
                const size_t k = static_cast<size_t>(items[static_cast<size_t>(slot)]);
                if (visited_[k] == visit_) continue;
                visited_[k] = visit_;
                const int32_t e = ring[k], f = ring[(k + 1) % m];
                if (!Meet(box, edgeBoxes_[k]) || e == a || e == b || f == a || f == b) continue;
                if (meet(a, b, e, f)) return true;
            }
            return false;
        };
        const double *pa = at(a), *pb = at(b);
        const int32_t c0 = frame.column(box.u0), c1 = frame.column(box.u1), r0 = frame.row(box.v0), r1 = frame.row(box.v1);
        const int32_t steps = std::max(c1 - c0, r1 - r0) + 1;
        int32_t lastCell = -1;
        for (int32_t step = 0; step <= steps; ++step) {
            const double t = static_cast<double>(step) / steps;
            const int32_t column = frame.column(pa[0] + t * (pb[0] - pa[0])), row = frame.row(pa[1] + t * (pb[1] - pa[1]));
            if (frame.cell(column, row) == lastCell) continue;
            lastCell = frame.cell(column, row);
            if (meetsIn(column, row)) return true;
        }
        for (int32_t row = r0; row <= r1; ++row)
            for (int32_t column = c0; column <= c1; ++column)
                if (meetsIn(column, row)) return true;
        return false;
    }

    // Whether the middle of a - b lies inside the ring (by crossings of a ray in +u from it). Only
    // edges reaching the middle's height can cross the ray: those listed in its row of cells.
    bool middleInside(const std::vector<int32_t> &ring, int32_t a, int32_t b) {
        const size_t m = ring.size();
        const double u = (at(a)[0] + at(b)[0]) / 2, v = (at(a)[1] + at(b)[1]) / 2;
        bool inside = false;
        ++visit_;
        const GridFrame &frame = edges_.frame();
        const int32_t row = frame.row(v);
        const std::vector<int32_t> &items = edges_.items();
        for (int32_t column = 0; column < frame.columns(); ++column)
            for (int32_t slot = edges_.begin(column, row), end = edges_.end(column, row); slot < end; ++slot) {
                const size_t k = static_cast<size_t>(items[static_cast<size_t>(slot)]);
                if (visited_[k] == visit_) continue;
                visited_[k] = visit_;
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
    // A scan of the ring per test would read whole rings: a fixed budget, counted as such scans
    // would spend it, keeps a huge stalled ring from taking long and every ring's result as it was.
    int64_t budget_ = kCornerTests;
    // The ring being clipped, by place in it: links, which places are cut off, which are reflex.
    std::vector<int32_t> next_, previous_;
    std::vector<char> gone_, reflex_;
    size_t reflexCount_ = 0;
    PointGrid reflexGrid_;
    // By corner: its place in the ring being clipped (when it is in it), and the corner that last
    // blocked an ear at it.
    std::vector<int32_t> placeOf_, blocker_;
    // The positions' numbers and, while a diagonal is sought, how often each occurs in the ring.
    std::vector<int32_t> positionClass_, classCount_;
    std::vector<char> touching_;
    // The edges of the ring a diagonal is sought in (edge k runs from place k to the next).
    std::vector<Box> edgeBoxes_;
    BoxGrid edges_;
    std::vector<uint32_t> visited_;
    uint32_t visit_ = 0;
};

}  // namespace

int32_t FinishStalledRing(int32_t n, const double *points, const double *normal, Triangle *out, int32_t count) {
    if (n < 4 || count >= n - 2) return count;
    std::vector<int32_t> ring = LeftCorners(n, points, out, count);
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
    return RingFinisher(n, points, uv, out, count).finish(std::move(ring));
}

}  // namespace vantic
