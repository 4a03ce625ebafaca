// Brush weights: a linear falloff around the hit, by straight world distance over every target, or
// only over the polygons of the hit target connected to the hit polygon through points inside the
// brush.
#include <cstdint>
#include <vector>

#include "binding/host_lists.h"
#include "binding/host_table.h"
#include "brush/brush.h"
#include "brush/point_arrays.h"
#include "brush/world_radius.h"
#include "geometry/vec3_ops.h"

namespace vantic {

namespace {

// What a reached point outside the brush gets: not zero, so it counts as done, yet not above the
// tool's coverage threshold.
constexpr double kReachedOutside = 1e-7;

struct Falloff {
    double radius;   // R, the world radius
    double inverse;  // 1.0 / R
    double inner;    // 1.0 - falloff: the fraction of R at full weight

    // Weight of a point at distance d < R, in this exact form.
    double weight(double d) const {
        const double x = d * inverse - inner;
        return x < 0 ? 1.0 : 1.0 - x / (1.0 - inner);
    }
};

Falloff MakeFalloff(const Brush &brush) {
    const double radius = BrushWorldRadius(brush);
    return Falloff{radius, 1.0 / radius, 1.0 - brush.falloff};
}

double PointDistance(KorrinItem target, int32_t point, const double *centre) {
    double p[3];
    FX(fxMeshPoint)(target, point, p, KORRIN_POSITIONS_CURRENT);
    return geo::Distance(p, centre);
}

// Walks the polygons connected to `polygon` through points inside R, depth first in the order a
// recursion takes them: from each corner inside R its polygons are walked at once, before the next
// corner. The walk runs on an explicit stack, so the depth does not grow the call stack. Each reached
// corner is measured once (a non-zero weight marks it done). visited has polygonCount entries and
// weights weightCount: indices beyond them are not walked.
void WeightFloodPolygon(KorrinItem target, int32_t polygon, const double *centre, const Falloff &falloff,
                        std::vector<uint8_t> &visited, double *weights, int32_t weightCount) {
    const int32_t polygonCount = static_cast<int32_t>(visited.size());
    // One frame per polygon being walked. Its corners, then the polygons around its current corner,
    // sit on one shared list of indices that grows and shrinks with the frames.
    struct Frame {
        size_t corners, around, end;  // [corners, around): corners; [around, end): polygons around
        size_t nextCorner, nextAround;
    };
    std::vector<int32_t> lists;
    std::vector<Frame> frames;
    auto enter = [&](int32_t p) {
        if (p < 0 || p >= polygonCount || visited[static_cast<size_t>(p)]) return;
        const size_t begin = lists.size();
        const std::vector<int32_t> corners = PolygonCorners(target, p);
        visited[static_cast<size_t>(p)] = 1;
        lists.insert(lists.end(), corners.begin(), corners.end());
        frames.push_back(Frame{begin, lists.size(), lists.size(), begin, lists.size()});
    };

    enter(polygon);
    while (!frames.empty()) {
        Frame &frame = frames.back();
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
        const double d = PointDistance(target, q, centre);
        if (!(d < falloff.radius)) {
            weights[q] = kReachedOutside;
            continue;
        }
        weights[q] = falloff.weight(d);
        const std::vector<int32_t> around = PointPolygons(target, q);
        lists.resize(frame.around);
        lists.insert(lists.end(), around.begin(), around.end());
        frame.end = lists.size();
        frame.nextAround = frame.around;
    }
}

// Calls visit(falloff, target, weights, n) for every target whose weights the brush reaches, n being
// how many of its weights may be written.
template <class Visit>
void ForEachWeightedTarget(Brush *brush, Visit visit) {
    const BrushArrays *own = OwnArrays(brush);
    if (!brush->targetIds || !brush->weights) return;
    const Falloff falloff = MakeFalloff(*brush);
    const int32_t targets = ReachableTargets(brush, own);
    for (int32_t t = 0; t < targets; ++t) {
        const KorrinItem target = brush->targetIds[t];
        double *weights = brush->weights[t];
        const int32_t n = weights ? TargetPointCount(*own, t, target) : 0;
        visit(falloff, target, weights, n);
    }
}

}  // namespace

}  // namespace vantic

void vantic_BrushCalculateWeights(Brush *brush) {
    if (!brush || brush->hitTarget == 0) return;
    if (brush->weightMode != VANTIC_WEIGHTS_DISTANCE) {
        vantic::BrushCalculateConnectedWeights(brush);
        return;
    }
    vantic::ForEachWeightedTarget(brush, [&](const vantic::Falloff &falloff, KorrinItem target, double *weights,
                                             int32_t n) {
        for (int32_t i = 0; i < n; ++i) {
            const double d = vantic::PointDistance(target, i, brush->hitPosition);
            weights[i] = d < falloff.radius ? falloff.weight(d) : 0.0;
        }
    });
}

void vantic::BrushCalculateConnectedWeights(Brush *brush) {
    if (!brush || brush->hitTarget == 0) return;
    ForEachWeightedTarget(brush, [&](const Falloff &falloff, KorrinItem target, double *weights, int32_t n) {
        for (int32_t i = 0; i < n; ++i) weights[i] = 0.0;
        if (target != brush->hitTarget) return;
        const int32_t m = MeshPolygonCount(target);
        std::vector<uint8_t> visited(m > 0 ? static_cast<size_t>(m) : 0, 0);
        WeightFloodPolygon(target, brush->hitPolygon, brush->hitPosition, falloff, visited, weights, n);
    });
}
