// The box selection: its marks, the registered marking step, and the tool's press, drag and release.
#include "brush/box_selection.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "binding/host_lists.h"
#include "binding/host_table.h"
#include "brush/brush.h"
#include "brush/point_arrays.h"
#include "brush/projected_points.h"
#include "brush/tool_modes.h"
#include "brush/tool_steps.h"

namespace vantic {

namespace {

// Zero marks for every target the module can reach, recorded as its own; false (no marks) when an
// allocation fails.
bool NewBoxMarks(Brush *brush, BrushArrays &own) {
    FreeOwnBoxMarks(own);
    brush->boxSelection = nullptr;
    const int32_t count = ReachableTargets(brush, &own);
    auto **marks = static_cast<int32_t **>(std::calloc(static_cast<size_t>(count) + 1, sizeof(int32_t *)));
    if (!marks) return false;
    own.boxSelection = marks;
    for (int32_t t = 0; t < count; ++t) {
        const int32_t points = MeshPointCount(brush->targetIds[t]);
        marks[t] = own.targets[t].boxMarks = NewPointFlags(points);
        own.targets[t].boxLength = points > 0 ? points : 0;
        if (!marks[t]) {
            FreeOwnBoxMarks(own);
            return false;
        }
    }
    brush->boxSelection = marks;
    return true;
}

// How many targets have marks: the leading non-null entries, at most the targets the module can reach.
int32_t BoxMarkTargets(const Brush &brush, const BrushArrays *own) {
    int32_t t = 0;
    const int32_t count = ReachableTargets(&brush, own);
    if (brush.boxSelection)
        while (t < count && brush.boxSelection[t]) ++t;
    return t;
}

// How many marks of target t a loop may touch: the host's point count, bounded by the length of the
// marks when the module made them (a client's marks have one entry per point).
int32_t BoxMarkCount(const Brush &brush, const BrushArrays &own, int32_t t) {
    const int32_t points = MeshPointCount(brush.targetIds[t]);
    const TargetArrays &entry = own.targets[t];
    if (brush.boxSelection[t] != entry.boxMarks) return points > 0 ? points : 0;
    return entry.boxLength < points ? entry.boxLength : (points > 0 ? points : 0);
}

// Calls visit(target index, point) for every marked point.
template <class Visit>
void ForEachMarked(const Brush &brush, const BrushArrays &own, Visit visit) {
    const int32_t targets = BoxMarkTargets(brush, &own);
    for (int32_t t = 0; t < targets; ++t) {
        const int32_t *marks = brush.boxSelection[t];
        const int32_t n = BoxMarkCount(brush, own, t);
        for (int32_t p = 0; p < n; ++p)
            if (marks[p] != 0) visit(t, p);
    }
}

// Truncation towards zero to an int. Values an int cannot hold (a point behind the eye projects
// anywhere, and a client may call this with a world anchor) saturate instead of being undefined;
// a non-number becomes 0.
int32_t TruncateToInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(v);
}

struct Span {
    int32_t low, high;
};

// The corner is truncated; the mouse is already whole pixels.
Span Between(double corner, int32_t mouse) {
    const int32_t c = TruncateToInt(corner);
    return mouse > corner ? Span{c, mouse} : Span{mouse, c};
}

// "ProceduralTypeSet(<tool object name>, on)": the tool object draws the box while it is dragged.
// Contract: a function the host's evaluator knows by this name.
void SetBoxDrawing(const Brush &brush, int on) {
    char name[64] = {};
    FX(fxObjectGetName)(brush.toolObject, name, 64, 0);
    name[63] = '\0';
    char text[64 + 32];
    std::snprintf(text, sizeof text, on ? "ProceduralTypeSet(%s, 1)" : "ProceduralTypeSet(%s, 0)", name);
    FX(fxExpressionCompute)(text, 0);
}

void BoxPress(Brush *brush, BrushArrays &own) {
    ReadMouse(brush);
    brush->anchor[0] = brush->mouseX;
    brush->anchor[1] = brush->mouseY;
    brush->anchor[2] = 0.0;
    // A second press without a release starts the box again instead of losing the old marks.
    if (!NewBoxMarks(brush, own)) return;  // out of memory: no box, so its drags and release do nothing
    SetBoxDrawing(*brush, 1);
    FX(fxInterfaceUpdate)(KORRIN_UPDATE_VIEWPORTS, 0);
}

// Marks the points in the box and previews them in the host only, over the brush's own selection.
void BoxDrag(Brush *brush, const BrushArrays &own) {
    ReadMouse(brush);
    vantic_BrushDragBoxSelection(brush);
    vantic_BrushUpdateSelection(brush);
    const int32_t button = brush->mouseButton;
    ForEachMarked(*brush, own, [&](int32_t t, int32_t p) {
        if (button == VANTIC_BUTTON_PAINT)
            FX(fxPointSelect_Set)(brush->targetIds[t], p);
        else if (button == VANTIC_BUTTON_RESIZE || button == VANTIC_BUTTON_ERASE)
            FX(fxPointSelect_Clear)(brush->targetIds[t], p);
    });
    FX(fxInterfaceUpdate)(KORRIN_UPDATE_VIEWPORTS, 0);
}

// Applies the marks of the last drag to the brush selection; the box is not measured again.
void BoxRelease(Brush *brush, BrushArrays &own) {
    ReadMouse(brush);
    const int32_t button = brush->mouseButton;
    ForEachMarked(*brush, own, [&](int32_t t, int32_t p) {
        if (button == VANTIC_BUTTON_PAINT)
            vantic_BrushSelectVertex(brush, brush->targetIds[t], p);
        else if (button == VANTIC_BUTTON_RESIZE || button == VANTIC_BUTTON_ERASE)
            vantic_BrushDeselectVertex(brush, brush->targetIds[t], p);
    });
    vantic_BrushUpdateSelection(brush);
    FreeOwnBoxMarks(own);
    brush->boxSelection = nullptr;
    SetBoxDrawing(*brush, 0);
    FX(fxInterfaceUpdate)(KORRIN_UPDATE_VIEWPORTS, 0);
}

}  // namespace

