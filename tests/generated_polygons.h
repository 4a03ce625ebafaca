// Random rings in the plane for the triangulation tests.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace vantic::testdata {

using FlatRing = std::vector<std::array<double, 2>>;

// Corners at sorted random angles and random radii: simple, from round to very spiky.
inline FlatRing Star(std::mt19937 &rng, int n, double innermost) {
    std::uniform_real_distribution<double> turn(0, 2 * std::numbers::pi), radius(innermost, 1);
    std::vector<double> angles(static_cast<size_t>(n));
    for (double &a : angles) a = turn(rng);
    std::sort(angles.begin(), angles.end());
    FlatRing points;
    for (double a : angles) {
        const double r = radius(rng);
        points.push_back({r * std::cos(a), r * std::sin(a)});
    }
    return points;
}

// Integer corners anywhere in a square of the given side: self-crossing, collinear and tied everywhere.
inline FlatRing Scrawl(std::mt19937 &rng, int n, int side) {
    std::uniform_int_distribution<int> coordinate(0, side);
    FlatRing points;
    for (int i = 0; i < n; ++i) points.push_back({double(coordinate(rng)), double(coordinate(rng))});
    return points;
}

}  // namespace vantic::testdata
