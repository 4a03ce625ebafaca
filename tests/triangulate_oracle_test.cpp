// The triangulator against the plain ear cutter it replaced: the same triangles, corner for corner,
// on real rings, generated families and corners placed on the tests' tolerances.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "geometry/triangulation.h"
#include "geometry/vector_primitives.h"
#include "generated_polygons.h"
#include "polygon_data.h"
#include "stalled_ring_oracle.h"
#include "triangulate_oracle.h"

namespace {

using vantic::testdata::Scrawl;
using vantic::testdata::Star;

using Points = std::vector<std::array<double, 3>>;
using Flat = std::vector<std::array<double, 2>>;

std::vector<std::array<int32_t, 3>> Corners(const std::vector<Triangle> &triangles, int32_t count) {
    std::vector<std::array<int32_t, 3>> corners;
    for (int32_t i = 0; i < count; ++i)
        corners.push_back({triangles[i].corners[0], triangles[i].corners[1], triangles[i].corners[2]});
    return corners;
}

// Both triangulators on the same corners and best-fit normal, as the mesh triangulation calls them;
// a polygon the plain first pass cuts whole keeps that pass's triangles.
void ExpectSameAsPlain(const Points &polygon, const std::string &what) {
    const int32_t n = static_cast<int32_t>(polygon.size());
    const double *points = polygon.data()->data();
    double normal[3];
    vantic_ComputeBestFitNormal(points, n, normal);
    const size_t room = static_cast<size_t>(std::max(n - 2, 1));
    std::vector<Triangle> fast(room), plain(room);
    const int32_t fastCount = vantic::Triangulate(n, points, normal, fast.data());
    const bool wholeFirstPass = n > 3 && vantic::plain::CutEars(n, points, normal, false, plain.data()) == n - 2;
    int32_t plainCount = wholeFirstPass ? n - 2 : vantic::plain::Triangulate(n, points, normal, plain.data());
    // What the plain ear cutter leaves is finished by the plain finisher.
    if (plainCount < n - 2) plainCount = vantic::plain::FinishStalledRing(n, points, normal, plain.data(), plainCount);
    ASSERT_EQ(fastCount, plainCount) << what << ", " << n << " corners";
    ASSERT_EQ(Corners(fast, fastCount), Corners(plain, plainCount))
        << what << (wholeFirstPass ? ": a whole first pass changed" : "");
}

Points InPlane(const Flat &flat, double scale = 1, double offset = 0) {
    Points points;
    for (const auto &p : flat) points.push_back({offset + scale * p[0], offset + scale * p[1], 0});
    return points;
}

// Rotated about a random axis and moved: the corners are off their plane by rounding only.
Points Tilted(const Flat &flat, std::mt19937 &rng) {
    std::uniform_real_distribution<double> unit(-1, 1);
    double axis[3] = {unit(rng), unit(rng), 0.3 + std::fabs(unit(rng))};
    vantic_Normalize(axis);
    double e1[3] = {axis[1], -axis[0], 0};
    vantic_Normalize(e1);
    const double e2[3] = {axis[1] * e1[2] - axis[2] * e1[1], axis[2] * e1[0] - axis[0] * e1[2],
                          axis[0] * e1[1] - axis[1] * e1[0]};
    const double origin[3] = {100 * unit(rng), 100 * unit(rng), 100 * unit(rng)};
    Points points;
    for (const auto &p : flat)
        points.push_back({origin[0] + p[0] * e1[0] + p[1] * e2[0], origin[1] + p[0] * e1[1] + p[1] * e2[1],
                          origin[2] + p[0] * e1[2] + p[1] * e2[2]});
    return points;
}

Flat Regular(int n, double radius, double innerRadius) {
    Flat points;
    for (int i = 0; i < n; ++i) {
        const double angle = 2 * std::numbers::pi * i / n, r = i % 2 == 1 ? innerRadius : radius;
        points.push_back({r * std::cos(angle), r * std::sin(angle)});
    }
    return points;
}

// Rectangular teeth of random widths and depths standing on a base line of collinear corners.
Flat Comb(std::mt19937 &rng, int teeth) {
    std::uniform_real_distribution<double> depth(0.1, 5), width(0.1, 0.9);
    Flat points{{0, 0}, {static_cast<double>(teeth), 0}};
    for (int i = teeth - 1; i >= 0; --i) {
        const double w = width(rng), h = 1 + depth(rng);
        points.push_back({i + 1.0, 1});
        points.push_back({i + 1.0, h});
        points.push_back({i + 1.0 - w, h});
        points.push_back({i + 1.0 - w, 1});
    }
    return points;
}

// A band wound round a centre: out along one arm, back along the other.
Flat Spiral(int perArm, double turns) {
    Flat points;
    const double band = 0.4;
    for (int side = 0; side < 2; ++side)
        for (int i = 0; i < perArm; ++i) {
            const int k = side == 0 ? i : perArm - 1 - i;
            const double angle = 2 * std::numbers::pi * turns * k / (perArm - 1), r = 1 + angle / (2 * std::numbers::pi) - side * band;
            points.push_back({r * std::cos(angle), r * std::sin(angle)});
        }
    return points;
}

// Corners on the edges (halves and thirds) and repeated corners.
Flat WithCollinearAndDuplicates(std::mt19937 &rng, Flat polygon) {
    std::uniform_int_distribution<int> kind(0, 5);
    Flat out;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const auto &p = polygon[i], &q = polygon[(i + 1) % polygon.size()];
        out.push_back(p);
        switch (kind(rng)) {
            case 0: out.push_back({(p[0] + q[0]) / 2, (p[1] + q[1]) / 2}); break;
            case 1: out.push_back({p[0] + (q[0] - p[0]) / 3, p[1] + (q[1] - p[1]) / 3}); break;
            case 2: out.push_back(p); break;
            default: break;
        }
    }
    out.push_back(out.front());
    return out;
}

