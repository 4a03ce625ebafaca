// The edge loop: from an edge, walk straight on through every point where exactly four polygons
// meet, on both sides, and select or deselect the points passed.
//
// The walk is depth first (the side of a is followed to its end before the side of b, points taken
// in the host's corner order) and runs on an explicit stack: a loop may be a million steps long.
#include <vector>

#include "binding/host_lists.h"
#include "brush/brush.h"
#include "brush/point_arrays.h"
#include "brush/selection_flags.h"

namespace {

constexpr int32_t kUnvisited = -1;
constexpr int32_t kOnLoop = 1;

// One step of the walk, entered along the edge (a, b): a's side first, then b's.
struct LoopStep {
    int32_t a = 0, b = 0;
    std::vector<int32_t> aroundB;  // the polygons around b, fetched on entry while b is unvisited
    int32_t side = 0;              // 0: a's side, 1: b's side
    std::vector<int32_t> next;     // points to walk on to from this side's pivot, in order
    size_t nextIndex = 0;
};

bool Contains(const std::vector<int32_t> &list, int32_t value) {
    for (int32_t v : list)
        if (v == value) return true;
    return false;
}

// Where the loop goes on past pivot, entered from other. Only a pivot with exactly four polygons
// continues: of its polygons that do not touch other, the first two share the point straight across.
std::vector<int32_t> PointsAcross(KorrinItem target, int32_t pivot, int32_t other,
                                  const std::vector<int32_t> &around, int32_t markCount) {
    std::vector<int32_t> across;
    if (around.size() != 4) return across;
    std::vector<int32_t> sides[2];
    int32_t found = 0;
    for (int32_t polygon : around) {
        std::vector<int32_t> corners = vantic::PolygonCorners(target, polygon);
        if (found < 2 && !Contains(corners, other)) sides[found++] = std::move(corners);
    }
    if (found < 2) return across;
    for (int32_t c : sides[0]) {
        if (c == pivot) continue;
        for (int32_t d : sides[1])
            if (c == d && c >= 0 && c < markCount) across.push_back(c);
    }
    return across;
}

}  // namespace

void vantic::MarkEdgeLoop(KorrinItem target, const int32_t *edge, int32_t *marks, int32_t markCount) {
    if (!edge || !marks) return;
    if (edge[0] < 0 || edge[0] >= markCount || edge[1] < 0 || edge[1] >= markCount) return;

    std::vector<LoopStep> stack;
    // Enters the edge (a, b): marks a and works out where its side goes on.
    auto enter = [&](int32_t a, int32_t b) {
        if (marks[a] >= 0 && marks[b] >= 0) return;
        const std::vector<int32_t> aroundA = vantic::PointPolygons(target, a);
        LoopStep step;
        step.a = a;
        step.b = b;
        // b's side is walked only if b is still unvisited then; a marked b never needs its polygons.
        if (marks[b] == kUnvisited) step.aroundB = vantic::PointPolygons(target, b);
        if (marks[a] == kUnvisited) {
            marks[a] = kOnLoop;
            step.next = PointsAcross(target, a, b, aroundA, markCount);
        }
        stack.push_back(std::move(step));
    };

    enter(edge[0], edge[1]);
    while (!stack.empty()) {
        LoopStep &step = stack.back();
        if (step.nextIndex < step.next.size()) {
            const int32_t c = step.next[step.nextIndex++];
            const int32_t pivot = step.side == 0 ? step.a : step.b;
            // When nothing is left to do in this step after c's walk (its last point, and b's side
            // already settled), walk on in its place: the stack stays flat along a loop.
            if (step.nextIndex == step.next.size() && (step.side == 1 || marks[step.b] != kUnvisited))
                stack.pop_back();
            enter(c, pivot);
            continue;
        }
        if (step.side == 0) {
            // b is read again: a's side may have come round to it.
            step.side = 1;
            step.next.clear();
            step.nextIndex = 0;
            if (marks[step.b] == kUnvisited) {
                marks[step.b] = kOnLoop;
                step.next = PointsAcross(target, step.b, step.a, step.aroundB, markCount);
            }
            continue;
        }
        stack.pop_back();
    }
}

namespace {

void MarkLoopPoints(Brush *brush, KorrinItem target, const int32_t *edge, int32_t value) {
    const vantic::TargetFlags f = vantic::TargetSelectionFlags(brush, target);
    if (!f.flags || !edge) return;
    int32_t *flags = f.flags;
    const int32_t points = f.points;
    const int32_t n = f.count;
    // An edge with a point off the mesh (or off the flags) selects nothing.
    if (edge[0] < 0 || edge[0] >= n || edge[1] < 0 || edge[1] >= n) return;
    std::vector<int32_t> marks(static_cast<size_t>(points), kUnvisited);
    vantic::MarkEdgeLoop(target, edge, marks.data(), points);
    for (int32_t i = 0; i < n; ++i)
        if (marks[static_cast<size_t>(i)] == kOnLoop) flags[i] = value;
}

}  // namespace

void vantic::BrushSelectEdgeLoop(Brush *brush, KorrinItem target, const int32_t *edge) {
    MarkLoopPoints(brush, target, edge, 1);
}

void vantic::BrushDeselectEdgeLoop(Brush *brush, KorrinItem target, const int32_t *edge) {
    MarkLoopPoints(brush, target, edge, 0);
}
