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
#include "brush/tool_modes.h"
#include "brush/tool_steps.h"

namespace vantic {

namespace {

// Zero marks for every target, or null (and nothing left allocated) when an allocation fails.
int32_t **NewBoxMarks(const Brush &brush) {
    const int32_t count = brush.targetCount > 0 ? brush.targetCount : 0;
    auto **marks = static_cast<int32_t **>(std::calloc(static_cast<size_t>(count) + 1, sizeof(int32_t *)));
    if (!marks) return nullptr;
    for (int32_t t = 0; t < count; ++t) {
        const int32_t points = MeshPointCount(brush.targetIds[t]);
        const int32_t selected = brush.selection ? PointArrayLength(brush.selection[t]) : 0;
        const int32_t length = points > selected ? points : selected;
        marks[t] = static_cast<int32_t *>(std::calloc(length > 0 ? static_cast<size_t>(length) : 1, sizeof(int32_t)));
        if (!marks[t]) {
            FreeBoxMarks(marks, t);
            return nullptr;
        }
    }
    return marks;
}

// How many targets have marks: the leading non-null entries, at most targetCount.
int32_t BoxMarkTargets(const Brush &brush) {
    int32_t t = 0;
    if (brush.boxSelection)
        while (t < brush.targetCount && brush.boxSelection[t]) ++t;
    return t;
}

// How many marks of target t a loop may touch: the host's point count, bounded by the target's
// selection array. The marks the module makes are at least that long; a client's are as long as
// the host's count when it made them.
int32_t BoxMarkCount(const Brush &brush, int32_t t) {
    return PointLoopCount(brush.selection ? brush.selection[t] : nullptr, MeshPointCount(brush.targetIds[t]));
}

// Calls visit(target index, point) for every marked point.
template <class Visit>
void ForEachMarked(const Brush &brush, Visit visit) {
    const int32_t targets = BoxMarkTargets(brush);
    for (int32_t t = 0; t < targets; ++t) {
        const int32_t *marks = brush.boxSelection[t];
        const int32_t n = BoxMarkCount(brush, t);
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

void BoxPress(Brush *brush) {
    ReadMouse(brush);
    brush->anchor[0] = brush->mouseX;
    brush->anchor[1] = brush->mouseY;
    brush->anchor[2] = 0.0;
    // A second press without a release starts the box again instead of losing the old marks.
    FreeBoxMarks(brush->boxSelection, brush->targetCount);
    brush->boxSelection = NewBoxMarks(*brush);
    if (!brush->boxSelection) return;  // out of memory: no box, so its drags and release do nothing
    SetBoxDrawing(*brush, 1);
    FX(fxInterfaceUpdate)(KORRIN_UPDATE_VIEWPORTS, 0);
}

// Marks the points in the box and previews them in the host only, over the brush's own selection.
void BoxDrag(Brush *brush) {
    ReadMouse(brush);
    vantic_BrushDragBoxSelection(brush);
    vantic_BrushUpdateSelection(brush);
    const int32_t button = brush->mouseButton;
    ForEachMarked(*brush, [&](int32_t t, int32_t p) {
        if (button == VANTIC_BUTTON_PAINT)
            FX(fxPointSelect_Set)(brush->targetIds[t], p);
        else if (button == VANTIC_BUTTON_RESIZE || button == VANTIC_BUTTON_ERASE)
            FX(fxPointSelect_Clear)(brush->targetIds[t], p);
    });
    FX(fxInterfaceUpdate)(KORRIN_UPDATE_VIEWPORTS, 0);
}

// Applies the marks of the last drag to the brush selection; the box is not measured again.
void BoxRelease(Brush *brush) {
    ReadMouse(brush);
    const int32_t button = brush->mouseButton;
    ForEachMarked(*brush, [&](int32_t t, int32_t p) {
        if (button == VANTIC_BUTTON_PAINT)
            vantic_BrushSelectVertex(brush, brush->targetIds[t], p);
        else if (button == VANTIC_BUTTON_RESIZE || button == VANTIC_BUTTON_ERASE)
            vantic_BrushDeselectVertex(brush, brush->targetIds[t], p);
    });
    vantic_BrushUpdateSelection(brush);
    FreeBoxMarks(brush->boxSelection, brush->targetCount);
    brush->boxSelection = nullptr;
    SetBoxDrawing(*brush, 0);
    FX(fxInterfaceUpdate)(KORRIN_UPDATE_VIEWPORTS, 0);
}

}  // namespace

void FreeBoxMarks(int32_t **marks, int32_t targetCount) {
    if (!marks) return;
    for (int32_t t = 0; t < targetCount && marks[t]; ++t) std::free(marks[t]);
    std::free(marks);
}

void RemoveTargetBoxMarks(Brush *brush, int32_t k) {
    const int32_t marked = BoxMarkTargets(*brush);
    if (k >= marked) return;
    std::free(brush->boxSelection[k]);
    std::memmove(brush->boxSelection + k, brush->boxSelection + k + 1,
                 static_cast<size_t>(marked - k - 1) * sizeof(int32_t *));
    brush->boxSelection[marked - 1] = nullptr;  // within the targets' entries, also for a client's array
}

void BoxSelectionEvent(Brush *brush, int64_t event) {
    if (event == KORRIN_EVENT_PRESS) return BoxPress(brush);
    // A drag or release without a press has no box: nothing changes.
    if (!brush->boxSelection) return;
    if (event == KORRIN_EVENT_DRAG) BoxDrag(brush);
    else if (event == KORRIN_EVENT_RELEASE) BoxRelease(brush);
}

}  // namespace vantic

// Box marks: which projected points of every target lie strictly inside the rectangle between the
// box corner (anchor x, y) and the mouse.
void vantic_BrushDragBoxSelection(Brush *brush) {
    using namespace vantic;
    // Outside a box drag there are no marks to fill.
    const int32_t targets = BoxMarkTargets(*brush);
    const Span x = Between(brush->anchor[0], brush->mouseX);
    const Span y = Between(brush->anchor[1], brush->mouseY);
    for (int32_t t = 0; t < targets; ++t) {
        const KorrinItem target = brush->targetIds[t];
        int32_t *marks = brush->boxSelection[t];
        const int32_t n = BoxMarkCount(*brush, t);
        for (int32_t i = 0; i < n; ++i) {
            double p[3], s[3];
            FX(fxMeshPoint)(target, i, p, KORRIN_POSITIONS_CURRENT);
            FX(fxWorldScreenConversion)(p, s, KORRIN_WORLD_TO_SCREEN);
            const int32_t sx = TruncateToInt(s[0]), sy = TruncateToInt(s[1]);
            marks[i] = x.low < sx && sx < x.high && y.low < sy && sy < y.high ? 1 : 0;
        }
    }
}
