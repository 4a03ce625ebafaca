// The ear cutter as first written: a flag per corner, a scan over every corner for each ear, and a
// normalised direction for every test. The fast triangulator must reproduce its triangles exactly.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "geometry/vec3_ops.h"
#include "geometry/vector_primitives.h"
#include "vanticAPI.h"

namespace vantic::plain {

using namespace vantic::geo;


// The single-precision value of 0.0001, kept as the tolerance of every test.
inline constexpr double kEpsilon = 9.999999747378752e-5;

struct Polygon {
    int32_t n;
    const double *points;
    const double *normal;
    bool tolerant;  // the convexity threshold shrinks with short edges
    std::vector<int32_t> active;

    const double *at(int32_t i) const { return points + 3 * i; }
    int32_t next(int32_t i) const {
        do i = (i + 1 == n) ? 0 : i + 1;
        while (!active[i]);
        return i;
    }
    int32_t previous(int32_t i) const {
        do i = (i == 0) ? n - 1 : i - 1;
        while (!active[i]);
        return i;
    }
};

// normalize(to - from)
inline void Direction(const double *from, const double *to, double *out) {
    Sub(to, from, out);
    vantic_Normalize(out);
}

// The in-plane normal of the directed edge from -> to: N x normalize(to - from), pointing left.
inline void EdgeNormal(const Polygon &poly, const double *from, const double *to, double *out) {
    double dir[3];
    Direction(from, to, dir);
    Cross(poly.normal, dir, out);
}

// The least distance the tip must keep from the closing diagonal. The absolute eps rejects every
// corner of a finely divided or small polygon, so the tolerant pass scales it down with the edge
// tip - last when that edge is shorter than a unit.
inline double ConvexityThreshold(const Polygon &poly, const double *tipFromLast) {
    if (!poly.tolerant) return kEpsilon;
    const double t = Dot(tipFromLast, tipFromLast);
    return t >= 1.0 ? kEpsilon : kEpsilon * std::sqrt(t);
}

// Whether p lies more than -eps to the left of the edge whose start is `start` and in-plane normal is
// `edge` (a corner on the edge line, or a hair outside it, counts).
inline bool LeftOf(const double *edge, const double *start, const double *p) {
    double dir[3];
    Direction(start, p, dir);
    return Dot(edge, dir) > -kEpsilon;
}

// The ear with corners (first, tip, last) in polygon order, tip being the corner it removes: convex
// when the tip lies more than eps left of the closing diagonal last -> first, and valid when no other
// active corner lies inside it.
inline bool IsEar(const Polygon &poly, int32_t first, int32_t tip, int32_t last) {
    const double *f = poly.at(first), *m = poly.at(tip), *l = poly.at(last);
    double closing[3], tipFromLast[3];
    EdgeNormal(poly, l, f, closing);
    Sub(m, l, tipFromLast);
    if (!(Dot(closing, tipFromLast) > ConvexityThreshold(poly, tipFromLast))) return false;
    double intoTip[3], outOfTip[3];
    EdgeNormal(poly, f, m, intoTip);
    EdgeNormal(poly, m, l, outOfTip);
    for (int32_t k = 0; k < poly.n; ++k) {
        if (!poly.active[k] || k == first || k == tip || k == last) continue;
        const double *p = poly.at(k);
        if (LeftOf(closing, l, p) && LeftOf(intoTip, f, p) && LeftOf(outOfTip, m, p)) return false;
    }
    return true;
}

// Cosine of the angle at `corner` between the directions to a and to b.
inline double CornerCosine(const Polygon &poly, int32_t corner, int32_t a, int32_t b) {
    double da[3], db[3];
    Direction(poly.at(corner), poly.at(a), da);
    Direction(poly.at(corner), poly.at(b), db);
    return Dot(da, db);
}

inline void Write(Triangle *out, int32_t &count, int32_t a, int32_t b, int32_t c) {
    out[count].corners[0] = a;
    out[count].corners[1] = b;
    out[count].corners[2] = c;
    ++count;
}

inline int32_t CutEars(int32_t n, const double *points, const double *normal, bool tolerant, Triangle *out) {
    int32_t count = 0;
    Polygon poly{n, points, normal, tolerant, std::vector<int32_t>(static_cast<size_t>(n), 1)};
    int32_t a = 0, b = 1, c = n - 1, d = n - 2;
    bool lastCutWasFront = false;
    // Before the first cut the window gives up when B comes round to corner 0; after a cut, when it
    // comes back to where the stalling began.
    int32_t stallMarker = 0;
    while (b != d) {
        // Front ear (C, A, B): its closing diagonal runs B -> C. Back ear (D, C, A): A -> D.
        const bool front = IsEar(poly, c, a, b);
        const bool back = IsEar(poly, d, c, a);
        bool cutFront;
        if (front && back) {
            const double cosC = CornerCosine(poly, c, b, d);  // angle left at C by the front cut
            const double cosA = CornerCosine(poly, a, d, b);  // angle left at A by the back cut
            if (std::fabs(cosC - cosA) < kEpsilon)
                cutFront = !lastCutWasFront;  // alternate on a tie
            else
                cutFront = cosA > cosC;
        } else if (front || back) {
            cutFront = front;
        } else {
            if (stallMarker == -1)
                stallMarker = b;
            else if (b == stallMarker)
                return count;
            d = c;
            c = a;
            a = b;
            b = poly.next(b);
            continue;
        }
        if (cutFront) {
            Write(out, count, c, a, b);
            poly.active[a] = 0;
            a = b;
            b = poly.next(b);
        } else {
            Write(out, count, d, c, a);
            poly.active[c] = 0;
            c = d;
            d = poly.previous(d);
        }
        lastCutWasFront = cutFront;
        stallMarker = -1;
    }
    Write(out, count, a, b, c);
    return count;
}

// Both passes.
inline int32_t BothPasses(int32_t n, const double *points, const double *normal, Triangle *out) {
    const int32_t count = CutEars(n, points, normal, false, out);
    if (count == n - 2) return count;
    // Only a polygon left partly uncut gets the tolerant pass, so whole results never change.
    std::vector<Triangle> second(static_cast<size_t>(n - 2));
    const int32_t tolerantCount = CutEars(n, points, normal, true, second.data());
    if (tolerantCount <= count) return count;
    std::copy_n(second.begin(), tolerantCount, out);
    return tolerantCount;
}

// Both passes, and when they leave the polygon incomplete, both again on the polygon without the
// corners that repeat the one before them, as the module runs them.
inline int32_t Triangulate(int32_t n, const double *points, const double *normal, Triangle *out) {
    int32_t count = 0;
    if (n == 3) Write(out, count, 0, 1, 2);
    if (n <= 3) return count;
    count = BothPasses(n, points, normal, out);
    if (count == n - 2) return count;
    auto same = [&](int32_t i, int32_t j) {
        return points[3 * i] == points[3 * j] && points[3 * i + 1] == points[3 * j + 1] && points[3 * i + 2] == points[3 * j + 2];
    };
    std::vector<int32_t> kept;
    for (int32_t i = 0; i < n; ++i)
        if (kept.empty() || !same(i, kept.back())) kept.push_back(i);
    while (kept.size() > 1 && same(kept.back(), kept.front())) kept.pop_back();
    const int32_t m = static_cast<int32_t>(kept.size());
    if (m == n || m < 3) return count;
    std::vector<double> distinct;
    for (int32_t i : kept) distinct.insert(distinct.end(), points + 3 * i, points + 3 * i + 3);
    // The distinct corners repeat none, so this goes no deeper.
    std::vector<Triangle> third(static_cast<size_t>(m - 2));
    const int32_t distinctCount = Triangulate(m, distinct.data(), normal, third.data());
    if (distinctCount <= count) return count;
    int32_t written = 0;
    for (const Triangle &t : third)
        if (written < distinctCount) Write(out, written, kept[t.corners[0]], kept[t.corners[1]], kept[t.corners[2]]);
    return written;
}

}  // namespace vantic::plain
