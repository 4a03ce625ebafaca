// The stalled-ring finisher against the plain one it replaced: the same triangles, corner for corner,
// from the same start (nothing cut yet, or part of the ear cutter's triangles), on real rings and on
// rings that touch or cross themselves, run along lines, repeat corners and double back.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "geometry/stalled_ring.h"
#include "geometry/triangulation.h"
#include "geometry/vector_primitives.h"
#include "generated_polygons.h"
#include "polygon_data.h"
#include "stalled_ring_oracle.h"

namespace {

using vantic::testdata::Scrawl;
using vantic::testdata::Star;

using Flat = std::vector<std::array<double, 2>>;

// Both finishers on the polygon after the first `share` of the triangles the triangulator writes
// for it (what an ear cutter could have left), as the triangulator calls them.
void ExpectSameAsPlain(const Flat &flat, double share, const std::string &what) {
    std::vector<std::array<double, 3>> polygon;
    for (const auto &p : flat) polygon.push_back({p[0], p[1], 0});
    const int32_t n = static_cast<int32_t>(polygon.size());
    if (n < 4) return;
    const double *points = polygon.data()->data();
    double normal[3];
    vantic_ComputeBestFitNormal(points, n, normal);
    std::vector<Triangle> fast(static_cast<size_t>(n - 2)), plain;
    const int32_t written = vantic::Triangulate(n, points, normal, fast.data());
    const int32_t count = static_cast<int32_t>(share * written);
    plain = fast;
    const int32_t fastCount = vantic::FinishStalledRing(n, points, normal, fast.data(), count);
    const int32_t plainCount = vantic::plain::FinishStalledRing(n, points, normal, plain.data(), count);
    ASSERT_EQ(fastCount, plainCount) << what << ", " << n << " corners, from " << count;
    for (int32_t t = 0; t < fastCount; ++t)
        for (int k = 0; k < 3; ++k)
            ASSERT_EQ(fast[static_cast<size_t>(t)].corners[k], plain[static_cast<size_t>(t)].corners[k])
                << what << ", " << n << " corners, from " << count << ": triangle " << t;
}

// A star spoilt at random places: corners swapped (the ring crosses itself), a corner repeated
// further on (it touches itself), runs of corners along an edge, repeats, and spikes out and back.
Flat Spoilt(std::mt19937 &rng, Flat ring, int defects) {
    for (int d = 0; d < defects; ++d) {
        const size_t n = ring.size(), i = std::uniform_int_distribution<size_t>(0, n - 1)(rng);
        const size_t j = (i + std::uniform_int_distribution<size_t>(2, n / 2)(rng)) % n;
        const auto p = ring[i], q = ring[(i + 1) % n];
        switch (d % 5) {
            case 0: std::swap(ring[i], ring[j]); break;
            case 1: ring.insert(ring.begin() + static_cast<std::ptrdiff_t>(j), p); break;
            case 2:
                for (int k = 3; k >= 1; --k)
                    ring.insert(ring.begin() + static_cast<std::ptrdiff_t>(i + 1),
                                {p[0] + (q[0] - p[0]) * k / 4, p[1] + (q[1] - p[1]) * k / 4});
                break;
            case 3: ring.insert(ring.begin() + static_cast<std::ptrdiff_t>(i), p); break;
            default:
                ring.insert(ring.begin() + static_cast<std::ptrdiff_t>(i + 1), {{2 * p[0], 2 * p[1]}, p});
                break;
        }
    }
    return ring;
}

const double kShares[] = {0, 0.5, 0.9};

TEST(StalledRingLikePlain, EveryRingOfThePolygonCollection) {
    const std::string path = vantic::testdata::PolygonDataPath(VANTIC_SOURCE_DIR);
    const auto rings = vantic::testdata::ReadRings(path);
    ASSERT_FALSE(rings.empty()) << "no polygon collection at " << path;
    const int64_t splits = vantic::plain::stalled::diagonalSplits;
    for (const auto &ring : rings) {
        double extent = 0;
        for (const auto &p : ring.points)
            extent = std::max({extent, std::fabs(p[0] - ring.points[0][0]), std::fabs(p[1] - ring.points[0][1])});
        Flat unit;
        for (const auto &p : ring.points) unit.push_back({p[0] / extent, p[1] / extent});
        for (double share : kShares) {
            ExpectSameAsPlain(ring.points, share, ring.name);
            if (extent > 0) ExpectSameAsPlain(unit, share, ring.name + " at unit size");
        }
    }
    EXPECT_GT(vantic::plain::stalled::diagonalSplits, splits) << "no ring was split along a diagonal";
}

TEST(StalledRingLikePlain, RingsThatTouchCrossAndDoubleBack) {
    std::mt19937 rng(5077);
    std::uniform_int_distribution<int> corners(6, 300), defects(1, 12);
    std::uniform_real_distribution<double> innermost(0.05, 0.9);
    const int64_t splits = vantic::plain::stalled::diagonalSplits;
    for (int trial = 0; trial < 300; ++trial) {
        const std::string what = "trial " + std::to_string(trial);
        const Flat star = Star(rng, corners(rng), innermost(rng));
        const double share = kShares[trial % 3];
        ExpectSameAsPlain(Spoilt(rng, star, defects(rng)), share, what + " spoilt star");
        ExpectSameAsPlain(Scrawl(rng, corners(rng) / 4 + 4, 6), share, what + " scrawl");
        ExpectSameAsPlain(Scrawl(rng, corners(rng), 1000), share, what + " wide scrawl");
    }
    EXPECT_GT(vantic::plain::stalled::diagonalSplits, splits) << "no ring was split along a diagonal";
}

// Rings touching themselves where a reflex corner sits at a corner of an ear (an hourglass, two
// squares meeting at a corner): that corner blocks nothing, and the ear is cut.
TEST(StalledRingLikePlain, ReflexCornersAtAnEarsCornerDoNotBlockIt) {
    const Flat hourglass = {{0, 0}, {4, 0}, {2, 2}, {4, 4}, {0, 4}, {2, 2}};
    const Flat squares = {{0, 0}, {2, 0}, {2, 2}, {4, 2}, {4, 4}, {2, 4}, {2, 2}, {0, 2}};
    for (const Flat &ring : {hourglass, squares}) {
        ExpectSameAsPlain(ring, 0, "touching ring");
        std::vector<std::array<double, 3>> polygon;
        for (const auto &p : ring) polygon.push_back({p[0], p[1], 0});
        const double normal[3] = {0, 0, 1};
        std::vector<Triangle> out(ring.size() - 2);
        EXPECT_GE(vantic::FinishStalledRing(static_cast<int32_t>(ring.size()), polygon.data()->data(), normal,
                                            out.data(), 0),
                  2);
    }
}

// A ring whose clipping and splitting reads more corners than the budget allows stops where the
// plain finisher stops.
TEST(StalledRingLikePlain, RingsThatSpendTheBudget) {
    std::mt19937 rng(31);
    const int64_t spent = vantic::plain::stalled::budgetsSpent;
    ExpectSameAsPlain(Scrawl(rng, 3000, 1000000), 0, "huge scrawl");
    EXPECT_GT(vantic::plain::stalled::budgetsSpent, spent) << "no ring spent the budget";
}

}  // namespace
