// The positions of a brush's target points, read from the host at most once each during one call (a
// pick, a weighting, or a tool event that does both) and dropped with it. Clients move points between
// calls and the host gives no sign of it, so nothing here may outlive the call that made it.
#pragma once

#include <cstdint>
#include <vector>

#include "korrin_host_services.h"
#include "vanticAPI.h"

namespace vantic {

class PointSnapshot {
public:
    // Nothing is read yet; targets are the brush's reachable targets in list order. whole: every read
    // takes all points of the target (a tool event, whose weights need them after the pick).
    PointSnapshot(const Brush *brush, bool whole);
    ~PointSnapshot();
    PointSnapshot(const PointSnapshot &) = delete;
    PointSnapshot &operator=(const PointSnapshot &) = delete;

    int32_t targetCount() const { return static_cast<int32_t>(targets_.size()); }
    KorrinItem target(int32_t t) const { return targets_[static_cast<size_t>(t)].id; }
    // The host's point count of target t, asked once.
    int32_t pointCount(int32_t t);

    // Reads every point of target t, unless that was done.
    void readAll(int32_t t);
    // Reads the listed points of target t (ascending, those below its count) unless something was read,
    // or all of them for a whole snapshot.
    void readListed(int32_t t, const int32_t *points, int32_t n);

    // x, y, z of every point, indexed by point; only the points read hold values. Null when there was
    // no memory for the array: then position() asks the host.
    const double *positions(int32_t t) const { return targets_[static_cast<size_t>(t)].xyz; }
    // Point i (0 <= i < pointCount) of target t; read before unless positions(t) is null.
    void position(int32_t t, int32_t i, double *out) const;

private:
    enum class Read : uint8_t { Nothing, Listed, All };
    struct Target {
        KorrinItem id;
        int32_t count;  // -1 until asked
        Read read;
        double *xyz;
    };
    Target &entry(int32_t t);
    bool allocate(Target &target);

    std::vector<Target> targets_;
    bool whole_;
};

}  // namespace vantic
