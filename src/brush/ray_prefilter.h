// A cheap, conservative test run before vantic_RayIntersectTriangle2 (cull on): it only ever rejects
// triangles that test would reject too, so the pick's results stay the same bit for bit.
//
// Each point gets two plane coordinates once per call: its signed offsets from two planes through the
// ray. For a triangle, the products of these coordinates give, for each edge, on which side of the
// plane through the ray and that edge the ray's line passes; a ray that passes clearly outside one edge
// cannot hit. "Clearly" is a tolerance that covers every rounding of both this test and the exact one.
#pragma once

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace vantic {

class RayPrefilter {
public:
    RayPrefilter(const double *origin, const double *direction);

    // f(k) with the direction's largest axis as a constant k (std::integral_constant), so that the
    // axes are fixed in the code f makes and its offsets stay in registers rather than in an array
    // indexed at run time: place() is placeOn<k>().
    template <class F>
    [[gnu::always_inline]] decltype(auto) onAxis(F &&f) const {
        switch (k_) {
            case 0: return f(std::integral_constant<int, 0>{});
            case 1: return f(std::integral_constant<int, 1>{});
            default: return f(std::integral_constant<int, 2>{});
        }
    }

    // Writes the plane coordinates of p to xy[0], xy[1] and returns how far p lies from the ray's origin
    // along any axis, or a negative value when p is too large or not a number for the tolerance to hold.
    double place(const double *p, double *xy) const {
        return onAxis([&](auto k) { return placeOn<k()>(p, xy, xy + 1); });
    }

    // The tolerance for triangles whose corners lie within reach (the largest value place() returned for
    // them) of the origin along every axis; +infinity (nothing is rejected) when any place() failed.
    double tolerance(double reach, bool failed) const;

    // A point's plane coordinates (x, y), loaded and multiplied as one: each lane's product is
    // rounded as a scalar one would be.
    typedef double Pair __attribute__((vector_size(16)));
    [[gnu::always_inline]] static Pair LoadPair(const double *xy) {
        Pair p;
        std::memcpy(&p, xy, sizeof p);
        return p;
    }
    // x_p y_q - y_p x_q, the side on which the ray's line passes the plane through the ray's origin and
    // the two points. Cross(q, p) is exactly -Cross(p, q): the same two rounded products, subtracted
    // the other way round.
    [[gnu::always_inline]] static double Cross(const Pair &p, const Pair &q) {
        const Pair products = p * __builtin_shufflevector(q, q, 1, 0);
        return products[0] - products[1];
    }
    // True when the ray, cull on, cannot hit the triangle with corners c0, c1, c2 in that order, given
    // their plane coordinates and cross02 = Cross(c0, c2): the ray passes clearly outside one edge.
    [[gnu::always_inline]] static bool MissesWith(double cross02, const Pair &p0, const Pair &p1, const Pair &p2,
                                                  double tolerance) {
        return cross02 < -tolerance || Cross(p1, p0) < -tolerance || Cross(p2, p1) < -tolerance;
    }
    static bool Misses(const double *xy0, const double *xy1, const double *xy2, double tolerance) {
        const Pair p0 = LoadPair(xy0), p1 = LoadPair(xy1), p2 = LoadPair(xy2);
        return MissesWith(Cross(p0, p2), p0, p1, p2, tolerance);
    }

    // place() for n points in a row (x, y, z each) into rows xs[j], ys[j]. Returns the bits of the largest
    // |P - O| component among them, all bits above the largest finite double's when one is not a number;
    // RunReach turns them into what place() returns. Whole integers, so that the loop vectorises: the
    // bits of non-negative doubles order as the doubles do.
    template <int K>
    [[gnu::always_inline]] uint64_t placeRun(const double *xyz, double *xs, double *ys, size_t n) const {
        constexpr int A = (K + 1) % 3, B = (K + 2) % 3;
        const double o0 = origin_[0], o1 = origin_[1], o2 = origin_[2];
        const double vk = vk_, va = va_, vb = vb_, sign = sign_;
        // Signed: with the sign bit cleared they order alike, and every width compares signed integers.
        int64_t top = 0;
        for (size_t j = 0; j < n; ++j) {
            const double d[3] = {xyz[3 * j] - o0, xyz[3 * j + 1] - o1, xyz[3 * j + 2] - o2};
            xs[j] = sign * (vk * d[A] - va * d[K]);
            ys[j] = vk * d[B] - vb * d[K];
            for (int c = 0; c < 3; ++c) {
                const int64_t bits = std::bit_cast<int64_t>(d[c]) & kMagnitude;
                top = bits > top ? bits : top;
            }
        }
        return static_cast<uint64_t>(top);
    }
    static double RunReach(uint64_t top) {
        return top <= std::bit_cast<uint64_t>(kLargest) ? std::bit_cast<double>(top) : -1.0;
    }

    template <int K>
    double placeOn(const double *p, double *x, double *y) const {
        constexpr int A = (K + 1) % 3, B = (K + 2) % 3;
        const double d[3] = {p[0] - origin_[0], p[1] - origin_[1], p[2] - origin_[2]};
        *x = sign_ * (vk_ * d[A] - va_ * d[K]);
        *y = vk_ * d[B] - vb_ * d[K];
        const double r0 = std::fabs(d[0]), r1 = std::fabs(d[1]), r2 = std::fabs(d[2]);
        const double r01 = r0 > r1 ? r0 : r1, r = r01 > r2 ? r01 : r2;
        return r0 <= kLargest && r1 <= kLargest && r2 <= kLargest ? r : -1.0;
    }

private:
    static constexpr double kLargest = 0x1p250;  // beyond it the products could leave the double range
    static constexpr int64_t kMagnitude = INT64_MAX;  // all bits but the sign

    const double *origin_;
    int k_, a_, b_;             // the direction's largest axis and the two after it, cyclically
    double vk_, va_, vb_;       // direction components on them, vk_ made non-negative
    double sign_;               // the sign given to vk_, folded into the first coordinate
    bool usable_;
};

}  // namespace vantic