TEST(TriangulateLikePlain, EveryRingOfThePolygonCollection) {
    const std::string path = vantic::testdata::PolygonDataPath(VANTIC_SOURCE_DIR);
    const auto rings = vantic::testdata::ReadRings(path);
    ASSERT_FALSE(rings.empty()) << "no polygon collection at " << path;
    for (const auto &ring : rings) {
        // As stored, and brought to unit size, where only the tolerant pass cuts it whole.
        double extent = 0;
        for (const auto &p : ring.points)
            extent = std::max({extent, std::fabs(p[0] - ring.points[0][0]), std::fabs(p[1] - ring.points[0][1])});
        ExpectSameAsPlain(InPlane(ring.points), ring.name);
        if (extent > 0) {
            ExpectSameAsPlain(InPlane(ring.points, 1 / extent), ring.name + " at unit size");
        }
    }
}

TEST(TriangulateLikePlain, GeneratedFamilies) {
    std::mt19937 rng(7031);
    std::uniform_int_distribution<int> small(4, 40), large(40, 400);
    std::uniform_real_distribution<double> innermost(0.01, 0.95);
    const double scales[] = {1e-3, 1, 1000};
    for (int trial = 0; trial < 400; ++trial) {
        const std::string what = "trial " + std::to_string(trial);
        const int n = trial % 2 ? small(rng) : large(rng);
        const double scale = scales[trial % 3];
        const Flat star = Star(rng, n, innermost(rng));
        ExpectSameAsPlain(InPlane(star, scale), what + " star");
        ExpectSameAsPlain(Tilted(star, rng), what + " tilted star");
        ExpectSameAsPlain(InPlane(WithCollinearAndDuplicates(rng, star), scale), what + " star with collinear corners");
        ExpectSameAsPlain(InPlane(Comb(rng, 1 + n / 8), scale), what + " comb");
        ExpectSameAsPlain(InPlane(Scrawl(rng, small(rng), 6)), what + " scrawl");
        Points bent = InPlane(star, scale);
        for (auto &p : bent) p[2] = 0.01 * scale * p[0] * p[0];
        ExpectSameAsPlain(bent, what + " star bent out of its plane");
    }
    for (int perArm : {30, 200, 800})
        for (double turns : {1.5, 4.0}) ExpectSameAsPlain(InPlane(Spiral(perArm, turns)), "spiral");
    for (int n : {64, 1000, 4096})
        for (double radius : {0.001, 1.0, 1000.0}) {
            ExpectSameAsPlain(InPlane(Regular(n, radius, radius)), "regular " + std::to_string(n));
            ExpectSameAsPlain(InPlane(Regular(n, radius, 0.6 * radius)), "star " + std::to_string(n));
        }
}