void RemoveTargetBoxMarks(Brush *brush, BrushArrays &own, int32_t k) {
    const int32_t marked = BoxMarkTargets(*brush, &own);
    if (k >= marked) return;
    std::memmove(brush->boxSelection + k, brush->boxSelection + k + 1,
                 static_cast<size_t>(marked - k - 1) * sizeof(int32_t *));
    brush->boxSelection[marked - 1] = nullptr;  // within the targets' entries, also for a client's array
    // The module frees its marks through its own list of targets, never through the outer arrays.
}

void BoxSelectionEvent(Brush *brush, int64_t event) {
    BrushArrays *own = OwnArrays(brush);
    if (!own) return;
    if (event == KORRIN_EVENT_PRESS) return BoxPress(brush, *own);
    // A drag or release without a press has no box: nothing changes.
    if (!brush->boxSelection) return;
    if (event == KORRIN_EVENT_DRAG) BoxDrag(brush, *own);
    else if (event == KORRIN_EVENT_RELEASE) BoxRelease(brush, *own);
}

}  // namespace vantic

// Box marks: which projected points of every target lie strictly inside the rectangle between the
// box corner (anchor x, y) and the mouse.
void vantic_BrushDragBoxSelection(Brush *brush) {
    using namespace vantic;
    if (!brush) return;
    const BrushArrays *own = OwnArrays(brush);
    // Outside a box drag there are no marks to fill.
    const int32_t targets = BoxMarkTargets(*brush, own);
    const Span x = Between(brush->anchor[0], brush->mouseX);
    const Span y = Between(brush->anchor[1], brush->mouseY);
    for (int32_t t = 0; t < targets; ++t) {
        const KorrinItem target = brush->targetIds[t];
        int32_t *marks = brush->boxSelection[t];
        const int32_t n = BoxMarkCount(*brush, *own, t);
        ForEachProjectedPoint(target, n, [&](int32_t i, const double *, const double *s) {
            const int32_t sx = TruncateToInt(s[0]), sy = TruncateToInt(s[1]);
            marks[i] = x.low < sx && sx < x.high && y.low < sy && sy < y.high ? 1 : 0;
        });
    }
}
