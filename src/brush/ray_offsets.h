// How far from the pick's ray each run of points lies, kept from a tool event's pick for its weighting:
// the pick places every point in plane coordinates anyway (see ray_prefilter.h), and the least of
// x^2 + y^2 over a run bounds the distance of all its points from the ray's line. The weighting
// around a hit near the line then passes over runs wholly beyond its radius without reading their
// points again, which is most of its time on a dense mesh with a small brush.
#pragma once

#include <cstddef>
#include <cstdint>

#include "geometry/vector_width.h"

namespace vantic {

// Points per run: a run's points are 3 KB of positions, long enough for the prefetcher to stream.
constexpr int32_t kOffsetRun = 128;

// least[r] = min(least[r], the least xs[j]^2 + ys[j]^2 among points first + j of run r), for the n
// points from first on, whose runs are r = (first + j) / kOffsetRun. A run entered at its first
// point starts afresh. A sum that is not a number counts as above every other.
void LowerRunOffsets(int32_t first, const double *xs, const double *ys, size_t n, double *least);

// The same at a given width, for tests; false (nothing written) when the processor lacks it.
bool LowerRunOffsetsWith(VectorWidth width, int32_t first, const double *xs, const double *ys, size_t n,
                         double *least);

class RayOffsets {
public:
    // For a target of count points and the ray the pick places them for. Nothing is kept
    // without memory: ready() is then false.
    RayOffsets(const double *origin, const double *direction, int32_t count);
    ~RayOffsets();
    RayOffsets(const RayOffsets &) = delete;
    RayOffsets &operator=(const RayOffsets &) = delete;

    bool ready() const { return least_ != nullptr; }
    // The plane coordinates of points first .. first + n - 1, placed in ascending order from point 0 on.
    void add(int32_t first, const double *xs, const double *ys, size_t n);
    // Some points were placed apart from the others: nothing will be passed over.
    void abandon() { failed_ = true; }
    // Once the placing is over: the largest |P - O| component among the points placed, and whether
    // any failed to place (see RayPrefilter::place).
    void finish(double reach, bool failed);

    // A least square sum above which every point of a run weighs 0 around centre with radius R, its
    // distance measured as the weighting measures it; +infinity when that cannot be told.
    double beyond(const double *centre, double radius) const;
    // Runs whose every point was placed, from run 0 on; the others count as near.
    int32_t runsPlaced() const;
    const double *least() const { return least_; }

private:
    double origin_[3], direction_[3];
    int32_t count_, placed_ = 0;
    double reach_ = 0.0;
    bool finished_ = false, failed_ = false;
    double *least_ = nullptr;
};

}  // namespace vantic