// The quad A B Q C, whose first ear (C, A, B) has Q as its only other corner, with Q put on one of
// the ear's edge lines turned outward or inward by an angle whose sine is at or next to eps; at
// tiny, unit, huge and far-off positions.
TEST(TriangulateLikePlain, CornersOnTheToleranceOfAnEdge) {
    const double eps = 9.999999747378752e-5;
    const double sines[] = {eps,           eps * (1 + 1e-15), eps * (1 - 1e-15), eps * (1 + 4e-15), eps * (1 - 4e-15),
                            eps * (1 + 4.9e-7), eps * (1 - 4.9e-7), eps * (1 + 5.1e-7), eps * (1 - 5.1e-7),
                            eps * (1 + 1e-5), eps * (1 - 1e-5), 0, 1e-300};
    const double a[2] = {0, 0}, b[2] = {1, 0}, c[2] = {0.3, 1};
    const double *edges[3][2] = {{b, c}, {c, a}, {a, b}};  // closing diagonal, into the tip, out of it
    int cases = 0;
    for (const auto &edge : edges)
        for (double along : {0.3, 0.7, 1.4})
            for (double sine : sines)
                for (double side : {-1.0, 1.0})
                    for (double scale : {1e-140, 1e-3, 1.0, 1e4, 1e140})
                        for (double offset : {0.0, 1e6}) {
                            const double *s = edge[0], *e = edge[1];
                            const double dx = e[0] - s[0], dy = e[1] - s[1];
                            const double cosine = std::sqrt(1 - sine * sine);
                            // left normal of the edge is (-dy, dx)
                            const double q[2] = {s[0] + along * (cosine * dx - side * sine * dy),
                                                 s[1] + along * (cosine * dy + side * sine * dx)};
                            const Flat quad{{a[0], a[1]}, {b[0], b[1]}, {q[0], q[1]}, {c[0], c[1]}};
                            ExpectSameAsPlain(InPlane(quad, scale, offset * scale), "case " + std::to_string(cases++));
                        }
}

// Larger polygons with corners put on the tolerance of the line through two nearby corners, so that
// the searches through the tree meet them; from 96 corners the searches go through the indexes.
void ExpectSameWithCornersOnTheTolerance(int fewest, int most) {
    const double eps = 9.999999747378752e-5;
    std::mt19937 rng(911);
    std::uniform_int_distribution<int> corners(fewest, most), gap(1, 3);
    std::uniform_real_distribution<double> along(-0.5, 1.5);
    for (int trial = 0; trial < 300; ++trial) {
        Flat polygon = Star(rng, corners(rng), 0.3);
        for (int probe = 0; probe < 6; ++probe) {
            const size_t n = polygon.size();
            const size_t i = std::uniform_int_distribution<size_t>(0, n - 1)(rng), j = (i + static_cast<size_t>(gap(rng))) % n;
            const auto s = polygon[i], e = polygon[j];
            const double dx = e[0] - s[0], dy = e[1] - s[1], side = probe % 2 ? 1 : -1;
            const double sine = eps * (1 + (probe % 3 - 1) * 1e-15), cosine = std::sqrt(1 - sine * sine), t = along(rng);
            const std::array<double, 2> q{s[0] + t * (cosine * dx - side * sine * dy), s[1] + t * (cosine * dy + side * sine * dx)};
            polygon.insert(polygon.begin() + static_cast<std::ptrdiff_t>((i + 1) % n), q);
        }
        ExpectSameAsPlain(InPlane(polygon), "trial " + std::to_string(trial));
    }
}

TEST(TriangulateLikePlain, CornersOnTheToleranceInLargePolygons) {
    ExpectSameWithCornersOnTheTolerance(48, 160);
    ExpectSameWithCornersOnTheTolerance(96, 320);
}

// Large polygons whose searches run along the z-order curve and through the tree: crowds of corners
// in one cell of the curve (a finely zigzagged edge, repeated corners), runs of collinear corners,
// at tiny, huge and far-off coordinates.
TEST(TriangulateLikePlain, CrowdedCellsAndExtremeScales) {
    std::mt19937 rng(4242);
    std::vector<std::pair<std::string, Flat>> shapes;
    Flat zigzag = Regular(64, 1, 0.8);
    const auto s = zigzag[0], e = zigzag[1];
    for (int k = 1; k < 300; ++k) {
        const double t = k / 300.0, off = (k % 2 ? 1e-9 : -1e-9);
        zigzag.insert(zigzag.begin() + k, {s[0] + t * (e[0] - s[0]) - off * (e[1] - s[1]), s[1] + t * (e[1] - s[1]) + off * (e[0] - s[0])});
    }
    shapes.emplace_back("finely zigzagged edge", zigzag);
    Flat repeated;
    for (const auto &p : Regular(96, 1, 0.5)) repeated.insert(repeated.end(), 3, p);
    shapes.emplace_back("every corner three times", repeated);
    shapes.emplace_back("star with collinear and repeated corners", WithCollinearAndDuplicates(rng, Star(rng, 300, 0.2)));
    shapes.emplace_back("comb", Comb(rng, 60));
    shapes.emplace_back("spiral", Spiral(200, 3));
    for (const auto &[name, shape] : shapes)
        for (double scale : {1e-140, 1e-6, 1.0, 1e140})
            for (double offset : {0.0, 1e6}) {
                const std::string what = name + " at scale " + std::to_string(scale) + " offset " + std::to_string(offset);
                ExpectSameAsPlain(InPlane(shape, scale, offset * scale), what);
            }
}

