// Ear cutting from both ends of a window that moves around the polygon. Each step weighs the front
// ear (C, A, B) against the back ear (D, C, A) and cuts the one that leaves the blunter angle.
// The active corners form a linked ring. An ear looks for corners inside it, in the polygon's plane,
// along a z-order curve while its box is small, and otherwise through a tree of boxes that skips what
// its edges' tests reject; each test decides without a square root when its sign is clear.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "geometry/corner_index.h"
#include "geometry/polygon_plane.h"
#include "geometry/reused_object.h"
#include "geometry/stalled_ring.h"
#include "geometry/triangulation.h"
#include "geometry/vec3_ops.h"
#include "geometry/vector_primitives.h"
#include "geometry/zorder_index.h"

using namespace vantic::geo;

namespace {

// The single-precision value of 0.0001, kept as the tolerance of every test.
constexpr double kEpsilon = 9.999999747378752e-5;
// Around eps^2 the quick test of a corner against an edge is not trusted to match the normalised one.
constexpr double kEpsilonSquaredBelow = kEpsilon * kEpsilon * (1 - 1e-6);
constexpr double kEpsilonSquaredAbove = kEpsilon * kEpsilon * (1 + 1e-6);
// Squared lengths in which the quick test neither underflows nor overflows.
constexpr double kShortestSquared = 1e-280, kLongestSquared = 1e280;
// Below this many corners a scan of the ring is quicker than building the indexes.
constexpr int32_t kIndexedFrom = 96;
// How many corners a walk along the curve may pass before the tree takes over the search.
constexpr int32_t kCurveSteps = 160;

// The two searches over a polygon's active corners: along the z-order curve for small ears, and
// through the tree of boxes, whose wedges also cut long thin ears short.
struct Indexes {
    vantic::CornerIndex tree;
    vantic::ZOrderIndex curve;
    void build(int32_t n, const double *uv) {
        curve.build(n, uv);
        tree.build(n, uv, curve.codes(), curve.order());
    }
    void reset() {
        tree.reset();
        curve.reset();
    }
    void remove(int32_t corner) {
        tree.remove(corner);
        curve.remove(corner);
    }
};

// vantic_Normalize's arithmetic, where the compiler can inline it.
void Normalize(double *v) {
    const double s = 1 / std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    v[0] = v[0] * s;
    v[1] = v[1] * s;
    v[2] = v[2] * s;
}

// normalize(to - from)
void Direction(const double *from, const double *to, double *out) {
    Sub(to, from, out);
    Normalize(out);
}

// Whether p lies more than -eps to the left of the edge whose start is `start` and in-plane normal is
// `edge` (a corner on the edge line, or a hair outside it, counts): Dot(edge, normalize(p - start)),
// decided from the unnormalised dot product where that is clearly above or below -eps.
bool LeftOf(const double *edge, const double *start, const double *p, bool quick) {
    double dir[3];
    Sub(p, start, dir);
    const double squared = Dot(dir, dir);
    if (quick && squared >= kShortestSquared && squared <= kLongestSquared) {
        const double along = Dot(edge, dir);
        if (along >= 0) return true;
        if (along * along < kEpsilonSquaredBelow * squared) return true;
        if (along * along > kEpsilonSquaredAbove * squared) return false;
    }
    Normalize(dir);
    return Dot(edge, dir) > -kEpsilon;
}

// The least distance the tip must keep from the closing diagonal in the tolerant pass. The absolute
// eps rejects every corner of a finely divided or small polygon, so this pass scales it down with
// the edge tip - last when that edge is shorter than a unit.
double TolerantThreshold(const double *tipFromLast) {
    const double t = Dot(tipFromLast, tipFromLast);
    return t >= 1.0 ? kEpsilon : kEpsilon * std::sqrt(t);
}

void Write(Triangle *out, int32_t &count, int32_t a, int32_t b, int32_t c) {
    out[count].corners[0] = a;
    out[count].corners[1] = b;
    out[count].corners[2] = c;
    ++count;
}

class Polygon {
public:
    // The index, when given, holds every corner; next and previous are the ring's memory.
    Polygon(int32_t n, const double *points, const double *normal, const vantic::PolygonPlane &plane,
            Indexes *index, bool tolerant, std::vector<int32_t> &next, std::vector<int32_t> &previous)
        : points_(points), normal_(normal), plane_(plane), index_(index), tolerant_(tolerant), next_(next),
          previous_(previous) {
        next_.resize(static_cast<size_t>(n));
        previous_.resize(static_cast<size_t>(n));
        for (int32_t i = 0; i < n; ++i) {
            next_[static_cast<size_t>(i)] = i + 1 == n ? 0 : i + 1;
            previous_[static_cast<size_t>(i)] = i == 0 ? n - 1 : i - 1;
        }
    }

