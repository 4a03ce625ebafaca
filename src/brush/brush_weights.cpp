// Brush weights: a linear falloff around the hit, by straight world distance over every target, or
// only over the polygons of the hit target connected to the hit polygon through points inside the
// brush.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "binding/host_lists.h"
#include "binding/host_table.h"
#include "brush/brush.h"
#include "brush/point_arrays.h"
#include "brush/point_snapshot.h"
#include "brush/ray_offsets.h"
#include "brush/weight_runs.h"
#include "brush/world_radius.h"
#include "geometry/reused_object.h"
#include "geometry/vec3_ops.h"

namespace vantic {

namespace {

// What a reached point outside the brush gets: not zero, so it counts as done, yet not above the
// tool's coverage threshold.
constexpr double kReachedOutside = 1e-7;

using Falloff = FalloffShape;

Falloff MakeFalloff(const Brush &brush) {
    const double radius = BrushWorldRadius(brush);
    return Falloff{radius, 1.0 / radius, 1.0 - brush.falloff};
}

// Where the weights read positions: the event's snapshot, or the host point by point for a client's
// call, which reads each point once anyway.
struct PointReader {
    PointSnapshot *points;  // may be null
    int32_t t;              // the target's position in the snapshot
    KorrinItem target;

    double distance(int32_t point, const double *centre) const {
        double p[3];
        if (points)
            points->position(t, point, p);
        else
            FX(fxMeshPoint)(target, point, p, KORRIN_POSITIONS_CURRENT);
        return geo::Distance(p, centre);
    }
};

// One frame per polygon being walked. Its corners, then the polygons around its current corner, sit on
// one shared list of indices that grows and shrinks with the frames.
struct FloodFrame {
    size_t corners, around, end;  // [corners, around): corners; [around, end): polygons around
    size_t nextCorner, nextAround;
};

// The flood's lists, kept from one call to the next with their capacity (only the memory: every call
// fills them afresh), so that a large brush spares the page faults of fresh memory on every event.
struct FloodWork {
    std::vector<int32_t> lists;
    std::vector<FloodFrame> frames;
    std::vector<uint8_t> visited;
    std::vector<int32_t> read;  // one host list as it is read
};

ReusedObject<FloodWork> &KeptFloodWork() {
    static ReusedObject<FloodWork> kept;
    return kept;
}

// Walks the polygons connected to `polygon` through points inside R, depth first in the order a
// recursion takes them: from each corner inside R its polygons are walked at once, before the next
// corner. The walk runs on an explicit stack, so the depth does not grow the call stack. Each reached
// corner is measured once (a non-zero weight marks it done). visited has polygonCount entries and
// weights weightCount: indices beyond them are not walked.
void WeightFloodPolygon(const PointReader &reader, int32_t polygon, const double *centre, const Falloff &falloff,
                        FloodWork &work, double *weights, int32_t weightCount) {
    const KorrinItem target = reader.target;
    std::vector<uint8_t> &visited = work.visited;
    std::vector<int32_t> &lists = work.lists;
    std::vector<FloodFrame> &frames = work.frames;
    lists.clear();
    frames.clear();
    const int32_t polygonCount = static_cast<int32_t>(visited.size());
    auto enter = [&](int32_t p) {
        if (p < 0 || p >= polygonCount || visited[static_cast<size_t>(p)]) return;
        const size_t begin = lists.size();
        ReadPolygonCorners(target, p, work.read);
        visited[static_cast<size_t>(p)] = 1;
        lists.insert(lists.end(), work.read.begin(), work.read.end());
        frames.push_back(FloodFrame{begin, lists.size(), lists.size(), begin, lists.size()});
    };

    enter(polygon);
    while (!frames.empty()) {
        FloodFrame &frame = frames.back();
        if (frame.nextAround < frame.end) {
            enter(lists[frame.nextAround++]);
            continue;
        }
        if (frame.nextCorner == frame.around) {
            lists.resize(frame.corners);
            frames.pop_back();
            continue;
        }
        const int32_t q = lists[frame.nextCorner++];
        if (q < 0 || q >= weightCount || weights[q] != 0.0) continue;
        const double d = reader.distance(q, centre);
        if (!(d < falloff.radius)) {
            weights[q] = kReachedOutside;
            continue;
        }
        weights[q] = falloff.weight(d);
        ReadPointPolygons(target, q, work.read);
        lists.resize(frame.around);
        lists.insert(lists.end(), work.read.begin(), work.read.end());
        frame.end = lists.size();
        frame.nextAround = frame.around;
    }
}

// Calls visit(falloff, reader, weights, n) for every target whose weights the brush reaches, n being
// how many of its weights may be written. With a snapshot, the points are read from it.
template <class Visit>
void ForEachWeightedTarget(Brush *brush, PointSnapshot *points, Visit visit) {
    const BrushArrays *own = OwnArrays(brush);
    if (!brush->targetIds || !brush->weights) return;
    const Falloff falloff = MakeFalloff(*brush);
    const int32_t targets = ReachableTargets(brush, own);
    for (int32_t t = 0; t < targets; ++t) {
        const KorrinItem target = brush->targetIds[t];
        double *weights = brush->weights[t];
        // The snapshot was taken over the same reachable targets, unless a client changed them since.
        const bool snapped = points && t < points->targetCount() && points->target(t) == target;
        int32_t n = 0;
        if (weights && snapped) n = BoundedPointCount(own->targets[t].length, points->pointCount(t));
        if (weights && !snapped) n = TargetPointCount(*own, t, target);
        visit(falloff, PointReader{snapped ? points : nullptr, t, target}, weights, n);
    }
}

void ConnectedWeights(Brush *brush, PointSnapshot *points) {
    ForEachWeightedTarget(brush, points, [&](const Falloff &falloff, const PointReader &reader, double *weights,
                                             int32_t n) {
        for (int32_t i = 0; i < n; ++i) weights[i] = 0.0;
        if (reader.target != brush->hitTarget) return;
        const int32_t m = MeshPolygonCount(reader.target);
        std::unique_ptr<FloodWork> work = KeptFloodWork().take();
        work->visited.assign(m > 0 ? static_cast<size_t>(m) : 0, 0);
        WeightFloodPolygon(reader, brush->hitPolygon, brush->hitPosition, falloff, *work, weights, n);
        KeptFloodWork().giveBack(std::move(work));
    });
}

// Straight weights of the first n points of a whole snapshot, passing over the runs of points the
// pick found wholly beyond the brush (offsets may be null): they weigh 0 without being read again.
// Runs near the brush are weighed in stretches, beyond it zeroed in stretches.
void WeighSnapshot(const Falloff &falloff, const double *centre, const double *xyz, size_t n, double *weights,
                   const RayOffsets *offsets) {
    const double beyond = offsets ? offsets->beyond(centre, falloff.radius) : 0.0;
    const size_t run = static_cast<size_t>(kOffsetRun);
    const size_t placed = offsets ? static_cast<size_t>(offsets->runsPlaced()) * run : 0;
    const double *least = offsets ? offsets->least() : nullptr;
    auto passed = [&](size_t i) { return i < placed && least[i / run] > beyond; };
    for (size_t i = 0; i < n;) {
        size_t near = i;
        while (near < n && !passed(near)) near += run;
        near = std::min(near, n);
        if (near > i) WeighStraightRun(falloff, centre, xyz + 3 * i, near - i, weights + i);
        size_t far = near;
        while (far < n && passed(far)) far += run;
        far = std::min(far, n);
        std::fill(weights + near, weights + far, 0.0);
        i = far;
    }
}

}  // namespace

void BrushCalculateWeightsOn(Brush *brush, PointSnapshot *points) {
    if (!brush || brush->hitTarget == 0) return;
    if (brush->weightMode != VANTIC_WEIGHTS_DISTANCE) return ConnectedWeights(brush, points);
    ForEachWeightedTarget(brush, points, [&](const Falloff &falloff, const PointReader &reader, double *weights,
                                             int32_t n) {
        if (reader.points) reader.points->readAll(reader.t);
        const double *xyz = reader.points ? reader.points->positions(reader.t) : nullptr;
        const double *centre = brush->hitPosition;
        if (xyz)
            return WeighSnapshot(falloff, centre, xyz, n > 0 ? static_cast<size_t>(n) : 0, weights,
                                 reader.points->offsets(reader.t));
        // From the host a batch at a time: each point is read once, in order, and the batch, still in
        // cache, is weighed by the vector loop rather than point by point between the host calls.
        auto *const read = FX(fxMeshPoint);
        const KorrinItem target = reader.target;
        constexpr int32_t kBatch = 64;
        double batch[3 * kBatch];
        for (int32_t first = 0, count; first < n; first += count) {
            count = n - first < kBatch ? n - first : kBatch;
            for (int32_t j = 0; j < count; ++j)
                read(target, first + j, batch + 3 * j, KORRIN_POSITIONS_CURRENT);
            WeighStraightRun(falloff, centre, batch, static_cast<size_t>(count), weights + first);
        }
    });
}

void BrushCalculateConnectedWeights(Brush *brush) {
    if (!brush || brush->hitTarget == 0) return;
    ConnectedWeights(brush, nullptr);
}

}  // namespace vantic

void vantic_BrushCalculateWeights(Brush *brush) { vantic::BrushCalculateWeightsOn(brush, nullptr); }
