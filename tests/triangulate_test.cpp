// The ear-cutting triangulator, linked from the module's objects.
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "geometry/triangulation.h"
#include "geometry/vector_primitives.h"
#include "vanticAPI.h"

namespace {

using Corners = std::vector<std::array<int32_t, 3>>;

std::vector<double> Flat(const std::vector<Eigen::Vector3d> &points) {
    std::vector<double> flat;
    for (const auto &p : points) flat.insert(flat.end(), {p.x(), p.y(), p.z()});
    return flat;
}

// Runs the triangulator with the polygon's best-fit normal, as the mesh triangulation does.
Corners Cut(const std::vector<Eigen::Vector3d> &polygon) {
    const std::vector<double> points = Flat(polygon);
    const int32_t n = static_cast<int32_t>(polygon.size());
    double normal[3];
    vantic_ComputeBestFitNormal(points.data(), n, normal);
    std::vector<Triangle> out(static_cast<size_t>(n - 2));
    const int32_t count = Triangulate(n, points.data(), normal, out.data());
    Corners result;
    for (int32_t i = 0; i < count; ++i)
        result.push_back({out[i].corners[0], out[i].corners[1], out[i].corners[2]});
    return result;
}

std::vector<Eigen::Vector3d> InXy(std::initializer_list<std::array<double, 2>> corners) {
    std::vector<Eigen::Vector3d> points;
    for (const auto &c : corners) points.emplace_back(c[0], c[1], 0);
    return points;
}

struct Case {
    const char *name;
    std::vector<Eigen::Vector3d> polygon;
    Corners expected;
};

std::vector<Eigen::Vector3d> RegularPentagon() {
    std::vector<Eigen::Vector3d> points;
    for (int i = 0; i < 5; ++i) {
        const double angle = i * 72.0 * M_PI / 180.0;
        points.emplace_back(std::cos(angle), std::sin(angle), 0);
    }
    return points;
}

// Worked by hand from the window rules: which ears are convex and empty, and which angle each cut
// leaves, at every step.
TEST(Triangulate, KnownPolygons) {
    const Case cases[] = {
        {"triangle", InXy({{0, 0}, {1, 0}, {0, 1}}), {{0, 1, 2}}},
        // equal angles and no cut yet: the front ear goes first
        {"unit square", InXy({{0, 0}, {1, 0}, {1, 1}, {0, 1}}), {{3, 0, 1}, {1, 2, 3}}},
        // a tie after a front cut takes the back ear
        {"regular pentagon", RegularPentagon(), {{4, 0, 1}, {3, 4, 1}, {1, 2, 3}}},
        // corner 3 lies on the first front ear's edge and rejects it
        {"L hexagon", InXy({{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}}),
         {{4, 5, 0}, {3, 4, 0}, {3, 0, 1}, {1, 2, 3}}},
        // started at its reflex corner: the front ear is not convex, back ears are cut
        {"L hexagon from the reflex corner", InXy({{1, 1}, {1, 2}, {0, 2}, {0, 0}, {2, 0}, {2, 1}}),
         {{4, 5, 0}, {3, 4, 0}, {2, 3, 0}, {0, 1, 2}}},
        // corners 0 and 7 are reflex: the first window stalls and shifts by one
        {"U octagon", InXy({{1, 1}, {1, 3}, {0, 3}, {0, 0}, {3, 0}, {3, 3}, {2, 3}, {2, 1}}),
         {{0, 1, 2}, {0, 2, 3}, {7, 0, 3}, {7, 3, 4}, {7, 4, 5}, {5, 6, 7}}},
        // no finite best-fit normal: every window position stalls
        {"collinear quad", InXy({{0, 0}, {1, 0}, {2, 0}, {3, 0}}), {}},
        {"bow tie", InXy({{0, 0}, {2, 2}, {2, 0}, {0, 2}}), {}},
    };
    for (const Case &c : cases) EXPECT_EQ(Cut(c.polygon), c.expected) << c.name;
}

// A polygon star-shaped around the origin: corners at increasing angles (no two much closer than
// the average spacing allows) and radii between 0.4 and 1, so it is simple and in general position.
std::vector<Eigen::Vector2d> StarPolygon(std::mt19937 &rng, int n) {
    std::uniform_real_distribution<double> gap(0.5, 1.5), radius(0.4, 1.0), start(0, 2 * M_PI);
    std::vector<double> angles(static_cast<size_t>(n));
    double total = 0;
    for (double &a : angles) total += (a = gap(rng));
    std::vector<Eigen::Vector2d> points;
    double angle = start(rng);
    for (double a : angles) {
        const double r = radius(rng);
        points.emplace_back(r * std::cos(angle), r * std::sin(angle));
        angle += a / total * 2 * M_PI;
    }
    return points;
}

double Cross2(const Eigen::Vector2d &a, const Eigen::Vector2d &b) { return a.x() * b.y() - a.y() * b.x(); }

// Simple polygons in a tilted plane, either winding, 5 to 200 corners: n - 2 triangles, each wound
// like the polygon, using every corner, with areas that add up to the polygon's area.
TEST(Triangulate, StarShapedPolygonsSplitIntoNMinusTwoTrianglesCoveringTheArea) {
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> corners(5, 200);
    for (int trial = 0; trial < 300; ++trial) {
        const int n = corners(rng);
        std::vector<Eigen::Vector2d> flat = StarPolygon(rng, n);
        const bool clockwise = trial % 2 == 1;
        if (clockwise) std::reverse(flat.begin(), flat.end());

        const Eigen::Vector3d axis = Eigen::Vector3d(std::cos(trial), std::sin(trial), 0.5).normalized();
        const Eigen::Vector3d e1 = axis.unitOrthogonal(), e2 = axis.cross(e1), origin(trial, -2, 3);
        std::vector<Eigen::Vector3d> polygon;
        for (const auto &p : flat) polygon.push_back(origin + p.x() * e1 + p.y() * e2);

        double area = 0;  // signed, positive counter-clockwise in (e1, e2)
        for (int i = 0; i < n; ++i) area += Cross2(flat[static_cast<size_t>(i)], flat[static_cast<size_t>((i + 1) % n)]) / 2;
        ASSERT_EQ(area < 0, clockwise);

        const Corners triangles = Cut(polygon);
        ASSERT_EQ(static_cast<int>(triangles.size()), n - 2) << "trial " << trial << ", " << n << " corners";
        double sum = 0;
        std::vector<int> used(static_cast<size_t>(n), 0);
        for (const auto &t : triangles) {
            for (int32_t k : t) {
                ASSERT_GE(k, 0);
                ASSERT_LT(k, n);
                used[static_cast<size_t>(k)] = 1;
            }
            const Eigen::Vector2d &a = flat[static_cast<size_t>(t[0])], &b = flat[static_cast<size_t>(t[1])],
                                  &c = flat[static_cast<size_t>(t[2])];
            const double signedArea = Cross2(b - a, c - a) / 2;
            ASSERT_GT(signedArea * area, 0) << "trial " << trial << ": a triangle against the polygon's winding";
            sum += signedArea;
        }
        EXPECT_NEAR(sum, area, 1e-9 * std::fabs(area)) << "trial " << trial;
        EXPECT_EQ(std::count(used.begin(), used.end(), 1), n) << "trial " << trial;
    }
}

}  // namespace