    int32_t next(int32_t i) const { return next_[static_cast<size_t>(i)]; }
    int32_t previous(int32_t i) const { return previous_[static_cast<size_t>(i)]; }

    void remove(int32_t i) {
        next_[static_cast<size_t>(previous(i))] = next(i);
        previous_[static_cast<size_t>(next(i))] = previous(i);
        if (index_) index_->remove(i);
    }

    // The ear with corners (first, tip, last), consecutive in the ring, tip being the corner it
    // removes: convex when the tip lies more than the threshold left of the closing diagonal
    // last -> first, and valid when no other active corner lies inside it. The unit directions of
    // its edges (last -> first, first -> tip, tip -> last) come from the window, which keeps them.
    bool isEar(int32_t first, int32_t tip, int32_t last, const double *closingDir, const double *intoTipDir,
               const double *outOfTipDir) const {
        const double *f = at(first), *m = at(tip), *l = at(last);
        double closing[3], tipFromLast[3];
        Cross(normal_, closingDir, closing);
        Sub(m, l, tipFromLast);
        const double height = Dot(closing, tipFromLast);
        if (!(height > convexityThreshold(tipFromLast))) {
            if (!tolerant_ && height > TolerantThreshold(tipFromLast)) tolerantWouldDiffer_ = true;
            return false;
        }
        // In a convex polygon the corners beside the ear bound the others: no search when they lie
        // clearly beyond its closing edge.
        if (plane_.convex() && plane_.farSideClear(first, last, previous(first), next(last))) return true;
        double intoTip[3], outOfTip[3];
        Cross(normal_, intoTipDir, intoTip);
        Cross(normal_, outOfTipDir, outOfTip);
        const bool quick = plane_.usable();
        auto inside = [&](int32_t k) {
            if (k == first || k == tip || k == last) return false;
            const double *p = at(k);
            return LeftOf(closing, l, p, quick) && LeftOf(intoTip, f, p, quick) && LeftOf(outOfTip, m, p, quick);
        };
        if (index_ && quick) {
            // The corners beside the ear are the likeliest to lie in it, and cost no search.
            if (inside(previous(first)) || inside(next(last))) return false;
            // The box the ear gives cheaply serves unless the ear is thin; the one found from its
            // wedges is narrower but costs more. Only the tree needs the wedges.
            vantic::Box box;
            vantic::Wedge skip[3];
            const int32_t ear[3] = {first, tip, last};
            const bool quickBox = plane_.quickEarBox(first, tip, last, box);
            if (!quickBox) {
                plane_.earWedges(first, tip, last, skip);
                if (!plane_.earBox(skip, first, tip, last, box)) return !index_->tree.any(ear, nullptr, 0, 0, skip, inside);
            }
            const uint32_t low = index_->curve.code(box.u0, box.v0), high = index_->curve.code(box.u1, box.v1);
            const auto found = index_->curve.any(tip, box, low, high, kCurveSteps, inside);
            if (found != vantic::ZOrderIndex::Found::gaveUp) return found == vantic::ZOrderIndex::Found::no;
            if (quickBox) plane_.earWedges(first, tip, last, skip);
            return !index_->tree.any(ear, &box, low, high, skip, inside);
        }
        for (int32_t k = next(last); k != first; k = next(k))
            if (inside(k)) return false;
        return true;
    }

    // Whether a convexity test of this (first) pass failed that the tolerant threshold would have
    // passed; if none did, the tolerant pass would repeat this one step for step.
    bool tolerantWouldDiffer() const { return tolerantWouldDiffer_; }

    // normalize(position of `to` - position of `from`)
    void direction(int32_t from, int32_t to, double *out) const { Direction(at(from), at(to), out); }

private:
    const double *at(int32_t i) const { return points_ + 3 * i; }

    double convexityThreshold(const double *tipFromLast) const {
        return tolerant_ ? TolerantThreshold(tipFromLast) : kEpsilon;
    }

