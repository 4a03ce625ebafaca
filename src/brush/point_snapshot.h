// The positions of a brush's target points, read from the host at most once each during one call (a
// pick, a weighting, or a tool event that does both) and dropped with it. Clients move points between
// calls and the host gives no sign of it, so nothing here may outlive the call that made it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "brush/ray_offsets.h"

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

    // For a snapshot that is not whole, before the first read of target t: its points will only be
    // looked at within the last span indices read, so they are kept in a ring of slots that stays in
    // cache rather than in an array as long as the mesh (when that is shorter). readAll undoes it.
    void keepWindow(int32_t t, int32_t span);
    // Reads every point of target t not read yet.
    void readAll(int32_t t);
    // Reads, in ascending order, the points of target t below bound (and its count) that the reading
    // has not reached: the listed ones (ascending), or every one for a whole snapshot. cursor, 0 at
    // first, is where the caller's last call stopped, so bound may grow from call to call; returns the
    // new cursor, and the points between the two are pointAt(points, q), to be used while they are
    // still in cache. Points are read once, whatever the callers. Nothing is read when there is no
    // memory for the array: positions(t) is then null.
    int32_t readUpTo(int32_t t, const int32_t *points, int32_t n, int32_t bound, int32_t cursor);
    int32_t pointAt(const int32_t *points, int32_t q) const { return whole_ ? q : points[q]; }
    bool whole() const { return whole_; }

    // x, y, z of every point, indexed by point; only the points read hold values. Null when there was
    // no memory for the array: then position() asks the host. Not for a target kept in a window.
    const double *positions(int32_t t) const { return targets_[static_cast<size_t>(t)].xyz; }
    // x, y, z of point i of target t, read before (and within the window, if one is kept); positions(t)
    // must not be null.
    const double *at(int32_t t, int32_t i) const { return slot(targets_[static_cast<size_t>(t)], i); }
    // Point i sits at positions(t) + 3 * (i & slotMask(t)).
    size_t slotMask(int32_t t) const { return targets_[static_cast<size_t>(t)].mask; }
    // Point i (0 <= i < pointCount) of target t; read before (and within the window, if one is kept)
    // unless positions(t) is null.
    void position(int32_t t, int32_t i, double *out) const;

    // For a whole snapshot: where a pick along the ray (origin, direction) keeps how far its runs of
    // points lie from it, made afresh; null for a snapshot that is not whole or without memory.
    RayOffsets *keepOffsets(int32_t t, const double *origin, const double *direction);
    // What the last pick kept for target t, or null.
    const RayOffsets *offsets(int32_t t) const {
        return static_cast<size_t>(t) < offsets_.size() ? offsets_[static_cast<size_t>(t)].get() : nullptr;
    }

private:
    enum class Read : uint8_t { Nothing, Listed, All };
    struct Target {
        KorrinItem id;
        int32_t count;   // -1 until asked
        Read read;
        int32_t cursor;  // how far the reading has come: list entries, or points for Read::All
        double *xyz;     // 3 doubles a slot; point i sits in slot i & mask
        size_t mask;
    };
    static double *slot(const Target &target, int32_t i) {
        return target.xyz + 3 * (static_cast<size_t>(i) & target.mask);
    }
    Target &entry(int32_t t);
    bool allocate(Target &target);

    std::vector<Target> targets_;
    std::vector<std::unique_ptr<RayOffsets>> offsets_;  // by target, for a whole snapshot
    bool whole_;
    fxMeshPoint_fn *meshPoint_;
};

}  // namespace vantic