// Convex polygons, where an ear whose neighbours lie clearly beyond its closing edge skips its
// search: random ones round ellipses of every shape, either way round, tilted; convex polygons with
// corners pushed a hair out of an edge so that a neighbour sits on the tolerance of the closing
// edge; and polygons that turn one way but wind twice, which must not count as convex.
TEST(TriangulateLikePlain, ConvexPolygons) {
    const double eps = 9.999999747378752e-5;
    std::mt19937 rng(5150);
    std::uniform_real_distribution<double> turn(0, 2 * std::numbers::pi), flatness(-7, 0);
    std::uniform_int_distribution<int> corners(4, 700);
    for (int trial = 0; trial < 120; ++trial) {
        const int n = trial % 10 == 0 ? 1500 : corners(rng);
        std::vector<double> angles(static_cast<size_t>(n));
        for (double &a : angles) a = turn(rng);
        std::sort(angles.begin(), angles.end());
        if (trial % 2) std::reverse(angles.begin(), angles.end());
        const double flat = std::pow(10.0, flatness(rng)), scale = std::pow(10.0, trial % 7 - 3);
        Flat polygon;
        for (double a : angles) polygon.push_back({std::cos(a), flat * std::sin(a)});
        const std::string what = "convex trial " + std::to_string(trial) + ", " + std::to_string(n) + " corners";
        ExpectSameAsPlain(InPlane(polygon, scale, trial % 3 == 0 ? 1e3 * scale : 0), what);
        ExpectSameAsPlain(Tilted(polygon, rng), what + ", tilted");
    }
    // A corner pushed out of the middle of every k-th edge of a regular polygon until its turn is
    // at or next to the tolerance.
    for (double sine : {eps, eps * (1 + 1e-15), eps * (1 - 1e-15), eps * (1 + 1e-6), eps * (1 - 1e-6), 2 * eps, 0.5 * eps})
        for (int k : {1, 3})
            for (double radius : {1e-3, 1.0, 1e3}) {
                const Flat regular = Regular(160, radius, radius);
                Flat polygon;
                for (size_t i = 0; i < regular.size(); ++i) {
                    const auto &p = regular[i], &q = regular[(i + 1) % regular.size()];
                    polygon.push_back(p);
                    if (i % static_cast<size_t>(k)) continue;
                    const double dx = q[0] - p[0], dy = q[1] - p[1], out = 0.5 * sine;  // outward is (dy, -dx)
                    polygon.push_back({p[0] + 0.5 * dx + out * dy, p[1] + 0.5 * dy - out * dx});
                }
                ExpectSameAsPlain(InPlane(polygon), "regular polygon with corners pushed out by " + std::to_string(sine / eps) +
                                                        " eps, every " + std::to_string(k) + ", radius " + std::to_string(radius));
            }
    // The ear (C, A, B) of the convex ring A B E F C, whose closing edge B -> C has E almost on
    // its line, inside the ear by the tolerance; mirrored, the same with C's neighbour. Every
    // rotation, so that the cutter meets it first from either side.
    const Flat flatBeside{{-50, -2e-4}, {0, 0}, {100, 5e-4}, {0, 100}, {-100, 0}};
    for (bool mirrored : {false, true})
        for (size_t start = 0; start < flatBeside.size(); ++start) {
            Flat polygon;
            for (size_t i = 0; i < flatBeside.size(); ++i) {
                const auto &p = flatBeside[(start + (mirrored ? flatBeside.size() - i : i)) % flatBeside.size()];
                polygon.push_back({mirrored ? -p[0] : p[0], p[1]});
            }
            ExpectSameAsPlain(InPlane(polygon, 1, 7), "a corner almost on the line of an ear's closing edge, rotation " +
                                                          std::to_string(start) + (mirrored ? ", mirrored" : ""));
        }
    // Turning one way but winding twice: star polygons {n/2}, and spirals of two turns whose inner
    // turn lies under the outer one's ears.
    for (int n : {5, 101, 401}) {
        Flat star, spiral;
        for (int i = 0; i < n; ++i) {
            const double a = 2 * std::numbers::pi * ((2 * i) % n) / n, b = 4 * std::numbers::pi * i / n, r = 1 - 0.5 * i / n;
            star.push_back({std::cos(a), std::sin(a)});
            spiral.push_back({r * std::cos(b), r * std::sin(b)});
        }
        ExpectSameAsPlain(InPlane(star), "star polygon " + std::to_string(n) + "/2");
        ExpectSameAsPlain(InPlane(spiral), "spiral of two turns, " + std::to_string(n) + " corners");
    }
}

}  // namespace
