// The boxes an ear's search keeps to must hold every point that no wedge of the ear skips: the corners
// of that region are the ear's corners and the crossings of a side of one edge's wedge with a side
// of the next edge's, computed here directly, in extended precision.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "geometry/corner_index.h"
#include "geometry/polygon_plane.h"
#include "triangulate_oracle.h"

namespace {

using vantic::Box;
using vantic::Linear;
using vantic::Wedge;

// Where x = 0 and y = 0 meet.
std::array<long double, 2> Crossing(const Linear &x, const Linear &y) {
    const long double det = static_cast<long double>(x.a) * y.b - static_cast<long double>(x.b) * y.a;
    return {(static_cast<long double>(x.b) * y.c - static_cast<long double>(y.b) * x.c) / det,
            (static_cast<long double>(y.a) * x.c - static_cast<long double>(x.a) * y.c) / det};
}

bool Holds(const Box &box, const std::array<long double, 2> &p) {
    return p[0] >= box.u0 && p[0] <= box.u1 && p[1] >= box.v0 && p[1] <= box.v1;
}

// Whether the box holds the ear's corners and every crossing of a side of one edge's wedge with a
// side of the next edge's.
void ExpectHoldsTheRegion(const Box &box, const double *uv, const Wedge (&skip)[3], const std::string &what) {
    for (int corner = 0; corner < 3; ++corner)
        EXPECT_TRUE(Holds(box, {uv[2 * corner], uv[2 * corner + 1]})) << what << ": corner " << corner;
    for (int i = 0; i < 3; ++i)
        for (const Linear *side : {&skip[i].f, &skip[i].g})
            for (const Linear *next : {&skip[(i + 1) % 3].f, &skip[(i + 1) % 3].g}) {
                const auto p = Crossing(*side, *next);
                EXPECT_TRUE(Holds(box, p)) << what << ": crossing at corner " << (i + 1) % 3 << " (" << double(p[0])
                                           << ", " << double(p[1]) << ") outside [" << box.u0 << ", " << box.u1
                                           << "] x [" << box.v0 << ", " << box.v1 << "]";
            }
}

// The ear (0, 1, 2) of corners placed in a plane through `origin` spanned by unit axes x and y;
// counts the boxes given by each way. A quick box is given only where the wedges bound a region.
void ExpectBoxesHoldTheRegion(const std::array<std::array<double, 2>, 3> &ear, const double *origin, const double *x,
                              const double *y, const double *normal, const std::string &what, int &boxed, int &quick) {
    std::vector<double> points;
    for (const auto &p : ear)
        for (int k = 0; k < 3; ++k) points.push_back(origin[k] + p[0] * x[k] + p[1] * y[k]);
    vantic::PolygonPlane plane;
    plane.build(3, points.data(), normal);
    Wedge skip[3];
    Box box, quickBox;
    const bool bounded = plane.earWedges(0, 1, 2, skip) && plane.earBox(skip, 0, 1, 2, box);
    if (bounded) ExpectHoldsTheRegion(box, plane.coordinates(), skip, what);
    if (plane.quickEarBox(0, 1, 2, quickBox)) {
        ASSERT_TRUE(bounded) << what << ": a quick box where the wedges bound no region";
        ExpectHoldsTheRegion(quickBox, plane.coordinates(), skip, what + " (quick)");
        ++quick;
    }
    boxed += bounded;
}

// Fat and thin ears (down to the angle below which no box is given), either way round, at tiny,
// unit, huge and far-off positions, in the ground plane and in a tilted one.
TEST(EarBox, HoldsEveryCrossingOfTheWedgesSides) {
    std::mt19937 rng(2718);
    std::uniform_real_distribution<double> unit(-1, 1), exponent(-9, 0);
    const double flatX[3] = {1, 0, 0}, flatY[3] = {0, 1, 0}, flatNormal[3] = {0, 0, 1};
    const double s = std::sqrt(0.5), tiltX[3] = {s, 0, -s}, tiltY[3] = {0, 1, 0}, tiltNormal[3] = {s, 0, s};
    int cases = 0, boxed = 0, quick = 0;
    for (double scale : {1e-140, 1e-3, 1.0, 1e4, 1e140})
        for (double offset : {0.0, 1e5})
            for (bool tilted : {false, true})
                for (int trial = 0; trial < 300; ++trial) {
                    // A base edge and a tip at a height of 10^-9 to 1 of its length, or three random corners.
                    std::array<std::array<double, 2>, 3> ear;
                    if (trial % 3 == 0) {
                        for (auto &p : ear) p = {unit(rng), unit(rng)};
                    } else {
                        const double height = std::pow(10.0, exponent(rng)) * (trial % 2 ? 1 : -1);
                        const double along = 0.5 + 0.6 * unit(rng), angle = 3.2 * unit(rng);
                        const double c = std::cos(angle), d = std::sin(angle);
                        const std::array<double, 2> base[3] = {{0, 0}, {along, height}, {1, 0}};
                        for (int k = 0; k < 3; ++k) ear[k] = {c * base[k][0] - d * base[k][1], d * base[k][0] + c * base[k][1]};
                    }
                    for (auto &p : ear) p = {scale * p[0], scale * p[1]};
                    const double origin[3] = {offset * scale, -offset * scale, 0.5 * offset * scale};
                    ExpectBoxesHoldTheRegion(ear, origin, tilted ? tiltX : flatX, tilted ? tiltY : flatY,
                                             tilted ? tiltNormal : flatNormal, "case " + std::to_string(cases++), boxed, quick);
                    if (::testing::Test::HasFailure()) return;
                }
    EXPECT_GT(boxed, cases / 2);
    EXPECT_GT(quick, boxed / 2);
}

// Only a ring proven strictly convex and winding once lets an ear skip its search.
TEST(PolygonPlaneConvex, TellsStrictlyConvexRingsOnly) {
    using Ring = std::vector<std::array<double, 2>>;
    const struct {
        const char *what;
        Ring ring;
        bool convex;
    } cases[] = {
        {"square", {{0, 0}, {1, 0}, {1, 1}, {0, 1}}, true},
        {"square, clockwise", {{0, 0}, {0, 1}, {1, 1}, {1, 0}}, true},
        {"triangle", {{0, 0}, {1, 0}, {0, 1}}, true},
        {"a corner on an edge", {{0, 0}, {0.5, 0}, {1, 0}, {1, 1}, {0, 1}}, false},
        {"a corner a hair outside an edge", {{0, 0}, {0.5, -1e-9}, {1, 0}, {1, 1}, {0, 1}}, true},
        {"a corner 1e-17 out of an edge", {{0, 0}, {0.5, -1e-17}, {1, 0}, {1, 1}, {0, 1}}, true},
        // (0.3, 0.9) lies a hair inside the edge from (1, 3) to (0, 0), where its turn rounds the other way
        {"a corner within rounding of an edge", {{0, 0}, {2, 0}, {1, 3}, {0.3, 0.9}}, false},
        {"a repeated corner", {{0, 0}, {1, 0}, {1, 0}, {1, 1}, {0, 1}}, false},
        {"one reflex corner", {{0, 0}, {1, 0}, {0.5, 0.2}, {1, 1}, {0, 1}}, false},
        {"pentagram (turns one way, winds twice)", {{1, 0}, {-0.809, 0.588}, {0.309, -0.951}, {0.309, 0.951}, {-0.809, -0.588}}, false},
    };
    const double normal[3] = {0, 0, 1};
    for (const auto &c : cases) {
        std::vector<double> points;
        for (const auto &p : c.ring) points.insert(points.end(), {p[0], p[1], 0});
        vantic::PolygonPlane plane;
        plane.build(static_cast<int32_t>(c.ring.size()), points.data(), normal);
        EXPECT_EQ(plane.convex(), c.convex) << c.what;
    }
}

// When an ear of a convex polygon's ring skips its search, every other corner of the ring must fail
// the ear's closing-edge test as the plain cutter computes it. Rings of corners taken from convex
// polygons round ellipses from round to flat, with corners pushed a hair out of their edges, so
// that a neighbour of the ear often lies on that test's tolerance.
TEST(PolygonPlaneConvex, AnEarSkipsItsSearchOnlyWhenEveryCornerFailsTheClosingTest) {
    std::mt19937 rng(2718);
    std::uniform_real_distribution<double> angle(0, 2 * std::numbers::pi), exponent(-7, 0), unit(0, 1);
    const double normal[3] = {0, 0, 1};
    int skipped = 0, searched = 0;
    for (int trial = 0; trial < 300; ++trial) {
        const int n = 4 + trial % 60;
        std::vector<double> angles(static_cast<size_t>(n));
        for (double &a : angles) a = angle(rng);
        std::sort(angles.begin(), angles.end());
        const double flat = std::pow(10.0, exponent(rng)), push = trial % 3 ? 0 : 1e-4 * std::pow(10.0, exponent(rng) / 2);
        std::vector<double> points;
        for (int i = 0; i < n; ++i) {
            // The chord's midpoint pushed out by `push` of its length, or the point on the ellipse.
            const double a = angles[static_cast<size_t>(i)], b = angles[static_cast<size_t>((i + 1) % n)];
            const double x = std::cos(a), y = flat * std::sin(a), nx = std::cos(b), ny = flat * std::sin(b);
            if (i % 2 && push > 0)
                points.insert(points.end(), {(x + nx) / 2 + push * (ny - y), (y + ny) / 2 - push * (nx - x), 0});
            else
                points.insert(points.end(), {x, y, 0});
        }
        vantic::PolygonPlane plane;
        plane.build(n, points.data(), normal);
        if (!plane.convex()) continue;
        std::vector<int32_t> ring;
        for (int32_t i = 0; i < n; ++i)
            if (unit(rng) < 0.6) ring.push_back(i);
        const int32_t m = static_cast<int32_t>(ring.size());
        if (m < 4) continue;
        for (int32_t j = 0; j < m; ++j) {
            const int32_t before = ring[static_cast<size_t>(j)], first = ring[static_cast<size_t>((j + 1) % m)];
            const int32_t last = ring[static_cast<size_t>((j + 3) % m)], after = ring[static_cast<size_t>((j + 4) % m)];
            if (!plane.farSideClear(first, last, before, after)) {
                ++searched;
                continue;
            }
            ++skipped;
            vantic::plain::Polygon poly{n, points.data(), normal, false, {}};
            double closing[3];
            vantic::plain::EdgeNormal(poly, poly.at(last), poly.at(first), closing);
            for (int32_t k = (j + 4) % m; k != (j + 1) % m; k = (k + 1) % m)
                EXPECT_FALSE(vantic::plain::LeftOf(closing, poly.at(last), poly.at(ring[static_cast<size_t>(k)])))
                    << "trial " << trial << ": corner " << ring[static_cast<size_t>(k)] << " and the ear (" << first
                    << ", " << last << ")";
        }
    }
    EXPECT_GT(skipped, 1000);
    EXPECT_GT(searched, 100);
}

}  // namespace
