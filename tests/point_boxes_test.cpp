// Boxes round a snapshot's points, and the straight weighting that passes over the boxes beyond the
// brush: it must give the point-by-point loop's weights to the bit, however close to the rim a box is.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "brush/point_boxes.h"
#include "brush/weight_runs.h"
#include "geometry/vec3_ops.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr vantic::VectorWidth kWidths[] = {vantic::VectorWidth::kBaseline, vantic::VectorWidth::kAvx2,
                                           vantic::VectorWidth::kAvx512};

// Every width against the box made point by point: each box holds every coordinate of its points that
// is a number, and its bounds are such coordinates (or infinite the wrong way round when there are none).
TEST(PointBoxes, EveryWidthBoxesItsPointsTightly) {
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-300, 300), kind(0, 15);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (size_t n : {size_t{1}, size_t{7}, size_t{8}, size_t{9}, size_t{63}, size_t{64}, size_t{65}, size_t{130},
                     size_t{1000}}) {
        for (int round = 0; round < 20; ++round) {
            std::vector<double> xyz(3 * n);
            const double scale = std::ldexp(1.0, exponent(random));
            for (double &v : xyz) {
                const int k = kind(random);
                v = k == 0 ? nan : k == 1 ? (unit(random) < 0 ? -kInf : kInf) : k == 2 ? -0.0 : unit(random) * scale;
            }
            if (round == 0)  // a box of nothing but coordinates that are not numbers
                for (size_t j = 0; j < std::min<size_t>(3 * n, 3 * vantic::kBoxPoints); ++j) xyz[j] = nan;
            const size_t boxes = (n + vantic::kBoxPoints - 1) / vantic::kBoxPoints;
            for (vantic::VectorWidth width : kWidths) {
                std::vector<vantic::PointBox> got(boxes);
                if (!vantic::BoxPointsWith(width, xyz.data(), n, got.data())) continue;
                for (size_t b = 0; b < boxes; ++b)
                    for (int a = 0; a < 3; ++a) {
                        double low = kInf, high = -kInf;
                        for (size_t i = b * vantic::kBoxPoints; i < std::min(n, (b + 1) * vantic::kBoxPoints); ++i) {
                            const double v = xyz[3 * i + static_cast<size_t>(a)];
                            if (v < low) low = v;
                            if (v > high) high = v;
                        }
                        ASSERT_EQ(got[b].low[a], low) << "n " << n << " box " << b << " axis " << a;
                        ASSERT_EQ(got[b].high[a], high) << "n " << n << " box " << b << " axis " << a;
                    }
            }
        }
    }
}

double PlainWeight(const vantic::FalloffShape &shape, const double *p, const double *centre) {
    const double d = vantic::geo::Distance(p, centre);
    return d < shape.radius ? shape.weight(d) : 0.0;
}

// Rows of points whose boxes lie just inside, on or just outside the rim (their nearest points within
// a few units in the last place of R, along an axis or a diagonal), boxes holding the centre, points
// that are not numbers or infinite, tiny radii whose squares fall below the normal range and huge
// ones whose squares overflow: weighed through their boxes, at every width, as point by point; and no
// box the weighting passes over holds a point of non-zero weight.
TEST(StraightWeightRuns, BoxesBeyondTheRimAreSkippedWithTheSameWeights) {
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> unit(-1.0, 1.0), fraction(0.0, 1.0);
    std::uniform_int_distribution<int> ulps(-4, 4), kind(0, 9), exponent(-40, 40);
    int skipped = 0, weighed = 0;
    for (int row = 0; row < 400; ++row) {
        const double radius = std::ldexp(1.0 + fraction(random), row % 10 == 0   ? -530
                                                                  : row % 10 == 1 ? 520
                                                                                  : exponent(random));
        const vantic::FalloffShape shape{radius, 1.0 / radius, 1.0 - fraction(random)};
        const double centre[3] = {unit(random) * radius, unit(random) * radius, unit(random) * radius};
        const size_t boxes = 12, n = boxes * vantic::kBoxPoints - static_cast<size_t>(row % 5);
        std::vector<double> xyz(3 * n);
        for (size_t b = 0; b < boxes; ++b) {
            // The box's nearest point to the centre, at about R along one axis or the diagonal.
            double toward[3] = {0.0, 0.0, 0.0};
            if (b % 2) {
                toward[b % 3] = unit(random) < 0 ? -1.0 : 1.0;
            } else {
                for (double &t : toward) t = unit(random) < 0 ? -1.0 : 1.0;
            }
            const double length = std::sqrt(vantic::geo::Dot(toward, toward));
            const double at = b == 5 ? 0.0 : radius * (1.0 + ulps(random) * 0x1p-52) * (b == 7 ? 0.5 : 1.0);
            for (size_t i = b * vantic::kBoxPoints; i < std::min(n, (b + 1) * vantic::kBoxPoints); ++i)
                for (size_t a = 0; a < 3; ++a) {
                    const double nearest = centre[a] + toward[a] / length * at;
                    // Away from the centre on the axes that lead there; either way on the others.
                    const double spread = radius * fraction(random) * (toward[a] != 0.0 ? toward[a] : unit(random));
                    const int k = kind(random);
                    xyz[3 * i + a] = k == 0 ? nearest : nearest + spread;
                    if (k == 1 && row % 4 == 0) xyz[3 * i + a] = std::numeric_limits<double>::quiet_NaN();
                    if (k == 2 && row % 8 == 1) xyz[3 * i + a] = toward[a] < 0 ? -kInf : kInf;
                }
        }
        std::vector<vantic::PointBox> box(boxes);
        vantic::BoxPoints(xyz.data(), n, box.data());
        std::vector<double> expected(n);
        for (size_t i = 0; i < n; ++i) expected[i] = PlainWeight(shape, &xyz[3 * i], centre);
        for (size_t b = 0; b < boxes; ++b) {
            if (!vantic::BoxBeyond(shape, box[b], centre)) {
                ++weighed;
                continue;
            }
            ++skipped;
            for (size_t i = b * vantic::kBoxPoints; i < std::min(n, (b + 1) * vantic::kBoxPoints); ++i)
                ASSERT_EQ(std::bit_cast<uint64_t>(expected[i]), uint64_t{0}) << "row " << row << " point " << i;
        }
        std::vector<double> got(n, 7.0);
        vantic::WeighStraightRun(shape, centre, xyz.data(), box.data(), n, got.data());
        ASSERT_EQ(std::memcmp(got.data(), expected.data(), n * sizeof(double)), 0) << "row " << row;
    }
    // Both ways, often: the rows test the passing over, not only the weighing.
    EXPECT_GT(skipped, 1000);
    EXPECT_GT(weighed, 1000);
}

}  // namespace