    const double *points_;
    const double *normal_;
    const vantic::PolygonPlane &plane_;
    Indexes *index_;  // none for small polygons
    bool tolerant_;
    std::vector<int32_t> &next_, &previous_;  // the ring of active corners
    mutable bool tolerantWouldDiffer_ = false;
};

void Negated(const double *v, double *out) { Set(out, -v[0], -v[1], -v[2]); }

// The window D, C, A, B of four consecutive active corners and the unit directions of the five
// edges its two ears use. A move keeps the directions it still has (reversing one negates it
// exactly) and normalises only the new edges.
struct Window {
    int32_t a = 0, b = 1, c, d;
    double ca[3], ab[3], dc[3], bc[3], ad[3];

    Window(const Polygon &poly, int32_t n) : c(n - 1), d(n - 2) {
        poly.direction(c, a, ca);
        poly.direction(a, b, ab);
        poly.direction(d, c, dc);
        closingDiagonals(poly);
    }
    // A was cut: B takes its place.
    void afterFrontCut(const Polygon &poly) {
        Negated(bc, ca);
        a = b;
        b = poly.next(b);
        poly.direction(a, b, ab);
        closingDiagonals(poly);
    }
    // C was cut: D takes its place.
    void afterBackCut(const Polygon &poly) {
        Negated(ad, ca);
        c = d;
        d = poly.previous(d);
        poly.direction(d, c, dc);
        closingDiagonals(poly);
    }
    void closingDiagonals(const Polygon &poly) {
        poly.direction(b, c, bc);
        poly.direction(a, d, ad);
    }
    // No ear here: the window moves one corner on.
    void shift(const Polygon &poly) {
        Copy(ca, dc);
        Copy(ab, ca);
        Copy(bc, ad);
        d = c;
        c = a;
        a = b;
        b = poly.next(b);
        poly.direction(a, b, ab);
        poly.direction(b, c, bc);
    }
};

// Everything a triangulation allocates, kept for the next one.
struct Workspace {
    vantic::PolygonPlane plane;
    Indexes index;
    std::vector<int32_t> next, previous;  // the ring of active corners
    std::vector<Triangle> tolerant;       // the tolerant pass's triangles
    std::vector<int32_t> kept;            // the corners that are not repeats
    std::vector<double> distinct;         // their positions
    std::vector<Triangle> withoutRepeats;
};

// Returns the triangle count; the first pass also tells whether a tolerant pass could differ.
int32_t CutEars(int32_t n, const double *points, const double *normal, const vantic::PolygonPlane &plane,
                Indexes *index, bool tolerant, Workspace &memory, Triangle *out, bool *tolerantWouldDiffer = nullptr) {
    int32_t count = 0;
    Polygon poly(n, points, normal, plane, index, tolerant, memory.next, memory.previous);
    Window w(poly, n);
    bool lastCutWasFront = false;
    // Before the first cut the window gives up when B comes round to corner 0; after a cut, when it
    // comes back to where the stalling began.
    int32_t stallMarker = 0;
    // After a shift the back ear is the front ear just refused, with the same corners active.
    bool backRefused = false;
    while (w.b != w.d) {
        // Front ear (C, A, B): its closing diagonal runs B -> C. Back ear (D, C, A): A -> D.
        // When both are ears, the one cut is the one leaving the blunter angle: at C by the front
        // cut, between C -> B and C -> D, and at A by the back cut, between A -> D and A -> B
        // (negating both directions leaves a dot product as it was); a tie alternates.
        const double cosC = Dot(w.bc, w.dc);
        const double cosA = Dot(w.ad, w.ab);
        const bool preferFront = std::fabs(cosC - cosA) < kEpsilon ? !lastCutWasFront : cosA > cosC;
        // The preferred ear is tested first: when it is one, the other's answer cannot change the
        // cut. Tests skipped here are skipped alike in the tolerant pass, so its rule still holds.
        auto frontEar = [&] { return poly.isEar(w.c, w.a, w.b, w.bc, w.ca, w.ab); };
        auto backEar = [&] { return !backRefused && poly.isEar(w.d, w.c, w.a, w.ad, w.dc, w.ca); };
        bool cutFront;
        if (preferFront ? frontEar() : backEar()) {
            cutFront = preferFront;
        } else if (preferFront ? backEar() : frontEar()) {
            cutFront = !preferFront;
        } else {
            if (stallMarker == -1)
                stallMarker = w.b;
            else if (w.b == stallMarker)
                break;
            w.shift(poly);
            backRefused = true;
            continue;
        }
        if (cutFront) {
            Write(out, count, w.c, w.a, w.b);
            poly.remove(w.a);
            w.afterFrontCut(poly);
        } else {
            Write(out, count, w.d, w.c, w.a);
            poly.remove(w.c);
            w.afterBackCut(poly);
        }
        lastCutWasFront = cutFront;
        stallMarker = -1;
        backRefused = false;
    }
    if (tolerantWouldDiffer) *tolerantWouldDiffer = poly.tolerantWouldDiffer();
    if (w.b == w.d) Write(out, count, w.a, w.b, w.c);
    return count;
}

// Both passes over n > 3 corners.
int32_t CutWhole(int32_t n, const double *points, const double *normal, Workspace &memory, Triangle *out) {
    vantic::PolygonPlane &plane = memory.plane;
    plane.build(n, points, normal);
    Indexes *indexed = nullptr;
    if (plane.usable() && n >= kIndexedFrom) {
        memory.index.build(n, plane.coordinates());
        indexed = &memory.index;
    }
    bool tolerantWouldDiffer = false;
    const int32_t count = CutEars(n, points, normal, plane, indexed, false, memory, out, &tolerantWouldDiffer);
    if (count == n - 2 || !tolerantWouldDiffer) return count;
    // Only a polygon left partly uncut gets the tolerant pass, so whole results never change.
    std::vector<Triangle> &second = memory.tolerant;
    second.resize(static_cast<size_t>(n - 2));
    if (indexed) indexed->reset();
    const int32_t tolerantCount = CutEars(n, points, normal, plane, indexed, true, memory, second.data());
    if (tolerantCount <= count) return count;
    std::copy_n(second.begin(), tolerantCount, out);
    return tolerantCount;
}

// The corners left when each repeat of the corner before it (and a last corner repeating the first)
// is dropped.
void WithoutRepeats(int32_t n, const double *points, std::vector<int32_t> &kept) {
    kept.clear();
    for (int32_t i = 0; i < n; ++i)
        if (kept.empty() || !SamePoint(points + 3 * i, points + 3 * kept.back())) kept.push_back(i);
    while (kept.size() > 1 && SamePoint(points + 3 * kept.back(), points + 3 * kept.front())) kept.pop_back();
}

int32_t CutWithMemory(int32_t n, const double *points, const double *normal, Workspace &memory, Triangle *out) {
    const int32_t count = CutWhole(n, points, normal, memory, out);
    if (count == n - 2) return count;
    // A corner repeating its neighbour leaves an edge of no length and no direction, so no ear
    // through it is ever convex and both passes stall beside it. A polygon they left incomplete
    // is cut once more without its repeats, which only bound triangles of no area.
    std::vector<int32_t> &kept = memory.kept;
    WithoutRepeats(n, points, kept);
    const int32_t m = static_cast<int32_t>(kept.size());
    if (m == n || m < 3) return count;
    std::vector<double> &distinct = memory.distinct;
    distinct.resize(3 * static_cast<size_t>(m));
    for (int32_t i = 0; i < m; ++i) Copy(points + 3 * kept[static_cast<size_t>(i)], &distinct[3 * static_cast<size_t>(i)]);
    std::vector<Triangle> &third = memory.withoutRepeats;
    third.resize(static_cast<size_t>(m - 2));
    int32_t distinctCount = 0;
    if (m == 3)
        Write(third.data(), distinctCount, 0, 1, 2);
    else
        distinctCount = CutWhole(m, distinct.data(), normal, memory, third.data());
    if (distinctCount <= count) return count;
    for (int32_t t = 0; t < distinctCount; ++t)
        for (int32_t &corner : third[static_cast<size_t>(t)].corners) corner = kept[static_cast<size_t>(corner)];
    std::copy_n(third.begin(), distinctCount, out);
    return distinctCount;
}

// Beyond this many corners the arrays are not kept: a rare huge polygon should not pin its memory.
constexpr int32_t kKeptUpTo = 1 << 16;

vantic::ReusedObject<Workspace> &KeptWorkspace() {
    static vantic::ReusedObject<Workspace> kept;
    return kept;
}

}  // namespace

int32_t vantic::Triangulate(int32_t n, const double *points, const double *normal, Triangle *out) {
    if (n < 3) return 0;
    if (n == 3) {
        int32_t count = 0;
        Write(out, count, 0, 1, 2);
        return count;
    }
    std::unique_ptr<Workspace> memory = KeptWorkspace().take();
    const int32_t count = CutWithMemory(n, points, normal, *memory, out);
    if (n <= kKeptUpTo) KeptWorkspace().giveBack(std::move(memory));
    return count == n - 2 ? count : vantic::FinishStalledRing(n, points, normal, out, count);
}
